// The options file: a hand-written file with every section and key loads into its places, a file
// saved for each type loads back into an equal working copy, and damaged files load what they can.
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <regex>

#include "export/core/inifile.h"
#include "export/docs/dbfexport.h"
#include "tests/export/dialog/dialogsupport.h"
#include "tests/export/dialog/editeverything.h"

namespace morvale::test {
namespace {

// The fixture with its ExportType line replaced, in a scratch file.
std::string FixtureAsType(int type) {
  std::string text = ReadFile(FixturePath("every-key.cfg"));
  text = std::regex_replace(text, std::regex("ExportType=2"), "ExportType=" + std::to_string(type));
  std::string path = FreshFolder("fixture") + "every-key.cfg";
  WriteFile(path, text);
  return path;
}

const TCaptionRow& Row(const TDialogSettings& s, const std::string& name) {
  for (const TCaptionRow& r : s.Captions)
    if (r.FieldName == name) return r;
  throw std::runtime_error("no row " + name);
}

TEST(OptionsFile, HandWrittenFileLoadsCommonSectionsAndRTF) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.LoadOptions(FixturePath("every-key.cfg"));
  const TDialogSettings& s = m.Settings();
  EXPECT_EQ(s.ExportType, aeRTF);
  EXPECT_EQ(s.FileName, "/tmp/morvale-out/report.rtf");
  EXPECT_FALSE(s.ShowFile);
  EXPECT_TRUE(s.PrintFile);
  EXPECT_FALSE(s.GoToFirstRecord);
  EXPECT_FALSE(s.ExportEmpty);
  EXPECT_TRUE(s.CurrentRecordOnly);
  EXPECT_EQ(s.ExportRecCount, 25);
  EXPECT_TRUE(s.ExportLimited);
  EXPECT_EQ(s.SkipRecCount, 3);
  EXPECT_FALSE(s.AllowCaptions);
  EXPECT_EQ(s.CaptionRow, 2);

  EXPECT_EQ(s.Formats.IntegerFormat(), "#,##0");
  EXPECT_EQ(s.Formats.FloatFormat(), "0.000");
  EXPECT_EQ(s.Formats.DateFormat(), "dd.mm.yyyy");
  EXPECT_EQ(s.Formats.TimeFormat(), "hh:nn");
  EXPECT_EQ(s.Formats.DateTimeFormat(), "dd.mm.yyyy hh:nn");
  EXPECT_EQ(s.Formats.CurrencyFormat(), "0.00 р.");
  EXPECT_EQ(s.Formats.BooleanTrue(), "Да");
  EXPECT_EQ(s.Formats.BooleanFalse(), "Нет");
  EXPECT_EQ(s.Formats.NullString(), "NULL");
  // Unknown field names are passed over; known ones take the column's own spelling.
  EXPECT_EQ(s.UserFormats, (TStringList{"PRICE=#,###,##0.0000", "BORN=yyyy"}));
  EXPECT_EQ(s.ExportedFields, (std::vector<std::string>{"NAME", "PRICE", "ID"}));
  EXPECT_EQ(s.Header, (TStringList{"Orders report", "Второй заголовок"}));
  EXPECT_EQ(s.Footer, (TStringList{"The end"}));

  EXPECT_EQ(Row(s, "ID").Caption, "Номер");
  EXPECT_EQ(Row(s, "NAME").Caption, "Name");
  EXPECT_EQ(Row(s, "PRICE").Caption, "Цена");
  EXPECT_EQ(Row(s, "BORN").Caption, "BORN");  // not in the file: the column's caption
  EXPECT_EQ(Row(s, "ID").Width, 5);
  EXPECT_EQ(Row(s, "NAME").Width, 30);
  EXPECT_EQ(Row(s, "PRICE").Width, 12);
  EXPECT_EQ(Row(s, "ID").Align, ecaRight);
  EXPECT_EQ(Row(s, "NAME").Align, ecaLeft);
  EXPECT_EQ(Row(s, "PRICE").Align, ecaCenter);

