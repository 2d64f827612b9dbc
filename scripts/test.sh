#!/usr/bin/env bash
# Sets up, builds and runs every test: the host suites, the same suites under ASan+UBSan,
# the windows build's suites under Wine, and short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh all

step() { printf '\n== %s\n' "$*"; }

step "host build"
cmake --preset host >/dev/null
cmake --build --preset host
step "host tests"
ctest --preset host

step "windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows
step "windows tests under Wine"
ctest --preset windows
step "release archive"
bash scripts/check-package.sh "$(bash scripts/package.sh windows | tail -n 1)"
if grep -q '"name": "windows-x86"' CMakePresets.json; then
    bash scripts/check-package.sh "$(bash scripts/package.sh windows-x86 | tail -n 1)"
fi

step "asan build"
cmake --preset asan >/dev/null
cmake --build --preset asan
step "asan tests"
ctest --preset asan

step "fuzz targets (short runs)"
bash scripts/fuzz.sh 20
