// What morvale-export tells on standard error besides errors: where the defaults left something
// out of the file (memo and binary columns, a dBASE date field's time of day), each once, in one
// line that says how to keep it; and which formats the command line leaves to the exact digits.
#pragma once

#include <ostream>

#include "cli/options.h"
#include "export/core/dataset.h"
#include "export/core/export.h"

namespace morvale::cli {

// True when the options give a format of this kind ("float", "currency"), by --format or by a
// --set of the exporter's Formats.
bool GivesFormat(const TCliOptions& o, const std::string& kind);

// Float and currency columns keep every digit unless a format of their kind was given: nobody
// asked the command line to round. `fileGives` tells what an options file gave.
void KeepDigits(TExport& e, const TCliOptions& o, bool fileGivesFloat = false,
                bool fileGivesCurrency = false);

// After a run: one line per thing the file left out.
void PrintRunNotes(const TDataSet& ds, TExport& e, std::ostream& err);

}  // namespace morvale::cli