  const TRTFPage& r = s.RTF;
  EXPECT_EQ(r.PageOrientation, poLandscape);
  EXPECT_EQ(r.StripType, stRow);
  const TrtfStyle& h = r.BaseStyles[0].Style;
  EXPECT_EQ(h.Font.Name, "Times New Roman");
  EXPECT_EQ(h.Font.Size, 14);
  EXPECT_EQ(h.Font.Color, 255);
  EXPECT_EQ(h.Font.Style, fsBold | fsItalic);
  EXPECT_EQ(h.BackgroundColor, 0xC0C0C0);
  EXPECT_EQ(h.HighlightColor, 0x00FFFF);
  EXPECT_TRUE(h.AllowHighlight);
  EXPECT_EQ(h.Alignment, talCenter);
  EXPECT_EQ(r.BaseStyles[1].Style.Font.Style, fsUnderline);
  EXPECT_FALSE(r.BaseStyles[1].Style.AllowBackground);
  EXPECT_EQ(r.BaseStyles[1].Style.Alignment, talRight);
  EXPECT_EQ(r.BaseStyles[2].Style.Font.Name, "Courier New");
  EXPECT_EQ(r.BaseStyles[2].Style.Font.Style, fsStrikeOut);
  EXPECT_EQ(r.BaseStyles[2].Style.Alignment, talFill);
  EXPECT_EQ(r.BaseStyles[3].Style.Font.Size, 8);
  ASSERT_EQ(r.StripStyles.size(), 2u);
  EXPECT_EQ(r.StripStyles[0].Caption, "ITEM_1");
  EXPECT_EQ(r.StripStyles[0].Style.BackgroundColor, 15790320);
  EXPECT_EQ(r.StripStyles[1].Caption, "ITEM_2");
  EXPECT_EQ(r.StripStyles[1].Style.BackgroundColor, 12632256);
}

TEST(OptionsFile, HandWrittenFileLoadsEachTypesSections) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();

  m.LoadOptions(FixtureAsType(aeXLS));
  const TDialogSettings& s = m.Settings();
  EXPECT_EQ(s.FileName, "/tmp/morvale-out/report.xls");
  EXPECT_EQ(s.XLS.PageHeader, "Orders &D");
  EXPECT_EQ(s.XLS.PageFooter, "Page &P");
  EXPECT_EQ(s.XLS.SheetTitle, "Orders");
  EXPECT_EQ(s.XLS.StripType, ssRow);
  EXPECT_TRUE(s.XLS.AutoCalcColWidth);
  EXPECT_EQ(s.XLS.PageBackground, "/tmp/morvale-out/back.jpg");
  const TxlsFieldFormat& price = s.XLS.FieldFormats[s.XLS.FieldFormats.IndexOf("PRICE")];
  EXPECT_EQ(price.FieldName, "PRICE");
  EXPECT_EQ(price.Font.Name, "Verdana");
  EXPECT_EQ(price.Font.Size, 12);
  EXPECT_EQ(price.Font.Color, clrRed);
  EXPECT_TRUE(price.Font.Has(xfsBold));
  EXPECT_EQ(price.Alignment.Horizontal, halRight);
  EXPECT_EQ(price.Aggregate, aggSum);
  EXPECT_EQ(s.XLS.BaseFormats[1].Caption, "ЗАГОЛОВКИ");
  EXPECT_EQ(s.XLS.BaseFormats[1].Format.Font.Name, "Tahoma");
  EXPECT_FALSE(s.XLS.BaseFormats[1].Format.Font.Has(xfsBold));
  EXPECT_EQ(s.XLS.BaseFormats[1].Format.Fill.Background, clrYellow);
  ASSERT_EQ(s.XLS.StripStyles.size(), 1u);
  EXPECT_EQ(s.XLS.StripStyles[0].Caption, "ЭЛЕМЕНТ_1");
  EXPECT_EQ(s.XLS.StripStyles[0].Format.Fill.Background, clrGray25Percent);
  EXPECT_EQ(Row(s, "NAME").Width, 30);  // the spreadsheet grid has widths, no alignments
  EXPECT_EQ(Row(s, "ID").Align, ecaRight) << "a number column keeps its own alignment";

