// The options file: the common sections here, each type's own sections in pagesfile.cpp; and the
// text forms of colours and characters that the file uses.
#include <charconv>
#include <cstdio>

#include "export/core/inifile.h"
#include "export/dialog/model.h"
#include "export/dialog/pagekeys.h"
#include "export/dialog/pages.h"

namespace morvale {

namespace {

struct TNamedColor {
  TColor Color;
  const char* Name;
};

// The named colours, then the desktop's system colours 0x80000000 to 0x80000018 in order.
constexpr TNamedColor kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {static_cast<TColor>(0x80000000), "clScrollBar"},
    {static_cast<TColor>(0x80000001), "clBackground"},
    {static_cast<TColor>(0x80000002), "clActiveCaption"},
    {static_cast<TColor>(0x80000003), "clInactiveCaption"},
    {static_cast<TColor>(0x80000004), "clMenu"},
    {static_cast<TColor>(0x80000005), "clWindow"},
    {static_cast<TColor>(0x80000006), "clWindowFrame"},
    {static_cast<TColor>(0x80000007), "clMenuText"},
    {static_cast<TColor>(0x80000008), "clWindowText"},
    {static_cast<TColor>(0x80000009), "clCaptionText"},
    {static_cast<TColor>(0x8000000A), "clActiveBorder"},
    {static_cast<TColor>(0x8000000B), "clInactiveBorder"},
    {static_cast<TColor>(0x8000000C), "clAppWorkSpace"},
    {static_cast<TColor>(0x8000000D), "clHighlight"},
    {static_cast<TColor>(0x8000000E), "clHighlightText"},
    {static_cast<TColor>(0x8000000F), "clBtnFace"},
    {static_cast<TColor>(0x80000010), "clBtnShadow"},
    {static_cast<TColor>(0x80000011), "clGrayText"},
    {static_cast<TColor>(0x80000012), "clBtnText"},
    {static_cast<TColor>(0x80000013), "clInactiveCaptionText"},
    {static_cast<TColor>(0x80000014), "clBtnHighlight"},
    {static_cast<TColor>(0x80000015), "cl3DDkShadow"},
    {static_cast<TColor>(0x80000016), "cl3DLight"},
    {static_cast<TColor>(0x80000017), "clInfoText"},
    {static_cast<TColor>(0x80000018), "clInfoBk"},
    {clNone, "clNone"},
};

std::string Indexed(const char* prefix, int i) {
  return prefix + std::to_string(i);
}

void WriteLines(TIniFile& ini, const char* section, const TStringList& lines) {
  for (int i = 0; i < lines.Count(); ++i) ini.WriteString(section, Indexed("line", i), lines[i]);
}

// The values of a section in key order.
std::vector<std::string> SectionValues(const TIniFile& ini, std::string_view section) {
  TStringList lines;
  ini.ReadSectionValues(section, lines);
  std::vector<std::string> out;
  for (const std::string& l : lines) out.emplace_back(TStringList::ValuePart(l));
  return out;
}

std::vector<std::pair<std::string, std::string>> SectionPairs(const TIniFile& ini,
                                                              std::string_view section) {
  TStringList lines;
  ini.ReadSectionValues(section, lines);
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& l : lines)
    out.emplace_back(TStringList::NamePart(l), TStringList::ValuePart(l));
  return out;
}

// [FORMATS] through the formats page's list (pagekeys.h). A format the file leaves out stays as
// it was: the component's, which the load puts in place first.
struct TSaveFormats {
  const TDialogSettings& s;
  TIniFile& ini;
  void operator()(pages::key::Format, const char* k, const char*, auto setting, auto) {
    ini.WriteString("FORMATS", k, setting.Of(s));
  }
};

struct TLoadFormats {
  TDialogSettings& s;
  const TIniFile& ini;
  void operator()(pages::key::Format, const char* k, const char*, auto setting, auto) {
    if (ini.ValueExists("FORMATS", k)) setting.Of(s) = ini.ReadString("FORMATS", k, "");
  }
};

}  // namespace

