// The option records of the export dialog: one per format family, holding the values the
// dialog's format pages start with. Each copies all its properties on assignment; the owner the
// base remembers is not copied.
#pragma once

#include <string>

#include "export/core/classes.h"
#include "export/core/graphics.h"
#include "export/core/page.h"
#include "export/docs/pdfoptions.h"
#include "export/docs/rtfstyle.h"
#include "export/text/htmloptions.h"
#include "export/workbook/sheet.h"
#include "export/workbook/styles.h"

namespace morvale {

class TExportDialog;

class TExportOptions : public TPersistent {
 public:
  explicit TExportOptions(TExportDialog* owner = nullptr) : owner_(owner) {}
  TExportOptions(const TExportOptions&) : TPersistent() {}
  TExportOptions& operator=(const TExportOptions&) { return *this; }
  TExportDialog* Owner() const { return owner_; }
  // The owner is no setting: two records compare by their settings alone.
  bool operator==(const TExportOptions&) const { return true; }

 private:
  TExportDialog* owner_;
};

class TExportRTFOptions : public TExportOptions {
 public:
  explicit TExportRTFOptions(TExportDialog* owner = nullptr);
  const TPropList& Published() const override;
  void Assign(const TExportRTFOptions& other) { *this = other; }
  bool operator==(const TExportRTFOptions& o) const;

  TStringList CaptionAligns;
  TrtfStyle CaptionStyle;  // the style defaults, bold, centred
  TrtfStyle DataStyle, FooterStyle, HeaderStyle;
  TExportPageOrientation PageOrientation = poPortrait;
  TrtfStyles StripStyles;
  TrtfStripType StripType = stNone;
};

class TExportXMLOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportXMLOptions& other) { *this = other; }
  bool operator==(const TExportXMLOptions&) const = default;

  bool Standalone = true;
  std::string Encoding;
};

class TExportSQLOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportSQLOptions& other) { *this = other; }
  bool operator==(const TExportSQLOptions&) const = default;

  std::string TableName;
  bool CreateTable = false;
  int CommitRecCount = 0;
  bool CommitAfterScript = false;
  std::string CommitStatement = "COMMIT WORK;";
  char StatementTerm = ';';  // '\0': the page's field is empty, the exporter keeps its own
};

class TExportHTMLTableOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportHTMLTableOptions& other) { *this = other; }
  bool operator==(const TExportHTMLTableOptions&) const = default;

  int BorderWidth = 1;
  int CellPadding = 4;
  int CellSpacing = 1;
  TStringList AdvancedAttributes;
  TColor HeadersRowBgColor = 0x0000FF;
  TColor HeadersRowFontColor = 0xFFFFFF;
  TColor TableBgColor = 0xEC7A00;
  TColor TableFontColor = 0xFFFFFF;
  TColor OddRowBgColor = 0xCE6B00;
  TColor BorderColor = 0xFFFFFF;
  std::string BackgroundFileName;
};

class TExportHTMLPageOptions : public TExportOptions {
 public:
  explicit TExportHTMLPageOptions(TExportDialog* owner = nullptr);
  const TPropList& Published() const override;
  void Assign(const TExportHTMLPageOptions& other) { *this = other; }
  bool operator==(const TExportHTMLPageOptions&) const = default;

  std::string Title;
  TColor BackgroundColor = 0x993333;
  TFont TextFont;  // "Arial", white
  THTMLDefaultOptions DefaultOptions = doFontSize;
  TColor LinkColor = 0x7DEF69;
  TColor VLinkColor = 0xFF00FF;
  TColor ALinkColor = 0x00FF00;
  std::string BackgroundFileName;
  TStringList AdvancedAttributes;
  TUsingCSS UsingCSS = usInternal;
  std::string CSSFileName;
  bool OverwriteCSSFile = true;
  bool BoolAsCheckBox = false;
};

class TExportHTMLMultiFileOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportHTMLMultiFileOptions& other) { *this = other; }
  bool operator==(const TExportHTMLMultiFileOptions&) const = default;

  int FileRecCount = 0;
  bool GenerateIndex = false;
  std::string IndexLinkTemplate;
  bool NavigationOnTop = true;
  bool NavigationOnBottom = true;
  std::string IndexLinkTitle = "Index";
  std::string FirstLinkTitle = "First";
  std::string PriorLinkTitle = "Prior";
  std::string NextLinkTitle = "Next";
  std::string LastLinkTitle = "Last";
};

class TExportTXTOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportTXTOptions& other) { *this = other; }
  bool operator==(const TExportTXTOptions&) const = default;

  bool AutoCalcColWidth = true;
  int ColSpacing = 1;
};

class TExportCSVOptions : public TExportOptions {
 public:
  // The separator starts as the locale's list separator (its first byte).
  explicit TExportCSVOptions(TExportDialog* owner = nullptr);
  const TPropList& Published() const override;
  void Assign(const TExportCSVOptions& other) { *this = other; }
  bool operator==(const TExportCSVOptions&) const = default;

  char Comma;
  char Quote = '"';
  bool QuoteStrings = true;
};

// JSON: one array of objects, or one object a line (JSON Lines).
class TExportJSONOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportJSONOptions& other) { *this = other; }
  bool operator==(const TExportJSONOptions&) const = default;

  bool JSONLines = false;
};

// dBASE: date-times as date fields, which keep no time of day, or as text fields that do.
class TExportDBFOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportDBFOptions& other) { *this = other; }
  bool operator==(const TExportDBFOptions&) const = default;

  bool DateTimeAsText = false;
};

class TExportPDFOptions : public TExportOptions {
 public:
  using TExportOptions::TExportOptions;
  const TPropList& Published() const override;
  void Assign(const TExportPDFOptions& other) { *this = other; }
  bool operator==(const TExportPDFOptions& o) const;

  TExportPDFPageOptions PageOptions;
  TPDFFont HeaderFont{"HeaderFont"};
  TPDFFont CaptionFont{"CaptionFont"};
  TPDFFont DataFont{"DataFont"};
  TPDFFont FooterFont{"FooterFont"};
  double RowSpacing = 1.0;
  double ColSpacing = 3.0;
  int GridLineWidth = 1;  // the grid itself stays black
};

// The spreadsheet page's values. The extras of a sheet (hyperlinks, notes, charts, pictures,
// cells, merged cells) join this record with the workbook extras.
class TExportXLSOptions : public TExportOptions {
 public:
  explicit TExportXLSOptions(TExportDialog* owner = nullptr);
  const TPropList& Published() const override;
  void Assign(const TExportXLSOptions& other) { *this = other; }
  bool operator==(const TExportXLSOptions& o) const;

  bool AutoCalcColWidth = false;
  std::string PageHeader;
  std::string PageFooter = "Page &P of &N";
  std::string SheetTitle = "Sheet 1";
  std::string PageBackground;
  TxlsFormat HeaderFormat;
  TxlsFormat CaptionFormat;  // bold
  TxlsFormat DataFormat;
  TxlsFormat AggregateFormat;
  TxlsFormat FooterFormat;
  TxlsFormat HyperlinkFormat;  // blue, single underline
  TxlsNoteFormat NoteFormat;
  TxlsFieldFormats FieldFormats;
  TxlsFormats StripStyles;
  TxlsStripType StripType = ssNone;
  bool SheetPerTable = false;  // several tables of one run in one workbook, a sheet each
};

// Value equality of the style objects the records hold.
bool SameXlsFormat(const TxlsFormat& a, const TxlsFormat& b);
bool SameXlsFieldFormat(const TxlsFieldFormat& a, const TxlsFieldFormat& b);
bool SameXlsNoteFormat(const TxlsNoteFormat& a, const TxlsNoteFormat& b);
bool SamePDFPage(const TExportPDFPageOptions& a, const TExportPDFPageOptions& b);

}  // namespace morvale
