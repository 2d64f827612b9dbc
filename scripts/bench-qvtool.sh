#!/usr/bin/env bash
# Wall time of "qvtool -d nic0 -r all -f" against the start of a trivial program (/bin/true), N
# runs each, with the CPU time (user + system) beside it; then the transport's requests per second
# from the qv_qvtool_bench benchmark when it is built.
#
#   scripts/bench-qvtool.sh [N] [build dir]
#
# The runs use the machine named by QV_MACHINE; when it is unset, a fresh machine with the default
# inventory in a temporary directory (created by the first, untimed run).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50}
build=${2:-build/host}
program=$build/bin/qvtool
[ -x "$program" ] || { echo "bench-qvtool: $program not built" >&2; exit 1; }

source scripts/lib/bench.sh
use_scratch_machine_unless_set

"$program" -d nic0 -r all -f >/dev/null  # creates the machine and the adapter state on first use
read -r tool_wall tool_cpu <<<"$(per_run_us "$program" -d nic0 -r all -f)"
read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
echo "runs:                      $runs each"
echo "qvtool -d nic0 -r all -f:  $(ms "$tool_wall") ms wall, $(ms "$tool_cpu") ms CPU per run"
echo "/bin/true:                 $(ms "$true_wall") ms wall, $(ms "$true_cpu") ms CPU per run"
echo "ratio (wall):              $(ratio "$tool_wall" "$true_wall")x (target: at most 3x)"

bench=$build/bin/qv_qvtool_bench
if [ -x "$bench" ]; then
    "$bench" --benchmark_min_time=0.5 2>/dev/null | grep -E '^(BM_|-|Benchmark)' || true
else
    echo "bench-qvtool: $bench not built (cmake --build $build --target qv_qvtool_bench)"
fi
