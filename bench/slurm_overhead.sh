#!/usr/bin/env bash
# What Slurm adds to a batch run, not part of the test suite. Starts a
# local one-node cluster (scripts/slurm-local.sh), then runs N FEFF jobs
# (copies of the bundled copper input) twice per round, in turns: through
# examples/slurm/batch.sbatch in an allocation of 2 tasks (every FEFF run a
# step), and as a plain `scatterdeck -batch` with MAX_PROC 2. Prints the
# batch runs' own wall times (their summary lines), the time from sbatch to
# the end of the job, and the difference per job and per step. Stops the
# cluster at the end.
#
# Usage: bench/slurm_overhead.sh [build dir] [jobs] [rounds]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
jobs=${2:-100}
rounds=${3:-3}
exe=$build/bin/scatterdeck
feff=/usr/bin/feff6
[[ -x $exe ]] || { echo "No $exe: build first" >&2; exit 1; }

work=$(mktemp -d /tmp/scatterdeck-slurm-bench.XXXXXX)
chmod 755 "$work"
cluster=$work/cluster
trap '"$top/scripts/slurm-local.sh" stop "$cluster" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$top/scripts/slurm-local.sh" start "$cluster" >/dev/null
# shellcheck disable=SC1091
source "$cluster/env"

mkdir -p "$work/run/00-Cif" "$work/run/00-Inp"
for i in $(seq -w 1 "$jobs"); do
  cp "$top/examples/00-Inp/Cu-metal.inp" "$work/run/00-Inp/cu$i.inp"
done
printf 'ATOMS_EXE /bin/true\nMAX_PROC 2\nFEFF_EXE %s\n' "$feff" >"$work/run/config.cfg"
cd "$work/run"
(mkdir -p warm && cd warm && cp "$top/examples/00-Inp/Cu-metal.inp" feff.inp && "$feff" >/dev/null)

now() { date +%s.%N; }
wall_of() { awk -F'\t' '/^summary/ { sub("wall=", "", $5); print $5 }' "$1"; }
check_ok() {
  local ok
  ok=$(grep -c '^ok	' "$1" || true)
  [[ $ok -eq $jobs ]] || { echo "$1: $ok of $jobs jobs ok" >&2; tail -n 3 "$1" >&2; exit 1; }
}

run_slurm() {
  rm -rf 00-Res
  local t0 id
  t0=$(now)
  id=$(SCATTERDECK=$exe FEFF=$feff sbatch --parsable --ntasks=2 --output=slurm.out \
    --export=ALL,RESULTS=slurm.tsv,LOG=slurm.log "$top/examples/slurm/batch.sbatch")
  while [[ -n $(squeue -h -j "$id" -o %i 2>/dev/null) ]]; do sleep 0.05; done
  slurm_total=$(awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')
  check_ok slurm.tsv
  slurm_wall=$(wall_of slurm.tsv)
}

run_plain() {
  rm -rf 00-Res
  "$exe" -batch -e -c config.cfg >plain.tsv 2>plain.log || true
  check_ok plain.tsv
  plain_wall=$(wall_of plain.tsv)
}

slurm_walls=() plain_walls=()
for ((round = 1; round <= rounds; ++round)); do
  if ((round % 2)); then run_slurm; run_plain; else run_plain; run_slurm; fi
  slurm_walls+=("$slurm_wall") plain_walls+=("$plain_wall")
  echo "round $round: through Slurm $slurm_wall s (sbatch to end $slurm_total s), without $plain_wall s"
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
s=$(median "${slurm_walls[@]}") p=$(median "${plain_walls[@]}")
awk -v s="$s" -v p="$p" -v n="$jobs" 'BEGIN {
  printf "jobs:     %d FEFF runs of Cu-metal.inp, 2 at a time (2 tasks / MAX_PROC 2)\n", n
  printf "median:   through Slurm %.3f s, without %.3f s, ratio %.2f\n", s, p, s / p
  printf "overhead: %.1f ms of wall time per job, %.1f ms per step (2 steps side by side)\n",
    1000 * (s - p) / n, 2000 * (s - p) / n }'
