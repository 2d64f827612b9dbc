#!/usr/bin/env bash
# qvteam plan and apply on a machine of eight 2-port cards (16 adapters) brought to 4 teams of two
# with 16 VLANs each (64 VLANs), against /bin/true and against the same changes made by one
# QvTeamCmd run per team and per VLAN (68 runs):
#   - plan on the bare machine (68 steps to list) and on the finished one (nothing to do);
#   - apply from the bare machine, and the QvTeamCmd sequence, each on a fresh copy of it;
#   - apply on the finished machine (nothing to do).
# Wall and CPU time per run; instructions (callgrind) of plan and of a no-op apply.
#
#   scripts/bench-qvteam.sh [N] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=${2:-build/host}
for program in qvteam QvTeamCmd qvsim; do
    [ -x "$build/bin/$program" ] || { echo "bench-qvteam: $build/bin/$program not built" >&2; exit 1; }
done
source scripts/lib/bench.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
qvteam=$build/bin/qvteam
cmd=$build/bin/QvTeamCmd

QV_MACHINE=$scratch/bare "$build/bin/qvsim" init --cards 8 --no-other-vendor >/dev/null
document=$scratch/state.json
{
    printf '{"schema":"qvteam-state","version":1,"teams":['
    for t in 0 1 2 3; do
        [ "$t" -gt 0 ] && printf ','
        printf '{"name":"Team%d","mode":"lacp","members":[{"connectionName":"%s"},{"connectionName":"%s"}],"vlans":[' \
            "$t" "$(lan $((2 * t + 1)))" "$(lan $((2 * t + 2)))"
        for v in $(seq 1 16); do
            [ "$v" -gt 1 ] && printf ','
            printf '{"name":"V%d","id":%d}' "$v" "$v"
        done
        printf ']}'
    done
    printf '],"adapterVlans":[]}\n'
} > "$document"

# One copy of the bare machine per timed run.
fresh() { rm -rf "$scratch/run" && cp -a "$scratch/bare" "$scratch/run"; }
apply_fresh() { fresh && QV_MACHINE=$scratch/run "$qvteam" apply "$document"; }
sequence_fresh() {
    fresh
    export QV_MACHINE=$scratch/run
    for t in 0 1 2 3; do
        # A new team's connection name follows the sixteen ports and the teams and VLANs before it.
        "$cmd" -n "Team$t" -c "$(lan $((2 * t + 1)))" "$(lan $((2 * t + 2)))" 3 >/dev/null
        for v in $(seq 1 16); do "$cmd" -a "Team$t" "V$v" "$v" >/dev/null || true; done
    done
}
copy_only() { fresh; }

table_head

export QV_MACHINE=$scratch/bare
read -r wall cpu <<<"$(per_run_us "$qvteam" plan "$document")"
row "qvteam plan (bare machine: 68 steps)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" \
    "$(instructions "$qvteam" plan "$document")"

read -r copy_wall copy_cpu <<<"$(per_run_us copy_only)"
read -r wall cpu <<<"$(per_run_us apply_fresh)"
wall=$((wall - copy_wall)) cpu=$((cpu - copy_cpu))
row "qvteam apply (68 steps)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" "-"
apply_wall=$wall
read -r wall cpu <<<"$(per_run_us sequence_fresh)"
wall=$((wall - copy_wall)) cpu=$((cpu - copy_cpu))
row "QvTeamCmd, 68 runs (4 -c, 64 -a)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" "-"
echo "apply against the QvTeamCmd runs: $(ratio "$apply_wall" "$wall")x"

export QV_MACHINE=$scratch/done
cp -a "$scratch/bare" "$scratch/done"
"$qvteam" apply "$document" >/dev/null
read -r wall cpu <<<"$(per_run_us "$qvteam" plan "$document")"
row "qvteam plan (finished machine: nothing)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" \
    "$(instructions "$qvteam" plan "$document")"
read -r wall cpu <<<"$(per_run_us "$qvteam" apply "$document")"
row "qvteam apply (finished machine: nothing)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" \
    "$(instructions "$qvteam" apply "$document")"
