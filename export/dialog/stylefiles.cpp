// The style files of the RTF and spreadsheet pages: their strip styles, one section each.
#include "export/core/inifile.h"
#include "export/dialog/model.h"
#include "export/dialog/pages.h"

namespace morvale {

namespace {

void EraseAll(TIniFile& ini) {
  TStringList sections;
  ini.ReadSections(sections);
  for (const std::string& s : sections) ini.EraseSection(s);
}

// The sections whose name begins with the prefix, in file order, with the rest of their name.
std::vector<std::pair<std::string, std::string>> Prefixed(const TIniFile& ini,
                                                          std::string_view prefix) {
  TStringList sections;
  ini.ReadSections(sections);
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& s : sections)
    if (s.size() >= prefix.size() && SameText(std::string_view(s).substr(0, prefix.size()), prefix))
      out.emplace_back(s, s.substr(prefix.size()));
  return out;
}

}  // namespace

void TExportDialogModel::SaveRTFStyles(const std::string& fileName) const {
  TIniFile ini(fileName);
  ini.BeginUpdate();
  EraseAll(ini);
  for (size_t i = 0; i < s_.RTF.StripStyles.size(); ++i)
    s_.RTF.StripStyles[i].Style.SaveToIni(ini, "RTF_STRIP_STYLE_" + std::to_string(i));
  ini.EndUpdate();
}

void TExportDialogModel::LoadRTFStyles(const std::string& fileName) {
  const TIniFile ini(fileName);
  auto& list = s_.RTF.StripStyles;
  list.clear();
  for (const auto& [section, rest] : Prefixed(ini, "RTF_STRIP_STYLE_")) {
    TNamedRtfStyle& st = list.emplace_back();
    st.Caption = "ITEM_" + rest;
    st.Style.LoadFromIni(ini, section);
    if (st.Style.Alignment < talLeft || st.Style.Alignment > talFill) st.Style.Alignment = talLeft;
  }
  Changed();
}

void TExportDialogModel::SaveXLSStyles(const std::string& fileName) const {
  TIniFile ini(fileName);
  ini.BeginUpdate();
  EraseAll(ini);
  for (size_t i = 0; i < s_.XLS.StripStyles.size(); ++i)
    s_.XLS.StripStyles[i].Format.SaveToIni(ini, "XLS_STYLE_" + std::to_string(i));
  ini.EndUpdate();
}

void TExportDialogModel::LoadXLSStyles(const std::string& fileName) {
  const TIniFile ini(fileName);
  auto& list = s_.XLS.StripStyles;
  list.clear();
  for (const auto& [section, rest] : Prefixed(ini, "XLS_STYLE_")) {
    TNamedXlsFormat& f = list.emplace_back();
    f.Caption = "ЭЛЕМЕНТ_" + rest;
    pages::LoadXlsFormat(f.Format, ini, section);
  }
  Changed();
}

}  // namespace morvale
