#!/usr/bin/env bash
# Installs what is missing, builds build/release and starts the editor with the given arguments.
# PIXSTAMP_BUILD_ONLY=1 only builds.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/configure.sh release
cmake --build build/release
[ "${PIXSTAMP_BUILD_ONLY:-0}" = 1 ] && exit 0
exec build/release/bin/pixstamp "$@"