  m.LoadOptions(FixtureAsType(aeHTML));
  const TExportHTMLPageOptions& pg = s.HTMLPage;
  const TExportHTMLTableOptions& t = s.HTMLTable;
  const TExportHTMLMultiFileOptions& mf = s.HTMLMultiFile;
  EXPECT_EQ(s.FileName, "/tmp/morvale-out/report.html");
  EXPECT_EQ(pg.Title, "Orders page");
  EXPECT_EQ(pg.UsingCSS, usExternal);
  EXPECT_EQ(pg.CSSFileName, "/tmp/morvale-out/orders.css");
  EXPECT_FALSE(pg.OverwriteCSSFile);
  EXPECT_EQ(mf.FileRecCount, 50);
  EXPECT_TRUE(s.HTMLMultiFileOn);
  EXPECT_TRUE(mf.GenerateIndex);
  EXPECT_EQ(mf.IndexLinkTemplate, "Page %d");
  EXPECT_FALSE(mf.NavigationOnTop);
  EXPECT_FALSE(mf.NavigationOnBottom);
  EXPECT_EQ(mf.IndexLinkTitle, "Оглавление");
  EXPECT_EQ(mf.FirstLinkTitle, "Первая");
  EXPECT_EQ(mf.PriorLinkTitle, "Назад");
  EXPECT_EQ(mf.NextLinkTitle, "Вперёд");
  EXPECT_EQ(mf.LastLinkTitle, "Последняя");
  EXPECT_EQ(pg.TextFont.Name, "Verdana");
  EXPECT_EQ(pg.BackgroundFileName, "back.gif");
  EXPECT_EQ(pg.AdvancedAttributes, (TStringList{"leftmargin=\"0\""}));
  EXPECT_EQ(t.CellPadding, 6);
  EXPECT_EQ(t.CellSpacing, 2);
  EXPECT_EQ(t.BorderWidth, 3);
  EXPECT_EQ(t.BackgroundFileName, "table.gif");
  EXPECT_EQ(t.AdvancedAttributes, (TStringList{"width=\"100%\""}));
  EXPECT_EQ(pg.BackgroundColor, clWhite);
  EXPECT_EQ(pg.TextFont.Color, clBlack);
  EXPECT_EQ(t.HeadersRowBgColor, 0xC0C0C0);
  EXPECT_EQ(t.HeadersRowFontColor, clNavy);
  EXPECT_EQ(t.OddRowBgColor, 0xF0F0F0);
  EXPECT_EQ(t.TableBgColor, clSilver);
  EXPECT_EQ(t.TableFontColor, 0x123456);
  EXPECT_EQ(pg.LinkColor, clBlue);
  EXPECT_EQ(pg.VLinkColor, clPurple);
  EXPECT_EQ(pg.ALinkColor, clRed);
  EXPECT_EQ(Row(s, "PRICE").Align, ecaCenter);

  m.LoadOptions(FixtureAsType(aeXML));
  EXPECT_FALSE(s.XML.Standalone);
  EXPECT_EQ(s.XML.Encoding, "windows-1251");

