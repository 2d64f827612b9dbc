#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, build/fuzz) and runs each one briefly
# (seconds per target: $1, default 20), as many side by side as there are cores. Every fuzz/*.cpp
# that defines LLVMFuzzerTestOneInput is a target that must be built, must run for the whole time
# without a finding, and must leave nothing in its temporary directory; anything else fails the
# script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

fail() {
    echo "fuzz: FAILED: $*" >&2
    exit 1
}

command -v clang++ >/dev/null || fail "clang++ not found (bash scripts/setup.sh all)"
source scripts/lib/preset.sh
configure_preset fuzz || fail "configure (cmake --preset fuzz) failed"
cmake --build --preset fuzz || fail "build (cmake --build --preset fuzz) failed"

mapfile -t sources < <(grep -l '^extern "C" int LLVMFuzzerTestOneInput' fuzz/*.cpp || true)
((${#sources[@]})) || fail "no fuzz targets found in fuzz/"
for source in "${sources[@]}"; do
    name=$(basename "$source" .cpp)
    [ -x "build/fuzz/fuzz/$name" ] ||
        fail "$name was not built (no build/fuzz/fuzz/$name): is it declared in fuzz/CMakeLists.txt?"
done

# run_target NAME: one target for the whole time, quiet unless it fails.
run_target() {
    local name=$1 corpus="build/fuzz/corpus/$1" scratch="build/fuzz/tmp/$1" log="build/fuzz/$1.log" seeds=() left
    rm -rf "$scratch"
    mkdir -p "$corpus" "$scratch"
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
}

# One target per core at a time: each still runs for its whole time on a core of its own.
cores=$(nproc)
failed=0
for source in "${sources[@]}"; do
    while (($(jobs -rp | wc -l) >= cores)); do wait -n || failed=$((failed + 1)); done
    run_target "$(basename "$source" .cpp)" &
done
while (($(jobs -rp | wc -l) > 0)); do wait -n || failed=$((failed + 1)); done
((failed == 0)) || fail "$failed of ${#sources[@]} targets failed"
source scripts/lib/stage_count.sh
stage_count "${#sources[@]} fuzz targets"
echo "fuzz: all ${#sources[@]} targets ran clean"
