// Settings-file keys of the sheet items. Loading takes the default of a missing key; the extra
// cell keeps what it had for every key that is missing.
#include <cmath>

#include "export/core/inifile.h"
#include "export/core/numfmt.h"
#include "export/xls/items.h"

namespace morvale {

namespace {

template <class E>
E ReadEnum(const TIniFile& ini, const std::string& section, const char* key, E def) {
  return static_cast<E>(ini.ReadInteger(section, key, static_cast<int>(def)));
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

void SaveRange(TIniFile& ini, const std::string& section, const TxlsDataRange& r) {
  ini.WriteInteger(section, "Col1", r.Col1);
  ini.WriteInteger(section, "Row1", r.Row1);
  ini.WriteInteger(section, "Col2", r.Col2);
  ini.WriteInteger(section, "Row2", r.Row2);
}

void LoadRange(const TIniFile& ini, const std::string& section, TxlsDataRange& r) {
  r.Col1 = ini.ReadInteger(section, "Col1", 0);
  r.Row1 = ini.ReadInteger(section, "Row1", 0);
  r.Col2 = ini.ReadInteger(section, "Col2", 0);
  r.Row2 = ini.ReadInteger(section, "Row2", 0);
}

// A character as settings text: itself, or "#" and its code below 33 (a blank as #32).
std::string SeparatorText(const std::string& sep) {
  if (sep.size() == 1 && static_cast<unsigned char>(sep[0]) < 33)
    return "#" + std::to_string(static_cast<unsigned char>(sep[0]));
  return sep;
}

std::string SeparatorFromText(const std::string& text) {
  if (text.size() > 1 && text[0] == '#') {
    int code = 0;
    for (size_t i = 1; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9' || code > 255) return std::string(1, '\0');
      code = code * 10 + (text[i] - '0');
    }
    return std::string(1, static_cast<char>(code));
  }
  // One character: that character (a UTF-8 sequence counts as one); anything else: code 0.
  if (text.empty()) return std::string(1, '\0');
  size_t n = 1;
  while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return n == text.size() ? text : std::string(1, '\0');
}

}  // namespace

void TxlsHyperlink::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteInteger(section, "Col", Col);
  ini.WriteInteger(section, "Row", Row);
  ini.WriteInteger(section, "Style", Style);
  ini.WriteString(section, "Title", Title);
  ini.WriteString(section, "Target", Target);
  ini.WriteString(section, "ScreenTip", ScreenTip);
  Format.SaveToIni(ini, section);
}

void TxlsHyperlink::LoadFromIni(const TIniFile& ini, const std::string& section) {
  Col = ini.ReadInteger(section, "Col", 0);
  Row = ini.ReadInteger(section, "Row", 0);
  Style = ReadEnum(ini, section, "Style", hlsURL);
  Title = ini.ReadString(section, "Title", "");
  Target = ini.ReadString(section, "Target", "");
  ScreenTip = ini.ReadString(section, "ScreenTip", "");
  Format.LoadFromIni(ini, section);
}

void TxlsNote::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteInteger(section, "Col", Col);
  ini.WriteInteger(section, "Row", Row);
  Format.SaveToIni(ini, section);
  const std::string lines = section + "_LINES";
  ini.EraseSection(lines);
  for (int i = 0; i < Lines.Count(); ++i)
    ini.WriteString(lines, "line" + std::to_string(i), Lines[i]);
}

void TxlsNote::LoadFromIni(const TIniFile& ini, const std::string& section) {
  Col = ini.ReadInteger(section, "Col", 0);
  Row = ini.ReadInteger(section, "Row", 0);
  Format.LoadFromIni(ini, section);
  // The lines are the values of the "_LINES" keys in the order the file lists them.
  const std::string lines = section + "_LINES";
  Lines.Clear();
  TStringList keys;
  ini.ReadSection(lines, keys);
  for (const std::string& k : keys) Lines.Add(ini.ReadString(lines, k, ""));
}

