// The main window's export dialog component: its starting values, and the Qt form it shows.
#pragma once

#include <string>

#include "export/dialog/exportdialog.h"

namespace morvale {

// The values ExportDialog1 starts with: the main query and grid, no file shown afterwards,
// integers as "0", NULL as "null", ';' between CSV values, Arial text in RTF and HTML, the PDF
// margins, and the spreadsheet's footer, sheet title, caption, hyperlink and note styles; Booleans
// as the words a Boolean field writes, the tools menu of options files, and the settings of every
// type remembered in `rememberFile` (an options file in the program folder).
void InitExportDialog1(TExportDialog& dialog, TDataSet* dataSet, TDBGrid* grid,
                       const std::string& rememberFile);

// The remembered export settings in the program folder.
inline constexpr const char* kRememberedExportOptions = "Morvale.cfg";

}  // namespace morvale
