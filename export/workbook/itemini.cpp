// Settings-file keys of the sheet items. Loading takes the default of a missing key; the extra
// cell keeps what it had for every key that is missing.
#include <cmath>

#include "export/core/inifile.h"
#include "export/core/numfmt.h"
#include "export/core/translate.h"
#include "export/workbook/inikeys.h"
#include "export/workbook/items.h"

namespace morvale {

namespace {

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

void RangeKeys(auto& r, auto& k) {
  k.Int("Col1", r.Col1, 0);
  k.Int("Row1", r.Row1, 0);
  k.Int("Col2", r.Col2, 0);
  k.Int("Row2", r.Row2, 0);
}

void HyperlinkKeys(auto& h, auto& k) {
  k.Int("Col", h.Col, 0);
  k.Int("Row", h.Row, 0);
  k.Int("Style", h.Style, hlsURL);
  k.Text("Title", h.Title, "");
  k.Text("Target", h.Target, "");
  k.Text("ScreenTip", h.ScreenTip, "");
}

// A picture's title is kept when the file has none.
void ImageKeys(auto& i, auto& k) {
  k.Int("Col", i.Col, 0);
  k.Int("Row", i.Row, 0);
  k.Text("PictureName", i.PictureName, "");
  k.Text("Title", i.Title, i.Title);
  k.Int("Zoom", i.Zoom, 100);
}

void SeriesKeys(auto& s, auto& k) {
  k.Int("Color", s.Color, 0);
  k.Text("Title", s.Title, "");
  k.Text("Column", s.DataColumn, "");
  k.Int("DataRangeType", s.DataRangeType, rtColumn);
  RangeKeys(s.DataRange, k);
}

void ChartKeys(auto& c, auto& k) {
  k.Bool("AutoColor", c.AutoColor, true);
  k.Int("LegendPlacement", c.LegendPlacement, clpRight);
  k.Bool("ShowLegend", c.ShowLegend, true);
  k.Int("Style", c.Style, xcsColumn);
  k.Text("Title", c.Title, "");
  k.Int("CategoryLabelsType", c.CategoryLabelsType, rtColumn);
  k.Text("CategoryLabelsColumn", c.CategoryLabelsColumn, "");
  RangeKeys(c.CategoryLabels, k);
  auto& a = c.Position.AutoPosition;
  k.Int("ChartPlacement", a.Placement, cpBottom);
  k.Int("ChartHeight", a.Height, 10);
  k.Int("ChartLeft", a.Left, 0);
  k.Int("ChartTop", a.Top, 0);
  k.Int("ChartWidth", a.Width, 5);
  auto& p = c.Position.CustomPosition;
  k.Int("X1", p.X1, 0);
  k.Int("Y1", p.Y1, 0);
  k.Int("X2", p.X2, 0);
  k.Int("Y2", p.Y2, 0);
  k.Int("PositionType", c.Position.PositionType, cptAuto);
}

// An extra cell keeps what it had for every key the file lacks.
void CellKeys(auto& c, auto& k) {
  k.Int("CellType", c.CellType, c.CellType);
  k.Int("Col", c.Col, c.Col);
  k.Int("Row", c.Row, c.Row);
  k.Text("DateTimeFormat", c.DateTimeFormat, c.DateTimeFormat);
  k.Text("NumericFormat", c.NumericFormat, c.NumericFormat);
  k.Bool("BooleanValue", c.BooleanValue, c.BooleanValue);
}

// An extra cell's date and time value, saved in its parts.
struct TDateTimeParts {
  int year, month, day, hour, min, sec, msec;
  explicit TDateTimeParts(TDateTime t) {
    DecodeDate(t, year, month, day);
    DecodeTime(t, hour, min, sec, msec);
  }
};

void DateTimeKeys(auto& t, auto& k) {
  k.Int("Year", t.year, t.year);
  k.Int("Month", t.month, t.month);
  k.Int("Day", t.day, t.day);
  k.Int("Hour", t.hour, t.hour);
  k.Int("Min", t.min, t.min);
  k.Int("Sec", t.sec, t.sec);
  k.Int("MSec", t.msec, t.msec);
}

void MergedCellsKeys(auto& m, auto& k) {
  k.Int("FirstCol", m.FirstCol, m.FirstCol);
  k.Int("FirstRow", m.FirstRow, m.FirstRow);
  k.Int("LastCol", m.LastCol, m.LastCol);
  k.Int("LastRow", m.LastRow, m.LastRow);
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
  TIniSaveKeys k(ini, section);
  HyperlinkKeys(*this, k);
  Format.SaveToIni(ini, section);
}

void TxlsHyperlink::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  HyperlinkKeys(*this, k);
  Format.LoadFromIni(ini, section);
}

void TxlsNote::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  k.Int("Col", Col, 0);
  k.Int("Row", Row, 0);
  Format.SaveToIni(ini, section);
  const std::string lines = section + "_LINES";
  ini.EraseSection(lines);
  for (int i = 0; i < Lines.Count(); ++i)
    ini.WriteString(lines, "line" + std::to_string(i), Lines[i]);
}

