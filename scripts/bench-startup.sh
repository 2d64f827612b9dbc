#!/usr/bin/env bash
# Start-up of the two console programs against a trivial program, in one run: wall and CPU time
# per run of "QvTeamCmd -l", "qvtool -d nic0 -r all -f" and /bin/true, and, where valgrind is
# installed, the instructions each executes (callgrind's total, stable on a busy machine).
#
#   scripts/bench-startup.sh [N] [build dir]
#
# Both programs run on the machine named by QV_MACHINE; when it is unset, on a fresh machine with
# the default inventory in a temporary directory (created by the first, untimed runs).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100}
build=${2:-build/host}
for program in QvTeamCmd qvtool; do
    [ -x "$build/bin/$program" ] || { echo "bench-startup: $build/bin/$program not built" >&2; exit 1; }
done

source scripts/lib/bench.sh
use_scratch_machine_unless_set

teamcmd=("$build/bin/QvTeamCmd" -l)
tool=("$build/bin/qvtool" -d nic0 -r all -f)
"${teamcmd[@]}" >/dev/null || true  # creates the machine on first use, warms the caches
"${tool[@]}" >/dev/null             # creates the adapter's state file

read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
read -r teamcmd_wall teamcmd_cpu <<<"$(per_run_us "${teamcmd[@]}")"
read -r tool_wall tool_cpu <<<"$(per_run_us "${tool[@]}")"
echo "runs: $runs each"
printf '%-28s %9s %9s %7s %14s\n' command "wall ms" "CPU ms" ratio instructions
printf '%-28s %9s %9s %7s %14s\n' /bin/true "$(ms "$true_wall")" "$(ms "$true_cpu")" 1.00x \
    "$(instructions /bin/true)"
printf '%-28s %9s %9s %7s %14s\n' "QvTeamCmd -l" "$(ms "$teamcmd_wall")" "$(ms "$teamcmd_cpu")" \
    "$(ratio "$teamcmd_wall" "$true_wall")x" "$(instructions "${teamcmd[@]}")"
printf '%-28s %9s %9s %7s %14s\n' "qvtool -d nic0 -r all -f" "$(ms "$tool_wall")" "$(ms "$tool_cpu")" \
    "$(ratio "$tool_wall" "$true_wall")x" "$(instructions "${tool[@]}")"

# The transport's requests per second, when the benchmark program is built.
bench=$build/bin/qv_qvtool_bench
if [ -x "$bench" ]; then
    "$bench" --benchmark_min_time=0.5 2>/dev/null | grep -E '^(BM_|-|Benchmark)' || true
fi
