#!/usr/bin/env bash
# A Slurm cluster of this one machine, for the tests: munge, slurmctld and
# slurmd as root, every file in the given folder, two free ports of its own,
# so clusters in two folders run side by side.
#   scripts/slurm-single-node.sh start FOLDER   (prints SLURM_CONF=...)
#   scripts/slurm-single-node.sh stop FOLDER
set -euo pipefail
action=${1:?start or stop}
dir=$(realpath -m "${2:?folder}")

# Stops the named daemons (all three when none is named).
stop() {
  local daemons=("$@") d
  (( ${#daemons[@]} )) || daemons=(slurmd slurmctld munged)
  for d in "${daemons[@]}"; do
    # A daemon removes its own pid file as it stops.
    local pid
    pid=$(cat "$dir/$d.pid" 2>/dev/null || true)
    if [[ -n $pid ]]; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      rm -f "$dir/$d.pid"
    fi
  done
}

if [[ $action == stop ]]; then
  stop
  exit 0
fi

[[ $(id -u) -eq 0 ]] || { echo "slurm-single-node: the daemons need root" >&2; exit 1; }
mkdir -p "$dir"
host=$(hostname -s)
cpus=$(nproc)
head -c 1024 /dev/urandom > "$dir/munge.key"
chmod 0400 "$dir/munge.key"
munged --key-file="$dir/munge.key" --socket="$dir/munge.socket" --pid-file="$dir/munged.pid" \
       --log-file="$dir/munged.log" --seed-file="$dir/munge.seed" --force
munge -S "$dir/munge.socket" -n | unmunge -S "$dir/munge.socket" >/dev/null

# The configuration, with the controller's and the node's ports.
write_conf() {
cat > "$dir/slurm.conf" <<CONF
ClusterName=folvane-test
SlurmctldHost=$host(127.0.0.1)
AuthType=auth/munge
AuthInfo=socket=$dir/munge.socket
CryptoType=crypto/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$1
SlurmdPort=$2
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ReturnToService=2
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=folvane Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
}

cat > "$dir/cgroup.conf" <<CONF
CgroupPlugin=cgroup/v1
CgroupAutomount=no
CONF

# Two ports that the kernel hands out as free at this moment.
free_ports() {
  /usr/bin/python3 -c '
import socket
sockets = [socket.socket() for _ in range(2)]
for s in sockets:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in sockets))'
}

# Waits until the node takes jobs; false at once when a daemon has died
# (one that cannot bind its port stops).
came_up() {
  local d pid
  for _ in $(seq 100); do
    for d in slurmctld slurmd; do
      pid=$(cat "$dir/$d.pid" 2>/dev/null || true)
      [[ -z $pid ]] || kill -0 "$pid" 2>/dev/null || return 1
    done
    sinfo -h -o %t 2>/dev/null | grep -qx idle && return 0
    sleep 0.2
  done
  return 1
}

export SLURM_CONF="$dir/slurm.conf"
# The ports are free when chosen, not yet when the daemons bind them: a
# start that lost one to another program is tried again on others.
for _ in 1 2 3; do
  write_conf $(free_ports)
  rm -rf "$dir/state" "$dir/spool" && mkdir -p "$dir/state" "$dir/spool"
  slurmctld -f "$SLURM_CONF" && slurmd -f "$SLURM_CONF" || true
  if came_up; then
    echo "SLURM_CONF=$SLURM_CONF"
    exit 0
  fi
  stop slurmd slurmctld
done
echo "slurm-single-node: the node did not come up; see $dir/slurmctld.log and $dir/slurmd.log" >&2
stop
exit 1
