# Wine for the scripts and the windows suites (sourced, not run): the loader and server, a quiet
# environment, and booted prefixes.
#
# Booting a prefix takes several seconds (twice that with 32-bit Wine installed), so one booted
# prefix per Wine installation and user is kept as a template in the temporary directory and every
# new prefix is a copy of it (its program images hard links). The template is booted once, under a lock, and checked: on a loaded
# machine a boot now and then leaves a prefix without its system DLLs ("could not load
# kernel32.dll"), which says nothing about what runs in it, so a failed boot is retried in a new
# directory (at most three times, each step bounded). The template only appears, by rename, once it
# is complete and its wineserver has ended and saved the registry.

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$wine"

# The kinds of program image in a prefix, by file name extension.
wine_image_types=(dll exe sys drv ocx cpl acm tlb ax ds com)

wine_prefix_booted() {
    [ -f "$1/drive_c/windows/system32/kernel32.dll" ] && [ -f "$1/system.reg" ]
}

# Boots the template at $1 (which does not exist yet); false when three boots failed.
wine_boot_template() {
    local template=$1 attempt boot
    for attempt in 1 2 3; do
        boot=$(mktemp -d "$(dirname "$template")/qv-wine-boot.XXXXXX")
        if WINEPREFIX="$boot" timeout 300 "$wine" wineboot --init >/dev/null 2>&1 &&
            WINEPREFIX="$boot" timeout 60 "$server" -w && wine_prefix_booted "$boot" &&
            mv -T "$boot" "$template"; then
            return 0
        fi
        echo "wine: booting a prefix failed (attempt $attempt)" >&2
        WINEPREFIX="$boot" "$server" -k >/dev/null 2>&1 || true
        rm -rf "$boot"
    done
    return 1
}

# Makes the directory $1 (missing or empty) a booted prefix of its own: a copy of the template.
wine_new_prefix() {
    local tmp=${TMPDIR:-/tmp} key template
    # The template belongs to this Wine: its version, its loader's and its setup file's times.
    key=$(
        { "$wine" --version 2>/dev/null || true; stat -c %Y "$wine" /usr/share/wine/wine.inf 2>/dev/null || true
            echo "$WINEARCH $WINEDLLOVERRIDES"; } | cksum | cut -d' ' -f1
    )
    template="$tmp/qv-wine-template.$(id -u).$key"
    (
        flock -w 900 9 || { echo "wine: the template prefix stayed locked" >&2; exit 1; }
        if ! wine_prefix_booted "$template"; then
            rm -rf "$template"
            wine_boot_template "$template"
        fi
    ) 9>"$template.lock" || return 1
    # The program images (700 of the template's 712 MB) are hard links: Wine never writes to them,
    # and linking them instead of copying takes a suite's prefix from seconds to a fraction of one.
    # Everything else (registry, INI files, INF caches, manifests) is copied; those files are never
    # linked, so a copy made at the same time as another reads a template that nothing changes.
    local excludes=() names=() type
    for type in "${wine_image_types[@]}"; do
        excludes+=("--exclude=*.$type")
        names+=(-o -iname "*.$type")
    done
    mkdir -p "$1" &&
        (cd "$template" && tar --ignore-case "${excludes[@]}" -cf - .) | (cd "$1" && tar -xpf -) &&
        (cd "$template" && find . -type f \( "${names[@]:1}" \) -print0 | xargs -0 -r cp -l --parents -t "$1/")
}
