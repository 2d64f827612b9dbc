#!/usr/bin/env bash
# Sets up, builds and runs every test: the host suites, the same suites under ASan+UBSan,
# the 64-bit and 32-bit windows builds' suites under Wine and the checks of their programs, and
# short fuzz runs.
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
step "windows programs: XP / Server 2003 imports, subsystem version, VERSIONINFO"
bash scripts/check-windows-binaries.sh build/windows
step "windows programs against the host build under Wine, end to end"
bash scripts/wine-e2e.sh build/host build/windows

# The 32-bit build: the same suites under 32-bit Wine (32-bit record layouts and the i686 C
# runtime), its programs checked as the 64-bit ones and compared with the host build end to end.
step "windows-x86 build"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86
step "windows-x86 tests under Wine"
ctest --preset windows-x86
bash scripts/check-windows-binaries.sh build/windows-x86
bash scripts/wine-e2e.sh build/host build/windows-x86

step "release archive"
bash scripts/check-package.sh "$(bash scripts/package.sh windows | tail -n 1)"
bash scripts/check-package.sh "$(bash scripts/package.sh windows-x86 | tail -n 1)"

step "asan build"
cmake --preset asan >/dev/null
cmake --build --preset asan
step "asan tests"
ctest --preset asan

step "fuzz targets (short runs)"
bash scripts/fuzz.sh 20
