#!/usr/bin/env bash
# qvtool's reports against a trivial program, in one run: wall and CPU time per run of
# "qvtool -d nic0 -u sge", "qvtool -d nic0 -s tcb 0" and "qvtool -d nic0 -o" on a driver trace of
# several 2048-byte buffers (80 entries: three buffers and the empty answer that ends the dump), and
# /bin/true; where valgrind is installed, the instructions each executes. The driver hands its trace
# out once, so every -o run is preceded by "qvsim adapter 0 trace load 80"; that reload is timed
# alone and taken off.
#
#   scripts/bench-reports.sh [N] [build dir]
#
# Runs on the machine named by QV_MACHINE; when it is unset, on a fresh machine with the default
# inventory in a temporary directory.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100}
build=${2:-build/host}
for program in qvtool qvsim; do
    [ -x "$build/bin/$program" ] || { echo "bench-reports: $build/bin/$program not built" >&2; exit 1; }
done

source scripts/lib/bench.sh
use_scratch_machine_unless_set

entries=80
tool=("$build/bin/qvtool" -d nic0 -o)
reload() { "$build/bin/qvsim" adapter 0 trace load "$entries"; }
reload_and_dump() { reload && "${tool[@]}"; }
"${tool[@]}" >/dev/null  # creates the machine on first use and the adapter's state file
reload
lines=$("${tool[@]}" | wc -l)
[ "$lines" -eq "$entries" ] || { echo "bench-reports: the dump printed $lines lines, not $entries" >&2; exit 1; }

sge=("$build/bin/qvtool" -d nic0 -u sge)
tcb=("$build/bin/qvtool" -d nic0 -s tcb 0)
read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
read -r sge_wall sge_cpu <<<"$(per_run_us "${sge[@]}")"
read -r tcb_wall tcb_cpu <<<"$(per_run_us "${tcb[@]}")"
read -r reload_wall reload_cpu <<<"$(per_run_us reload)"
read -r both_wall both_cpu <<<"$(per_run_us reload_and_dump)"
tool_wall=$((both_wall - reload_wall))
tool_cpu=$((both_cpu - reload_cpu))
reload
echo "runs: $runs each; trace of $entries entries"
printf '%-28s %9s %9s %7s %14s\n' command "wall ms" "CPU ms" ratio instructions
printf '%-28s %9s %9s %7s %14s\n' /bin/true "$(ms "$true_wall")" "$(ms "$true_cpu")" 1.00x \
    "$(instructions /bin/true)"
printf '%-28s %9s %9s %7s %14s\n' "qvtool -d nic0 -u sge" "$(ms "$sge_wall")" "$(ms "$sge_cpu")" \
    "$(ratio "$sge_wall" "$true_wall")x" "$(instructions "${sge[@]}")"
printf '%-28s %9s %9s %7s %14s\n' "qvtool -d nic0 -s tcb 0" "$(ms "$tcb_wall")" "$(ms "$tcb_cpu")" \
    "$(ratio "$tcb_wall" "$true_wall")x" "$(instructions "${tcb[@]}")"
printf '%-28s %9s %9s %7s %14s\n' "qvtool -d nic0 -o" "$(ms "$tool_wall")" "$(ms "$tool_cpu")" \
    "$(ratio "$tool_wall" "$true_wall")x" "$(instructions "${tool[@]}")"
