#!/usr/bin/env bash
# The teaming commands of QvTeamCmd against a trivial program, on simulated machines:
#   - a create plus remove of a two-member team on the default machine, against one /bin/true;
#   - "QvTeamCmd -l" on a machine with 16 adapters, 4 teams and 64 VLANs, against /bin/true;
#   - "QvTeamCmd -l" as the machine grows from 5 to 50 to 250 network devices (VLAN adapters
#     added over the five adapters of the default machine), to show that it grows linearly.
# Wall and CPU time per run and, where valgrind is installed, instructions (stable on a busy
# machine). Every machine is made in a temporary directory and removed afterwards.
#
#   scripts/bench-teamcmd.sh [N] [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50}
build=${2:-build/host}
for program in QvTeamCmd qvsim; do
    [ -x "$build/bin/$program" ] || { echo "bench-teamcmd: $build/bin/$program not built" >&2; exit 1; }
done
source scripts/lib/bench.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmd=$build/bin/QvTeamCmd

table_head

# Create plus remove: one cycle is two runs of the program.
export QV_MACHINE=$scratch/default
"$build/bin/qvsim" init >/dev/null
cycle() {
    "$cmd" -n Bench -c "$(lan 1)" "$(lan 2)" 1 >/dev/null
    "$cmd" -r Bench >/dev/null
}
read -r wall cpu <<<"$(per_run_us cycle)"
row "create + remove of a 2-member team" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" \
    "$(instructions "$cmd" -n Bench -c "$(lan 1)" "$(lan 2)" 1)+$(instructions "$cmd" -r Bench)"

# 16 adapters (eight 2-port cards), 4 teams of two, 64 VLANs (16 over each team).
export QV_MACHINE=$scratch/large
"$build/bin/qvsim" init --cards 8 --no-other-vendor >/dev/null
for t in 0 1 2 3; do
    "$cmd" -n "Team$t" -c "$(lan $((2 * t + 1)))" "$(lan $((2 * t + 2)))" 3 >/dev/null
    for v in $(seq 1 16); do "$cmd" -a "Team$t" "V$v" "$v" >/dev/null || true; done
done
read -r wall cpu <<<"$(per_run_us "$cmd" -l)"
row "QvTeamCmd -l (16 adapters, 4 teams, 64 VLANs)" "$(ms "$wall")" "$(ms "$cpu")" \
    "$(ratio "$wall" "$true_wall")x" "$(instructions "$cmd" -l)"

# Growth: 5, 50 and 250 network devices.
export QV_MACHINE=$scratch/growth
"$build/bin/qvsim" init >/dev/null
devices=5
for target in 5 50 250; do
    while [ "$devices" -lt "$target" ]; do
        parent=$((devices % 5 + 1))
        "$cmd" -a "$(lan "$parent")" "V$devices" "$devices" >/dev/null || true
        devices=$((devices + 1))
    done
    read -r wall cpu <<<"$(per_run_us "$cmd" -l)"
    row "QvTeamCmd -l ($target devices)" "$(ms "$wall")" "$(ms "$cpu")" "$(ratio "$wall" "$true_wall")x" \
        "$(instructions "$cmd" -l)"
done
