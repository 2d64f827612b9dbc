#!/usr/bin/env bash
# Screenshots of the Windows QvTeamCfg.exe for docs/QvTeamCfg.md: the program runs under Wine on a
# throw-away prefix inside Xvfb, with Wine's own desktop window drawing the frames.
#
# With the host build's qvsim at hand, a fresh default simulated machine is exported
# and imported into the prefix first, so the program finds its adapters (their interfaces, but no
# driver that answers): the teaming page lists them, the first one is checked, and its property
# sheet opens on the General page, which stays empty because no driver answers its queries. Without
# the host build the prefix has no adapters, and only the empty teaming page is taken.
#
#   scripts/screenshots-wine.sh [windows build dir] [output dir] [host build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
out=${2:-docs/screenshots}
host=${3:-build/host}
exe="$build/bin/QvTeamCfg.exe"
[ -f "$exe" ] || { echo "screenshots-wine: $exe not built (cmake --build --preset windows)" >&2; exit 1; }
for tool in xvfb-run import xdotool; do
    command -v "$tool" >/dev/null || { echo "screenshots-wine: $tool missing (scripts/setup.sh all)" >&2; exit 1; }
done

if [ "${QV_IN_XVFB:-}" != 1 ]; then
    export QV_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out" "$host"
fi

source scripts/lib/wine.sh
scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine-shots.XXXXXX")
export WINEPREFIX="$scratch/prefix"
trap '"$server" -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
wine_new_prefix "$WINEPREFIX"

adapters=0
if [ -x "$host/bin/qvsim" ]; then
    "$host/bin/qvsim" --machine "$scratch/machine" init >/dev/null
    "$host/bin/qvsim" --machine "$scratch/machine" export "$scratch/machine.reg"
    "$wine" regedit /S "$(winepath -w "$scratch/machine.reg" 2>/dev/null || echo "Z:${scratch//\//\\}\\machine.reg")" \
        >/dev/null 2>&1
    "$server" -w
    adapters=1
fi

# Waits up to 60 s for a window of the title and prints its id.
find_window() {
    for _ in $(seq 1 120); do
        if id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    echo "screenshots-wine: no window \"$1\"" >&2
    return 1
}

mkdir -p "$out"
"$wine" explorer /desktop=shots,800x600 "$exe" >/dev/null 2>&1 &
program=$!
desktop=$(find_window "shots - Wine desktop")
sleep 5
if [ "$adapters" = 0 ]; then
    # The desktop's plain background is cut away: what is left is the sheet with its frame.
    import -window "$desktop" -trim +repage "$out/win32-teaming-page.png"
    echo "screenshots-wine: wrote $out/win32-teaming-page.png (no adapters: no host build in $host)"
    exit 0
fi
# The sheet opens at the desktop's top left corner; the places below are those of the first row's
# check box and of the Properties button with Wine's default dialog font.
xdotool mousemove --window "$desktop" 37 88 click 1
sleep 1
import -window "$desktop" -trim +repage "$out/win32-teaming-page.png"
xdotool mousemove --window "$desktop" 460 131 click 1
sleep 5
# The adapter's sheet covers the program's sheet from the same corner.
import -window "$desktop" -crop 466x435+0+0 +repage "$out/win32-property-sheet.png"
kill "$program" 2>/dev/null || true
echo "screenshots-wine: wrote $out/win32-teaming-page.png and $out/win32-property-sheet.png"
