// The records of a worksheet that are not cells: the page header and footer, the column widths,
// the used range, the window and the selection.
#pragma once

#include <string_view>

#include "export/xls/records.h"
#include "export/xls/workbook.h"

namespace morvale {

// HEADER or FOOTER: an empty text gives an empty record.
void WriteHeaderFooter(TbiffWriter& w, uint16_t id, std::string_view text);
void WriteColInfo(TbiffWriter& w, const TxlsColInfo& c);
// DIMENSIONS with all fields 0; FinishWorkbook patches the used range in.
void WriteDimensions(TbiffWriter& w);
void WriteWindow2(TbiffWriter& w);
void WriteSelection(TbiffWriter& w);

}  // namespace morvale
