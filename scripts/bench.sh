#!/usr/bin/env bash
# Builds build/release and runs the benchmarks beside their peers: scripts/bench.sh [FILTER]
# FILTER selects benchmark programs by name (a substring). Ends with the "ratio NAME MEASURED TARGET" lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/configure.sh release
cmake --build build/release
filter=${1:-}
ratios=$(mktemp)
trap 'rm -f "$ratios"' EXIT
export QT_QPA_PLATFORM=offscreen
for program in build/release/bin/bench_*; do
  [ -n "$filter" ] && [[ "$program" != *"$filter"* ]] && continue
  echo "== ${program##*/}"
  "$program" | tee -a "$ratios"
done
echo
grep '^ratio ' "$ratios" || echo "no comparisons ran"
