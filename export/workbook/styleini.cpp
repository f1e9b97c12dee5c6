// Settings-file keys of the cell and note formats. The diagonal borders, Wrap, Script and Charset
// are not saved, so loading leaves them as they were.
#include "export/core/inifile.h"
#include "export/workbook/inikeys.h"
#include "export/workbook/styles.h"

namespace morvale {

namespace {

struct TBorderKey {
  const char* key;
  TxlsBorder TxlsBorders::*border;
};
constexpr TBorderKey kBorderKeys[] = {{"BorderTop", &TxlsBorders::Top},
                                      {"BorderBottom", &TxlsBorders::Bottom},
                                      {"BorderLeft", &TxlsBorders::Left},
                                      {"BorderRight", &TxlsBorders::Right}};

struct TFontDefaults {
  const char* name;
  int size;
  bool bold;
  int horizontal, vertical;
};

// The font and alignment keys, which cell and note formats share (with defaults of their own).
void FontAndAlignmentKeys(auto& font, auto& alignment, const TFontDefaults& d, auto& k) {
  k.Text("FontName", font.Name, d.name);
  k.Int("FontSize", font.Size, d.size);
  k.Color("FontColor", font.Color, clrBlack);
  k.FontStyle("FontBold", font, xfsBold, d.bold);
  k.FontStyle("FontItalic", font, xfsItalic, false);
  k.FontStyle("FontStrikeOut", font, xfsStrikeOut, false);
  k.Int("FontUnderline", font.Underline, fulNone);
  k.Int("HorAlignment", alignment.Horizontal, d.horizontal);
  k.Int("VertAlignment", alignment.Vertical, d.vertical);
}

void FormatKeys(auto& f, auto& k) {
  FontAndAlignmentKeys(f.Font, f.Alignment, {"arial", 10, false, 0, 2}, k);
  for (const TBorderKey& b : kBorderKeys) {
    auto& border = f.Borders.*b.border;
    k.Int(b.key, border.Style, 0);
    k.Color(std::string(b.key) + "Color", border.Color, clrBlack);
  }
  k.Int("FillPattern", f.Fill.Pattern, 0);
  k.Color("FillBackground", f.Fill.Background, clrWhite);
  k.Color("FillForeground", f.Fill.Foreground, clrBlack);
}

void NoteFormatKeys(auto& n, auto& k) {
  FontAndAlignmentKeys(n.Font, n.Alignment, {"Tahoma", 8, true, 1, 0}, k);
  k.Int("BackgroundColor", n.BackgroundColor, 14811135);
  k.Int("ForegroundColor", n.ForegroundColor, 14811135);
  k.Int("FillType", n.FillType, 0);
  k.Int("Transparency", n.Transparency, 0);
  k.Int("Orientation", n.Orientation, 0);
  k.Int("Gradient", n.Gradient, 0);
}

}  // namespace

void TxlsFormat::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  FormatKeys(*this, k);
}

void TxlsFormat::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  FormatKeys(*this, k);
}

void TxlsFieldFormat::SaveToIni(TIniFile& ini, const std::string& section) const {
  TxlsFormat::SaveToIni(ini, section);
  ini.WriteInteger(section, "Aggregate", Aggregate);
}

void TxlsFieldFormat::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TxlsFormat::LoadFromIni(ini, section);
  Aggregate = static_cast<TxlsAggregate>(ini.ReadInteger(section, "Aggregate", 0));
}

void TxlsNoteFormat::SaveToIni(TIniFile& ini, const std::string& section) const {
  TIniSaveKeys k(ini, section);
  NoteFormatKeys(*this, k);
}

void TxlsNoteFormat::LoadFromIni(const TIniFile& ini, const std::string& section) {
  TIniLoadKeys k(ini, section);
  NoteFormatKeys(*this, k);
}

}  // namespace morvale
