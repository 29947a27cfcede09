#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for trying and testing cluster
# batch runs: munged, slurmctld and slurmd with the machine's cores as CPUs,
# one partition, no accounting, no cgroups and no systemd.
#
# Usage: scripts/slurm-local.sh start|stop|status [STATE_DIR]
#
# Everything the cluster writes (configuration, state, spool, logs, process
# ids, the munge socket) lies in STATE_DIR, by default $SLURM_LOCAL_DIR or
# /tmp/scatterdeck-slurm. The only system file used is the munge key that the
# munge package installs (/etc/munge/munge.key); it is created only where it
# is missing, never replaced. Each cluster picks free ports of its own, so
# two state folders give two clusters that do not meet.
#
# After start, `source STATE_DIR/env` points the Slurm commands (sinfo,
# sbatch, srun, squeue, scancel) at the cluster. stop cancels the cluster's
# jobs and stops exactly the daemons that start began, by their process ids.
#
# Exit codes: 0 done; 1 the cluster could not start or stop (see stderr);
# 3 (status) the cluster is not running; 77 (start) this machine cannot run
# it at all: Slurm or munge is not installed, or we are not root.
set -euo pipefail

command=${1:-}
dir=${2:-${SLURM_LOCAL_DIR:-/tmp/scatterdeck-slurm}}
conf=$dir/slurm.conf
pids=$dir/daemons.pid
munge_key=/etc/munge/munge.key

die() { echo "slurm-local: $*" >&2; exit 1; }
cannot() { echo "slurm-local: cannot run a local cluster here: $*" >&2; exit 77; }

# The process id recorded for a daemon, if it still runs that program.
daemon_pid() {
  local name=$1 pid
  [[ -f $pids ]] || return 1
  pid=$(awk -v n="$name" '$1 == n { print $2 }' "$pids")
  [[ -n $pid && -r /proc/$pid/comm && $(</proc/$pid/comm) == "$name" ]] || return 1
  echo "$pid"
}

running() { daemon_pid slurmctld >/dev/null && daemon_pid slurmd >/dev/null; }

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Two consecutive free ports for slurmctld and slurmd.
pick_ports() {
  local base
  for _ in $(seq 50); do
    base=$((20000 + (RANDOM % 4000) * 2))
    if ! port_in_use "$base" && ! port_in_use $((base + 1)); then
      echo "$base"
      return
    fi
  done
  die "no two free ports found"
}

write_conf() {
  local host=$1 port=$2
  cat >"$conf" <<CONF
# Written by scripts/slurm-local.sh: a one-node cluster for local tests.
ClusterName=scatterdeck
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/socket
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SchedulerType=sched/backfill
ReturnToService=2
# Steps that ignore SIGTERM are killed 5 s later (the default is 30 s).
KillWait=5
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pidfile
SlurmdPidFile=$dir/slurmd.pidfile
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=local Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
}

start_munge() {
  if [[ ! -s $munge_key ]]; then
    # What the package's own set-up would have made.
    mkdir -p "$(dirname "$munge_key")"
    mungekey --create --keyfile="$munge_key" || die "cannot create $munge_key"
    chown munge:munge "$munge_key"
    chmod 400 "$munge_key"
  fi
  # munged runs as munge and refuses a socket folder that others may write
  # to or cannot enter.
  install -d -o munge -g munge -m 755 "$dir/munge"
  setpriv --reuid=munge --regid=munge --init-groups test -w "$dir/munge" ||
    die "user munge cannot reach $dir: every folder above it must be open to others (o+x)"
  setsid setpriv --reuid=munge --regid=munge --init-groups munged --foreground --socket="$dir/munge/socket" \
    --key-file="$munge_key" --pid-file="$dir/munge/munged.pid" \
    --log-file="$dir/munge/munged.log" --seed-file="$dir/munge/munged.seed" \
    </dev/null >>"$dir/munge.out" 2>&1 &
  echo "munged $!" >>"$pids"
}

wait_for() {
  local what=$1 seconds=$2 check=$3
  for _ in $(seq $((seconds * 10))); do
    if eval "$check"; then return 0; fi
    sleep 0.1
  done
  die "$what did not come up within $seconds s (logs in $dir)"
}

start() {
  command -v slurmctld >/dev/null && command -v slurmd >/dev/null || cannot "slurm-wlm is not installed (scripts/setup.sh installs it)"
  command -v munged >/dev/null || cannot "munge is not installed (scripts/setup.sh installs it)"
  [[ $(id -u) -eq 0 ]] || cannot "the daemons need root"
  if running; then
    echo "slurm-local: already running in $dir"
    return
  fi
  stop_daemons
  rm -rf "$dir/state" "$dir/spool" "$dir/munge" "$pids"
  mkdir -p "$dir/state" "$dir/spool"
  chmod 755 "$dir"
  local host port
  host=$(hostname -s)
  port=$(pick_ports)
  write_conf "$host" "$port"
  echo "export SLURM_CONF='$conf'" >"$dir/env"

  start_munge
  wait_for munged 10 "[[ -S '$dir/munge/socket' ]]"

  export SLURM_CONF=$conf
  setsid slurmctld -D -c -f "$conf" </dev/null >>"$dir/slurmctld.out" 2>&1 &
  echo "slurmctld $!" >>"$pids"
  setsid slurmd -D -f "$conf" -N "$host" </dev/null >>"$dir/slurmd.out" 2>&1 &
  echo "slurmd $!" >>"$pids"
  wait_for "the node" 60 "[[ \$(sinfo -h -N -o %t 2>/dev/null) == idle ]]"
  echo "slurm-local: one node ($host, $(nproc) CPUs) idle; state in $dir"
  echo "slurm-local: source $dir/env to use it"
}

stop_daemon() {
  local name=$1 pid
  pid=$(daemon_pid "$name") || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    [[ -d /proc/$pid ]] || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

stop_daemons() {
  stop_daemon slurmd
  stop_daemon slurmctld
  stop_daemon munged
  rm -f "$pids"
}

stop() {
  if running; then
    export SLURM_CONF=$conf
    # The cluster's jobs go first, so that no step outlives slurmd.
    scancel --full --quiet --user="$(id -un)" 2>/dev/null || true
    for _ in $(seq 150); do
      [[ -z $(squeue -h -o %i 2>/dev/null) ]] && break
      sleep 0.1
    done
  fi
  stop_daemons
  echo "slurm-local: stopped ($dir)"
}

status() {
  if ! running; then
    echo "slurm-local: not running ($dir)"
    exit 3
  fi
  export SLURM_CONF=$conf
  sinfo
  squeue
}

case $command in
start) start ;;
stop) stop ;;
status) status ;;
*)
  echo "Usage: $0 start|stop|status [STATE_DIR]" >&2
  exit 2
  ;;
esac
