#!/usr/bin/env bash
# Throughput of a batch run against the shell, not part of the test suite.
# Runs N small FEFF input jobs (copies of the bundled copper input) through
# `scatterdeck -batch` with MAX_PROC 2, and the same N FEFF runs with
# `xargs -P 2` over the job folders the batch made, and prints both wall
# times and their ratio. Both sides start from folders that hold nothing but
# the feff.inp the batch writes (creating files costs more than overwriting
# them). Each round times both sides back to back, the first side taking
# turns, so that a change in the machine's load affects both alike; the
# median of the rounds' ratios is the result. The processor time of each side
# (all its processes) is printed as well: unlike the wall time it hardly
# depends on what else the machine is doing.
#
# Usage: bench/batch_throughput.sh [build dir] [jobs] [rounds] [FEFF input]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
jobs=${2:-100}
rounds=${3:-3}
input=${4:-$top/examples/00-Inp/Cu-metal.inp}
feff=/usr/bin/feff6
# The script changes into its work folder below: relative paths are made
# absolute first.
[[ -d $build ]] || { echo "No build folder $build" >&2; exit 1; }
[[ -f $input ]] || { echo "No FEFF input $input" >&2; exit 1; }
build=$(cd "$build" && pwd)
input=$(cd "$(dirname "$input")" && pwd)/$(basename "$input")
exe=$build/bin/scatterdeck
[[ -x $exe ]] || { echo "No $exe: build first (cmake --build $build)" >&2; exit 1; }
[[ -x $feff ]] || { echo "No $feff: install ifeffit (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/00-Cif" "$work/00-Inp"
for i in $(seq -w 1 "$jobs"); do
  cp "$input" "$work/00-Inp/job$i.inp"
done
cat >"$work/bench.cfg" <<CFG
MAX_PROC 2
FEFF_EXE $feff
ATOMS_EXE /bin/true
feff_inp PRINT 1 0 0 3
CFG
cd "$work"

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
# User plus system time of the finished children, from the `times` output.
child_cpu() {
  awk 'NR == 2 {
    n = split($0, f, /[ms]+/); t = 0
    t += f[1] * 60 + f[2]; t += f[3] * 60 + f[4]
    printf "%.2f", t }' "$1"
}

run_batch() {
  rm -rf 00-Res
  local t0 t1 status=0 ok
  t0=$(now)
  (
    "$exe" -batch -e -c bench.cfg >batch.out 2>batch.err || echo $? >batch.status
    times >batch.times
  )
  t1=$(now)
  [[ -f batch.status ]] && status=$(<batch.status) && rm batch.status
  ok=$(grep -c '^ok	' batch.out || true)
  if [[ $status -ne 0 || $ok -ne $jobs ]]; then
    echo "Batch run failed (exit code $status, $ok of $jobs jobs ok):" >&2
    tail -n 5 batch.out batch.err >&2
    exit 1
  fi
  batch=$(seconds "$t0" "$t1")
  batch_cpu=$(child_cpu batch.times)
}

run_shell() {
  # The job folders as the batch left them, less everything FEFF wrote.
  find 00-Res -mindepth 2 -maxdepth 2 ! -name feff.inp -delete
  local t0 t1
  t0=$(now)
  (
    find 00-Res -mindepth 1 -maxdepth 1 -type d -print0 |
      xargs -0 -P 2 -n 1 sh -c 'cd "$1" && exec '"$feff"' >/dev/null' sh
    times >shell.times
  )
  t1=$(now)
  shell=$(seconds "$t0" "$t1")
  shell_cpu=$(child_cpu shell.times)
}

# feff6 and its libraries into the page cache, and job folders for a first
# shell round.
mkdir -p warm
cp "$input" warm/feff.inp
(cd warm && "$feff" >/dev/null)
run_batch

ratios=()
for ((round = 1; round <= rounds; ++round)); do
  if ((round % 2)); then
    run_batch
    run_shell
  else
    run_shell
    run_batch
  fi
  ratio=$(awk -v b="$batch" -v s="$shell" 'BEGIN { printf "%.3f", b / s }')
  ratios+=("$ratio")
  echo "round $round: batch $batch s ($batch_cpu s cpu), shell $shell s ($shell_cpu s cpu), ratio $ratio"
done

median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END {
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "jobs:  $jobs FEFF runs of $(basename "$input"), 2 at a time, $(nproc) cores"
echo "ratio: $median   (median of the rounds; batch / shell; goal <= 1.1)"
