#!/usr/bin/env bash
# Checks the programs of a windows build (its bin/ folder) for what lets them run on Windows XP /
# Server 2003 and later, and for their version resource:
#   - no import is one of those systems lack (cmake/windows-xp-missing-imports.txt);
#   - subsystem and OS version at most 5.1 (32-bit) or 5.2 (64-bit);
#   - a VERSIONINFO whose FILEVERSION, PRODUCTVERSION and version strings are the version the
#     program's banner prints (the build writes it to versions/<program>.exe.version) and a manifest
#     that runs the program as the invoking user.
# Usage: scripts/check-windows-binaries.sh BUILD_DIR   (e.g. build/windows or build/windows-x86)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: scripts/check-windows-binaries.sh BUILD_DIR}"
deny="$root/cmake/windows-xp-missing-imports.txt"
# The 64-bit binutils read 32-bit images as well.
objdump=x86_64-w64-mingw32-objdump
windres=x86_64-w64-mingw32-windres

failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# dll!function per line, the DLL in lower case.
imports_of() {
    "$objdump" -p "$1" | awk '
        /^\tDLL Name: / { dll = tolower($3) }
        /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll "!" $3 }'
}

# The deny-list's entries that apply to a 32-bit (x86) or 64-bit image, as "dll!function" patterns.
denied_for() {
    awk -v arch="$1" '!/^#/ && NF { if (NF == 1 || $2 == arch) print $1 }' "$deny"
}

header_value() { "$objdump" -p "$1" | awk -v key="$2" '$1 == key && !seen++ { print $2 }'; }

check_program() {
    local exe="$1" name arch max_minor before="$failures"
    name="$(basename "$exe")"
    if [ "$(header_value "$exe" Magic)" = "010b" ]; then arch=x86 max_minor=1; else arch=x64 max_minor=2; fi

    local denied bad=()
    mapfile -t denied < <(denied_for "$arch")
    while read -r imp; do
        for pattern in "${denied[@]}"; do
            # shellcheck disable=SC2053 # the deny-list's entries are glob patterns
            if [[ "$imp" == $pattern ]]; then
                bad+=("$imp")
                break
            fi
        done
    done < <(imports_of "$exe")
    ((${#bad[@]} == 0)) || fail "$name imports what Windows XP / Server 2003 lack: ${bad[*]}"

    local key value
    for key in MajorSubsystemVersion MinorSubsystemVersion MajorOSystemVersion MinorOSystemVersion; do
        value="$(header_value "$exe" "$key")"
        case "$key" in
        Major*) [ "$value" = 5 ] || fail "$name: $key is $value, not 5" ;;
        Minor*) [ -n "$value" ] && ((value <= max_minor)) || fail "$name: $key is $value, above $max_minor" ;;
        esac
    done

    local version_file="$build/versions/$name.version" version commas rc
    if [ ! -f "$version_file" ]; then
        fail "$name: no banner version recorded ($version_file)"
        return
    fi
    version="$(cat "$version_file")"
    commas="${version//./, }"
    rc="$("$windres" -J coff -O rc -i "$exe" 2>/dev/null)" || rc=""
    grep -qx " FILEVERSION $commas" <<<"$rc" || fail "$name: FILEVERSION is not $version"
    grep -qx " PRODUCTVERSION $commas" <<<"$rc" || fail "$name: PRODUCTVERSION is not $version"
    for key in FileVersion ProductVersion; do
        grep -qx "      VALUE \"$key\", \"$version\"" <<<"$rc" || fail "$name: $key string is not $version"
    done
    grep -q 'VALUE "CompanyName", "Quorvex"' <<<"$rc" || fail "$name: CompanyName is not Quorvex"
    grep -q 'requestedExecutionLevel level=""asInvoker""' <<<"$rc" || fail "$name: no asInvoker manifest"
    ((failures == before)) || return 0
    echo "ok   $name ($arch, version $version, $(imports_of "$exe" | wc -l) imports)"
}

shopt -s nullglob
programs=("$build"/bin/*.exe)
((${#programs[@]})) || {
    echo "no programs in $build/bin" >&2
    exit 2
}
for exe in "${programs[@]}"; do check_program "$exe"; done
((failures == 0)) || {
    echo "check-windows-binaries: $failures failure(s)" >&2
    exit 1
}
source "$(dirname "$0")/lib/stage_count.sh"
stage_count "${#programs[@]} programs"
