#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, build/fuzz) and runs each one briefly
# (seconds per target: $1, default 20). Every fuzz/*.cpp that defines LLVMFuzzerTestOneInput is a
# target that must be built, must run for the whole time without a finding, and must leave nothing
# in its temporary directory; anything else fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

fail() {
    echo "fuzz: FAILED: $*" >&2
    exit 1
}

command -v clang++ >/dev/null || fail "clang++ not found (bash scripts/setup.sh all)"
cmake --preset fuzz >/dev/null || fail "configure (cmake --preset fuzz) failed"
cmake --build --preset fuzz || fail "build (cmake --build --preset fuzz) failed"

mapfile -t sources < <(grep -l '^extern "C" int LLVMFuzzerTestOneInput' fuzz/*.cpp || true)
((${#sources[@]})) || fail "no fuzz targets found in fuzz/"
for source in "${sources[@]}"; do
    name=$(basename "$source" .cpp)
    [ -x "build/fuzz/fuzz/$name" ] ||
        fail "$name was not built (no build/fuzz/fuzz/$name): is it declared in fuzz/CMakeLists.txt?"
done

for source in "${sources[@]}"; do
    name=$(basename "$source" .cpp)
    corpus="build/fuzz/corpus/$name"
    scratch="build/fuzz/tmp/$name"
    log="build/fuzz/$name.log"
    rm -rf "$scratch"
    mkdir -p "$corpus" "$scratch"
    seeds=()
    [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
    echo "fuzz: $name for ${seconds}s"
    TMPDIR="$PWD/$scratch" "build/fuzz/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" "${seeds[@]}" >"$log" 2>&1 || {
        tail -n 40 "$log"
        fail "$name found a failure or could not run (log: $log)"
    }
    grep -Eq '^Done [0-9]+ runs' "$log" || {
        tail -n 20 "$log"
        fail "$name did not run to its time limit (log: $log)"
    }
    left=$(find "$scratch" -mindepth 1 -maxdepth 1 | head -n 5)
    [ -z "$left" ] || fail "$name left temporary files behind: $left"
done
echo "fuzz: all ${#sources[@]} targets ran clean"
