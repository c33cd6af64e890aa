# Sourced by the scripts that run sanitized programs (sets `root`, the repository): leaks are
# reported, undefined behaviour stops the program with its stack, and reports name functions,
# files and lines through the symbolizer of the compiler that built them (Debian names it after
# the compiler's version, and the runtimes look for that name unless told otherwise).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ]; then
  version=$(clang -dumpversion 2>/dev/null || true)
  ASAN_SYMBOLIZER_PATH=$(command -v "llvm-symbolizer-${version%%.*}" || command -v llvm-symbolizer || true)
fi
if [ -n "$ASAN_SYMBOLIZER_PATH" ]; then
  export ASAN_SYMBOLIZER_PATH
  export UBSAN_SYMBOLIZER_PATH=${UBSAN_SYMBOLIZER_PATH:-$ASAN_SYMBOLIZER_PATH}
else
  echo "warning: no llvm-symbolizer, sanitizer reports show addresses only (scripts/deps.sh)" >&2
fi
