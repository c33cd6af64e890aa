#!/usr/bin/env bash
# Configures one build folder: scripts/configure.sh release|test [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?release or test}
dir=${2:-build/$kind}

case "$kind" in
  release)
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
      -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DPIXSTAMP_BENCH=ON >/dev/null ;;
  test)
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DPIXSTAMP_SANITIZE=ON -DPIXSTAMP_TESTS=ON -DPIXSTAMP_FUZZ=ON >/dev/null ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
