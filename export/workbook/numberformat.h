// Number format strings as the workbook stores them. The exporter's format language is close to
// the spreadsheet's, but it writes minutes as "n", the clock marker as "ampm", literals in single
// quotes, and "/" and ":" in date-time formats stand for the locale's separators; a reader would
// reject or misread those, so they are translated when written.
#pragma once

#include <string>
#include <string_view>

#include "export/core/formatsettings.h"

namespace morvale {

std::string ExcelNumberFormat(std::string_view format, const TFormatSettings& fs);

}  // namespace morvale