  m.LoadOptions(FixtureAsType(aePDF));
  const TExportPDFOptions& p = s.PDF;
  EXPECT_DOUBLE_EQ(p.ColSpacing, 2.5);
  EXPECT_DOUBLE_EQ(p.RowSpacing, 1.5);
  EXPECT_EQ(p.GridLineWidth, 2);
  EXPECT_EQ(p.PageOptions.Format(), pfUser);
  EXPECT_EQ(p.PageOptions.Units, unMillimeter);
  EXPECT_EQ(p.PageOptions.Orientation(), poPortrait);
  EXPECT_EQ(p.PageOptions.WidthPoints(), 500);
  EXPECT_EQ(p.PageOptions.HeightPoints(), 700);
  EXPECT_EQ(p.PageOptions.LeftPoints(), 40);
  EXPECT_EQ(p.PageOptions.RightPoints(), 30);
  EXPECT_EQ(p.PageOptions.TopPoints(), 20);
  EXPECT_EQ(p.PageOptions.BottomPoints(), 10);
  EXPECT_EQ(p.HeaderFont.BaseFont, poTimesBold);
  EXPECT_EQ(p.HeaderFont.FontEncoding, poWinAnsiEncoding);
  EXPECT_EQ(p.HeaderFont.FontSize, 16);
  EXPECT_EQ(p.HeaderFont.FontColor, clMaroon);
  EXPECT_EQ(p.CaptionFont.BaseFont, poHelveticaBold);
  EXPECT_EQ(p.CaptionFont.FontColor, 0xC0C0C0);
  EXPECT_EQ(p.DataFont.BaseFont, poCourier);
  EXPECT_EQ(p.DataFont.FontEncoding, poPDFDocEncoding);
  EXPECT_EQ(p.FooterFont.BaseFont, poTimesItalic);
  EXPECT_EQ(p.FooterFont.FontEncoding, poMacRomanEncoding);
  EXPECT_EQ(p.FooterFont.FontSize, 7);
  EXPECT_EQ(p.FooterFont.FontColor, clGray);
  EXPECT_EQ(p.FooterFont.ResourceName(), "FooterFont");

  m.LoadOptions(FixtureAsType(aeTXT));
  EXPECT_FALSE(s.TXT.AutoCalcColWidth);
  EXPECT_EQ(s.TXT.ColSpacing, 3);

  m.LoadOptions(FixtureAsType(aeCSV));
  EXPECT_FALSE(s.CSV.QuoteStrings);
  EXPECT_EQ(s.CSV.Comma, '\t');
  EXPECT_EQ(s.CSV.Quote, '\'');

  m.LoadOptions(FixtureAsType(aeSQL));
  EXPECT_EQ(s.SQL.TableName, "ORD");
  EXPECT_TRUE(s.SQL.CreateTable);
  EXPECT_EQ(s.SQL.CommitRecCount, 100);
  EXPECT_TRUE(s.SQL.CommitAfterScript);
  EXPECT_EQ(s.SQL.CommitStatement, "COMMIT;");
  EXPECT_EQ(s.SQL.StatementTerm, ';');
}

TEST(OptionsFile, EachTypeSavedLoadsBackIntoAnEqualWorkingCopy) {
  for (const TExportTypeInfo& info : ExportTypeTable()) {
    SCOPED_TRACE(info.Name);
    TDialogFixture f;
    std::string folder = FreshFolder("roundtrip");
    TExportDialogModel& first = f.Model();
    EditEverythingSaved(first, info.Type, folder);
    first.SaveOptions(folder + "saved.cfg");
    TDialogSettings saved = first.Settings();

    TExportDialogModel second(f.dialog);
    ASSERT_FALSE(second.Settings() == saved) << "the edits must differ from a new form";
    second.LoadOptions(folder + "saved.cfg");
    EXPECT_TRUE(second.Settings() == saved);
    EXPECT_EQ(second.Settings().ExportedFields, saved.ExportedFields);
    EXPECT_EQ(second.Settings().Captions, saved.Captions);
  }
}

TEST(OptionsFile, SectionsFollowThePagesOfTheType) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  std::string path = FreshFolder("sections") + "o.cfg";
  auto sections = [&] {
    TIniFile ini(path);
    TStringList l;
    ini.ReadSections(l);
    return l;
  };
  m.SetExportType(aeXLS);
  m.SaveOptions(path);
  m.SetExportType(aeDBF);
  m.MoveToExported("NAME");
  m.SaveOptions(path);
  // Saving again leaves only the second save's sections; DBF has no formats, header or captions,
  // only its page's one choice.
  EXPECT_EQ(sections(), (TStringList{"GENERAL", "FIELDS", "DBF"}));
  EXPECT_FALSE(TIniFile(path).ReadBool("DBF", "DateTimeAsText", true));
  m.Settings().DBF.DateTimeAsText = true;
  m.SaveOptions(path);
  m.Settings().DBF.DateTimeAsText = false;
  m.LoadOptions(path);
  EXPECT_TRUE(m.Settings().DBF.DateTimeAsText);
  EXPECT_TRUE(dynamic_cast<TExportDBF&>(m.PrepareExporter()).DateTimeAsText);

  m.SetExportType(aeCSV);
  m.Settings().CSV.Comma = '\t';
  m.SaveOptions(path);
  EXPECT_EQ(TIniFile(path).ReadString("CSV", "Comma", ""), "#9");
  m.Settings().CSV.Comma = ';';
  m.SaveOptions(path);
  EXPECT_EQ(TIniFile(path).ReadString("CSV", "Comma", ""), ";");
  EXPECT_EQ(sections(), (TStringList{"GENERAL", "FORMATS", "FIELDS", "CAPTIONS", "CSV"}))
      << "empty lists write no section";
}

