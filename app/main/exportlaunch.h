// The main window's export dialog component: its starting values, and the Qt form it shows.
#pragma once

#include "export/dialog/exportdialog.h"

namespace morvale {

// The values ExportDialog1 starts with: the main query and grid, no file shown afterwards,
// integers as "0", NULL as "null", ';' between CSV values, Arial text in RTF and HTML, the PDF
// margins, and the spreadsheet's footer, sheet title, caption, hyperlink and note styles.
void InitExportDialog1(TExportDialog& dialog, TDataSet* dataSet, TDBGrid* grid);

}  // namespace morvale
