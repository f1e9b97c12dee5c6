#include "export/dialog/exportdialog.h"

#include "export/core/translate.h"
#include "export/dialog/model.h"

namespace morvale {

namespace {

TExportDialogShow& FormSlot() {
  static TExportDialogShow show;
  return show;
}

}  // namespace

void SetExportDialogForm(TExportDialogShow show) {
  FormSlot() = std::move(show);
}

const TExportDialogShow& ExportDialogForm() {
  return FormSlot();
}

// The column collection is built by the engine's column builder, which reads its settings from an
// exporter; this one publishes what the dialog's columns take from the component (captions,
// widths, alignments, formats) and is never run.
class TExportDialog::THolder : public TExportFormatText {
 public:
  static const TPropList& ClassProps() {
    static const TPropList list = [] {
      TPropList l(&TExportFormatText::ClassProps());
      PropBuilder<THolder>(l)
          .Strings("ColumnsWidth", &TExport::ColumnsWidth)
          .Strings("ColumnsAlign", &TExport::ColumnsAlign);
      return l;
    }();
    return list;
  }
  const TPropList& Published() const override { return ClassProps(); }
  const char* ClassName() const override { return "TExportDialog"; }
};

TExportDialog::TExportDialog() : holder_(std::make_unique<THolder>()) {}

TExportDialog::~TExportDialog() {
  for (TComponent* c :
       {static_cast<TComponent*>(src_.DataSet), static_cast<TComponent*>(src_.CustomSource),
        static_cast<TComponent*>(src_.ListView), static_cast<TComponent*>(src_.DBGrid),
        static_cast<TComponent*>(src_.StringGrid)})
    if (c) c->RemoveFreeNotification(this);
}

template <class T>
void TExportDialog::Reference(T*& slot, T* v) {
  if (slot == v) return;
  T* old = slot;
  slot = v;
  bool still = old && (static_cast<TComponent*>(old) == src_.DataSet ||
                       static_cast<TComponent*>(old) == src_.CustomSource ||
                       static_cast<TComponent*>(old) == src_.ListView ||
                       static_cast<TComponent*>(old) == src_.DBGrid ||
                       static_cast<TComponent*>(old) == src_.StringGrid);
  if (old && !still) old->RemoveFreeNotification(this);
  if (v) v->FreeNotification(this);
}

void TExportDialog::SetDataSet(TDataSet* v) {
  Reference(src_.DataSet, v);
}
void TExportDialog::SetCustomSource(TCustomSource* v) {
  Reference(src_.CustomSource, v);
}
void TExportDialog::SetListView(TListView* v) {
  Reference(src_.ListView, v);
}
void TExportDialog::SetDBGrid(TDBGrid* v) {
  Reference(src_.DBGrid, v);
}
void TExportDialog::SetStringGrid(TStringGrid* v) {
  Reference(src_.StringGrid, v);
}

void TExportDialog::Notification(TComponent* c) {
  if (c == src_.DataSet) src_.DataSet = nullptr;
  if (c == src_.CustomSource) src_.CustomSource = nullptr;
  if (c == src_.ListView) src_.ListView = nullptr;
  if (c == src_.DBGrid) src_.DBGrid = nullptr;
  if (c == src_.StringGrid) src_.StringGrid = nullptr;
  // The holder is told by the component itself; its columns point into the source that goes.
  holder_->Columns().Clear();
}

TSourceRef TExportDialog::SourceRef() const {
  TSourceRef r = src_;
  r.Kind = ExportSource;
  r.SkipRecCount = SkipRecCount;
  r.ExportRecCount = ExportRecCount;
  return r;
}

const TFormatSettings& TExportDialog::FormatSettings() const {
  return holder_->FormatSettings();
}

void TExportDialog::CheckSource() const {
  // A custom source is checked as well: without it the run has nothing to read.
  if (!MakeSourceAdapter(SourceRef()))
    throw Exception(Format(TranslateText("Engine", "Источник данных (%s) не определен"),
                           {SourceName(ExportSource)}));
  if (AllowedExports.Empty())
    throw Exception(TranslateText("Engine", "Свойство AllowedExports должно быть определено"));
}

void TExportDialog::RebuildColumns() {
  THolder& h = *holder_;
  h.ExportSource = ExportSource;
  h.SetDataSet(src_.DataSet);
  h.SetCustomSource(src_.CustomSource);
  h.SetListView(src_.ListView);
  h.SetDBGrid(src_.DBGrid);
  h.SetStringGrid(src_.StringGrid);
  h.OnlyVisibleFields = OnlyVisibleFields;
  h.AutoCalcStrType = AutoCalcStrType;
  // A caption row the string grid does not have gives no captions rather than a read past it.
  h.CaptionRow = CaptionRow;
  if (ExportSource == esStringGrid && src_.StringGrid && CaptionRow >= src_.StringGrid->RowCount())
    h.CaptionRow = -1;
  h.Formats = Formats;
  h.UserFormats = UserFormats;
  h.Captions = Captions;
  h.ColumnsWidth = ColumnsWidth;
  h.ColumnsAlign = ColumnsAlign;
  h.Columns().Clear();
  h.Columns().Fill(true);
}

TExportColumns& TExportDialog::Columns() {
  return holder_->Columns();
}

const TPropList& TExportDialog::ClassProps() {
  static const TPropList list = [] {
    TPropList l;
    using C = TExportDialog;
    PropBuilder<C>(l)
        .Enum("ExportSource", "TExportSource", &C::ExportSource,
              {"esDataSet", "esListView", "esDBGrid", "esStringGrid", "esCustom"})
        .Bool("AutoChangeFileExt", &C::AutoChangeFileExt)
        .Bool("ConfirmAbort", &C::ConfirmAbort)
        .Bool("OnlyVisibleFields", &C::OnlyVisibleFields)
        .Bool("AutoCalcStrType", &C::AutoCalcStrType)
        .Str("OptionsFileName", &C::OptionsFileName)
        .Bool("AutoSaveOptions", &C::AutoSaveOptions)
        .Bool("AutoLoadOptions", &C::AutoLoadOptions)
        .Bool("SaveLoadButtons", &C::SaveLoadButtons)
        .Str("FileName", &C::FileName)
        .Bool("ShowFile", &C::ShowFile)
        .Bool("PrintFile", &C::PrintFile)
        .Strings("ExportedFields", &C::ExportedFields)
        .Strings("Header", &C::Header)
        .Strings("Captions", &C::Captions)
        .Strings("Footer", &C::Footer)
        .Strings("UserFormats", &C::UserFormats)
        .Strings("ColumnsWidth", &C::ColumnsWidth)
        .Strings("ColumnsAlign", &C::ColumnsAlign)
        .Bool("AllowCaptions", &C::AllowCaptions)
        .Int("CaptionRow", &C::CaptionRow)
        .Object("Formats", "TExportFormats", &C::Formats)
        .Bool("CurrentRecordOnly", &C::CurrentRecordOnly)
        .Bool("ExportEmpty", &C::ExportEmpty)
        .Bool("GoToFirstRecord", &C::GoToFirstRecord)
        .Int("ExportRecCount", &C::ExportRecCount)
        .Int("SkipRecCount", &C::SkipRecCount)
        .Object("RTFOptions", "TExportRTFOptions", &C::RTFOptions)
        .Object("XMLOptions", "TExportXMLOptions", &C::XMLOptions)
        .Object("SQLOptions", "TExportSQLOptions", &C::SQLOptions)
        .Object("HTMLPageOptions", "TExportHTMLPageOptions", &C::HTMLPageOptions)
        .Object("HTMLTableOptions", "TExportHTMLTableOptions", &C::HTMLTableOptions)
        .Object("HTMLMultiFileOptions", "TExportHTMLMultiFileOptions", &C::HTMLMultiFileOptions)
        .Object("TXTOptions", "TExportTXTOptions", &C::TXTOptions)
        .Object("CSVOptions", "TExportCSVOptions", &C::CSVOptions)
        .Object("JSONOptions", "TExportJSONOptions", &C::JSONOptions)
        .Object("DBFOptions", "TExportDBFOptions", &C::DBFOptions)
        .Object("PDFOptions", "TExportPDFOptions", &C::PDFOptions)
        .Object("XLSOptions", "TExportXLSOptions", &C::XLSOptions);
    for (const char* e :
         {"OnGetHeader", "OnGetFooter", "OnBeginExport", "OnEndExport", "OnFetchedRecord",
          "OnSkippedRecord", "OnExportedRecord", "OnBeforeExportRow", "OnBeforeExportXLSRow",
          "OnExportedRecordXLS", "OnStopExport", "OnGetExportText", "OnGetExportXLSText"})
      PropBuilder<C>(l).Event(e);
    return l;
  }();
  return list;
}

void TExportDialog::Execute(const TExportDialogShow& show) {
  CheckSource();
  RebuildColumns();
  const TExportDialogShow& form = show ? show : ExportDialogForm();
  if (!form) throw Exception(TranslateText("Engine", "No export dialog form is available"));
  TExportDialogModel model(*this);
  model.Opened();
  form(model);
  model.Closing();
}

}  // namespace morvale
