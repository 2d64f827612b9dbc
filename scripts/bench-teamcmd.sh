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

if [ -z "${QV_MACHINE:-}" ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    export QV_MACHINE="$scratch/machine"
fi

# Prints "<wall> <cpu>" in microseconds per run of the command, over $runs runs.
per_run_us() {
    local TIMEFORMAT='%3R %3U %3S' timing wall user sys i
    timing=$({ time for ((i = 0; i < runs; i++)); do "$@" >/dev/null || true; done; } 2>&1)
    read -r wall user sys <<<"${timing//./}"
    echo $((10#$wall * 1000 / runs)) $(((10#$user + 10#$sys) * 1000 / runs))
}

# Microseconds as milliseconds with one decimal.
ms() { printf '%d.%d' $(($1 / 1000)) $(($1 % 1000 / 100)); }
# a / b with two decimals.
ratio() { local r=$(($1 * 100 / ($2 > 0 ? $2 : 1))); printf '%d.%02d' $((r / 100)) $((r % 100)); }

"$program" -l >/dev/null || true  # creates the machine on first use, warms the caches
read -r teamcmd_wall teamcmd_cpu <<<"$(per_run_us "$program" -l)"
read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
echo "runs:          $runs each"
echo "QvTeamCmd -l:  $(ms "$teamcmd_wall") ms wall, $(ms "$teamcmd_cpu") ms CPU per run"
echo "/bin/true:     $(ms "$true_wall") ms wall, $(ms "$true_cpu") ms CPU per run"
echo "ratio (wall):  $(ratio "$teamcmd_wall" "$true_wall")x"
