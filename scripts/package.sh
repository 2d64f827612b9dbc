#!/usr/bin/env bash
# Builds the release archive of a windows build:
#   scripts/package.sh [windows|windows-x86]      (default: windows)
# The programs are built in build/<preset> and packed by CPack into
# build/<preset>/package/n5tools-<version>-windows-<x64|x86>.zip, whose path is printed last.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-windows}
case "$preset" in
windows | windows-x86) ;;
*)
    echo "usage: scripts/package.sh [windows|windows-x86]" >&2
    exit 2
    ;;
esac
if ! grep -q "\"name\": \"$preset\"" CMakePresets.json; then
    echo "package: this tree has no $preset preset" >&2
    exit 2
fi

binary="build/$preset"
source scripts/lib/preset.sh
configure_preset "$preset"
cmake --build --preset "$preset" --target qv_release_programs
rm -rf "$binary/package"
cpack --config "$binary/CPackConfig.cmake" -B "$binary/package" >/dev/null
archive=$(find "$binary/package" -maxdepth 1 -name '*.zip' | head -n 1)
if [ -z "$archive" ]; then
    echo "package: CPack made no archive in $binary/package" >&2
    exit 1
fi
echo "$archive"
