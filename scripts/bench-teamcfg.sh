#!/usr/bin/env bash
# Start-up of the GUI: wall and CPU time (and, where valgrind is installed, the instructions) from the start of QvTeamCfg to its first painted teaming
# page (QV_TEAMCFG_EXIT_AFTER_PAINT=1 closes the page once it has been painted, and the program
# ends), against a trivial program, on the offscreen platform. Per run that is: the Qt start, the
# instance check, the adapter inventory and the team store read, the page's widgets, one paint.
#
#   scripts/bench-teamcfg.sh [N] [build dir]
#
# Runs on the machine named by QV_MACHINE; when it is unset, on a fresh machine with the default
# inventory in a temporary directory.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
build=${2:-build/host}
[ -x "$build/bin/QvTeamCfg" ] || { echo "bench-teamcfg: $build/bin/QvTeamCfg not built" >&2; exit 1; }

source scripts/lib/bench.sh
use_scratch_machine_unless_set

export QT_QPA_PLATFORM=offscreen QV_TEAMCFG_EXIT_AFTER_PAINT=1
# A run that never paints would not end, so each is bounded; Qt's notes on stderr are dropped.
gui() { timeout 60 "$build/bin/QvTeamCfg" 2>/dev/null; }
# The first run creates the machine.
gui >/dev/null || { echo "bench-teamcfg: QvTeamCfg did not end after its first paint" >&2; exit 1; }

read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
read -r gui_wall gui_cpu <<<"$(per_run_us gui)"
echo "runs: $runs each"
printf '%-28s %9s %9s %9s %14s\n' command "wall ms" "CPU ms" ratio instructions
printf '%-28s %9s %9s %9s %14s\n' /bin/true "$(ms "$true_wall")" "$(ms "$true_cpu")" 1.00x \
    "$(instructions /bin/true)"
printf '%-28s %9s %9s %9s %14s\n' "QvTeamCfg to first paint" "$(ms "$gui_wall")" "$(ms "$gui_cpu")" \
    "$(ratio "$gui_wall" "$true_wall")x" "$(instructions "$build/bin/QvTeamCfg")"
