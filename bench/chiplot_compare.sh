#!/usr/bin/env bash
# The repaint benchmark of two versions in one run, not part of the test
# suite: bench_chiplot of the given revision (built in a temporary worktree
# with the same build type) against the one of the build folder, taking
# turns round by round so that a change in the machine's load affects both
# alike. Prints each round's figures and, per scene, the median over the
# rounds of the new/old ratio of the median repaint times.
#
# Usage: bench/chiplot_compare.sh REVISION [build dir] [repaints] [rounds]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -ge 1 ]] || { echo "usage: $0 REVISION [build dir] [repaints] [rounds]" >&2; exit 2; }
rev=$1
build=${2:-$top/build}
repaints=${3:-50}
rounds=${4:-5}
[[ -d $build ]] || { echo "No build folder $build" >&2; exit 1; }
build=$(cd "$build" && pwd)
new=$build/bin/bench_chiplot
[[ -x $new ]] || { echo "No $new: build first (cmake --build $build)" >&2; exit 1; }
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")

work=$(mktemp -d)
trap 'git -C "$top" worktree remove --force "$work/src" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
git -C "$top" worktree add --quiet --detach "$work/src" "$rev"
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$work/build" -j"$(nproc)" --target bench_chiplot >/dev/null
old=$work/build/bin/bench_chiplot

# One line per scene: "name<TAB>milliseconds".
figures() {
  QT_QPA_PLATFORM=offscreen "$1" "$repaints" 2>/dev/null |
    sed -n 's/^\(.*\): median of [0-9]* repaints \([0-9.e+-]*\) ms.*/\1\t\2/p'
}

ratios=$work/ratios
for ((r = 1; r <= rounds; ++r)); do
  if ((r % 2)); then a=$(figures "$old"); b=$(figures "$new"); else b=$(figures "$new"); a=$(figures "$old"); fi
  paste <(echo "$a") <(echo "$b" | cut -f2) | while IFS=$'\t' read -r scene before after; do
    printf 'round %d  %-26s %s: %8.3f ms  now: %8.3f ms\n' "$r" "$scene" "$rev" "$before" "$after"
    printf '%s\t%s\n' "$scene" "$(awk -v a="$after" -v b="$before" 'BEGIN {print a / b}')" >>"$ratios"
  done
done
echo "median ratio now/$rev over $rounds rounds:"
cut -f1 "$ratios" | awk '!seen[$0]++' | while read -r scene; do
  grep -F "$scene"$'\t' "$ratios" | cut -f2 | sort -g |
    awk -v s="$scene" '{v[NR] = $1} END {m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "  %-26s %.3f\n", s, m}'
done