void TxlsNote::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  k.Int("Col", Col, 0);
  k.Int("Row", Row, 0);
  Format.LoadFromIni(ini, section);
  // The lines are the values of the "_LINES" keys in the order the file lists them.
  const std::string lines = section + "_LINES";
  Lines.Clear();
  TStringList keys;
  ini.ReadSection(lines, keys);
  for (const std::string& k : keys) Lines.Add(ini.ReadString(lines, k, ""));
}

void TxlsImage::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  ImageKeys(*this, k);
}

void TxlsImage::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  ImageKeys(*this, k);
  Zoom = std::clamp(Zoom, 0, 1000);
}

void TxlsChartSeries::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  SeriesKeys(*this, k);
}

void TxlsChartSeries::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  SeriesKeys(*this, k);
  if (Color < 0 || Color >= kxlsColorCount) Color = clrBlack;
}

void TxlsChart::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  ChartKeys(*this, k);
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
  TIniLoadKeys k(ini, section);
  ChartKeys(*this, k);
}

void TxlsCell::SaveToIni(TIniFile& ini, const std::string& section) const {
  const TFormatSettings& fs = DefaultFormatSettings();
  TIniSaveKeys k(ini, section);
  CellKeys(*this, k);
  TDateTimeParts t(DateTimeValue);
  DateTimeKeys(t, k);
  ini.WriteString(section, "Separator", SeparatorText(fs.DecimalSeparator));
  TFormatSettings plain = fs;
  plain.ThousandSeparator.clear();
  ini.WriteString(section, "NumericValue", FloatToStr(NumericValue, plain));
  k.Text("StringValue", StringValue, StringValue);
  Format.SaveToIni(ini, section);
}

void TxlsCell::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  CellKeys(*this, k);
  TDateTimeParts t(DateTimeValue);
  DateTimeKeys(t, k);
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(t.year, t.month, t.day, date) ||
      !TryEncodeTime(t.hour, t.min, t.sec, t.msec, time))
    throw EConvertError(
        morvale::Format(TranslateText("Engine", "Invalid date or time in section %s"), {section}));
  DateTimeValue = date + time;
  // The number is read with the separator it was written with, whatever this machine's is.
  if (ini.ValueExists(section, "NumericValue")) {
    TFormatSettings fs = DefaultFormatSettings();
    fs.DecimalSeparator = SeparatorFromText(ini.ReadString(section, "Separator", ""));
    fs.ThousandSeparator.clear();
    std::string text = ini.ReadString(section, "NumericValue", "");
    if (!TryStrToFloat(text, NumericValue, fs))
      throw EConvertError(morvale::Format(
          TranslateText("Engine", "'%s' is not a valid floating point value"), {text}));
  }
  k.Text("StringValue", StringValue, StringValue);
  Format.LoadFromIni(ini, section);
}

void TxlsMergedCells::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  MergedCellsKeys(*this, k);
}

void TxlsMergedCells::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  MergedCellsKeys(*this, k);
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
