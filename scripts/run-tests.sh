#!/usr/bin/env bash
# Runs the test suites of a build folder offscreen (the display groups on a virtual X display):
# scripts/run-tests.sh BUILD_DIR [ctest args]. CTEST_PARALLEL_LEVEL sets how many suites run at
# once (all cores by default).
set -euo pipefail
dir=${1:?build folder}
shift
source "$(dirname "$0")/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir "$dir" --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}" "$@" || status=$?
# ctest shows no output of a skipped suite: say why it could not run.
grep -h "^SKIPPED: " "$dir/Testing/Temporary/LastTest.log" 2>/dev/null || true
exit $status
