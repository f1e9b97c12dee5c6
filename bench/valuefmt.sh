#!/usr/bin/env bash
# Builds and runs the value-formatting benchmark: each of our operations beside the C library's
# nearest equivalent, in one run. Usage: bench/valuefmt.sh [benchmark args]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${TMPDIR:-/tmp}/morvale_valuefmt_bench"
g++ -std=c++20 -O2 -DNDEBUG -I"$root" -o "$out" "$root/bench/valuefmt_bench.cpp" \
  "$root/export/core/numfmt.cpp" "$root/export/core/datetime.cpp" \
  "$root/export/core/formatsettings.cpp" "$root/export/core/classes.cpp" \
  "$root/export/core/properties.cpp" -lbenchmark -lpthread
"$out" --benchmark_min_time=0.2 "$@"
