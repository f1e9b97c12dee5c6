// Start: the working copy into the exporter of the chosen type, and its run with the component's
// events and the progress notifications.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "export/core/namepattern.h"

#include "export/dialog/model.h"
#include "export/dialog/pages.h"
#include "export/dialog/progress.h"
#include "export/docs/dbfexport.h"
#include "export/workbook/exportworkbook.h"

namespace morvale {

namespace {

const char* AlignLineText(TExportColAlign a) {
  switch (a) {
    case ecaCenter:
      return "Center";
    case ecaRight:
      return "Right";
    default:
      return "Left";
  }
}

// However the run ends: no exporter is running, and the exporter's handlers, which point at this
// run's observer, are dropped.
struct TRunningGuard {
  TExport*& slot;
  TExport& e;
  ~TRunningGuard() {
    slot = nullptr;
    TExportDialogModel::Unwire(e);
  }
};

}  // namespace

void TExportDialogModel::Unwire(TExport& e) {
  e.OnBeginExport = e.OnEndExport = nullptr;
  e.OnFetchedRecord = e.OnSkippedRecord = e.OnExportedRecord = nullptr;
  e.OnStopExport = nullptr;
  e.OnBeforeExportRow = nullptr;
  e.OnGetExportText = nullptr;
  if (auto* x = dynamic_cast<TExportWorkbook*>(&e)) {
    x->OnAdvancedBeforeExportRow = nullptr;
    x->OnAdvancedExportedRecord = nullptr;
    x->OnAdvancedGetExportText = nullptr;
  }
}

TExport& TExportDialogModel::PrepareExporter() {
  const TExportTypeInfo& info = TypeInfo();
  if (dialog_.AutoChangeFileExt && info.WritesFile() && !s_.FileName.empty())
    s_.FileName = ChangeFileExt(s_.FileName, std::string(".") + info.Extension);
  std::string fileName = s_.FileName;
  if (IsFileNamePattern(fileName)) {
    TFileNameFields fields;
    fields.Table = dialog_.TableName;
    fields.Type = info.Extension;
    fields.Stamp = ExportStamp();
    fileName = ExpandFileNamePattern(fileName, fields);
  }
  return PrepareFor(fileName);
}

TExport& TExportDialogModel::PrepareFor(const std::string& fileName) {
  const TExportTypeInfo& info = TypeInfo();
  TExport& e = Exporter(s_.ExportType);
  {
    // The pages see the file this start writes, not its pattern (the SQL page names its table
    // after the file).
    std::string pattern = std::exchange(s_.FileName, fileName);
    struct TRestore {
      std::string& slot;
      std::string& pattern;
      ~TRestore() { slot.swap(pattern); }
    } restore{s_.FileName, pattern};
    if (info.Prepare) info.Prepare(s_, e);
  }
  // The text types share exporters (the four of the plain text one): each start sets its own.
  if (TextEncodingSection(s_.ExportType)) e.Encoding = s_.EncodingOf(s_.ExportType);

  // Common settings.
  e.AutoCalcStrType = dialog_.AutoCalcStrType;
  pages::PrepareRun(s_, e);
  e.Header = s_.Header;
  e.Footer = s_.Footer;
  e.ExportedFields.Clear();
  if (!s_.ExportedFields.empty()) {
    for (const std::string& f : s_.ExportedFields) e.ExportedFields.Add(f);
  } else {
    // Binary and memo fields only when chosen: their values are no text for most formats.
    TExportColumns& cols = Columns();
    for (int i = 0; i < cols.Count(); ++i)
      if (!cols[i].IsBlob) e.ExportedFields.Add(cols[i].Name);
  }
  e.Formats = s_.Formats;
  e.UserFormats = s_.UserFormats;
  e.ExportSource = dialog_.ExportSource;
  e.SetDataSet(dialog_.DataSet());
  e.SetCustomSource(dialog_.CustomSource());
  e.SetListView(dialog_.ListView());
  e.SetDBGrid(dialog_.DBGrid());
  e.SetStringGrid(dialog_.StringGrid());
  if (auto* file = dynamic_cast<TExportText*>(&e)) {
    file->FileName = fileName;
    pages::PrepareFile(s_, *file);
    file->Parts = WritesTextParts(s_.ExportType) ? s_.Parts : TOutputParts{};
  }

  // The captions grid.
  e.Captions.Clear();
  e.ColumnsAlign.Clear();
  e.ColumnsWidth.Clear();
  // The grid shows every column's width, and a file saved from it holds them all; only a width
  // that differs from the column's own (or that the host named) is the user's. Passing the rest
  // on would make every column a fixed width to the exporters that measure their columns.
  const TExportColumns& cols = Columns();
  for (const TCaptionRow& row : s_.Captions) {
    if (row.Caption != row.FieldName) e.Captions.Add(row.FieldName + "=" + row.Caption);
    if (info.CopiesAlign) e.ColumnsAlign.Add(row.FieldName + "=" + AlignLineText(row.Align));
    const int col = cols.IndexOfName(row.FieldName);
    const bool userWidth =
        col < 0 || row.Width != cols[col].Width || dialog_.ColumnsWidth.HasName(row.FieldName);
    if (info.CopiesWidth && userWidth)
      e.ColumnsWidth.Add(row.FieldName + "=" + std::to_string(row.Width));
  }
  return e;
}

void TExportDialogModel::Wire(TExport& e, TExportRunObserver* obs) {
  TExportDialog& d = dialog_;
  auto notify = [obs](TExportNotify code, int recNo) {
    if (obs) obs->Notify(code, recNo);
  };
  e.OnBeginExport = [&d, &e, notify](TObject*) {
    notify(enBeginExport, 0);
    if (d.OnBeginExport) d.OnBeginExport(&e, &e);
  };
  e.OnEndExport = [&d, &e, notify](TObject*) {
    if (!e.Aborted()) notify(enEndExport, e.RecordCounter);
    if (d.OnEndExport) d.OnEndExport(&e, &e);
  };
  e.OnFetchedRecord = [&d, &e, notify](TObject*, int recNo) {
    if (d.OnFetchedRecord) d.OnFetchedRecord(&e, recNo);
    notify(enFetchedRecord, recNo);
  };
  e.OnSkippedRecord = [&d, &e, notify](TObject*, int recNo) {
    notify(enSkippedRecord, recNo);
    if (d.OnSkippedRecord) d.OnSkippedRecord(&e, recNo);
  };
  e.OnExportedRecord = [&d, &e, notify](TObject*, int recNo) {
    if (d.OnExportedRecord) d.OnExportedRecord(&e, recNo);
    notify(enExportedRecord, recNo);
  };
  e.OnStopExport = [&d, obs, notify](TObject*, bool& canContinue) {
    notify(enAbortRequested, 0);
    bool stop = obs ? obs->ConfirmAbort() : true;
    canContinue = !stop;
    notify(stop ? enAbortConfirmed : enGoOn, 0);
    if (d.OnStopExport) d.OnStopExport(&d, canContinue);
  };
  e.OnBeforeExportRow = nullptr;
  if (d.OnBeforeExportRow)
    e.OnBeforeExportRow = [&d, &e](TObject*, TExportRow& row, bool& accept) {
      d.OnBeforeExportRow(&e, row, accept);
    };
  e.OnGetExportText = nullptr;
  if (d.OnGetExportText)
    e.OnGetExportText = [&d, &e](TObject*, int colNo, std::string& text) {
      d.OnGetExportText(&e, colNo, text);
    };
  if (auto* x = dynamic_cast<TExportWorkbook*>(&e)) {
    x->OnAdvancedBeforeExportRow = nullptr;
    x->OnAdvancedExportedRecord = nullptr;
    x->OnAdvancedGetExportText = nullptr;
    if (d.OnBeforeExportXLSRow)
      x->OnAdvancedBeforeExportRow = [&d, x](TObject*, int sheet, TExportRow& row, bool& accept) {
        d.OnBeforeExportXLSRow(x, sheet, row, accept);
      };
    if (d.OnExportedRecordXLS)
      x->OnAdvancedExportedRecord = [&d, x](TObject*, int sheet, int recNo) {
        d.OnExportedRecordXLS(x, sheet, recNo);
      };
    if (d.OnGetExportXLSText)
      x->OnAdvancedGetExportText = [&d, x](TObject*, int sheet, int colNo, std::string& text) {
        d.OnGetExportXLSText(x, sheet, colNo, text);
      };
  }
}

void TExportDialogModel::RunExporter(TExport& e, TExportRunObserver* observer) {
  if (RangeReadsOn()) {
    RunRanges(e, observer);
    return;
  }
  Wire(e, observer);
  running_ = &e;
  TRunningGuard guard{running_, e};
  e.Execute();
  // A file to be opened ends the progress window by itself; otherwise, or when the window has
  // something to tell about the file, it waits for its button.
  if (observer && s_.ShowFile && !e.Aborted() && RunNote(e).empty())
    observer->Notify(enClose, e.RecordCounter);
}

std::string TExportDialogModel::RangeReadsWhy() const {
  if (!RangeReadsOffered() || !dialog_.RangeReads.Why)
    return TranslateText("ExportDialog", "Источник читается только одним соединением.");
  if (ManyTables())
    return TranslateText("ExportDialog", "Несколько таблиц экспортируются по одной.");
  if (s_.CurrentRecordOnly || s_.SkipRecCount > 0 || (s_.ExportLimited && s_.ExportRecCount > 0))
    return TranslateText("ExportDialog",
                         "Пропуск записей, их число и текущая запись читаются одним соединением.");
  if (WritesTextParts(s_.ExportType) && s_.Parts.Active())
    return TranslateText("ExportDialog", "Части и сжатие не сочетаются с параллельным чтением.");
  return dialog_.RangeReads.Why(s_.ExportType);
}

void TExportDialogModel::RunRanges(TExport& e, TExportRunObserver* observer) {
  Wire(e, observer);
  running_ = &e;
  TRunningGuard guard{running_, e};
  // The parts run with the settings of this start, every type's and page's, as the dialog's own
  // run would format them.
  struct TOptionsFile {
    std::string name;
    TOptionsFile() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "morvale-ranges-XXXXXX").string();
      const int fd = ::mkstemp(pattern.data());
      if (fd < 0) throw Exception("Cannot create a temporary file: " + pattern);
      ::close(fd);
      name = pattern;
    }
    ~TOptionsFile() { std::remove(name.c_str()); }
  } options;
  SaveRememberedOptions(options.name);
  TRangeRun run;
  run.Type = s_.ExportType;
  const auto* file = dynamic_cast<const TExportText*>(&e);
  run.FileName = file ? file->FileName : s_.FileName;
  run.OptionsFile = options.name;
  run.Connections = s_.Parallel.Connections;
  int64_t total = 0;
  std::vector<int64_t> rows;
  run.PartRows = [observer, &rows, &total](int part, int parts, int64_t n) {
    if (part < 1 || part > parts) return;
    rows.resize(static_cast<size_t>(parts));
    total += n - rows[static_cast<size_t>(part - 1)];
    rows[static_cast<size_t>(part - 1)] = n;
    if (observer) observer->PartRows(part, parts, n);
  };
  run.Note = [observer](const std::string& note) {
    if (observer) observer->RunNote(note);
  };
  run.Stopped = [&e] { return e.Aborted() && !e.CanContinue(); };
  if (e.OnBeginExport) e.OnBeginExport(&e);
  const bool finished = dialog_.RangeReads.Run(run);
  if (finished && e.Aborted()) {
    // The stop came when the run had already put its file in place: it is the new file.
    e.OnStopExport = [](TObject*, bool& canContinue) { canContinue = true; };
    e.CanContinue();
  }
  e.RecordCounter = static_cast<int>(std::min<int64_t>(total, INT32_MAX));
  if (e.OnEndExport) e.OnEndExport(&e);
  // Opened or printed as the one-pass run does; part files with a manifest have no one file.
  auto* text = dynamic_cast<TExportText*>(&e);
  if (!finished || !text || !std::filesystem::exists(text->GetShowFileName())) return;
  text->AfterExecute();
  if (observer && s_.ShowFile) observer->Notify(enClose, e.RecordCounter);
}