void TxlsImage::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteInteger(section, "Col", Col);
  ini.WriteInteger(section, "Row", Row);
  ini.WriteString(section, "PictureName", PictureName);
  ini.WriteString(section, "Title", Title);
  ini.WriteInteger(section, "Zoom", Zoom);
}

void TxlsImage::LoadFromIni(const TIniFile& ini, const std::string& section) {
  Col = ini.ReadInteger(section, "Col", 0);
  Row = ini.ReadInteger(section, "Row", 0);
  PictureName = ini.ReadString(section, "PictureName", "");
  Title = ini.ReadString(section, "Title", Title);
  Zoom = std::clamp(ini.ReadInteger(section, "Zoom", 100), 0, 1000);
}

void TxlsChartSeries::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteInteger(section, "Color", Color);
  ini.WriteString(section, "Title", Title);
  ini.WriteString(section, "Column", DataColumn);
  ini.WriteInteger(section, "DataRangeType", DataRangeType);
  SaveRange(ini, section, DataRange);
}

void TxlsChartSeries::LoadFromIni(const TIniFile& ini, const std::string& section) {
  int c = ini.ReadInteger(section, "Color", 0);
  Color = c >= 0 && c < kxlsColorCount ? static_cast<TxlsColor>(c) : clrBlack;
  Title = ini.ReadString(section, "Title", "");
  DataColumn = ini.ReadString(section, "Column", "");
  DataRangeType = ReadEnum(ini, section, "DataRangeType", rtColumn);
  LoadRange(ini, section, DataRange);
}

void TxlsChart::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteBool(section, "AutoColor", AutoColor);
  ini.WriteInteger(section, "LegendPlacement", LegendPlacement);
  ini.WriteBool(section, "ShowLegend", ShowLegend);
  ini.WriteInteger(section, "Style", Style);
  ini.WriteString(section, "Title", Title);
  ini.WriteInteger(section, "CategoryLabelsType", CategoryLabelsType);
  ini.WriteString(section, "CategoryLabelsColumn", CategoryLabelsColumn);
  SaveRange(ini, section, CategoryLabels);
  const TxlsChartAutoPosition& a = Position.AutoPosition;
  ini.WriteInteger(section, "ChartPlacement", a.Placement);
  ini.WriteInteger(section, "ChartHeight", a.Height);
  ini.WriteInteger(section, "ChartLeft", a.Left);
  ini.WriteInteger(section, "ChartTop", a.Top);
  ini.WriteInteger(section, "ChartWidth", a.Width);
  const TxlsChartCustomPosition& c = Position.CustomPosition;
  ini.WriteInteger(section, "X1", c.X1);
  ini.WriteInteger(section, "Y1", c.Y1);
  ini.WriteInteger(section, "X2", c.X2);
  ini.WriteInteger(section, "Y2", c.Y2);
  ini.WriteInteger(section, "PositionType", Position.PositionType);
  for (int i = 0; i < Series.Count(); ++i)
    Series[i].SaveToIni(ini, section + "_SERIES_" + std::to_string(i));
}

void TxlsChart::LoadFromIni(const TIniFile& ini, const std::string& section) {
  Series.Clear();
  TStringList sections;
  ini.ReadSections(sections);
  const std::string prefix = section + "_SERIES_";
  for (const std::string& s : sections)
    if (StartsWithText(s, prefix)) Series.Add().LoadFromIni(ini, s);
  AutoColor = ini.ReadBool(section, "AutoColor", true);
  LegendPlacement = ReadEnum(ini, section, "LegendPlacement", clpRight);
  ShowLegend = ini.ReadBool(section, "ShowLegend", true);
  Style = ReadEnum(ini, section, "Style", xcsColumn);
  Title = ini.ReadString(section, "Title", "");
  CategoryLabelsType = ReadEnum(ini, section, "CategoryLabelsType", rtColumn);
  CategoryLabelsColumn = ini.ReadString(section, "CategoryLabelsColumn", "");
  LoadRange(ini, section, CategoryLabels);
  TxlsChartAutoPosition& a = Position.AutoPosition;
  a.Placement = ReadEnum(ini, section, "ChartPlacement", cpBottom);
  a.Height = ini.ReadInteger(section, "ChartHeight", 10);
  a.Left = ini.ReadInteger(section, "ChartLeft", 0);
  a.Top = ini.ReadInteger(section, "ChartTop", 0);
  a.Width = ini.ReadInteger(section, "ChartWidth", 5);
  TxlsChartCustomPosition& c = Position.CustomPosition;
  c.X1 = ini.ReadInteger(section, "X1", 0);
  c.Y1 = ini.ReadInteger(section, "Y1", 0);
  c.X2 = ini.ReadInteger(section, "X2", 0);
  c.Y2 = ini.ReadInteger(section, "Y2", 0);
  Position.PositionType = ReadEnum(ini, section, "PositionType", cptAuto);
}

