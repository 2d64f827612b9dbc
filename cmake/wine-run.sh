#!/usr/bin/env bash
# Runs a Windows test executable under Wine in a throw-away prefix of its own (a copy of a booted
# template, see scripts/lib/wine.sh), quietly. The suite runs once.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/wine.sh"
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine.XXXXXX")
trap 'WINEPREFIX="$prefix" "$server" -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
wine_new_prefix "$prefix"
export WINEPREFIX="$prefix"
# A report directory given as a Linux path is the same folder on Wine's drive Z:.
[[ "${GTEST_OUTPUT:-}" != xml:/* ]] || export GTEST_OUTPUT="xml:Z:${GTEST_OUTPUT#xml:}"
"$wine" "$@"
