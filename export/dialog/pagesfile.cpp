// Each type's own sections of the options file.
#include <charconv>

#include "export/core/compress.h"
#include "export/core/parts.h"
#include "export/dialog/pagekeys.h"
#include "export/dialog/pages.h"
#include "export/workbook/options.h"

namespace morvale::pages {

namespace {

// An ordinal read from a file is used only when it names a value of its type.
template <class E>
E ReadEnum(const TIniFile& ini, std::string_view section, std::string_view key, E def, int last) {
  int v = ini.ReadInteger(section, key, def);
  return v >= 0 && v <= last ? static_cast<E>(v) : def;
}

TColor ReadColorText(const TIniFile& ini, std::string_view section, std::string_view key,
                     TColor def) {
  TColor c = def;
  return ColorFromText(ini.ReadString(section, key, ""), c) ? c : def;
}

template <class E>
void Clamp(E& v, int last) {
  if (v < 0 || v > last) v = static_cast<E>(0);
}

// Values a hand-edited file may put out of range are brought back to their defaults, so that no
// later table lookup by ordinal reads past its end.
void Sanitize(TxlsFormat& f) {
  Clamp(f.Font.Underline, fulDoubleAccounting);
  Clamp(f.Font.Script, fscSubscript);
  if (f.Font.Size < 1 || f.Font.Size > 409) f.Font.Size = 10;
  Clamp(f.Alignment.Horizontal, halFill);
  if (f.Alignment.Vertical < 0 || f.Alignment.Vertical > valJustify)
    f.Alignment.Vertical = valBottom;
  for (TxlsBorder* b : {&f.Borders.Left, &f.Borders.Right, &f.Borders.Top, &f.Borders.Bottom,
                        &f.Borders.DiagDown, &f.Borders.DiagUp})
    Clamp(b->Style, bstSlantedDashDot);
  Clamp(f.Fill.Pattern, ptThinThinSpots);
}

// A cell format's section: a colour text that names no palette colour fails its load, and the
// format keeps the values it had before.
template <class F>
void LoadFormat(F& f, const TIniFile& ini, const std::string& section) {
  F before = f;
  try {
    f.LoadFromIni(ini, section);
  } catch (const Exception&) {
    f = before;
  }
  Sanitize(f);
}

std::string AfterPrefix(const std::string& name, std::string_view prefix) {
  if (name.size() < prefix.size() ||
      !SameText(std::string_view(name).substr(0, prefix.size()), prefix))
    return {};
  return name.substr(prefix.size());
}

bool HasPrefix(const std::string& name, std::string_view prefix) {
  return name.size() > prefix.size() &&
         SameText(std::string_view(name).substr(0, prefix.size()), prefix);
}

std::string OneDecimal(double v) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  return ec == std::errc() ? std::string(buf, p) : "0.0";
}

double ReadPointNumber(const TIniFile& ini, std::string_view section, std::string_view key,
                       double def) {
  double v = 0;
  return WholeNumber(ini.ReadString(section, key, ""), v) && v >= 0 && v < 1e6 ? v : def;
}

}  // namespace

void LoadXlsFormat(TxlsFormat& f, const TIniFile& ini, const std::string& section) {
  LoadFormat(f, ini, section);
}

// A section's keys as the page's list declares them (pagekeys.h), of the working copy or of a
// value in it (a PDF font).
template <class R>
struct TSaveKeys {
  const R& s;
  TIniFile& ini;
  const char* section;

