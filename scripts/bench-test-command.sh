#!/usr/bin/env bash
# Times the test command as a developer meets it (figures: docs/benchmarks.md, "The test
# command"): from a fresh clone of HEAD with the packages installed and an empty compile cache, then
# in the same clone after a one-line change of a teaming-library source, after one of a test source
# only, and `scripts/test.sh host` after another teaming-library change. Prints each run's summary
# and the size of the build tree after the first.
#
#   scripts/bench-test-command.sh [full|changes]   (default: both; "changes" reuses the clone)
#
# The clone and its compile cache live in $QV_BENCH_DIR (default /tmp/qv-bench-test-command), beside
# a link to ../shared as CI has it; they are kept for a look and removed by the next full run.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=${QV_BENCH_DIR:-/tmp/qv-bench-test-command}
what=${1:-both}
export CCACHE_DIR=$work/ccache

# run LABEL ARGS...: one run of the test command in the clone; its summary and wall time.
run() {
    local label=$1 log="$work/$1.log"
    shift
    echo "== $label"
    (cd "$work/main" && bash scripts/test.sh "$@" >"$log" 2>&1) || echo "(status $?: see $log)"
    sed -n '/^== summary$/,$p' "$log" | tail -n +2
}

# touch_source FILE: a one-line change that the compiler must see (a new comment line).
touch_source() { echo "// bench-test-command: $(date +%s%N)" >>"$work/main/$1"; }

if [ "$what" != changes ]; then
    rm -rf "$work"
    mkdir -p "$work"
    git clone -q "$repo" "$work/main"
    ln -s "$(realpath -m "$repo/../shared")" "$work/shared"
    run fresh-clone
    echo "build tree: $(du -sh "$work/main/build" | cut -f1)"
fi
if [ "$what" != full ]; then
    touch_source teamlib/store/write_team.cpp
    run teaming-library-change
    touch_source teamcmd/tests/parser_test.cpp
    run test-source-change
    touch_source teamlib/store/write_team.cpp
    run host-only-after-change host
fi
