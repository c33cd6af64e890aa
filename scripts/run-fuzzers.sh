#!/usr/bin/env bash
# Runs every fuzz target of a build folder for a short time, several at once:
# scripts/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
dir=$(cd "${1:?build folder}" && pwd)
seconds=${2:-20}
source "$(dirname "$0")/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen

shopt -s nullglob
targets=("$dir"/bin/fuzz_*)
[ ${#targets[@]} -eq 0 ] && { echo "no fuzz targets"; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
pids=()
for target in "${targets[@]}"; do
  name=${target##*/fuzz_}
  mkdir -p "$work/$name"
  seeds=("$work/$name")
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  ( cd "$work" && "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 \
      -print_final_stats=0 "${seeds[@]}" >"$work/$name.log" 2>&1 ) &
  pids+=("$!:$name")
done
for entry in "${pids[@]}"; do
  pid=${entry%%:*}; name=${entry#*:}
  if wait "$pid"; then
    echo "fuzz $name: ok ($(grep -c '' "$work/$name.log") log lines)"
  else
    echo "fuzz $name: FAILED"; tail -n 60 "$work/$name.log"; failed=1
  fi
done
exit $failed