  void operator()(key::Text, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, setting.Of(s));
  }
  void operator()(key::Font, const char* k, const char* w, auto setting, auto property) {
    (*this)(key::Text{}, k, w, setting, property);
  }
  void operator()(key::Bool, const char* k, const char*, auto setting, auto) {
    ini.WriteBool(section, k, setting.Of(s));
  }
  void operator()(key::Pick, const char* k, const char* w, auto setting, auto property) {
    (*this)(key::Text{}, k, w, setting, property);
  }
  void operator()(key::Count, const char* k, const char*, auto setting, auto) {
    ini.WriteInteger(section, k, setting.Of(s));
  }
  void operator()(key::Choice, const char* k, const char*, auto setting, auto) {
    ini.WriteInteger(section, k, setting.Of(s));
  }
  void operator()(key::Listed, const char* k, const char*, auto setting, auto) {
    ini.WriteInteger(section, k, setting.Of(s));
  }
  void operator()(key::Rows, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, std::to_string(setting.Of(s)));
  }
  void operator()(key::Bytes, const char* k, const char*, auto setting, auto) {
    const int64_t v = setting.Of(s);
    ini.WriteString(section, k, v > 0 ? ByteSizeText(v) : "0");
  }
  void operator()(key::Compression, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, CompressionName(setting.Of(s)));
  }
  void operator()(key::Points, const char* k, const char*, auto setting, auto) {
    ini.WriteInteger(section, k, setting.Of(s));
  }
  void operator()(key::Char, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, CharText(setting.Of(s)));
  }
  void operator()(key::Spacing, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, OneDecimal(setting.Of(s)));
  }
  void operator()(key::Term, const char* k, const char*, auto setting, auto) {
    const char t = setting.Of(s);
    ini.WriteString(section, k, t ? std::string(1, t) : "");
  }
  void operator()(key::Color, const char* k, const char*, auto setting, auto) {
    ini.WriteString(section, k, ColorText(setting.Of(s)));
  }
  // The list's lines joined by spaces: the file keeps one line.
  void operator()(key::Line, const char* k, const char*, auto setting, auto) {
    std::string text;
    for (const std::string& a : setting.Of(s)) text += (text.empty() ? "" : " ") + a;
    ini.WriteString(section, k, text);
  }
  void Limit(const char* k, const char*, const char*, auto count, auto on, auto) {
    ini.WriteInteger(section, k, on.Of(s) ? count.Of(s) : 0);
  }
};
template <class R>
TSaveKeys(const R&, TIniFile&, const char*) -> TSaveKeys<R>;

// A missing key takes the dialog's default; so does a count out of its range or an ordinal out of
// range.
template <class R>
struct TLoadKeys {
  R& s;
  const R& defaults;
  const TIniFile& ini;
  const char* section;

