#!/usr/bin/env bash
# Sets up, builds and runs every test: the host suites, the same suites under ASan+UBSan,
# the 64-bit and 32-bit windows builds' suites under Wine and the checks of their programs, and
# short fuzz runs.
#
# Every stage runs, also after another one failed, so that one run shows everything that is red; a
# stage whose build failed is skipped with that reason. Whether the kernel runs 32-bit programs is
# found out once, at the start, by running one: where it cannot, the stages that run 32-bit
# programs (the 32-bit Wine suites and end-to-end comparison) are skipped with that reason, and the
# 32-bit build, the check of its programs and its archive still run.
# The run ends with one line per stage (passed, failed or skipped, with its wall time and what it
# counted: suites and test cases, programs, cases, hosts, fuzz targets), a count of the stages and
# the whole run's wall time; its status is 1 when any stage failed.
#
#   scripts/test.sh          everything
#   scripts/test.sh host     the host build and its suites only: the quick check after a change
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/kernel32.sh
source scripts/lib/preset.sh
run_start=$SECONDS
case "${1:-all}" in
all | host) scope=${1:-all} ;;
*)
    echo "usage: scripts/test.sh [host]" >&2
    exit 2
    ;;
esac

names=()
declare -A state detail
stage_failed=0

# stage NAME "NEEDED;STAGES" COMMAND...: runs COMMAND unless a needed stage did not pass.
stage() {
    local name=$1 need start status needs
    IFS=';' read -r -a needs <<<"$2"
    shift 2
    names+=("$name")
    for need in "${needs[@]}"; do
        if [ "${state[$need]:-}" != passed ]; then
            state[$name]=skipped
            detail[$name]="$need: ${state[$need]:-not run}"
            printf '\n== %s: skipped (%s)\n' "$name" "${detail[$name]}"
            return
        fi
    done
    printf '\n== %s\n' "$name"
    start=$SECONDS
    QV_STAGE_COUNT=$(mktemp)
    export QV_STAGE_COUNT
    "$@"
    status=$?
    detail[$name]=$(minutes $((SECONDS - start)))
    [ ! -s "$QV_STAGE_COUNT" ] || detail[$name]+=" ($(paste -sd, "$QV_STAGE_COUNT" | sed 's/,/, /g'))"
    rm -f "$QV_STAGE_COUNT"
    unset QV_STAGE_COUNT
    if [ "$status" -eq 0 ]; then
        state[$name]=passed
    else
        state[$name]=failed
        stage_failed=1
        printf '== %s: FAILED (status %d)\n' "$name" "$status"
    fi
}

# skip NAME REASON: a stage that cannot run on this machine.
skip() {
    names+=("$1")
    state[$1]=skipped
    detail[$1]=$2
}

# stage32: a stage that runs 32-bit programs, skipped where the kernel cannot run them.
stage32() {
    if [ -n "$no32" ]; then skip "$1" "$no32"; else stage "$@"; fi
}

minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

configure_and_build() { configure_preset "$1" && cmake --build --preset "$1"; }
archive() { bash scripts/check-package.sh "$(bash scripts/package.sh "$1" | tail -n 1)"; }

# suites PRESET: runs the build's suites; each writes its report, from which the suites and test
# cases that ran are counted. A suite that runs itself again as a child process (which writes
# <suite>_N.xml beside it) is counted once, by its own report.
suites() {
    local reports=$PWD/build/$1/test-reports report name tests count=0 cases=0
    rm -rf "$reports" && mkdir -p "$reports" || return
    GTEST_OUTPUT="xml:$reports/" ctest --preset "$1" || return
    for report in "$reports"/*.xml; do
        name=$(basename "$report" .xml)
        [ -f "build/$1/tests/$name" ] || [ -f "build/$1/tests/$name.exe" ] || continue
        count=$((count + 1))
        tests=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$report" | head -n 1)
        cases=$((cases + ${tests:-0}))
    done
    source scripts/lib/stage_count.sh
    stage_count "$count suites"
    stage_count "$cases test cases"
}

no32=""
if ! kernel_runs_32bit build; then
    no32="this kernel cannot run 32-bit programs"
    echo "$no32: 32-bit suites skipped"
fi

stage setup "" bash scripts/setup.sh "$scope"
if [ -z "$no32" ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    no32="32-bit Wine is not installed"
    echo "$no32: 32-bit suites skipped"
fi
# No include cycle between files or folders, no include that reaches into another folder by "../".
stage "include cycles" "setup" python3 scripts/include-cycles.py

stage "host build" "" configure_and_build host
stage "host tests" "host build" suites host

if [ "$scope" = all ]; then
    # qvteam's Ansible role on 20 simulated machines, one of which cannot be brought to its document.
    stage "ansible fleet" "host build" bash scripts/test-ansible-fleet.sh build/host 20

    stage "windows build" "" configure_and_build windows
    stage "windows tests under Wine" "windows build" suites windows
    # The programs' imports (nothing XP / Server 2003 lack), subsystem version and VERSIONINFO.
    stage "windows binaries check" "windows build" bash scripts/check-windows-binaries.sh build/windows
    stage "windows end to end under Wine" "host build;windows build" \
        bash scripts/wine-e2e.sh build/host build/windows

    # The 32-bit build: the same suites under 32-bit Wine (32-bit record layouts and the i686 C
    # runtime), its programs checked as the 64-bit ones and compared with the host build end to end.
    stage "windows-x86 build" "" configure_and_build windows-x86
    stage "windows-x86 binaries check" "windows-x86 build" bash scripts/check-windows-binaries.sh build/windows-x86
    stage32 "windows-x86 tests under 32-bit Wine" "windows-x86 build" suites windows-x86
    stage32 "windows-x86 end to end under 32-bit Wine" "host build;windows-x86 build" \
        bash scripts/wine-e2e.sh build/host build/windows-x86

    stage "release archive (windows)" "windows build" archive windows
    stage "release archive (windows-x86)" "windows-x86 build" archive windows-x86

    stage "asan build" "" configure_and_build asan
    stage "asan tests" "asan build" suites asan

    stage "fuzz targets (short runs)" "" bash scripts/fuzz.sh 20
fi

printf '\n== summary\n'
declare -A count=([passed]=0 [failed]=0 [skipped]=0)
for name in "${names[@]}"; do
    printf '%-8s %-42s %s\n' "${state[$name]}" "$name" "${detail[$name]}"
    count[${state[$name]}]=$((count[${state[$name]}] + 1))
done
printf 'stages: %d passed, %d failed, %d skipped\n' "${count[passed]}" "${count[failed]}" "${count[skipped]}"
printf 'total wall time: %s\n' "$(minutes $((SECONDS - run_start)))"
exit "$stage_failed"
