#include "export/core/stamp.h"

#include <algorithm>
#include <cstdlib>

namespace morvale {

namespace {

// 9999-12-31 23:59:59 UTC: the last second a four-digit year reaches.
constexpr std::time_t kLastSecond = 253402300799;

}  // namespace

std::optional<std::time_t> ParseSourceDateEpoch(const char* value) {
  if (!value || !*value) return std::nullopt;
  std::time_t seconds = 0;
  for (const char* p = value; *p; ++p) {
    if (*p < '0' || *p > '9') return std::nullopt;
    seconds = seconds * 10 + (*p - '0');
    // Checked at every digit, so that a long run of digits never overflows.
    if (seconds > kLastSecond) return std::nullopt;
  }
  return seconds;
}

TExportStamp ExportStampAt(const char* sourceDateEpoch, std::time_t clock) {
  TExportStamp stamp;
  if (std::optional<std::time_t> pinned = ParseSourceDateEpoch(sourceDateEpoch)) {
    stamp.Seconds = *pinned;
    stamp.Pinned = true;
    gmtime_r(&stamp.Seconds, &stamp.Fields);
  } else {
    stamp.Seconds = clock;
    localtime_r(&stamp.Seconds, &stamp.Fields);
  }
  return stamp;
}

TExportStamp ExportStamp() {
  return ExportStampAt(std::getenv("SOURCE_DATE_EPOCH"), std::time(nullptr));
}

TDateTime StampDate(const TExportStamp& stamp) {
  TDateTime date = 0;
  TryEncodeDate(stamp.Fields.tm_year + 1900, stamp.Fields.tm_mon + 1, stamp.Fields.tm_mday, date);
  return date;
}

TDateTime StampDateTime(const TExportStamp& stamp) {
  TDateTime time = 0;
  // A leap second (tm_sec 60) counts as the last second of its minute.
  TryEncodeTime(stamp.Fields.tm_hour, stamp.Fields.tm_min, std::min(stamp.Fields.tm_sec, 59), 0,
                time);
  return StampDate(stamp) + time;
}

}  // namespace morvale
