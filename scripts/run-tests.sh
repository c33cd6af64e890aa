#!/usr/bin/env bash
# Runs the test suites of a build folder offscreen: scripts/run-tests.sh BUILD_DIR [ctest args]
set -euo pipefail
dir=${1:?build folder}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
