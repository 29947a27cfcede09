#!/usr/bin/env bash
# Starts a local cluster, runs the examples/slurm scripts on it and stops it:
#   1. one allocation of 2 tasks, 10 FEFF jobs, every FEFF run a step;
#   2. a job array of 3 shares over the same 10 inputs and the merge step;
#   3. a step cancelled with scancel becomes a failed job with Slurm's
#      reason; scancel of the whole batch stops every step, and the batch
#      writes its summary.
# Exit 77 (skipped) when this machine cannot run the cluster.
#
# Usage: slurm_local_test.sh SCATTERDECK FAKEPROG SOURCE_DIR
set -uo pipefail
exe=$1 fake=$2 top=$3
examples=$top/examples/slurm
feff=/usr/bin/feff6
t0=$SECONDS
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # description, then the command that must succeed
  local what=$1
  shift
  "$@" || fail "$what"
}

if [[ ! -x $feff ]]; then
  echo "SKIPPED: $feff is not installed (scripts/setup.sh installs ifeffit)"
  exit 77
fi

dir=$(mktemp -d /tmp/scatterdeck-slurm-test.XXXXXX)
chmod 755 "$dir" # munged runs as munge and must reach its folder
cluster=$dir/cluster
cleanup() {
  "$top/scripts/slurm-local.sh" stop "$cluster" >/dev/null 2>&1
  [[ -n ${KEEP:-} ]] || rm -rf "$dir"
}
trap cleanup EXIT
# Should this script be killed (a test time-out), the cluster goes too.
setsid bash -c "while kill -0 $$ 2>/dev/null; do sleep 1; done
  '$top/scripts/slurm-local.sh' stop '$cluster' >/dev/null 2>&1
  [[ -n '${KEEP:-}' ]] || rm -rf '$dir'" \
  </dev/null >/dev/null 2>&1 &

"$top/scripts/slurm-local.sh" start "$cluster"
rc=$?
if ((rc == 77)); then
  echo "SKIPPED: the local Slurm cluster cannot run on this machine (see above)"
  exit 77