void TxlsCell::SaveToIni(TIniFile& ini, const std::string& section) const {
  const TFormatSettings& fs = DefaultFormatSettings();
  ini.WriteInteger(section, "CellType", CellType);
  ini.WriteInteger(section, "Col", Col);
  ini.WriteInteger(section, "Row", Row);
  ini.WriteString(section, "DateTimeFormat", DateTimeFormat);
  ini.WriteString(section, "NumericFormat", NumericFormat);
  ini.WriteBool(section, "BooleanValue", BooleanValue);
  int y, mo, d, h, mi, s, ms;
  DecodeDate(DateTimeValue, y, mo, d);
  DecodeTime(DateTimeValue, h, mi, s, ms);
  ini.WriteInteger(section, "Year", y);
  ini.WriteInteger(section, "Month", mo);
  ini.WriteInteger(section, "Day", d);
  ini.WriteInteger(section, "Hour", h);
  ini.WriteInteger(section, "Min", mi);
  ini.WriteInteger(section, "Sec", s);
  ini.WriteInteger(section, "MSec", ms);
  ini.WriteString(section, "Separator", SeparatorText(fs.DecimalSeparator));
  TFormatSettings plain = fs;
  plain.ThousandSeparator.clear();
  ini.WriteString(section, "NumericValue", FloatToStr(NumericValue, plain));
  ini.WriteString(section, "StringValue", StringValue);
  Format.SaveToIni(ini, section);
}

void TxlsCell::LoadFromIni(const TIniFile& ini, const std::string& section) {
  CellType = ReadEnum(ini, section, "CellType", CellType);
  Col = ini.ReadInteger(section, "Col", Col);
  Row = ini.ReadInteger(section, "Row", Row);
  DateTimeFormat = ini.ReadString(section, "DateTimeFormat", DateTimeFormat);
  NumericFormat = ini.ReadString(section, "NumericFormat", NumericFormat);
  BooleanValue = ini.ReadBool(section, "BooleanValue", BooleanValue);
  int y, mo, d, h, mi, s, ms;
  DecodeDate(DateTimeValue, y, mo, d);
  DecodeTime(DateTimeValue, h, mi, s, ms);
  y = ini.ReadInteger(section, "Year", y);
  mo = ini.ReadInteger(section, "Month", mo);
  d = ini.ReadInteger(section, "Day", d);
  h = ini.ReadInteger(section, "Hour", h);
  mi = ini.ReadInteger(section, "Min", mi);
  s = ini.ReadInteger(section, "Sec", s);
  ms = ini.ReadInteger(section, "MSec", ms);
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(y, mo, d, date) || !TryEncodeTime(h, mi, s, ms, time))
    throw EConvertError(morvale::Format("Invalid date or time in section %s", {section}));
  DateTimeValue = date + time;
  // The number is read with the separator it was written with, whatever this machine's is.
  if (ini.ValueExists(section, "NumericValue")) {
    TFormatSettings fs = DefaultFormatSettings();
    fs.DecimalSeparator = SeparatorFromText(ini.ReadString(section, "Separator", ""));
    fs.ThousandSeparator.clear();
    std::string text = ini.ReadString(section, "NumericValue", "");
    if (!TryStrToFloat(text, NumericValue, fs))
      throw EConvertError(morvale::Format("'%s' is not a valid floating point value", {text}));
  }
  StringValue = ini.ReadString(section, "StringValue", StringValue);
  Format.LoadFromIni(ini, section);
}

