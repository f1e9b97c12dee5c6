// The cell styles of an Office Open XML workbook: the workbook exporter's looks (TxlsFormat) with
// a number format, each distinct pair made into one libxlsxwriter format on first use and handed
// out again after, as the BIFF registry hands out XF indexes.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "export/core/formatsettings.h"
#include "export/workbook/styles.h"

struct lxw_workbook;
struct lxw_format;

namespace morvale {

class TxlsxStyles {
 public:
  TxlsxStyles(lxw_workbook* workbook, const TFormatSettings& fs) : wb_(workbook), fs_(fs) {}
  TxlsxStyles(const TxlsxStyles&) = delete;
  TxlsxStyles& operator=(const TxlsxStyles&) = delete;

  // The format of a cell with the look `look` (none: the default look) and the number format
  // `numberFormat` in the exporter's format language ("General" or empty: none).
  lxw_format* Get(const TxlsFormat* look, std::string_view numberFormat);

 private:
  lxw_format* Make(const TxlsFormat& look, const std::string& numberFormat);
  lxw_workbook* wb_;
  TFormatSettings fs_;
  std::unordered_map<std::string, lxw_format*> formats_;
  std::string key_;
};

// 0xRRGGBB of a palette colour, as the package's colour attributes want it.
unsigned xlsxRgb(TxlsColor c);

}  // namespace morvale
