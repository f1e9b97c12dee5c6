// One input of the options-file fuzzer: the bytes are an options file. It is loaded as the dialog
// loads it, every type's sections are read from it, each type's exporter is prepared from the
// result and run into memory, and the result is saved and loaded again. Exceptions of the engine
// are expected (a value no format can write); crashes, sanitizer reports and hangs are not.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "export/core/inifile.h"
#include "export/core/streams.h"
#include "export/dialog/exportdialog.h"
#include "export/dialog/model.h"
#include "tests/support/memsources.h"

namespace morvale::test {

inline void RunOptionsFuzzInput(const uint8_t* data, size_t size) {
  static const std::string folder = "/tmp/morvale-options-fuzz-" + std::to_string(::getpid());
  const std::string path = folder + ".cfg", again = folder + "-saved.cfg";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TMemDataSet ds;
  ds.AddField("ID", ftInteger);
  ds.AddField("NAME", ftString, 20);
  ds.AddField("PRICE", ftFloat);
  ds.AddField("BORN", ftDate);
  ds.AddField("NOTE", ftMemo, 10);
  ds.AddRow({"1", "Bolt", "12.5", "2008-03-07", "memo"});
  ds.AddRow({"2", std::nullopt, "-0.25", std::nullopt, std::nullopt});
  TExportDialog dialog;
  dialog.SetDataSet(&ds);
  dialog.ShowFile = false;
  dialog.RebuildColumns();
  TExportDialogModel model(dialog);
  model.LoadOptions(path);
  model.LoadRTFStyles(path);
  model.LoadXLSStyles(path);
  const TIniFile ini(path);
  for (const TExportTypeInfo& type : ExportTypeTable()) {
    model.SetExportType(type.Type);
    if (type.LoadSections) type.LoadSections(model, ini);
    TExport& e = model.PrepareExporter();
    // The workbooks write only to a named file; their preparation is what the file can reach.
    if (type.Type == aeXLS || type.Type == aeXLSX) continue;
    try {
      TMemoryStream out;
      e.ExportToStream(out);
    } catch (const Exception&) {
    }
  }
  model.SaveOptions(again);
  model.LoadOptions(again);
}

}  // namespace morvale::test
