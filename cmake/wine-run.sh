#!/usr/bin/env bash
# Runs a Windows test executable under Wine in a throw-away prefix, quietly.
set -euo pipefail
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
wine64 "$@"
