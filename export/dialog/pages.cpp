#include "export/dialog/pages.h"

#include "export/dialog/pagekeys.h"
#include "export/docs/dbfexport.h"
#include "export/docs/pdfexport.h"
#include "export/docs/rtfexport.h"
#include "export/text/ascii.h"
#include "export/text/clipboard.h"
#include "export/text/html.h"
#include "export/text/json.h"
#include "export/text/latex.h"
#include "export/text/sql.h"
#include "export/text/xml.h"
#include "export/xls/exportxls.h"
#include "export/xlsx/exportxlsx.h"

namespace morvale::pages {

const char* const kXLSBaseFormats[5] = {"ШАПКА", "ЗАГОЛОВКИ", "ФУНКЦИИ", "ПОДВАЛ", "HYPERLINK"};
const char* const kRTFBaseStyles[4] = {"HEADER", "CAPTION", "DATA", "FOOTER"};

namespace {

template <class T>
T& As(TExport& e) {
  return dynamic_cast<T&>(e);
}
template <class T>
const T& As(const TExport& e) {
  return dynamic_cast<const T&>(e);
}

// Every setting of a page's list (pagekeys.h) from the page into its exporter, or back. A limit
// is 0 while its switch is off; an empty statement terminator leaves the exporter's own. A setting
// without a property of its own goes to the exporter with others, as one value.
template <class E>
struct TPrepareKeys {
  const TDialogSettings& s;
  E& e;
  void operator()(auto, const char*, const char*, auto setting, auto property) {
    property.Of(e) = setting.Of(s);
  }
  void operator()(auto, const char*, const char*, auto, std::nullptr_t) {}
  void operator()(key::Term, const char*, const char*, auto setting, auto property) {
    if (setting.Of(s) != '\0') property.Of(e) = setting.Of(s);
  }
  void Limit(const char*, const char*, const char*, auto count, auto on, auto property) {
    property.Of(e) = on.Of(s) ? count.Of(s) : 0;
  }
};

template <class E>
struct TCaptureKeys {
  const E& e;
  TDialogSettings& s;
  void operator()(auto, const char*, const char*, auto setting, auto property) {
    setting.Of(s) = property.Of(e);
  }
  void operator()(auto, const char*, const char*, auto, std::nullptr_t) {}
  void Limit(const char*, const char*, const char*, auto count, auto on, auto property) {
    count.Of(s) = property.Of(e);
    on.Of(s) = count.Of(s) > 0;
  }
};

// The five base formats of the page and the options fields they stand for, in list order.
TxlsFormat* XLSBase(TXLSOptions& o, int i) {
  TxlsFormat* f[5] = {&o.HeaderFormat, &o.CaptionsFormat, &o.AggregateFormat, &o.FooterFormat,
                      &o.HyperlinkFormat};
  return f[i];
}
TrtfStyle* RTFBase(TRTFOptions& o, int i) {
  TrtfStyle* s[4] = {&o.HeaderStyle, &o.CaptionStyle, &o.DataStyle, &o.FooterStyle};
  return s[i];
}

}  // namespace

// The common settings of a start: the file's switches, the records and the captions' switch.

void PrepareRun(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExport> v{s, e};
  RunSettings(v);
  CaptionSettings(v);
}

void CaptureRun(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExport> v{e, s};
  RunSettings(v);
  CaptionSettings(v);
}

void CaptureRun(const TExportDialog& d, TDialogSettings& s) {
  TCaptureKeys<TExportDialog> v{d, s};
  RunSettings<TExportDialog>(v);
  CaptionSettings<TExportDialog>(v);
}

void PrepareFile(const TDialogSettings& s, TExportText& e) {
  TPrepareKeys<TExportText> v{s, e};
  FileSettings(v);
}

void CaptureFile(const TExportText& e, TDialogSettings& s) {
  TCaptureKeys<TExportText> v{e, s};
  FileSettings(v);
}

void CaptureFile(const TExportDialog& d, TDialogSettings& s) {
  TCaptureKeys<TExportDialog> v{d, s};
  FileSettings<TExportDialog>(v);
}

// Exporters, with the values the dialog's exporters start with.

namespace {

// Both workbooks start from the same note look.
template <class T>
std::unique_ptr<TExport> CreateWorkbook() {
  auto x = std::make_unique<T>();
  TxlsNoteFormat& n = x->Options.NoteFormat;
  n.Alignment.Horizontal = halLeft;
  n.Alignment.Vertical = valTop;
  n.Font.Name = "Tahoma";
  n.Font.Size = 8;
  n.Font.Set(xfsBold, true);
  return x;
}

}  // namespace

std::unique_ptr<TExport> CreateXLS() {
  return CreateWorkbook<TExportXLS>();
}
std::unique_ptr<TExport> CreateXLSX() {
  return CreateWorkbook<TExportXLSX>();
}

std::unique_ptr<TExport> CreateXML() {
  auto x = std::make_unique<TExportXML>();
  x->Options.Version = "1.0";
  return x;
}
std::unique_ptr<TExport> CreatePDF() {
  auto p = std::make_unique<TExportPDF>();
  // The page's measures are points: in dots they are taken as they are.
  p->Options.PageOptions.Units = unDot;
  return p;
}
std::unique_ptr<TExport> CreateASCII() {
  auto a = std::make_unique<TExportASCII>();
  a->CSVComma = ';';
  return a;
}
std::unique_ptr<TExport> CreateLaTeX() {
  // The document's code page stays the system's: the values arrive in it, and a declared code
  // page other than theirs would garble every letter outside ASCII.
  auto l = std::make_unique<TExportLaTeX>();
  l->Options.DocumentParams = "a4paper";
  l->Options.Languages = "english";
  return l;
}
std::unique_ptr<TExport> CreateClipboard() {
  auto c = std::make_unique<TExportClipboard>();
  c->Separator = ';';
  c->ClipboardViewer = "Clipbrd.exe";
  return c;
}

// Start: the page into the exporter.

void PrepareXLS(const TDialogSettings& s, TExport& e) {
  auto& x = As<TExportWorkbook>(e);
  const TXLSPage& p = s.XLS;
  for (int i = 0; i < 5 && i < static_cast<int>(p.BaseFormats.size()); ++i)
    XLSBase(x.Options, i)->Assign(p.BaseFormats[static_cast<size_t>(i)].Format);
  // One field format per exported field; with no field chosen, one per available field.
  x.FieldFormats.Clear();
  auto addFormat = [&](const std::string& name) {
    int i = p.FieldFormats.IndexOf(name);
    if (i >= 0) x.FieldFormats.Add().Assign(p.FieldFormats[i]);
  };
  if (!s.ExportedFields.empty()) {
    for (const std::string& f : s.ExportedFields) addFormat(f);
  } else {
    for (const auto& f : p.FieldFormats) addFormat(f->FieldName);
  }
  x.StripStyles.Clear();
  for (const TNamedXlsFormat& f : p.StripStyles) x.StripStyles.Add().Assign(f.Format);
  x.Extras = p.Extras;
  x.Pictures = p.Pictures;
  // After the extras: the page's background replaces theirs.
  TPrepareKeys<TExportWorkbook> v{s, x};
  XLSSettings(v);
}

void PrepareRTF(const TDialogSettings& s, TExport& e) {
  auto& r = As<TExportRTF>(e);
  const TRTFPage& p = s.RTF;
  TPrepareKeys<TExportRTF> v{s, r};
  RTFSettings(v);
  for (int i = 0; i < 4 && i < static_cast<int>(p.BaseStyles.size()); ++i)
    *RTFBase(r.Options, i) = p.BaseStyles[static_cast<size_t>(i)].Style;
  r.Options.StripStyles.Clear();
  for (const TNamedRtfStyle& st : p.StripStyles) r.Options.StripStyles.Add() = st.Style;
}

void PrepareHTML(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportHTML> v{s, As<TExportHTML>(e)};
  HTMLSettings(v);
}

void PrepareXML(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportXML> v{s, As<TExportXML>(e)};
  XMLSettings(v);
}

void PreparePDF(const TDialogSettings& s, TExport& e) {
  auto& p = As<TExportPDF>(e);
  const TExportPDFOptions& o = s.PDF;
  TPrepareKeys<TExportPDF> v{s, p};
  PDFSettings(v);
  // Format, orientation, size and margins as the page shows them, in points.
  p.Options.PageOptions = o.PageOptions;
  p.Options.PageOptions.Units = unDot;
  p.Options.HeaderFont = o.HeaderFont;
  p.Options.CaptionFont = o.CaptionFont;
  p.Options.DataFont = o.DataFont;
  p.Options.FooterFont = o.FooterFont;
}

void PrepareSQL(const TDialogSettings& s, TExport& e) {
  auto& q = As<TExportSQL>(e);
  TPrepareKeys<TExportSQL> v{s, q};
  SQLSettings(v);
  if (q.TableName.empty()) {
    // The file name without folder and extension, in upper case.
    std::string name = s.FileName.substr(s.FileName.find_last_of('/') + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    q.TableName = UpperCaseAscii(name);
  }
}

void PrepareJSON(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportJSON> v{s, As<TExportJSON>(e)};
  JSONSettings(v);
}

void PrepareDBF(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportDBF> v{s, As<TExportDBF>(e)};
  DBFSettings(v);
}

void PrepareTXT(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportASCII> v{s, As<TExportASCII>(e)};
  v.e.SetExportType(etTXT);
  TXTSettings(v);
}

void PrepareCSV(const TDialogSettings& s, TExport& e) {
  TPrepareKeys<TExportASCII> v{s, As<TExportASCII>(e)};
  v.e.SetExportType(etCSV);
  CSVSettings(v);
}

void PrepareDIF(const TDialogSettings&, TExport& e) {
  As<TExportASCII>(e).SetExportType(etDIF);
}

void PrepareSYLK(const TDialogSettings&, TExport& e) {
  As<TExportASCII>(e).SetExportType(etSYLK);
}

// The inverse: an exporter's settings into the page.

void CaptureXLS(const TExport& e, TDialogSettings& s) {
  auto& x = const_cast<TExportWorkbook&>(As<TExportWorkbook>(e));
  TXLSPage& p = s.XLS;
  TCaptureKeys<TExportWorkbook> v{x, s};
  XLSSettings(v);
  for (int i = 0; i < 5 && i < static_cast<int>(p.BaseFormats.size()); ++i)
    p.BaseFormats[static_cast<size_t>(i)].Format.Assign(*XLSBase(x.Options, i));
  for (const auto& f : x.FieldFormats) {
    int i = p.FieldFormats.IndexOf(f->FieldName);
    if (i >= 0) p.FieldFormats[i].Assign(*f);
  }
  p.StripStyles.clear();
  for (const auto& f : x.StripStyles) {
    TNamedXlsFormat& n = p.StripStyles.emplace_back();
    n.Caption = "ЭЛЕМЕНТ_" + std::to_string(p.StripStyles.size());
    n.Format.Assign(*f);
  }
  p.Extras = x.Extras;
  p.Pictures = x.Pictures;
}

void CaptureRTF(const TExport& e, TDialogSettings& s) {
  auto& r = const_cast<TExportRTF&>(As<TExportRTF>(e));
  TRTFPage& p = s.RTF;
  TCaptureKeys<TExportRTF> v{r, s};
  RTFSettings(v);
  for (int i = 0; i < 4 && i < static_cast<int>(p.BaseStyles.size()); ++i)
    p.BaseStyles[static_cast<size_t>(i)].Style = *RTFBase(r.Options, i);
  p.StripStyles.clear();
  for (int i = 0; i < r.Options.StripStyles.Count(); ++i)
    p.StripStyles.push_back({"ITEM_" + std::to_string(i + 1), r.Options.StripStyles[i]});
}

void CaptureHTML(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportHTML> v{As<TExportHTML>(e), s};
  HTMLSettings(v);
  s.HTMLTemplate = htCustom;
}

void CaptureXML(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportXML> v{As<TExportXML>(e), s};
  XMLSettings(v);
}

void CapturePDF(const TExport& e, TDialogSettings& s) {
  const auto& p = As<TExportPDF>(e);
  TExportPDFOptions& o = s.PDF;
  TCaptureKeys<TExportPDF> v{p, s};
  PDFSettings(v);
  TExportUnits units = o.PageOptions.Units;
  o.PageOptions = p.Options.PageOptions;
  o.PageOptions.Units = units;
  o.HeaderFont = p.Options.HeaderFont;
  o.CaptionFont = p.Options.CaptionFont;
  o.DataFont = p.Options.DataFont;
  o.FooterFont = p.Options.FooterFont;
}

void CaptureSQL(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportSQL> v{As<TExportSQL>(e), s};
  SQLSettings(v);
}

void CaptureJSON(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportJSON> v{As<TExportJSON>(e), s};
  JSONSettings(v);
}

void CaptureDBF(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportDBF> v{As<TExportDBF>(e), s};
  DBFSettings(v);
}

void CaptureTXT(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportASCII> v{As<TExportASCII>(e), s};
  TXTSettings(v);
}

void CaptureCSV(const TExport& e, TDialogSettings& s) {
  TCaptureKeys<TExportASCII> v{As<TExportASCII>(e), s};
  CSVSettings(v);
}

}  // namespace morvale::pages