// The output encoding is a name in the type's own section ("Encoding" of XML is its declaration);
// a name this version does not know loads as the system code page.
TEST(OptionsFile, TextTypesKeepTheirOutputEncodingByName) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  const std::string path = FreshFolder("encoding") + "o.cfg";
  m.SetExportType(aeXML);
  m.Settings().XML.Encoding = "UTF-8";
  m.Settings().EncodingOf(aeXML) = encUTF8BOM;
  m.SaveOptions(path);
  EXPECT_EQ(TIniFile(path).ReadString("XML", "OutputEncoding", ""), "utf-8-bom");
  EXPECT_EQ(TIniFile(path).ReadString("XML", "Encoding", ""), "UTF-8");
  m.SetExportType(aeSylk);
  m.Settings().EncodingOf(aeSylk) = encWindows1251;
  m.SaveOptions(path);
  EXPECT_EQ(TIniFile(path).ReadString("SYLK", "OutputEncoding", ""), "windows-1251");

  TExportDialogModel other(f.dialog);
  other.LoadOptions(path);
  EXPECT_EQ(other.Settings().ExportType, aeSylk);
  EXPECT_EQ(other.Settings().EncodingOf(aeSylk), encWindows1251);
  TIniFile edited(path);
  edited.WriteString("SYLK", "OutputEncoding", "koi8-r");
  other.LoadOptions(path);
  EXPECT_EQ(other.Settings().EncodingOf(aeSylk), encSystem);

  m.SetExportType(aeXLSX);
  m.SaveOptions(path);
  TStringList sections;
  TIniFile(path).ReadSections(sections);
  for (const char* sec : {"TXT", "CSV", "DIF", "SYLK", "HTML", "XML", "SQL", "LATEX"})
    EXPECT_EQ(sections.IndexOf(sec), -1) << sec;
}

// JSON Lines is the JSON type's own choice: kept in its section, loaded back, and what Start
// writes: one object a line instead of one array.
TEST(OptionsFile, JSONKeepsItsLinesChoice) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  const std::string dir = FreshFolder("jsonlines");
  m.SetExportType(aeJSON);
  EXPECT_FALSE(m.Settings().JSON.JSONLines);
  m.Settings().JSON.JSONLines = true;
  m.SaveOptions(dir + "o.cfg");
  EXPECT_TRUE(TIniFile(dir + "o.cfg").ReadBool("JSON", "JSONLines", false));

  TExportDialogModel other(f.dialog);
  other.LoadOptions(dir + "o.cfg");
  EXPECT_TRUE(other.Settings().JSON.JSONLines);
  other.Settings().FileName = dir + "lines.json";
  other.Start();
  const std::string lines = ReadFile(other.Settings().FileName);
  EXPECT_EQ(lines.front(), '{');
  EXPECT_EQ(lines.substr(lines.size() - 2), "}\n");
  EXPECT_NE(lines.find("}\n{"), std::string::npos);

  other.Settings().JSON.JSONLines = false;
  other.Settings().FileName = dir + "array.json";
  other.Start();
  EXPECT_EQ(ReadFile(other.Settings().FileName).front(), '[');
}

