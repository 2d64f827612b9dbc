#!/usr/bin/env bash
# Runs a Windows test executable under Wine in a throw-away prefix, quietly.
#
# Booting a prefix takes most of a suite's time (several seconds, twice that with 32-bit Wine
# installed), so one booted prefix per Wine installation and user is kept as a template in the
# temporary directory and each run gets a copy of it. The template is booted once, under a lock,
# and checked: on a loaded machine a boot now and then leaves a prefix without its system DLLs
# ("could not load kernel32.dll"), which says nothing about the suite, so a failed boot is retried
# in a new directory (at most three times, each bounded). The template only appears, by rename,
# once it is complete and its wineserver has ended and saved the registry. The suite runs once.
set -euo pipefail
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
server=$(command -v wineserver || true)
[ -n "$server" ] || server=/usr/lib/wine/wineserver64
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$wine"
tmp=${TMPDIR:-/tmp}

# The template belongs to this Wine: its version, its loader's and its setup files' times.
key=$(
    { "$wine" --version 2>/dev/null || true; stat -c %Y "$wine" /usr/share/wine/wine.inf 2>/dev/null || true
        echo "$WINEARCH $WINEDLLOVERRIDES"; } | cksum | cut -d' ' -f1
)
template="$tmp/qv-wine-template.$(id -u).$key"

prefix=
cleanup() {
    [ -n "$prefix" ] || return 0
    WINEPREFIX="$prefix" "$server" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
    prefix=
}
trap cleanup EXIT

booted() {
    [ -f "$1/drive_c/windows/system32/kernel32.dll" ] && [ -f "$1/system.reg" ]
}

boot_template() {
    local attempt
    for attempt in 1 2 3; do
        prefix=$(mktemp -d "$tmp/qv-wine-boot.XXXXXX")
        if WINEPREFIX="$prefix" timeout 300 "$wine" wineboot --init >/dev/null 2>&1 &&
            WINEPREFIX="$prefix" timeout 60 "$server" -w && booted "$prefix" &&
            mv -T "$prefix" "$template"; then
            prefix=
            return 0
        fi
        echo "wine-run: booting a prefix failed (attempt $attempt)" >&2
        cleanup
    done
    return 1
}

exec 9>"$template.lock"
flock -w 900 9 || { echo "wine-run: the template prefix stayed locked" >&2; exit 1; }
if ! booted "$template"; then
    rm -rf "$template"
    boot_template || exit 1
fi
flock -u 9
exec 9>&-

prefix=$(mktemp -d "$tmp/qv-wine.XXXXXX")
cp -a "$template/." "$prefix/"
export WINEPREFIX="$prefix"
"$wine" "$@"
