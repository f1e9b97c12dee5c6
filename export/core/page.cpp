#include "export/core/page.h"

namespace morvale {

namespace {

// The largest size from `asked` down to `floor` at which the table fits, or 0.
int LargestFit(TExportPageOrientation o, int asked, int floor, const TTableExcess& excess) {
  for (int size = asked; size >= floor; --size)
    if (excess(o, size) <= 0) return size;
  return 0;
}

}  // namespace

TTableFit FitTable(TExportPageOrientation given, bool mayTurn, int asked, int floor,
                   const TTableExcess& excess) {
  floor = std::max(1, std::min(floor, asked));
  asked = std::max(asked, floor);
  const TExportPageOrientation turned = given == poPortrait ? poLandscape : poPortrait;
  const int onGiven = LargestFit(given, asked, floor, excess);
  if (onGiven == asked) return {given, asked, true};
  if (mayTurn) {
    const int onTurned = LargestFit(turned, asked, floor, excess);
    if (onTurned > onGiven) return {turned, onTurned, true};
  }
  if (onGiven > 0) return {given, onGiven, true};
  if (mayTurn && excess(turned, floor) < excess(given, floor)) return {turned, floor, false};
  return {given, floor, false};
}

}  // namespace morvale
