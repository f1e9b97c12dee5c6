// The moment an export writes into its files where a format keeps one: a dBASE header's date, a
// workbook's creation time, a worksheet cell that stands for "now". Set SOURCE_DATE_EPOCH (the
// reproducible-builds convention: decimal seconds since 1970-01-01 00:00 UTC) and every export
// takes that moment, in UTC, so the same data gives the same bytes on any day; without it the
// clock gives the moment, in local time, as a user expects to see it.
#pragma once

#include <ctime>
#include <optional>

#include "export/core/datetime.h"

namespace morvale {

struct TExportStamp {
  std::time_t Seconds = 0;  // since 1970-01-01 00:00 UTC
  std::tm Fields{};         // broken down in UTC when pinned, in local time otherwise
  bool Pinned = false;      // taken from SOURCE_DATE_EPOCH rather than the clock
};

// SOURCE_DATE_EPOCH's value as seconds: plain decimal digits up to the end of year 9999 (what a
// date field can hold). Anything else (a sign, blanks, a fraction, a date) gives nothing, and the
// clock is used: a mistyped variable must not stop an export, and no guess at what it meant is
// better than the clock.
std::optional<std::time_t> ParseSourceDateEpoch(const char* value);

// The stamp from `sourceDateEpoch` (SOURCE_DATE_EPOCH's value, or null) when it parses, from
// `clock` otherwise.
TExportStamp ExportStampAt(const char* sourceDateEpoch, std::time_t clock);
// The stamp of an export starting now: the one every writer calls.
TExportStamp ExportStamp();

// The stamp as a date-time value, to the whole second.
TDateTime StampDateTime(const TExportStamp& stamp);
// The stamp's day alone, without the time.
TDateTime StampDate(const TExportStamp& stamp);

}  // namespace morvale