void TxlsMergedCells::SaveToIni(TIniFile& ini, const std::string& section) const {
  ini.WriteInteger(section, "FirstCol", FirstCol);
  ini.WriteInteger(section, "FirstRow", FirstRow);
  ini.WriteInteger(section, "LastCol", LastCol);
  ini.WriteInteger(section, "LastRow", LastRow);
}

void TxlsMergedCells::LoadFromIni(const TIniFile& ini, const std::string& section) {
  FirstCol = ini.ReadInteger(section, "FirstCol", FirstCol);
  FirstRow = ini.ReadInteger(section, "FirstRow", FirstRow);
  LastCol = ini.ReadInteger(section, "LastCol", LastCol);
  LastRow = ini.ReadInteger(section, "LastRow", LastRow);
}

// --- whole lists ---------------------------------------------------------------------------------

namespace {

template <class List>
void SaveList(const List& list, const char* prefix, TIniFile& ini) {
  for (int i = 0; i < list.Count(); ++i) list[i].SaveToIni(ini, prefix + std::to_string(i));
}

}  // namespace

void SaveExtrasToIni(const TxlsExtras& e, const TxlsPictures* pictures, TIniFile& ini) {
  ini.BeginUpdate();
  SaveList(e.Hyperlinks, "XLS_HYPERLINK_", ini);
  SaveList(e.Notes, "XLS_NOTE_", ini);
  SaveList(e.Charts, "XLS_CHART_", ini);
  SaveList(e.Cells, "XLS_CELL_", ini);
  SaveList(e.MergedCells, "XLS_MERGED_CELL_", ini);
  if (pictures)
    for (int i = 0; i < pictures->Count(); ++i) {
      const std::string section = "XLS_PICTURE_" + std::to_string(i);
      ini.WriteString(section, "Name", (*pictures)[i].Name());
      ini.WriteString(section, "FileName", (*pictures)[i].FileName);
    }
  SaveList(e.Images, "XLS_IMAGE_", ini);
  ini.EndUpdate();
}

void LoadExtrasFromIni(TxlsExtras& e, TxlsPictures* pictures, const TIniFile& ini) {
  e.Hyperlinks.Clear();
  e.Notes.Clear();
  e.Charts.Clear();
  e.Cells.Clear();
  e.MergedCells.Clear();
  e.Images.Clear();
  if (pictures) pictures->Clear();
  TStringList sections;
  ini.ReadSections(sections);
  // Longer prefixes first: "XLS_MERGED_CELL_" is not a cell.
  for (const std::string& s : sections) {
    if (StartsWithText(s, "XLS_HYPERLINK_")) {
      e.Hyperlinks.Add().LoadFromIni(ini, s);
    } else if (StartsWithText(s, "XLS_NOTE_")) {
      if (ini.ValueExists(s, "Col")) e.Notes.Add().LoadFromIni(ini, s);
    } else if (StartsWithText(s, "XLS_CHART_")) {
      if (ini.ValueExists(s, "Style")) e.Charts.Add().LoadFromIni(ini, s);
    } else if (StartsWithText(s, "XLS_MERGED_CELL_")) {
      if (ini.ValueExists(s, "FirstCol")) e.MergedCells.Add().LoadFromIni(ini, s);
    } else if (StartsWithText(s, "XLS_CELL_")) {
      if (ini.ValueExists(s, "Col")) e.Cells.Add().LoadFromIni(ini, s);
    } else if (StartsWithText(s, "XLS_IMAGE_")) {
      if (ini.ValueExists(s, "PictureName")) e.Images.Add().LoadFromIni(ini, s);
    } else if (pictures && StartsWithText(s, "XLS_PICTURE_")) {
      TxlsPicture& p = pictures->Add();
      std::string name = ini.ReadString(s, "Name", p.Name());
      pictures->SetName(p, name);
      p.FileName = ini.ReadString(s, "FileName", "");
    }
  }
}

}  // namespace morvale
