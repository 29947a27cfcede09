#!/usr/bin/env bash
# Wall time of fitting the jobs of a batch run, not part of the test suite.
# Runs N copies of the bundled copper FEFF input through `scatterdeck -batch`
# (MAX_PROC 2) twice from the same fresh folders: without a measured curve,
# and with copper foil at 10 K (`-data cu10k.chi -fit`), which fits every
# job; prints both wall times, their difference (the fits' share of the run)
# and the best fit's line of the table.
#
# Usage: bench/fit_batch.sh [build dir] [jobs]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
jobs=${2:-300}
[[ -d $build ]] || { echo "No build folder $build" >&2; exit 1; }
build=$(cd "$build" && pwd)
exe=$build/bin/scatterdeck
[[ -x $exe ]] || { echo "No $exe: build first (cmake --build $build)" >&2; exit 1; }
[[ -x /usr/bin/feff6 ]] || { echo "No /usr/bin/feff6: install ifeffit (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/00-Cif" "$work/00-Inp"
for i in $(seq -w 1 "$jobs"); do
  cp "$top/examples/00-Inp/Cu-metal.inp" "$work/00-Inp/job$i.inp"
done
cp "$top/tests/fit/data/cu10k.chi" "$work/"
cat >"$work/bench.cfg" <<CFG
MAX_PROC 2
FEFF_EXE /usr/bin/feff6
FEFF_ARG ""
feff_inp PRINT 1 0 0 0
K_MIN 3
K_MAX 14
FIT_RMIN 1.7
FIT_RMAX 3.0
CFG
cd "$work"
wall() { awk -F'\t' '/^summary/ { sub("wall=", "", $5); print $5 }' "$1"; }
"$exe" -batch -e -c bench.cfg >plain.tsv 2>/dev/null
rm -rf 00-Res
"$exe" -batch -e -c bench.cfg -data cu10k.chi -fit fit.tsv >fitted.tsv 2>/dev/null
plain=$(wall plain.tsv)
fitted=$(wall fitted.tsv)
echo "$jobs jobs: batch without fits ${plain} s, with fits ${fitted} s wall"
awk -v a="$plain" -v b="$fitted" -v n="$jobs" \
  'BEGIN { printf "fits: %.3f s in all, %.1f ms per job\n", b - a, 1000 * (b - a) / n }'
sed -n 2p fit.tsv | cut -f 3,7,9,19
