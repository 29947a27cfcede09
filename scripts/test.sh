#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
#   scripts/test.sh             the normal build in build/
#   scripts/test.sh --sanitize  the same under AddressSanitizer and
#                               UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sanitize=0
for arg in "$@"; do
  case $arg in
    --sanitize) sanitize=1 ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
  esac
done
"$top/scripts/setup.sh"
if ((sanitize)); then
  build=${BUILD_DIR:-$top/build-asan}
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCATTERDECK_SANITIZE=ON >/dev/null
  # Leaks are reported too; the suppressions file says which ones are
  # accepted and why.
  # Full stacks on every allocation, so that a suppression can name the
  # library that made it.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
else
  build=${BUILD_DIR:-$top/build}
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
