#!/usr/bin/env bash
# Wall time of "QvTeamCmd -l" against the start of a trivial program (/bin/true), N runs each,
# with the CPU time (user + system) beside it: on a busy machine the wall time mostly measures
# waiting for a processor.
#
#   scripts/bench-teamcmd.sh [N] [path/to/QvTeamCmd]
#
# The listing runs on the machine named by QV_MACHINE; when it is unset, on a fresh machine with
# the default inventory in a temporary directory (created by the first, untimed run).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50}
program=${2:-build/host/bin/QvTeamCmd}
[ -x "$program" ] || { echo "bench-teamcmd: $program not built" >&2; exit 1; }

source scripts/lib/bench.sh
use_scratch_machine_unless_set

"$program" -l >/dev/null || true  # creates the machine on first use, warms the caches
read -r teamcmd_wall teamcmd_cpu <<<"$(per_run_us "$program" -l)"
read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
echo "runs:          $runs each"
echo "QvTeamCmd -l:  $(ms "$teamcmd_wall") ms wall, $(ms "$teamcmd_cpu") ms CPU per run"
echo "/bin/true:     $(ms "$true_wall") ms wall, $(ms "$true_cpu") ms CPU per run"
echo "ratio (wall):  $(ratio "$teamcmd_wall" "$true_wall")x"