elif ((rc != 0)); then
  echo "FAIL: the local Slurm cluster did not start; its logs:"
  tail -n 20 "$cluster"/*.log "$cluster"/*.out 2>/dev/null
  exit 1
fi
# shellcheck disable=SC1091
source "$cluster/env"
echo "cluster up after $((SECONDS - t0)) s"

# A working folder with n copies of the copper FEFF input.
make_work() {
  local work=$1 n=$2
  mkdir -p "$work/00-Cif" "$work/00-Inp"
  for i in $(seq -w 1 "$n"); do
    cp "$top/examples/00-Inp/Cu-metal.inp" "$work/00-Inp/cu$i.inp"
  done
  printf 'ATOMS_EXE /bin/true\n' >"$work/config.cfg"
}

wait_until() { # seconds, command
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

job_gone() { [[ -z $(squeue -h -j "$1" -o %i 2>/dev/null) ]]; }
# The job's steps other than its batch step, one id per line.
steps_of() { squeue -h -s -j "$1" -o %i 2>/dev/null | grep -v '\.batch$' | grep -v '\.extern$'; }
pid_files() { (($(find "$1/00-Res" -name fake.pid 2>/dev/null | wc -l) >= $2)); }
has_steps() { (($(steps_of "$1" | wc -l) >= $2)); }

# Every input of the folder has one ok line with its job folder, and the
# summary counts them all.
check_results() {
  local what=$1 work=$2 file=$3 res=$4 n=$5
  local lines
  lines=$(grep -c '^ok	' "$file")
  ((lines == n)) || { fail "$what: $lines ok lines of $n"; cat "$file"; }
  for input in "$work"/00-Inp/*.inp; do
    local base
    base=$(basename "$input" .inp)
    [[ $(grep -c "^ok	$input	$res/$base	chi(k) read with [0-9]* paths, chiR.dat written\$" "$file") -eq 1 ]] ||
      fail "$what: no single ok line for $input"
  done
  check "$what: summary" grep -q "^summary	done=$n	failed=0	unfinished=0	wall=" "$file"
}

# 1. One allocation, many steps.
work=$dir/one
make_work "$work" 10
printf '#!/bin/sh\necho "$SLURM_JOB_ID.$SLURM_STEP_ID" >>%s/steps.log\nexec %s "$@"\n' \
  "$dir" "$feff" >"$dir/feff-step.sh"
chmod +x "$dir/feff-step.sh"
(cd "$work" && SCATTERDECK=$exe FEFF=$dir/feff-step.sh \
  sbatch --parsable --ntasks=2 --output=slurm.out "$examples/batch.sbatch" >job.id)
job=$(<"$work/job.id")
check "batch job $job ends within 60 s" wait_until 60 job_gone "$job"
check "batch job $job exit code 0" grep -q 'ExitCode=0:0' <(scontrol show job "$job")
check_results "one allocation" "$work" "$work/results.tsv" "$work/00-Res" 10
steps=$(sort -u "$dir/steps.log" | grep -c "^$job\.[0-9][0-9]*\$")
check "10 FEFF runs as 10 steps of job $job, found $steps" test "$steps" -eq 10
check "no FEFF run outside job $job" test "$(wc -l <"$dir/steps.log")" -eq 10
echo "one allocation done after $((SECONDS - t0)) s"

# 2. A job array of 3 shares and the merge step.
work=$dir/array
make_work "$work" 10
(cd "$work" && SCATTERDECK=$exe "$examples/submit-array.sh" 3 --ntasks=1 >jobs.txt)
array=$(awk '$1 == "array" { print $2 }' "$work/jobs.txt")
merge=$(awk '$1 == "merge" { print $2 }' "$work/jobs.txt")
check "array and merge job ids" test -n "$array" -a -n "$merge"
check "array $array and merge $merge end within 60 s" wait_until 60 job_gone "$merge"
check_results "job array" "$work" "$work/results.tsv" "$work/00-Res/share-[1-3]" 10
check "merge step exit code 0" grep -q 'ExitCode=0:0' <(scontrol show job "$merge")
# Share 1 of 3 holds inputs 1, 4, 7 and 10.
check "share 1 folders" test "$(ls "$work/00-Res/share-1" | tr '\n' ' ')" = "cu01 cu04 cu07 cu10 "
echo "job array done after $((SECONDS - t0)) s"

# 3. scancel of one step, then of the whole batch.
work=$dir/cancel
make_work "$work" 3
(cd "$work" && SCATTERDECK=$exe FEFF="$fake feff pidfile sleep=600000" \
  sbatch --parsable --ntasks=2 --output=slurm.out "$examples/batch.sbatch" >job.id)
job=$(<"$work/job.id")
check "two FEFF steps of job $job run" wait_until 30 has_steps "$job" 2
# A step cancelled before its program starts ends without Slurm's notice
# (srun says only "task 0: Killed"), so both stand-ins must be running.
check "both FEFF stand-ins started" wait_until 30 pid_files "$work" 2
first=$(steps_of "$job" | sort -t. -k2 -n | head -n 1)
scancel "$first"
check "the cancelled step's job is reported" \
  wait_until 20 grep -q '^feff-cancelled	' "$work/results.tsv"
check "Slurm's reason in the result line" \
  grep -q "	FEFF cancelled by Slurm: STEP $first ON [^ ]* CANCELLED AT [^	]*\$" "$work/results.tsv"
check "the third job's step starts" wait_until 30 has_steps "$job" 2
scancel "$job"
check "job $job ends within 30 s of scancel" wait_until 30 job_gone "$job"
check "no step of job $job left" test -z "$(squeue -h -s -o %i | grep "^$job\.")"
for pidfile in "$work"/00-Res/*/fake.pid; do
  pid=$(<"$pidfile")
  check "FEFF stand-in $pid ended" wait_until 10 test ! -d "/proc/$pid"
done
check "summary after scancel" grep -q '^summary	done=0	failed=1	unfinished=2	wall=' "$work/results.tsv"
check "the stop is logged" grep -q '^Stopped by SIGTERM: ending 2 running programs$' "$work/log.txt"
check "job $job cancelled" grep -q 'JobState=CANCELLED' <(scontrol show job "$job")
echo "scancel done after $((SECONDS - t0)) s"

daemons=$(<"$cluster/daemons.pid")
"$top/scripts/slurm-local.sh" stop "$cluster"
while read -r name pid; do
  check "$name $pid stopped" test ! -d "/proc/$pid"
done <<<"$daemons"
echo "slurm_local: $((SECONDS - t0)) s, $failures failed checks"
((failures == 0))