// Parts and compression: saved in their own section when asked for, reaching the exporter of a
// text type (and no other), and values that do not read keep the component's.
TEST(OptionsFile, PartsSectionRoundTripAndDamagedValues) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  const std::string dir = FreshFolder("partsfile");
  m.SetExportType(aeSQL);
  m.SaveOptions(dir + "plain.cfg");
  EXPECT_FALSE(TIniFile(dir + "plain.cfg").SectionExists("PARTS"));
  m.Settings().Parts = {5000, int64_t{64} << 20, cmpGzip, true};
  m.SaveOptions(dir + "o.cfg");
  const TIniFile saved(dir + "o.cfg");
  EXPECT_EQ(saved.ReadString("PARTS", "SplitSize", ""), "64M");
  EXPECT_EQ(saved.ReadString("PARTS", "Compression", ""), "gzip");

  TExportDialogModel other(f.dialog);
  other.LoadOptions(dir + "o.cfg");
  EXPECT_TRUE(other.Settings().Parts == m.Settings().Parts);
  EXPECT_TRUE(dynamic_cast<TExportText&>(other.PrepareExporter()).Parts == m.Settings().Parts);
  other.SetExportType(aeXLSX);
  EXPECT_FALSE(dynamic_cast<TExportText&>(other.PrepareExporter()).Parts.Active());

  f.dialog.Parts.SplitRows = 7;
  f.dialog.Parts.Compression = cmpZstd;
  TIniFile damaged(dir + "o.cfg");
  damaged.WriteString("PARTS", "SplitRows", "many");
  damaged.WriteString("PARTS", "SplitSize", "1.5G");
  damaged.WriteString("PARTS", "Compression", "rar");
  damaged.UpdateFile();
  TExportDialogModel third(f.dialog);
  third.LoadOptions(dir + "o.cfg");
  const TOutputParts& p = third.Settings().Parts;
  EXPECT_EQ(p.SplitRows, 7);
  EXPECT_EQ(p.SplitSize, 0);
  EXPECT_EQ(p.Compression, cmpZstd);
  EXPECT_TRUE(p.Manifest);
}

TEST(OptionsFile, PDFSpacingIsWrittenWithAPointWhateverTheLocale) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  m.SetExportType(aePDF);
  m.Settings().PDF.RowSpacing = 1.5;
  std::string path = FreshFolder("pdfspacing") + "o.cfg";
  std::string old = std::setlocale(LC_NUMERIC, nullptr);
  bool russian = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr;
  m.SaveOptions(path);
  m.Settings().PDF.RowSpacing = 1.0;
  m.LoadOptions(path);
  std::setlocale(LC_NUMERIC, old.c_str());
  EXPECT_EQ(TIniFile(path).ReadString("PDF", "RowSpacing", ""), "1.5");
  EXPECT_DOUBLE_EQ(m.Settings().PDF.RowSpacing, 1.5);
  if (!russian) GTEST_LOG_(INFO) << "ru_RU.UTF-8 is not installed: checked under the C locale";
}

TEST(OptionsFile, ATypeThatIsNotOfferedKeepsTheCurrentOne) {
  TDialogFixture f;
  f.dialog.AllowedExports = {aeCSV};
  f.dialog.CSVOptions.Comma = '|';
  TExportDialogModel& m = f.Model();
  m.Settings().CSV.Comma = '\t';
  m.LoadOptions(FixtureAsType(aePDF));
  EXPECT_EQ(m.Settings().ExportType, aeCSV);
  // The file's CSV section is read (the fixture has one), so check against a file without one.
  std::string path = FreshFolder("notoffered") + "o.cfg";
  WriteFile(path, "[GENERAL]\nExportType=6\n[PDF]\nRowSpacing=2.0\n");
  m.Settings().CSV.Comma = '\t';
  m.LoadOptions(path);
  EXPECT_EQ(m.Settings().ExportType, aeCSV);
  EXPECT_EQ(m.Settings().CSV.Comma, '|') << "missing keys take the component's values";
}

