#!/usr/bin/env bash
# Runs a Windows test executable under Wine in a throw-away prefix, quietly.
set -euo pipefail
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
server=$(command -v wineserver || true)
[ -n "$server" ] || server=/usr/lib/wine/wineserver64
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine.XXXXXX")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$wine"
trap '"$server" -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
"$wine" "$@"
