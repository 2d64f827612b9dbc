#!/usr/bin/env bash
# Sets up and builds the teaming GUI QvTeamCfg and its tray program QvTray (no suites), then starts
# QvTeamCfg on the default simulated machine (or the one QV_MACHINE names) with the arguments given
# to this script (Qt's own options, such as "-platform offscreen", work). It needs a desktop: without
# DISPLAY or WAYLAND_DISPLAY it says so and ends with status 2.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [[ " $* " != *" -platform "* ]]; then
    echo "gui: no display to show QvTeamCfg on (DISPLAY is not set); scripts/screenshots.sh shows it under Xvfb" >&2
    exit 2
fi
bash scripts/setup.sh programs
source scripts/lib/preset.sh
configure_preset host -DQV_BUILD_TESTS=OFF
cmake --build --preset host --target QvTeamCfg QvTray >/dev/null
exec build/host/bin/QvTeamCfg "$@"