std::string ColorText(TColor c) {
  for (const TNamedColor& n : kColors)
    if (n.Color == c) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
  return buf;
}

bool ColorFromText(std::string_view text, TColor& c) {
  std::string_view t = TrimView(text);
  for (const TNamedColor& n : kColors)
    if (SameText(n.Name, t)) {
      c = n.Color;
      return true;
    }
  return StringToColor(t, c);
}

std::string CharText(char c) {
  auto code = static_cast<unsigned char>(c);
  if (code < 33) return "#" + std::to_string(code);
  return std::string(1, c);
}

char CharFromText(std::string_view text) {
  if (text.size() == 1) return text[0];
  if (text.size() > 1 && text[0] == '#') {
    unsigned v = 0;
    auto [p, ec] = std::from_chars(text.data() + 1, text.data() + text.size(), v);
    if (ec == std::errc() && p == text.data() + text.size() && v < 256) return static_cast<char>(v);
  }
  return '\0';
}

void TExportDialogModel::SaveOptions(const std::string& fileName) {
  WriteOptions(fileName, false);
}

void TExportDialogModel::SaveRememberedOptions(const std::string& fileName) {
  WriteOptions(fileName, true);
}

void TExportDialogModel::WriteOptions(const std::string& fileName, bool everyType) {
  TIniFile ini(fileName);
  ini.BeginUpdate();
  TStringList sections;
  ini.ReadSections(sections);
  for (const std::string& s : sections) ini.EraseSection(s);

  const char* g = "GENERAL";
  ini.WriteInteger(g, "ExportType", s_.ExportType);
  ini.WriteString(g, "FileName", s_.FileName);
  pages::SaveGeneral(s_, ini);

  // The remembered file keeps the common pages whatever the type shows: another type chosen
  // later finds them, and a run of the file by the command line formats as the dialog did.
  if (everyType || PageVisible(dpFormats)) {
    TSaveFormats formats{s_, ini};
    pages::FormatSettings(formats);
    for (const std::string& line : s_.UserFormats)
      ini.WriteString("USER_FORMATS", TStringList::NamePart(line), TStringList::ValuePart(line));
  }
  for (size_t i = 0; i < s_.ExportedFields.size(); ++i)
    ini.WriteString("FIELDS", Indexed("field", static_cast<int>(i)), s_.ExportedFields[i]);
  if (everyType || PageVisible(dpColons)) {
    WriteLines(ini, "HEADER", s_.Header);
    WriteLines(ini, "FOOTER", s_.Footer);
  }
  if (everyType || PageVisible(dpCaptions)) {
    const TExportTypeInfo& info = TypeInfo();
    for (const TCaptionRow& r : s_.Captions) ini.WriteString("CAPTIONS", r.FieldName, r.Caption);
    // Every grid column the type shows is kept, so a file restores what the grid showed.
    if (info.HasWidthColumn())
      for (const TCaptionRow& r : s_.Captions) ini.WriteInteger("WIDTH", r.FieldName, r.Width);
    if (info.HasAlignColumn())
      for (const TCaptionRow& r : s_.Captions)
        ini.WriteString("ALIGN", r.FieldName, AlignFileText(r.Align));
  }
  // Parts are asked for, not kept by default: a file of a whole, plain export has no section.
  if ((everyType || WritesTextParts(s_.ExportType)) && s_.Parts.Active()) pages::SaveParts(s_, ini);
  pages::SaveParallel(s_, ini);
  // The chosen type's sections last; before them, in the remembered file, every other type's.
  for (TAllowedExport t : types_)
    if (t != s_.ExportType && everyType) WriteTypeSections(t, ini);
  WriteTypeSections(s_.ExportType, ini);
  ini.EndUpdate();
}

void TExportDialogModel::WriteTypeSections(TAllowedExport t, TIniFile& ini) const {
  const TExportTypeInfo& info = ExportTypeInfo(t);
  if (info.SaveSections) info.SaveSections(s_, ini);
  if (const char* sec = TextEncodingSection(t))
    ini.WriteString(sec, kOutputEncodingKey, TextEncodingName(s_.EncodingOf(t)));
}

