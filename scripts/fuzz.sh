#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one briefly (seconds per target: $1, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DQV_FUZZ=ON -DQV_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2 --target qv_fuzz_all
shopt -s nullglob
targets=(build/fuzz/fuzz/*)
if ((${#targets[@]} == 0)); then
    echo "fuzz: no targets"
    exit 0
fi
for t in "${targets[@]}"; do
    [ -f "$t" ] && [ -x "$t" ] || continue
    name=$(basename "$t")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
    echo "fuzz: $name for ${seconds}s"
    "$t" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" "${seeds[@]}" >"build/fuzz/$name.log" 2>&1 || {
        tail -n 40 "build/fuzz/$name.log"
        echo "fuzz: $name found a failure"
        exit 1
    }
done
echo "fuzz: all targets ran clean"
