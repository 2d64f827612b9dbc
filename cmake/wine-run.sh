#!/usr/bin/env bash
# Runs a Windows test executable under Wine in a throw-away prefix, quietly.
# The prefix is booted before the test runs: on a loaded machine a first boot now and then leaves
# a prefix without its system DLLs ("could not load kernel32.dll"), which says nothing about the
# test, so a failed boot is retried in a new prefix (at most three times) and the test runs once.
set -euo pipefail
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
server=$(command -v wineserver || true)
[ -n "$server" ] || server=/usr/lib/wine/wineserver64
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$wine"
prefix=
cleanup() {
    [ -n "$prefix" ] || return 0
    WINEPREFIX="$prefix" "$server" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT
for attempt in 1 2 3; do
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine.XXXXXX")
    export WINEPREFIX="$prefix"
    if timeout 300 "$wine" wineboot --init >/dev/null 2>&1 &&
        [ -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
        break
    fi
    echo "wine-run: booting a prefix failed (attempt $attempt)" >&2
    cleanup
    prefix=
    [ "$attempt" -lt 3 ] || exit 1
done
"$wine" "$@"
