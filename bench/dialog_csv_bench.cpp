// A CSV export started from the export dialog's model under its progress window, as the form's
// start button runs it, for bench/dialog-vs-cli:
//   morvale-dialog-bench DATABASE SQL OUTPUT [--every-record]
// --every-record hands the event loop a turn at every record instead of at most once a
// millisecond, to show what that costs.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/engine/connect.h"
#include "export/core/platform.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/form/progressrun.h"
#include "export/dialog/model.h"

namespace {

// The file is not opened after the run: the window closes itself as it does then.
class TNoShell : public morvale::IShell {
 public:
  void Execute(const std::string&, const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  using namespace morvale;
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s DATABASE SQL OUTPUT [--spaced]\n", argv[0]);
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // --spaced: the event loop at most once a millisecond instead of at every record, to compare.
  if (argc > 4 && std::strcmp(argv[4], "--spaced") == 0)
    form::TProgressRun::ServeInterval = std::chrono::microseconds(1000);
  TNoShell shell;
  SetShell(&shell);
  try {
    std::unique_ptr<TDataSet> ds = OpenQuery(argv[1], argv[2], DefaultFormatSettings());
    TExportDialog dialog;
    dialog.SetDataSet(ds.get());
    dialog.FileName = argv[3];
    dialog.ShowFile = true;
    dialog.RebuildColumns();
    TExportDialogModel model(dialog);
    model.SetExportType(aeCSV);
    TExport& e = model.PrepareExporter();
    form::TProgressRun run(e, nullptr);
    run.Run([&] { model.RunExporter(e, &run); });
    std::fprintf(stderr, "%u records\n", run.Window().Model().ExportedCount());
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "%s\n", ex.what());
    return 1;
  }
  return 0;
}