  void operator()(key::Text, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ini.ReadString(section, k, setting.Of(defaults));
  }
  void operator()(key::Font, const char* k, const char* w, auto setting, auto property) {
    (*this)(key::Text{}, k, w, setting, property);
  }
  void operator()(key::Bool, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ini.ReadBool(section, k, setting.Of(defaults));
  }
  void operator()(key::Pick, const char* k, const char* w, auto setting, auto property) {
    (*this)(key::Text{}, k, w, setting, property);
  }
  void operator()(key::Count c, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = Count(k, setting.Of(defaults), c);
  }
  void operator()(key::Spacing, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ReadPointNumber(ini, section, k, setting.Of(defaults));
  }
  void operator()(key::Char, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ini.ValueExists(section, k) ? CharFromText(ini.ReadString(section, k, ""))
                                                : setting.Of(defaults);
  }
  void operator()(key::Term, const char* k, const char*, auto setting, auto) {
    if (!ini.ValueExists(section, k)) {
      setting.Of(s) = setting.Of(defaults);
      return;
    }
    const std::string t = ini.ReadString(section, k, "");
    setting.Of(s) = t.empty() ? '\0' : t[0];
  }
  void operator()(key::Choice, const char* k, const char* widgets, auto setting, auto) {
    setting.Of(s) = ReadEnum(ini, section, k, setting.Of(defaults), ChoiceCount(widgets) - 1);
  }
  void operator()(key::Listed l, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ReadEnum(ini, section, k, setting.Of(defaults), l.Last);
  }
  void operator()(key::Rows, const char* k, const char*, auto setting, auto) {
    const std::string rows = Trim(ini.ReadString(section, k, ""));
    int64_t n = 0;
    auto [end, ec] = std::from_chars(rows.data(), rows.data() + rows.size(), n);
    const bool read = !rows.empty() && ec == std::errc() && end == rows.data() + rows.size();
    setting.Of(s) = read && n >= 0 ? n : setting.Of(defaults);
  }
  void operator()(key::Bytes, const char* k, const char*, auto setting, auto) {
    const std::string size = Trim(ini.ReadString(section, k, ""));
    int64_t v = setting.Of(defaults);
    if (size == "0")
      v = 0;
    else if (!size.empty())
      ParseByteSize(size, v);
    setting.Of(s) = v;
  }
  void operator()(key::Compression, const char* k, const char*, auto setting, auto) {
    TCompression c = setting.Of(defaults);
    CompressionByName(ini.ReadString(section, k, ""), c);
    setting.Of(s) = c;
  }
  void operator()(key::Points, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = Count(k, setting.Of(defaults), kPoints);
  }
  void operator()(key::PageSize, const char* k, const char*, auto setting, auto) {
    if (s.PDF.PageOptions.Format() == pfUser)
      setting.Of(s) = Count(k, setting.Of(std::as_const(s)), kPoints);
  }
  static constexpr key::Count kPoints{100000};
  void operator()(key::Color, const char* k, const char*, auto setting, auto) {
    setting.Of(s) = ReadColorText(ini, section, k, setting.Of(defaults));
  }
  void operator()(key::Line, const char* k, const char*, auto setting, auto) {
    if (!ini.ValueExists(section, k)) {
      setting.Of(s) = setting.Of(defaults);
      return;
    }
    TStringList l;
    std::string v = ini.ReadString(section, k, "");
    if (!v.empty()) l.Add(v);
    setting.Of(s) = l;
  }
  void Limit(const char* k, const char*, const char*, auto count, auto on, auto) {
    count.Of(s) = Count(k, count.Of(defaults));
    on.Of(s) = count.Of(s) > 0;
  }
  int Count(const char* k, int def, key::Count range = {}) const {
    int v = ini.ReadInteger(section, k, def);
    return v < range.Min || v > range.Max ? def : v;
  }
};
template <class R>
TLoadKeys(R&, const R&, const TIniFile&, const char*) -> TLoadKeys<R>;

// Spreadsheet.

void SaveXLS(const TDialogSettings& s, TIniFile& ini) {
  const TXLSPage& p = s.XLS;
  TSaveKeys save{s, ini, "XLS"};
  XLSSettings(save);
  for (const auto& f : p.FieldFormats)
    f->SaveToIni(ini, "XLS_FIELD_" + UpperCaseAscii(f->FieldName));
  for (const TNamedXlsFormat& f : p.BaseFormats)
    f.Format.SaveToIni(ini, "XLS_OPTION_" + UpperCaseAscii(f.Caption));
  for (const TNamedXlsFormat& f : p.StripStyles)
    f.Format.SaveToIni(ini, "XLS_STYLE_" + UpperCaseAscii(f.Caption));
  SaveExtrasToIni(p.Extras, &p.Pictures, ini);
}

