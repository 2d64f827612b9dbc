#!/usr/bin/env bash
# Screenshots of the Windows QvTeamCfg.exe for docs/QvTeamCfg.md: the program runs under Wine on a
# throw-away prefix inside Xvfb. The prefix has no adapters of this family, so the teaming page shows
# its empty lists, the start-up status text and the default team name, with every button that needs
# a chosen adapter disabled.
#
#   scripts/screenshots-wine.sh [build dir] [output dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
out=${2:-docs/screenshots}
exe="$build/bin/QvTeamCfg.exe"
[ -f "$exe" ] || { echo "screenshots-wine: $exe not built (cmake --build --preset windows)" >&2; exit 1; }
for tool in xvfb-run import xdotool; do
    command -v "$tool" >/dev/null || { echo "screenshots-wine: $tool missing (scripts/setup.sh all)" >&2; exit 1; }
done

if [ "${QV_IN_XVFB:-}" != 1 ]; then
    export QV_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out"
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine-shots.XXXXXX")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$wine"
trap '"$server" -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
"$server" -w

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
# Wine's own desktop window draws the frames and captions that a window manager would.
"$wine" explorer /desktop=shots,800x600 "$exe" >/dev/null 2>&1 &
program=$!
desktop=$(find_window "shots - Wine desktop")
sleep 4
# The desktop's plain background is cut away: what is left is the sheet with its frame.
import -window "$desktop" -trim +repage "$out/win32-teaming-page.png"
kill "$program" 2>/dev/null || true
echo "screenshots-wine: wrote $out/win32-teaming-page.png"
