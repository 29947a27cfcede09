#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one of them
# (or each in turn) for the given number of seconds, one process at a time.
#   scripts/fuzz.sh chireader|config|atoms|datareader|measured|feffpaths|all SECONDS [libFuzzer options...]
# New inputs collect in build-fuzz/corpus/TARGET (seeded from the test data
# and the examples); crashes, hangs and leaks are written to
# build-fuzz/artifacts/TARGET/ and end the run with a non-zero status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-fuzz}
targets=(chireader config atoms datareader measured feffpaths)

usage() {
  echo "usage: $0 ${targets[*]// /|}|all SECONDS [libFuzzer options...]" >&2
  exit 2
}
(($# >= 2)) || usage
which=$1 seconds=$2
shift 2
[[ $seconds =~ ^[0-9]+$ ]] || usage
if [[ $which == all ]]; then
  run=("${targets[@]}")
else
  [[ " ${targets[*]} " == *" $which "* ]] || usage
  run=("$which")
fi

# Seed folders of each target, read only: the corpus folder gets the copies.
seeds() {
  case $1 in
    chireader) echo "$top/tests/chi/data" ;;
    config) echo "$top/examples $top/fuzz/seeds/config" ;;
    atoms) echo "$top/tests/tools/data $top/examples/00-Cif $top/fuzz/seeds/atoms" ;;
    datareader) echo "$top/tests/data/data" ;;
    measured) echo "$top/tests/chi/data $top/fuzz/seeds/measured" ;;
    feffpaths) echo "$top/fuzz/seeds/feffpaths" ;;
  esac
}

"$top/scripts/setup.sh"
CXX=${CXX:-clang++} cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSCATTERDECK_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${run[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${run[@]}"; do
  corpus=$build/corpus/$target artifacts=$build/artifacts/$target/
  mkdir -p "$corpus" "$artifacts"
  # shellcheck disable=SC2046 # seeds() lists folders separated by blanks
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$@" \
    "$corpus" $(seeds "$target") || status=$?
done
exit "$status"