void LoadXLS(TExportDialogModel& m, const TIniFile& ini) {
  m.ResetXLSPage();
  // What the file leaves out takes the format defaults, not the component's formats, so a file
  // loads to the same page whichever component it is loaded into.
  m.ResetAllXLSFormats(xflFields, -1);
  m.ResetAllXLSFormats(xflBase, -1);
  {
    // The reset page holds the component's values, which a missing key keeps.
    const TDialogSettings defaults = m.Settings();
    TLoadKeys load{m.Settings(), defaults, ini, "XLS"};
    XLSSettings(load);
  }
  TXLSPage& p = m.Settings().XLS;
  p.StripStyles.clear();
  TStringList sections;
  ini.ReadSections(sections);
  for (const std::string& sec : sections) {
    if (HasPrefix(sec, "XLS_FIELD_")) {
      int i = p.FieldFormats.IndexOf(AfterPrefix(sec, "XLS_FIELD_"));
      if (i < 0) continue;
      TxlsFieldFormat& f = p.FieldFormats[i];
      std::string name = f.FieldName;
      LoadFormat(f, ini, sec);
      f.FieldName = name;
      if (f.Aggregate < aggNone || f.Aggregate > aggMax) f.Aggregate = aggNone;
    } else if (HasPrefix(sec, "XLS_OPTION_")) {
      std::string rest = AfterPrefix(sec, "XLS_OPTION_");
      for (TNamedXlsFormat& f : p.BaseFormats)
        if (SameText(f.Caption, rest)) {
          LoadFormat(f.Format, ini, sec);
        }
    } else if (HasPrefix(sec, "XLS_STYLE_")) {
      TNamedXlsFormat& f = p.StripStyles.emplace_back();
      f.Caption = AfterPrefix(sec, "XLS_STYLE_");
      LoadFormat(f.Format, ini, sec);
    }
  }
  // A note or hyperlink the file leaves without a look of its own takes the page's note format
  // and hyperlink format, as it would in the exporter.
  TXLSOptions looks;
  looks.NoteFormat = p.NoteFormat;
  for (const TNamedXlsFormat& f : p.BaseFormats)
    if (SameText(f.Caption, kXLSBaseFormats[4])) looks.HyperlinkFormat.Assign(f.Format);
  TxlsExtras extras(&looks);
  TxlsPictures pictures;
  LoadExtrasFromIni(extras, &pictures, ini);
  p.Extras = extras;
  p.Pictures = pictures;
}

// Word and RTF.

namespace {

// A style read from its section keeps to the ranges its editor offers (the style reads its
// alignment in range itself): a size out of them is a new style's.
struct TStyleInRange {
  TrtfStyle& style;
  const TrtfStyle fresh;
  void operator()(key::Count c, const char*, const char*, auto setting, auto) {
    const int v = setting.Of(style);
    if (v < c.Min || v > c.Max) setting.Of(style) = setting.Of(fresh);
  }
  void operator()(auto&&...) {}
};

}  // namespace

void SaveRTF(const TDialogSettings& s, TIniFile& ini) {
  const TRTFPage& p = s.RTF;
  TSaveKeys save{s, ini, "RTF"};
  RTFSettings(save);
  for (const TNamedRtfStyle& st : p.BaseStyles)
    st.Style.SaveToIni(ini, "RTF_STYLE_" + UpperCaseAscii(st.Caption));
  for (const TNamedRtfStyle& st : p.StripStyles)
    st.Style.SaveToIni(ini, "RTF_STRIP_STYLE_" + UpperCaseAscii(st.Caption));
}

void LoadRTF(TExportDialogModel& m, const TIniFile& ini) {
  // What the file leaves out is the component's, which the reset page holds.
  m.ResetRTFPage();
  const TDialogSettings defaults = m.Settings();
  TLoadKeys load{m.Settings(), defaults, ini, "RTF"};
  RTFSettings(load);
  TRTFPage& p = m.Settings().RTF;
  p.StripStyles.clear();
  TStringList sections;
  ini.ReadSections(sections);
  for (const std::string& sec : sections) {
    TrtfStyle* target = nullptr;
    if (HasPrefix(sec, "RTF_STRIP_STYLE_")) {
      p.StripStyles.push_back({AfterPrefix(sec, "RTF_STRIP_STYLE_"), TrtfStyle()});
      target = &p.StripStyles.back().Style;
    } else if (HasPrefix(sec, "RTF_STYLE_")) {
      std::string rest = AfterPrefix(sec, "RTF_STYLE_");
      for (TNamedRtfStyle& st : p.BaseStyles)
        if (SameText(st.Caption, rest)) target = &st.Style;
    }
    if (!target) continue;
    target->LoadFromIni(ini, sec);
    TStyleInRange range{*target, TrtfStyle()};
    RTFStyleSettings(range);
  }
}

// HTML.

void SaveHTML(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "HTML"};
  HTMLSettings(save);
}

void LoadHTML(TExportDialogModel& model, const TIniFile& ini) {
  const TExportDialog& d = model.Dialog();
  TDialogSettings& s = model.Settings();
  TDialogSettings defaults = s;
  defaults.HTMLPage = d.HTMLPageOptions;
  defaults.HTMLTable = d.HTMLTableOptions;
  defaults.HTMLMultiFile = d.HTMLMultiFileOptions;
  TLoadKeys load{s, defaults, ini, "HTML"};
  HTMLSettings(load);
  s.HTMLTemplate = htCustom;
}