TEST(OptionsFile, DamagedFilesLoadWhatTheyCan) {
  TDialogFixture f;
  f.dialog.ExportRecCount = 4;
  TExportDialogModel& m = f.Model();
  std::string folder = FreshFolder("damaged");
  auto load = [&](const std::string& name, const std::string& text) {
    WriteFile(folder + name, text);
    EXPECT_NO_THROW(m.LoadOptions(folder + name)) << name;
  };
  load("unknown.cfg",
       "[NOSUCH]\nkey=1\n[GENERAL]\nExportType=8\nNoSuchKey=3\nSkipRecCount=5\n"
       "[FIELDS]\nfield0=NAME\nfieldX=ID\n");
  EXPECT_EQ(m.Settings().ExportType, aeCSV);
  EXPECT_EQ(m.Settings().SkipRecCount, 5);
  EXPECT_EQ(m.Settings().ExportedFields, (std::vector<std::string>{"NAME", "ID"}));

  load("ranges.cfg",
       "[GENERAL]\nExportType=99\nExportRecCount=-5\nCaptionRow=-9\n"
       "[RTF]\nPageOrientation=7\nStripType=-1\n");
  EXPECT_EQ(m.Settings().ExportType, aeCSV) << "an unknown ordinal keeps the type";
  EXPECT_EQ(m.Settings().ExportRecCount, 4);
  EXPECT_EQ(m.Settings().CaptionRow, -1);

  m.SetExportType(aeRTF);
  load("rtf.cfg",
       "[GENERAL]\nExportType=2\n[RTF]\nPageOrientation=7\nStripType=-1\n"
       "[RTF_STYLE_DATA]\nAlignment=77\nFontSize=-3\n"
       "[RTF_STYLE_HEADER]\nFontSize=1639\n[RTF_STYLE_CAPTION]\nFontSize=1638\n");
  EXPECT_EQ(m.Settings().RTF.PageOrientation, poPortrait);
  EXPECT_EQ(m.Settings().RTF.StripType, stNone);
  EXPECT_EQ(m.Settings().RTF.BaseStyles[2].Style.Alignment, talLeft);
  EXPECT_EQ(m.Settings().RTF.BaseStyles[2].Style.Font.Size, 10);
  EXPECT_EQ(m.Settings().RTF.BaseStyles[0].Style.Font.Size, 10);
  EXPECT_EQ(m.Settings().RTF.BaseStyles[1].Style.Font.Size, 1638);

  load("pdf.cfg",
       "[GENERAL]\nExportType=6\n[PDF]\nColSpacing=wide\nRowSpacing=1,5\nGridLineWidth=x\n"
       "PageFormat=-3\nPageUnits=9\nPageOrientation=2\nPageMarginLeft=abc\n"
       "[PDF_OPTION_DATA]\nFontName=99\nFontEncoding=-1\nFontSize=big\nFontColor=clNoSuch\n");
  const TExportPDFOptions& d = f.dialog.PDFOptions;
  const TExportPDFOptions& p = m.Settings().PDF;
  EXPECT_DOUBLE_EQ(p.ColSpacing, d.ColSpacing);
  EXPECT_DOUBLE_EQ(p.RowSpacing, d.RowSpacing);
  EXPECT_EQ(p.GridLineWidth, d.GridLineWidth);
  EXPECT_TRUE(SamePDFPage(p.PageOptions, d.PageOptions));
  EXPECT_TRUE(p.DataFont == d.DataFont);

  load("xls.cfg",
       "[GENERAL]\nExportType=0\n[XLS]\nStripType=12\n"
       "[XLS_FIELD_PRICE]\nFontColor=notacolour\nFontSize=2\n"
       "[XLS_OPTION_ШАПКА]\nFillPattern=400\nHorAlignment=-2\nFontUnderline=99\n");
  EXPECT_EQ(m.Settings().XLS.StripType, ssNone);
  const TXLSPage& x = m.Settings().XLS;
  EXPECT_EQ(x.FieldFormats[x.FieldFormats.IndexOf("PRICE")].Font.Size, 10)
      << "a section that cannot be read leaves the format as it was";
  EXPECT_EQ(x.BaseFormats[0].Format.Fill.Pattern, ptNone);
  EXPECT_EQ(x.BaseFormats[0].Format.Alignment.Horizontal, halGeneral);
  EXPECT_EQ(x.BaseFormats[0].Format.Font.Underline, fulNone);

  load("empty.cfg", "");
  EXPECT_EQ(m.Settings().FileName, f.dialog.FileName);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) % 256);
  binary += "\n[GENERAL]\nExportType=\xff\xfe\n[\x00\x01]\n=\n==\n[";
  load("binary.cfg", binary);
  EXPECT_NO_THROW(m.LoadOptions(folder + "missing.cfg"));
}

