#include "export/xls/exportxls.h"

#include "export/core/outputfiles.h"
#include "export/xls/container.h"
#include "export/xls/extras.h"
#include "export/xls/sheetwriter.h"
#include "export/xls/workbook.h"

namespace morvale {

TExportXLS::TExportXLS() = default;
TExportXLS::~TExportXLS() = default;

std::unique_ptr<TExportWriter> TExportXLS::CreateWriter(TStream& stream) {
  return std::make_unique<TXLSWriter>(*this, stream);
}

void TExportXLS::OpenWorkbook() {
  workbook_ = std::make_unique<TxlsWorkbook>(ClassName());
  workbook_->FormatSettings = FormatSettings();
  container_ = std::make_unique<TxlsContainer>(Outputs()->Create(FileName));
}

// The container receives the finished stream in one piece.
void TExportXLS::FinishWorkbook() {
  workbook_->FinishWorkbook([this](const void* d, size_t n) { container_->Write(d, n); });
  finished_ = true;
}

// A run that did not finish writes nothing: its file is dropped, and the previous one stays.
void TExportXLS::CloseWorkbook() {
  std::unique_ptr<TxlsWorkbook> wb = std::move(workbook_);
  std::unique_ptr<TxlsContainer> c = std::move(container_);
  store_.reset();
  if (c && finished_) c->Close();
}

void TExportXLS::Execute() {
  ExecuteSheets(TxlsSheetWriter::kMaxCols, [this] {
    OpenWorkbook();
    try {
      Run();
    } catch (...) {
      try {
        CloseWorkbook();
      } catch (...) {
      }
      throw;
    }
    CloseWorkbook();
  });
  AfterExecute();
}

void TExportXLS::Run() {
  finished_ = false;
  workbook_->WriteGlobalsHead();
  PrepareDrawingGroup();
  const bool complete = WriteSheets(
      [this](int index, TxlsSheet& sheet) { return TxlsSheetWriter(*this, sheet, index).Write(); });
  if (!complete) return;
  FinishWorkbook();
  AfterExport();
  EndExport();
}

// The picture store is read once; the drawing group goes into the globals when any sheet has a
// note, image or chart, and charts need the sheets' EXTERNSHEET entries.
void TExportXLS::PrepareDrawingGroup() {
  std::vector<const TxlsImages*> images;
  unsigned shapes = 0;
  for (int i = 0; i < Sheets.Count(); ++i) {
    const TxlsExtras& e = Sheets[i].Extras;
    images.push_back(&e.Images);
    shapes += static_cast<unsigned>(e.Notes.Count() + e.Images.Count() + e.Charts.Count());
    if (!e.Charts.Empty()) workbook_->WriteExternSheets = true;
  }
  store_ = std::make_unique<TxlsPictureStore>(TxlsPictureStore::Build(Pictures, images));
  if (shapes == 0) return;
  workbook_->GlobalsExtras.push_back([this, shapes](TStream& s) {
    const std::string data = store_->DrawingGroupData(shapes);
    TbiffMSODrawingGroup(data.data(), data.size()).WriteTo(s);
  });
}

}  // namespace morvale
