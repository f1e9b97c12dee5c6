// Shared by the dialog tests: a small dataset with a column of every kind the dialog treats
// apart (integer, text, float, date, memo, binary), a component on it with its columns built, and a
// shell that records instead of opening files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/core/platform.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/model.h"
#include "tests/support/demo.h"
#include "tests/support/memsources.h"

namespace morvale::test {

class TRecordingShell : public IShell {
 public:
  void Execute(const std::string& verb, const std::string& fileName) override {
    calls.push_back(verb + " " + fileName);
  }
  std::vector<std::string> calls;
};

struct TDialogFixture {
  TDialogFixture() {
    SetShell(&shell);
    ds.AddField("ID", ftInteger);
    ds.AddField("NAME", ftString, 20);
    ds.AddField("PRICE", ftFloat);
    ds.AddField("BORN", ftDate);
    ds.AddField("NOTE", ftMemo, 10);
    ds.AddField("PIC", ftBlob);
    ds.AddRow({"1", "Bolt", "12.5", "2008-03-07", "memo one", "\x01\x02"});
    ds.AddRow({"2", "Nut", "0.25", std::nullopt, std::nullopt, std::nullopt});
    ds.AddRow({"3", "Гайка", "100", "2020-01-31", "memo three", std::nullopt});
    dialog.SetDataSet(&ds);
    dialog.ShowFile = false;
  }
  ~TDialogFixture() { SetShell(nullptr); }

  // The columns as Execute builds them, and a model on them (the form being created).
  TExportDialogModel& Model() {
    dialog.CheckSource();
    dialog.RebuildColumns();
    model = std::make_unique<TExportDialogModel>(dialog);
    return *model;
  }

  TRecordingShell shell;
  TMemDataSet ds;
  TExportDialog dialog;
  std::unique_ptr<TExportDialogModel> model;
};

inline std::string FixturePath(const std::string& name) {
  return std::string(MORVALE_SOURCE_DIR) + "/tests/export/dialog/fixtures/" + name;
}

}  // namespace morvale::test