TEST(OptionsFile, ColourAndCharacterTexts) {
  EXPECT_EQ(ColorText(0xC0C0C0), "clSilver");
  EXPECT_EQ(ColorText(0x123456), "$00123456");
  EXPECT_EQ(ColorText(static_cast<TColor>(0x80000000)), "clScrollBar");
  EXPECT_EQ(ColorText(static_cast<TColor>(0x80000005)), "clWindow");
  EXPECT_EQ(ColorText(static_cast<TColor>(0x80000018)), "clInfoBk");
  EXPECT_EQ(ColorText(static_cast<TColor>(0x80000019)), "$80000019");
  EXPECT_EQ(ColorText(clNone), "clNone");
  EXPECT_EQ(ColorText(0x20000000), "$20000000");
  TColor c = 0;
  EXPECT_TRUE(ColorFromText("$00C0C0C0", c));
  EXPECT_EQ(c, 0xC0C0C0);
  EXPECT_TRUE(ColorFromText("12632256", c));
  EXPECT_EQ(c, 0xC0C0C0);
  EXPECT_TRUE(ColorFromText(" clinfobk ", c));
  EXPECT_EQ(c, static_cast<TColor>(0x80000018));
  EXPECT_FALSE(ColorFromText("clNoSuch", c));
  EXPECT_FALSE(ColorFromText("", c));

  EXPECT_EQ(CharText('\t'), "#9");
  EXPECT_EQ(CharText(' '), "#32");
  EXPECT_EQ(CharText('\0'), "#0");
  EXPECT_EQ(CharText('!'), "!");
  EXPECT_EQ(CharText(';'), ";");
  EXPECT_EQ(CharFromText(""), '\0');
  EXPECT_EQ(CharFromText("#9"), '\t');
  EXPECT_EQ(CharFromText("#"), '#');
  EXPECT_EQ(CharFromText("#300"), '\0');
  EXPECT_EQ(CharFromText("ab"), '\0');
}

TEST(OptionsFile, StyleFilesHoldTheStripStyles) {
  TDialogFixture f;
  TExportDialogModel& m = f.Model();
  std::string folder = FreshFolder("styles");
  m.AddRTFStripStyle();
  m.AddRTFStripStyle();
  m.Settings().RTF.StripStyles[1].Style.BackgroundColor = clAqua;
  m.SaveRTFStyles(folder + "s.rst");
  TStringList sections;
  TIniFile(folder + "s.rst").ReadSections(sections);
  EXPECT_EQ(sections, (TStringList{"RTF_STRIP_STYLE_0", "RTF_STRIP_STYLE_1"}));
  m.Settings().RTF.StripStyles.clear();
  m.LoadRTFStyles(folder + "s.rst");
  ASSERT_EQ(m.Settings().RTF.StripStyles.size(), 2u);
  EXPECT_EQ(m.Settings().RTF.StripStyles[0].Caption, "ITEM_0");
  EXPECT_EQ(m.Settings().RTF.StripStyles[1].Style.BackgroundColor, clAqua);

  m.AddXLSStripStyle();
  m.Settings().XLS.StripStyles[0].Format.Fill.Background = clrRose;
  m.SaveXLSStyles(folder + "s.xst");
  m.DeleteXLSStripStyles({0}, 0);
  m.LoadXLSStyles(folder + "s.xst");
  ASSERT_EQ(m.Settings().XLS.StripStyles.size(), 1u);
  EXPECT_EQ(m.Settings().XLS.StripStyles[0].Caption, "ЭЛЕМЕНТ_0");
  EXPECT_EQ(m.Settings().XLS.StripStyles[0].Format.Fill.Background, clrRose);
}

}  // namespace
}  // namespace morvale::test
