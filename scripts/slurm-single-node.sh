#!/usr/bin/env bash
# A Slurm cluster of this one machine, for the tests: munge, slurmctld and
# slurmd as root, every file in the given folder, ports of its own.
#   scripts/slurm-single-node.sh start FOLDER   (prints SLURM_CONF=...)
#   scripts/slurm-single-node.sh stop FOLDER
set -euo pipefail
action=${1:?start or stop}
dir=$(realpath -m "${2:?folder}")

stop() {
  for d in slurmd slurmctld munged; do
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
mkdir -p "$dir/state" "$dir/spool"
host=$(hostname -s)
cpus=$(nproc)
head -c 1024 /dev/urandom > "$dir/munge.key"
chmod 0400 "$dir/munge.key"
munged --key-file="$dir/munge.key" --socket="$dir/munge.socket" --pid-file="$dir/munged.pid" \
       --log-file="$dir/munged.log" --seed-file="$dir/munge.seed" --force
munge -S "$dir/munge.socket" -n | unmunge -S "$dir/munge.socket" >/dev/null

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
SlurmctldPort=${FOLVANE_SLURMCTLD_PORT:-16817}
SlurmdPort=${FOLVANE_SLURMD_PORT:-16818}
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
cat > "$dir/cgroup.conf" <<CONF
CgroupPlugin=cgroup/v1
CgroupAutomount=no
CONF

export SLURM_CONF="$dir/slurm.conf"
slurmctld -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
# Ready once the node takes jobs.
for _ in $(seq 100); do
  if sinfo -h -o %t 2>/dev/null | grep -qx idle; then
    echo "SLURM_CONF=$SLURM_CONF"
    exit 0
  fi
  sleep 0.2
done
echo "slurm-single-node: the node did not come up; see $dir/slurmctld.log and $dir/slurmd.log" >&2
stop
exit 1
