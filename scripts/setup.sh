#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, for one of three jobs:
#   scripts/setup.sh programs   the host programs (QvTeamCmd, QvTeamCfg, qvteam, qvtool, qvsim): cmake, ninja,
#                               g++, SQLite, Qt 6 Widgets and a font for the GUI, the JSON and command-line
#                               libraries of qvteam (header-only); ccache and lld, which the build uses
#                               when present (compile cache, fast linker)
#   scripts/setup.sh host       the host suites as well: GoogleTest, Google Benchmark, the sqlite3 shell,
#                               python3-jsonschema
#   scripts/setup.sh all        everything the tests need as well: mingw-w64 for 64-bit and 32-bit Windows
#                               and Wine for both (windows builds; 32-bit Wine is an i386 package, so the
#                               i386 architecture is added; left out where the kernel cannot run 32-bit
#                               programs), clang (fuzz targets), Xvfb, imagemagick and xdotool (GUI
#                               screenshots), ansible-core and bc (qvteam's Ansible role on a fleet of
#                               simulated machines)
# Quiet and idempotent: apt runs only when a package is missing.
set -euo pipefail

programs=(cmake ninja-build make g++ ccache lld libsqlite3-dev qt6-base-dev fonts-dejavu-core nlohmann-json3-dev
    libcli11-dev)
host_tests=(pkg-config python3 python3-jsonschema googletest libgtest-dev libgmock-dev libbenchmark-dev sqlite3)
tests=(
    ansible-core bc
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine32:i386
    clang libclang-rt-14-dev
    xvfb xauth imagemagick xdotool
)

case "${1:-}" in
programs) packages=("${programs[@]}") ;;
host) packages=("${programs[@]}" "${host_tests[@]}") ;;
all) packages=("${programs[@]}" "${host_tests[@]}" "${tests[@]}") ;;
*)
    echo "usage: scripts/setup.sh programs|host|all" >&2
    exit 2
    ;;
esac

# 32-bit Wine is of no use on a kernel that cannot run 32-bit programs (the test command skips the
# 32-bit suites there), and it doubles the time Wine takes to boot a prefix: it is left out.
if [ "$1" = all ]; then
    source "$(dirname "$0")/lib/kernel32.sh"
    if ! kernel_runs_32bit "$(dirname "$0")/../build"; then
        echo "setup: this kernel cannot run 32-bit programs: 32-bit Wine not installed"
        for i in "${!packages[@]}"; do [ "${packages[$i]}" != wine32:i386 ] || unset 'packages[i]'; done
    fi
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    # A mirror caught mid-sync fails an index now and then ("File has unexpected size"): the update
    # is tried three times, and when an index still fails the install goes on with the indexes it
    # has; it stops there only if a package really cannot be found.
    for attempt in 1 2 3; do
        $SUDO apt-get update -qq && break
        if [ "$attempt" -lt 3 ]; then
            echo "setup: apt-get update failed (attempt $attempt of 3), trying again in 15 s" >&2
            sleep 15
        else
            echo "setup: apt-get update failed three times; installing from the indexes it has" >&2
        fi
    done
    install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
    if ! install "${missing[@]}"; then
        # 32-bit Wine needs i386 libraries of the same versions as the machine's own; when an i386
        # index is missing they cannot be matched. Everything else is installed then, and the test
        # command skips the 32-bit suites, saying why.
        native=()
        for p in "${missing[@]}"; do [[ "$p" == *:i386 ]] || native+=("$p"); done
        ((${#native[@]} < ${#missing[@]})) && install "${native[@]}" || exit 1
        echo "setup: the i386 packages could not be installed from the package indexes at hand; everything else is" >&2
    fi
fi
