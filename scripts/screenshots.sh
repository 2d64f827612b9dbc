#!/usr/bin/env bash
# Screenshots of QvTeamCfg for docs/QvTeamCfg.md: a fresh default simulated machine gets a team of
# the first two ports and a VLAN on it (with QvTeamCmd), then qvteamcfg_screenshots runs the GUI in
# real windows under Xvfb and writes the teaming page, the wait dialog, every page of the team's
# property sheet and the Add Vlan dialog as PNGs.
#
#   scripts/screenshots.sh [build dir] [output dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/host}
out=${2:-docs/screenshots}
for program in QvTeamCmd qvteamcfg_screenshots; do
    [ -x "$build/bin/$program" ] || { echo "screenshots: $build/bin/$program not built" >&2; exit 1; }
done
command -v xvfb-run >/dev/null || { echo "screenshots: xvfb-run missing (scripts/setup.sh all)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QV_MACHINE="$scratch/machine"
"$build/bin/QvTeamCmd" -n Team0 -c "Local Area Connection" "Local Area Connection 2" 1 >/dev/null
# -a ends with status 1 when the VLAN was added.
"$build/bin/QvTeamCmd" -a Team0 Voice 100 >/dev/null || [ $? -eq 1 ]

mkdir -p "$out"
rm -f "$out"/*.png
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/qvteamcfg_screenshots" "$out"
