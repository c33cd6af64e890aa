#!/usr/bin/env bash
# Installs what is missing, builds build/test with the sanitizers, runs every test offscreen,
# then runs each fuzz target briefly (FUZZ_SECONDS, 20 by default).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/configure.sh test
cmake --build build/test
scripts/run-tests.sh build/test
scripts/run-fuzzers.sh build/test "${FUZZ_SECONDS:-20}"
