#include "export/dialog/exporttypes.h"

#include "export/core/translate.h"
#include "export/dialog/pages.h"

namespace morvale {

namespace {

using namespace pages;

constexpr TDialogPages kAllCommon =
    PageBit(dpFields) | PageBit(dpFormats) | PageBit(dpColons) | PageBit(dpCaptions);

std::vector<TExportTypeInfo> BuildTable() {
  const TDialogPages all = kAllCommon;
  const TDialogPages fields = PageBit(dpFields);
  return {
      {aeXLS, "aeXLS", "MS Excel", "xls",
       MVL_TEXT_NOOP("Filters", "Microsoft Excel files (*.xls)|*.xls"), all, dpXLS, clWidth, false,
       true, "xls", CreateXLS, PrepareXLS, SaveXLS, LoadXLS, CaptureXLS},
      {aeWord, "aeWord", "MS Word", "doc",
       MVL_TEXT_NOOP("Filters", "Microsoft Word files (*.doc)|*.doc"), all, dpRTF, clAlignWidth,
       true, true, "rtf", CreateRTF, PrepareRTF, SaveRTF, LoadRTF, CaptureRTF},
      {aeRTF, "aeRTF", "RTF", "rtf", MVL_TEXT_NOOP("Filters", "RTF files (*.rtf)|*.rtf"), all,
       dpRTF, clAlignWidth, true, true, "rtf", CreateRTF, PrepareRTF, SaveRTF, LoadRTF, CaptureRTF},
      {aeHTML, "aeHTML", "HTML", "html",
       MVL_TEXT_NOOP("Filters", "HTML files (*.html, *.htm)|*.html;*.htm"), all, dpHTML, clAlign,
       true, false, "html", CreateHTML, PrepareHTML, SaveHTML, LoadHTML, CaptureHTML},
      {aeXML, "aeXML", "XML", "xml", MVL_TEXT_NOOP("Filters", "XML files (*.xml)|*.xml"),
       fields | PageBit(dpFormats), dpXML, clPlain, false, false, "xml", CreateXML, PrepareXML,
       SaveXML, LoadXML, CaptureXML},
      {aeDBF, "aeDBF", "DBF", "dbf", MVL_TEXT_NOOP("Filters", "DBF files (*.dbf)|*.dbf"), fields,
       dpNone, clPlain, false, false, "dbf", CreateDBF, PrepareDBF, SaveDBF, LoadDBF, CaptureDBF},
      {aePDF, "aePDF", "PDF", "pdf", MVL_TEXT_NOOP("Filters", "PDF Documents (*pdf)|*.pdf"), all,
       dpPDF, clAlignWidth, true, true, "pdf", CreatePDF, PreparePDF, SavePDF, LoadPDF, CapturePDF},
      {aeTXT, "aeTXT", MVL_TEXT_NOOP("ExportDialog", "Text File"), "txt",
       MVL_TEXT_NOOP("Filters", "Text files (*.txt)|*.txt"), all, dpASCII, clAlignWidth, true, true,
       "ascii", CreateASCII, PrepareTXT, SaveTXT, LoadTXT, CaptureTXT},
      {aeCSV, "aeCSV", MVL_TEXT_NOOP("ExportDialog", "CSV File"), "csv",
       MVL_TEXT_NOOP("Filters", "CSV files (*.csv)|*.csv"), all, dpASCII, clPlain, true, true,
       "ascii", CreateASCII, PrepareCSV, SaveCSV, LoadCSV, CaptureCSV},
      {aeDIFF,
       "aeDIFF",
       MVL_TEXT_NOOP("ExportDialog", "DIF File"),
       "dif",
       MVL_TEXT_NOOP("Filters", "DIF files (*.dif)|*.dif"),
       all,
       dpNone,
       clPlain,
       true,
       true,
       "ascii",
       CreateASCII,
       PrepareDIF,
       {},
       {},
       {}},
      {aeSylk,
       "aeSylk",
       MVL_TEXT_NOOP("ExportDialog", "SYLK File"),
       "slk",
       MVL_TEXT_NOOP("Filters", "SYLK files (*.slk)|*.slk"),
       all,
       dpNone,
       clPlain,
       true,
       true,
       "ascii",
       CreateASCII,
       PrepareSYLK,
       {},
       {},
       {}},
      {aeLaTeX,
       "aeLaTeX",
       "LaTeX",
       "tex",
       MVL_TEXT_NOOP("Filters", "LaTeX files (*.tex)|*.tex"),
       all,
       dpNone,
       clPlain,
       false,
       false,
       "latex",
       CreateLaTeX,
       {},
       {},
       {},
       {}},
      {aeSQL, "aeSQL", "SQL", "sql", MVL_TEXT_NOOP("Filters", "SQL files (*.sql)|*.sql"),
       fields | PageBit(dpColons), dpSQL, clPlain, false, false, "sql", CreateSQL, PrepareSQL,
       SaveSQL, LoadSQL, CaptureSQL},
      {aeClipboard,
       "aeClipboard",
       MVL_TEXT_NOOP("ExportDialog", "Windows Clipboard"),
       "",
       "",
       all,
       dpNone,
       clPlain,
       false,
       false,
       "clipboard",
       CreateClipboard,
       {},
       {},
       {},
       {}},
      // The newer workbook shows the same page as the older one and keeps it in the same
      // sections: a file saved for one gives the other the same sheet.
      {aeXLSX, "aeXLSX", "MS Excel 2007+", "xlsx",
       MVL_TEXT_NOOP("Filters", "Microsoft Excel 2007+ files (*.xlsx)|*.xlsx"), all, dpXLS, clWidth,
       false, true, "xlsx", CreateXLSX, PrepareXLS, SaveXLS, LoadXLS, CaptureXLS},
      // Keyed by the captions; its values are typed, and it has no header or footer lines.
      {aeJSON, "aeJSON", "JSON", "json", MVL_TEXT_NOOP("Filters", "JSON files (*.json)|*.json"),
       fields | PageBit(dpCaptions), dpNone, clPlain, false, false, "json", CreateJSON, PrepareJSON,
       SaveJSON, LoadJSON, CaptureJSON},
      // Typed columns named by the captions; its settings (Compression, TimeUnit) keep their
      // defaults here and are the command line's to change.
      {aeParquet,
       "aeParquet",
       MVL_TEXT_NOOP("ExportDialog", "Таблица Parquet"),
       "parquet",
       MVL_TEXT_NOOP("Filters", "Parquet files (*.parquet)|*.parquet"),
       fields | PageBit(dpCaptions),
       dpNone,
       clPlain,
       false,
       false,
       "parquet",
       CreateParquet,
       {},
       {},
       {},
       {}},
      // A pipe table: its columns aligned as the captions grid says, widths have no meaning.
      {aeMarkdown,
       "aeMarkdown",
       MVL_TEXT_NOOP("ExportDialog", "Таблица Markdown"),
       "md",
       MVL_TEXT_NOOP("Filters", "Markdown files (*.md)|*.md"),
       all,
       dpNone,
       clAlign,
       true,
       false,
       "md",
       CreateMarkdown,
       {},
       {},
       {},
       {}},
  };
}

}  // namespace

const std::vector<TExportTypeInfo>& ExportTypeTable() {
  static const std::vector<TExportTypeInfo> table = BuildTable();
  return table;
}

TAllowedExports TAllowedExports::All() {
  TAllowedExports all;
  for (const TExportTypeInfo& t : ExportTypeTable()) all.Include(t.Type);
  return all;
}

const TExportTypeInfo* FindExportTypeInfo(int ordinal) {
  const auto& table = ExportTypeTable();
  if (ordinal < 0 || ordinal >= static_cast<int>(table.size())) return nullptr;
  return &table[static_cast<size_t>(ordinal)];
}

const TExportTypeInfo& ExportTypeInfo(TAllowedExport t) {
  const TExportTypeInfo* info = FindExportTypeInfo(static_cast<int>(t));
  return info ? *info : ExportTypeTable().front();
}

const TExportTypeInfo* FindExportTypeInfo(std::string_view name) {
  for (const TExportTypeInfo& t : ExportTypeTable())
    if (SameText(t.Name, name) || SameText(t.Label, name)) return &t;
  return nullptr;
}

bool WritesTextParts(TAllowedExport t) {
  return TextEncodingSection(t) != nullptr || t == aeJSON;
}

const char* TextEncodingSection(TAllowedExport t) {
  switch (t) {
    case aeTXT:
      return "TXT";
    case aeCSV:
      return "CSV";
    case aeDIFF:
      return "DIF";
    case aeSylk:
      return "SYLK";
    case aeHTML:
      return "HTML";
    case aeXML:
      return "XML";
    case aeSQL:
      return "SQL";
    case aeLaTeX:
      return "LATEX";
    case aeMarkdown:
      return "MARKDOWN";
    default:
      return nullptr;
  }
}

}  // namespace morvale