void TExportDialogModel::Start(TExportRunObserver* observer) {
  TExport& e = PrepareExporter();
  Changed();
  RunExporter(e, observer);
}

void TExportDialogModel::CaptureExporter(const TExport& e) {
  TExportColumns& cols = Columns();
  if (auto* file = dynamic_cast<const TExportText*>(&e)) {
    s_.FileName = file->FileName;
    pages::CaptureFile(*file, s_);
    if (WritesTextParts(s_.ExportType)) s_.Parts = file->Parts;
  }
  pages::CopyRunSettings(e, s_);
  s_.UserFormats.Clear();
  for (const std::string& line : e.UserFormats)
    if (cols.IndexOfName(TStringList::NamePart(line)) >= 0)
      AddUserFormat(std::string(TStringList::NamePart(line)),
                    std::string(TStringList::ValuePart(line)));
  SetExportedFields(e.ExportedFields);
  for (TCaptionRow& row : s_.Captions) {
    if (e.Captions.HasName(row.FieldName)) row.Caption = e.Captions.Value(row.FieldName);
    if (e.ColumnsAlign.HasName(row.FieldName))
      row.Align = AlignFromCellText(e.ColumnsAlign.Value(row.FieldName));
    if (e.ColumnsWidth.HasName(row.FieldName)) {
      int w = std::atoi(e.ColumnsWidth.Value(row.FieldName).c_str());
      if (w >= 0 && w <= 1000) row.Width = w;
    }
  }
  if (TypeInfo().Capture) TypeInfo().Capture(e, s_);
  if (TextEncodingSection(s_.ExportType)) s_.EncodingOf(s_.ExportType) = e.Encoding;
  Changed();
}

void TExportDialogModel::Abort() {
  if (running_) running_->Abort();
}

}  // namespace morvale
