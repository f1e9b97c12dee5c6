// Settings-file keys of the cell and note formats. The diagonal borders, Wrap, Script and Charset
// are not saved, so loading leaves them as they were.
#include "export/core/inifile.h"
#include "export/xls/styles.h"

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

TxlsColor ReadColor(const TIniFile& ini, const std::string& section, const char* key,
                    TxlsColor def) {
  if (!ini.ValueExists(section, key)) return def;
  return TextToColor(ini.ReadString(section, key, ""));
}

// The font and alignment keys, which cell and note formats share (with defaults of their own).
void SaveFontAndAlignment(TIniFile& ini, const std::string& section, const TxlsFont& font,
                          const TxlsAlignment& alignment) {
  ini.WriteString(section, "FontName", font.Name);
  ini.WriteInteger(section, "FontSize", font.Size);
  ini.WriteString(section, "FontColor", ColorToText(font.Color));
  ini.WriteBool(section, "FontBold", font.Has(xfsBold));
  ini.WriteBool(section, "FontItalic", font.Has(xfsItalic));
  ini.WriteBool(section, "FontStrikeOut", font.Has(xfsStrikeOut));
  ini.WriteInteger(section, "FontUnderline", font.Underline);
  ini.WriteInteger(section, "HorAlignment", alignment.Horizontal);
  ini.WriteInteger(section, "VertAlignment", alignment.Vertical);
}

struct TFontDefaults {
  const char* name;
  int size;
  bool bold;
  int horizontal, vertical;
};

void LoadFontAndAlignment(const TIniFile& ini, const std::string& section, const TFontDefaults& d,
                          TxlsFont& font, TxlsAlignment& alignment) {
  font.Name = ini.ReadString(section, "FontName", d.name);
  font.Size = ini.ReadInteger(section, "FontSize", d.size);
  font.Color = ReadColor(ini, section, "FontColor", clrBlack);
  font.Set(xfsBold, ini.ReadBool(section, "FontBold", d.bold));
  font.Set(xfsItalic, ini.ReadBool(section, "FontItalic", false));
  font.Set(xfsStrikeOut, ini.ReadBool(section, "FontStrikeOut", false));
  font.Underline = static_cast<TxlsFontUnderline>(ini.ReadInteger(section, "FontUnderline", 0));
  alignment.Horizontal =
      static_cast<TxlsHorizontalAlignment>(ini.ReadInteger(section, "HorAlignment", d.horizontal));
  alignment.Vertical =
      static_cast<TxlsVerticalAlignment>(ini.ReadInteger(section, "VertAlignment", d.vertical));
}

}  // namespace

void TxlsFormat::SaveToIni(TIniFile& ini, const std::string& section) const {
  SaveFontAndAlignment(ini, section, Font, Alignment);
  for (const TBorderKey& k : kBorderKeys) {
    const TxlsBorder& b = Borders.*k.border;
    ini.WriteInteger(section, k.key, b.Style);
    ini.WriteString(section, std::string(k.key) + "Color", ColorToText(b.Color));
  }
  ini.WriteInteger(section, "FillPattern", Fill.Pattern);
  ini.WriteString(section, "FillBackground", ColorToText(Fill.Background));
  ini.WriteString(section, "FillForeground", ColorToText(Fill.Foreground));
}

void TxlsFormat::LoadFromIni(const TIniFile& ini, const std::string& section) {
  LoadFontAndAlignment(ini, section, {"arial", 10, false, 0, 2}, Font, Alignment);
  for (const TBorderKey& k : kBorderKeys) {
    TxlsBorder& b = Borders.*k.border;
    b.Style = static_cast<TxlsBorderStyle>(ini.ReadInteger(section, k.key, 0));
    b.Color = ReadColor(ini, section, (std::string(k.key) + "Color").c_str(), clrBlack);
  }
  Fill.Pattern = static_cast<TxlsPattern>(ini.ReadInteger(section, "FillPattern", 0));
  Fill.Background = ReadColor(ini, section, "FillBackground", clrWhite);
  Fill.Foreground = ReadColor(ini, section, "FillForeground", clrBlack);
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
  SaveFontAndAlignment(ini, section, Font, Alignment);
  ini.WriteInteger(section, "BackgroundColor", BackgroundColor);
  ini.WriteInteger(section, "ForegroundColor", ForegroundColor);
  ini.WriteInteger(section, "FillType", FillType);
  ini.WriteInteger(section, "Transparency", Transparency);
  ini.WriteInteger(section, "Orientation", Orientation);
  ini.WriteInteger(section, "Gradient", Gradient);
}

void TxlsNoteFormat::LoadFromIni(const TIniFile& ini, const std::string& section) {
  LoadFontAndAlignment(ini, section, {"Tahoma", 8, true, 1, 0}, Font, Alignment);
  BackgroundColor = ini.ReadInteger(section, "BackgroundColor", 14811135);
  ForegroundColor = ini.ReadInteger(section, "ForegroundColor", 14811135);
  FillType = static_cast<TxlsNoteFillType>(ini.ReadInteger(section, "FillType", 0));
  Transparency = ini.ReadInteger(section, "Transparency", 0);
  Orientation = static_cast<TxlsOrientation>(ini.ReadInteger(section, "Orientation", 0));
  Gradient = static_cast<TxlsNoteGradient>(ini.ReadInteger(section, "Gradient", 0));
}

}  // namespace morvale