void SaveParallel(const TDialogSettings& s, TIniFile& ini) {
  if (!s.Parallel.On) return;
  TSaveKeys save{s, ini, kParallelSection};
  ParallelSettings(save);
}

void LoadParallel(TDialogSettings& s, const TIniFile& ini) {
  TDialogSettings defaults = s;
  defaults.Parallel = {};
  TLoadKeys load{s, defaults, ini, kParallelSection};
  ParallelSettings(load);
}

void SaveParts(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, kPartsSection};
  PartsSettings(save);
}

void LoadParts(TDialogSettings& s, const TOutputParts& component, const TIniFile& ini) {
  TDialogSettings defaults = s;
  defaults.Parts = component;
  TLoadKeys load{s, defaults, ini, kPartsSection};
  PartsSettings(load);
}

void SaveGeneral(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, kGeneralSection};
  FileSettings(save);
  RunSettings(save);
  CaptionSettings(save);
}

void LoadGeneral(TDialogSettings& s, const TExportDialog& d, const TIniFile& ini) {
  TDialogSettings defaults = s;
  CaptureFile(d, defaults);
  CaptureRun(d, defaults);
  TLoadKeys load{s, defaults, ini, kGeneralSection};
  FileSettings(load);
  RunSettings(load);
  CaptionSettings(load);
}

// XML, TXT, CSV, SQL.

void SaveXML(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "XML"};
  XMLSettings(save);
}

void LoadXML(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.XML = m.Dialog().XMLOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "XML"};
  XMLSettings(load);
}

void SaveJSON(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "JSON"};
  JSONSettings(save);
}

void LoadJSON(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.JSON = m.Dialog().JSONOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "JSON"};
  JSONSettings(load);
}

void SaveDBF(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "DBF"};
  DBFSettings(save);
}

void LoadDBF(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.DBF = m.Dialog().DBFOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "DBF"};
  DBFSettings(load);
}

void SaveTXT(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "TXT"};
  TXTSettings(save);
}

void LoadTXT(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.TXT = m.Dialog().TXTOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "TXT"};
  TXTSettings(load);
}

void SaveCSV(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "CSV"};
  CSVSettings(save);
}

void LoadCSV(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.CSV = m.Dialog().CSVOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "CSV"};
  CSVSettings(load);
}

void SaveSQL(const TDialogSettings& s, TIniFile& ini) {
  TSaveKeys save{s, ini, "SQL"};
  SQLSettings(save);
}

void LoadSQL(TExportDialogModel& m, const TIniFile& ini) {
  TDialogSettings defaults = m.Settings();
  defaults.SQL = m.Dialog().SQLOptions;
  TLoadKeys load{m.Settings(), defaults, ini, "SQL"};
  SQLSettings(load);
}

// PDF.

void SavePDF(const TDialogSettings& s, TIniFile& ini) {
  const TExportPDFOptions& o = s.PDF;
  TSaveKeys save{s, ini, "PDF"};
  PDFSettings(save);
  for (const TPDFFontSection& f : kPDFFonts) {
    TSaveKeys font{o.*f.Font, ini, f.Section};
    PDFFontSettings(font);
  }
}

void LoadPDF(TExportDialogModel& m, const TIniFile& ini) {
  const TExportPDFOptions& d = m.Dialog().PDFOptions;
  TExportPDFOptions& o = m.Settings().PDF;
  // The paper is read from the component's: its format and orientation turn what they find.
  o = d;
  {
    const TDialogSettings defaults = m.Settings();
    TLoadKeys load{m.Settings(), defaults, ini, "PDF"};
    PDFSettings(load);
  }

  for (const TPDFFontSection& f : kPDFFonts) {
    TLoadKeys font{o.*f.Font, d.*f.Font, ini, f.Section};
    PDFFontSettings(font);
  }
}

}  // namespace morvale::pages
