#!/usr/bin/env bash
# Peak memory of a batch run against the number of inputs, not part of the
# test suite. Runs `scatterdeck -batch` (MAX_PROC 2) on 0 inputs and on each
# given count of small FEFF input files, with `cp` standing in for FEFF (it
# copies a small chi.dat into the job folder), and prints the peak resident
# memory of each run (/usr/bin/time -v) and the memory per input above the
# run without inputs. A coarse R grid keeps the chiR.dat files small.
#
# Usage: bench/batch_memory.sh [build dir] [counts...]   (default 1000 100000)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
shift || true
counts=("$@")
((${#counts[@]})) || counts=(1000 100000)
exe=$build/bin/scatterdeck
[[ -x $exe ]] || { echo "No $exe: build first (cmake --build $build)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "No /usr/bin/time: install time (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 60 rows of chi(k): enough for the transform, little to copy.
head -n 63 "$top/tests/chi/data/chi.dat" >"$work/chi.dat"
cat >"$work/bench.cfg" <<CFG
MAX_PROC 2
FEFF_EXE /bin/cp
FEFF_ARG "$work/chi.dat chi.dat"
ATOMS_EXE /bin/true
R_MAX 2
R_DELTA 0.5
CFG
cd "$work"

# Peak resident memory in kB and wall seconds of one run over n inputs.
measure() {
  local n=$1
  rm -rf 00-Inp 00-Res 00-Cif
  mkdir -p 00-Inp 00-Cif
  (cd 00-Inp && seq -f 'job%06g.inp' 1 "$n" | xargs -r -n 1000 touch)
  # A FEFF input file needs no content here: cp ignores it.
  /usr/bin/time -v "$exe" -batch -e -c bench.cfg >batch.out 2>batch.err || {
    echo "Batch run over $n inputs failed:" >&2
    tail -n 5 batch.out batch.err >&2
    exit 1
  }
  local ok
  ok=$(grep -c '^ok	' batch.out || true)
  [[ $ok -eq $n ]] || { echo "$ok of $n jobs ok" >&2; tail -n 3 batch.out >&2; exit 1; }
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' batch.err)
  wall=$(awk -F'\t' '/^summary/ { sub("wall=", "", $5); print $5 }' batch.out)
}

measure 0
base=$rss
printf '%8s inputs: peak %7.1f MB\n' 0 "$(awk -v r="$base" 'BEGIN { print r / 1024 }')"
for n in "${counts[@]}"; do
  measure "$n"
  awk -v n="$n" -v r="$rss" -v b="$base" -v w="$wall" 'BEGIN {
    printf "%8d inputs: peak %7.1f MB, %6.2f kB per input above none, %.1f s (%.2f ms per job)\n",
      n, r / 1024, (r - b) / n, w, 1000 * w / n }'
done
