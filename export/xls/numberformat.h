// Number format strings as the workbook stores them. The exporter's format language is close to
// the spreadsheet's, but it writes minutes as "n", the clock marker as "ampm" and literals in
// single quotes; a reader would reject those codes, so they are translated when written.
#pragma once

#include <string>
#include <string_view>

namespace morvale {

std::string ExcelNumberFormat(std::string_view format);

}  // namespace morvale
