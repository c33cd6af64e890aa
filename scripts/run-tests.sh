#!/usr/bin/env bash
# Runs the test suites of a build folder offscreen (the display groups on a virtual X display):
# scripts/run-tests.sh BUILD_DIR [ctest args]
set -euo pipefail
dir=${1:?build folder}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@" || status=$?
# ctest shows no output of a skipped suite: say why it could not run.
grep -h "^SKIPPED: " "$dir/Testing/Temporary/LastTest.log" 2>/dev/null || true
exit $status