void TExportDialogModel::ReadTypeSections(TAllowedExport t, const TIniFile& ini) {
  const TExportTypeInfo& info = ExportTypeInfo(t);
  if (info.LoadSections) info.LoadSections(*this, ini);
  if (const char* sec = TextEncodingSection(t)) {
    // A name this version does not know leaves the system code page, as a file without the key.
    TTextEncoding e = encSystem;
    TextEncodingByName(ini.ReadString(sec, kOutputEncodingKey, ""), e);
    s_.EncodingOf(t) = e;
  }
}

void TExportDialogModel::LoadRememberedOptions(const std::string& fileName) {
  // The file the host suggests (the table open now) wins over the one exported last time.
  const std::string suggested = s_.FileName;
  LoadOptions(fileName);
  const TIniFile ini(fileName);
  for (TAllowedExport t : types_)
    if (t != s_.ExportType) ReadTypeSections(t, ini);
  // Types sharing a page (Word and RTF) read it once more, so the chosen type's values stand.
  ReadTypeSections(s_.ExportType, ini);
  s_.FileName = suggested;
  ChangeFileExtToType();
  Changed();
}

void TExportDialogModel::LoadOptions(const std::string& fileName) {
  const TIniFile ini(fileName);
  const TExportDialog& d = dialog_;
  TExportColumns& cols = Columns();
  const char* g = "GENERAL";

  s_.FileName = ini.ReadString(g, "FileName", d.FileName);
  int type = ini.ReadInteger(g, "ExportType", 0);
  if (FindExportTypeInfo(type)) SetExportType(static_cast<TAllowedExport>(type));
  ApplyTypeChange();
  pages::LoadGeneral(s_, d, ini);

  s_.Formats = d.Formats;
  TLoadFormats formats{s_, ini};
  pages::FormatSettings(formats);

  s_.UserFormats.Clear();
  for (const auto& [key, value] : SectionPairs(ini, "USER_FORMATS"))
    if (cols.IndexOfName(key) >= 0) AddUserFormat(key, value);
  SetExportedFields(SectionValues(ini, "FIELDS"));

  s_.Header.Clear();
  for (const std::string& line : SectionValues(ini, "HEADER")) s_.Header.Add(line);
  s_.Footer.Clear();
  for (const std::string& line : SectionValues(ini, "FOOTER")) s_.Footer.Add(line);

  // Rows the file does not name keep the column's own caption, width and alignment: a file
  // written without the captions page must not blank every caption.
  for (TCaptionRow& r : s_.Captions) {
    int i = cols.IndexOfName(r.FieldName);
    if (i >= 0) r.Caption = cols[i].Caption;
  }
  FillCaptionCells();
  auto rowOf = [this](std::string_view name) -> TCaptionRow* {
    for (TCaptionRow& r : s_.Captions)
      if (SameText(r.FieldName, name)) return &r;
    return nullptr;
  };
  for (const auto& [key, value] : SectionPairs(ini, "CAPTIONS"))
    if (TCaptionRow* r = rowOf(key)) r->Caption = value;
  if (TypeInfo().HasWidthColumn())
    for (const auto& [key, value] : SectionPairs(ini, "WIDTH"))
      if (TCaptionRow* r = rowOf(key)) {
        int w = ini.ReadInteger("WIDTH", key, r->Width);
        if (w >= 0 && w <= 1000) r->Width = w;
      }
  if (TypeInfo().HasAlignColumn())
    for (const auto& [key, value] : SectionPairs(ini, "ALIGN"))
      if (TCaptionRow* r = rowOf(key)) r->Align = AlignFromCellText(value);

  pages::LoadParts(s_, d.Parts, ini);
  pages::LoadParallel(s_, ini);
  ReadTypeSections(s_.ExportType, ini);
  Changed();
}

}  // namespace morvale
