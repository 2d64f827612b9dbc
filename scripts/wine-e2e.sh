#!/usr/bin/env bash
# The Windows programs against Windows' own registry and SetupAPI as Wine implements them, compared
# with the host build on the same machine. A fresh simulated machine is exported with the host
# build's qvsim and imported with regedit into a throw-away Wine prefix; then every case runs once
# in the host build (against the simulated machine) and once as the .exe from one batch file under
# Wine's cmd. For each case the text the program prints (CR LF aside), the files it writes and its
# exit status must agree: Wine's %ERRORLEVEL% is the full 32-bit status (signed, as cmd prints it),
# the host shell sees its low byte. Quiet on success; on a difference it prints a diff and fails.
#
# The bus driver's interfaces are registered and present, but no driver serves them under Wine, so
# opening one fails with ERROR_FILE_NOT_FOUND; the host machine gets the same answer through its
# open fault on the first adapter (the only one the cases open).
#
#   scripts/wine-e2e.sh [host build dir] [windows build dir]
#
# QV_E2E_KEEP=1 keeps the scratch directory (prefix, machine, both sides' outputs) for a look.
set -euo pipefail
cd "$(dirname "$0")/.."
host=$(realpath -m "${1:-build/host}")
win=$(realpath -m "${2:-build/windows}")
for program in "$host/bin/qvsim" "$host/bin/QvTeamCmd" "$host/bin/qvtool" "$host/bin/qvteam" \
    "$win/bin/QvTeamCmd.exe" "$win/bin/qvtool.exe" "$win/bin/qvteam.exe"; do
    [ -f "$program" ] || { echo "wine-e2e: $program not built" >&2; exit 1; }
done

# Known Wine gaps, in one place: a case whose Windows behaviour Wine lacks, the exit status and
# the output lines Wine's run must end with instead of the host's, and the reason. The host side of
# such a case is checked as every other; the Windows side must show exactly the gap, so a change of
# either is seen.
declare -A gap_status=([create-team]=0xCE000208 [qvteam-apply]=1)
declare -A gap_lines=([create-team]="Disabling NIC Protocol Bindings failed 
Team Creation Failed "
    [qvteam-apply]='  2. add VLAN "Ten" (id 10) over team "Pair": not run
Failed: the machine is as it was.')
netcfg_stub="Wine's network-configuration classes are a stub (CLSID_CNetCfg not registered, or \
QueryNetCfgClass answering E_NOTIMPL), so the members' protocol bindings cannot be disabled"
declare -A gap_reason=([create-team]="$netcfg_stub and the team is not created"
    [qvteam-apply]="$netcfg_stub: the team's step fails, the run stops and reports the failure")

# Known Wine gaps that leave a case's output otherwise whole: the sed script that turns the host's
# output into what Wine's run must print, and the reason.
declare -A gap_filter=([qvteam-show]='s/^( +(MAC address|Protocols): +).*/\1(none)/')
declare -A filter_reason=([qvteam-show]="no driver answers the adapters' permanent-address query under \
Wine, and its network-configuration classes are a stub, so no adapter shows an address or a bound \
protocol")

# The cases: name, documented 32-bit exit status, how the files the case writes in its own
# directory compare (bytes, or text with CR LF as LF), program, arguments ('|' between them).
# Team creation comes last: on the host it changes the machine (qvteam's team takes the third and
# fourth ports, QvTeamCmd's the first two).
cases=$(
    cat <<'EOF'
listing	0x00000001	text	QvTeamCmd	-l
listing-log	0x00000001	text	QvTeamCmd	-f|teams.log|-l
usage	0xCE000001	text	QvTeamCmd	
unknown-option	0xCE000001	text	QvTeamCmd	-x
log-without-file	0xCE000001	text	QvTeamCmd	-f
create-one-adapter	0xCE000001	text	QvTeamCmd	-c|Local Area Connection
vlan-without-id	0xCE000001	text	QvTeamCmd	-a|Local Area Connection|V1
registers-no-driver	0x00000000	text	qvtool	-d|nic0|-r|all|-f
register-no-driver	0x00000000	text	qvtool	-d|nic0|-r|6f4
no-such-instance	0x00000000	text	qvtool	-d|nic7|-v
no-device	0x00000001	text	qvtool	-r|6f4
image-ascii	0x00000000	bytes	qvtool	-k|fw.ascii
image-bin	0x00000000	bytes	qvtool	-k|fw.bin
image-sram	0x00000000	bytes	qvtool	-k|psram.txt
image-rom	0x00000000	bytes	qvtool	-k|boot.rom
image-img	0x00000000	bytes	qvtool	-k|boot.img
image-corrupt	0x00000000	bytes	qvtool	-k|bad.ascii
image-unknown	0x00000000	bytes	qvtool	-k|fw.hex
qvteam-usage	0x00000001	text	qvteam	
qvteam-unknown-command	0x00000001	text	qvteam	frobnicate
qvteam-show	0x00000000	text	qvteam	show
qvteam-export	0x00000000	text	qvteam	export|--members|mac
qvteam-not-json	0x00000001	bytes	qvteam	plan|bad.json
qvteam-unknown-adapter	0x00000001	bytes	qvteam	plan|--json|unknown.json
qvteam-plan	0x00000002	bytes	qvteam	plan|team.json
qvteam-apply	0x00000000	bytes	qvteam	apply|team.json
create-team	0x00000000	text	QvTeamCmd	-n|Team0|-c|Local Area Connection|Local Area Connection 2|1
EOF
)

source scripts/lib/wine.sh
scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-wine-e2e.XXXXXX")
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX="$scratch/prefix"
trap 'timeout 30 "$server" -k >/dev/null 2>&1 || true; [ -n "${QV_E2E_KEEP:-}" ] || rm -rf "$scratch"' EXIT
# Every Wine step is bounded: a hung wineserver ends the run instead of the CI job.
wine_run() { timeout 120 "$wine" "$@"; }
windows_path() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }

# The files the cases read, copied into the directory of every case that compares bytes. qvteam's
# documents: a team of the third and fourth ports with a VLAN, one that is not JSON, and one that
# names a connection the machine lacks.
images="$scratch/images"
mkdir -p "$images"
member() { printf '{"connectionName":"Local Area Connection %s"}' "$1"; }
printf '{"schema":"qvteam-state","version":1,"teams":[{"name":"Pair","mode":"lacp","members":[%s,%s],"vlans":[{"name":"Ten","id":10}]}],"adapterVlans":[]}\n' \
    "$(member 3)" "$(member 4)" >"$images/team.json"
printf '{"schema":"qvteam-state","version":1,"teams":[{"name":"Pair","mode":"lacp"\n' >"$images/bad.json"
printf '{"schema":"qvteam-state","version":1,"teams":[{"name":"Pair","mode":"lacp","members":[%s,%s],"vlans":[]}],"adapterVlans":[]}\n' \
    "$(member 3)" "$(member 9)" >"$images/unknown.json"

# The images for -k: firmware whose words add up to 0xFFFFFFFF (as text and as big-endian
# binary), the same with its last word changed by one, SRAM configuration text, and a boot image
# raw and as the load module of a DOS executable.
bytes_file() {  # writes the byte values given on stdin, one per line, to $1
    local escapes="" b hex
    while read -r b; do
        printf -v hex '%02x' "$b"
        escapes+="\\x$hex"
    done
    printf '%b' "$escapes" >"$1"
}
words=() sum=0
for i in $(seq 0 40); do
    words+=($(((i * 0x01020305 + 0x1234567) & 0xFFFFFFFF)))
    sum=$(((sum + words[-1]) & 0xFFFFFFFF))
done
words+=($(((0xFFFFFFFF - sum) & 0xFFFFFFFF)))
printf '%08X\n' "${words[@]}" >"$images/fw.ascii"
for w in "${words[@]}"; do printf '%d\n%d\n%d\n%d\n' $((w >> 24 & 255)) $((w >> 16 & 255)) $((w >> 8 & 255)) $((w & 255)); done |
    bytes_file "$images/fw.bin"
{
    printf '%08X\n' "${words[@]:0:${#words[@]}-1}"
    printf '%08X\n' $(((words[-1] + 1) & 0xFFFFFFFF))
} >"$images/bad.ascii"
cp "$images/fw.ascii" "$images/fw.hex"
for i in $(seq 0 2111); do printf '%02x\n' $(((3 * i + 1) & 255)); done >"$images/psram.txt"
module() { echo 85; echo 170; for i in $(seq 2 "$(($1 - 1))"); do echo $(((i * 7 + 3) & 255)); done; }
module 3000 | bytes_file "$images/boot.rom"
# A header of two paragraphs: "MZ", bytes in the last page, pages, no relocations, 2 paragraphs.
total=$((32 + 3000))
{
    printf '%d\n' 77 90 $((total % 512 & 255)) $((total % 512 >> 8)) $(((total + 511) / 512)) 0 0 0 2 0
    for _ in $(seq 10 31); do echo 0; done
    module 3000
} | bytes_file "$images/boot.img"

# The machine: the default inventory, exported before any program runs.
machine="$scratch/machine"
"$host/bin/qvsim" --machine "$machine" init >/dev/null
"$host/bin/qvsim" --machine "$machine" adapter 0 fault open 2
"$host/bin/qvsim" --machine "$machine" export "$scratch/machine.reg"

wine_new_prefix "$WINEPREFIX"
wine_run regedit /S "$(windows_path "$scratch/machine.reg")" >/dev/null 2>&1
# The machine's INF files (the teaming drivers' among them) where Windows keeps them.
cp "$machine"/Windows/Inf/*.inf "$WINEPREFIX/drive_c/windows/inf/"
timeout 60 "$server" -w

# Each case runs in its own directory on each side (host/NAME, win/NAME), an image case with the
# images at hand; the Windows side's runs are lines of one batch file, so Wine starts once for all.
batch="$scratch/cases.cmd"
printf '@echo off\r\n' >"$batch"
while IFS=$'\t' read -r name _ mode program argline; do
    IFS='|' read -r -a args <<<"$argline"
    for side in host win; do
        mkdir -p "$scratch/$side/$name"
        [ "$mode" = text ] || cp "$images"/* "$scratch/$side/$name/"
    done
    (cd "$scratch/host/$name" && set +e && QV_MACHINE="$machine" timeout 60 "$host/bin/$program" "${args[@]}" \
        >"../$name.out" 2>&1; echo $? >"../$name.status")
    quoted=""
    for arg in "${args[@]}"; do quoted+=" \"$arg\""; done
    {
        printf 'cd /d "%s"\r\n' "$(windows_path "$scratch/win/$name")"
        printf '"%s"%s >..\\%s.out 2>&1\r\n' "$(windows_path "$win/bin/$program.exe")" "$quoted" "$name"
        # (Wine's cmd writes a redirected parenthesised block to the console: the redirection leads.)
        printf '>..\\%s.status echo %%ERRORLEVEL%%\r\n' "$name"
    } >>"$batch"
done <<<"$cases"
wine_run cmd /c "$(windows_path "$batch")" >/dev/null 2>&1 || true

failures=0
report() {  # case name, what differs, diff text
    printf 'wine-e2e: %s: %s\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
}
# A written text file as compared: LF line ends, and the time a log's header carries (the runs are
# seconds apart) as <time>.
as_text() { tr -d '\r' | sed -E 's/^[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}$/<time>/'; }
while IFS=$'\t' read -r name status mode program argline; do
    h="$scratch/host/$name" w="$scratch/win/$name"
    got_win=$(tr -d '\r ' <"$w.status" 2>/dev/null || echo none)
    got_host=$(cat "$h.status")
    [ "$got_host" = "$((status & 255))" ] ||
        report "$name" "exit status" "  documented $status: host $got_host (want $((status & 255)))"
    if [ -n "${gap_status[$name]:-}" ]; then
        # The Windows side as Wine's gap leaves it (see gap_reason).
        want_win=$((gap_status[$name] >= 0x80000000 ? gap_status[$name] - 0x100000000 : gap_status[$name]))
        want_lines=${gap_lines[$name]}
        if [ "$got_win" != "$want_win" ] ||
            [ "$(tr -d '\r' <"$w.out" | tail -n "$(wc -l <<<"$want_lines")")" != "$want_lines" ]; then
            report "$name" "not the known Wine gap (${gap_reason[$name]})" \
                "  want %ERRORLEVEL% $want_win and the last lines \"$want_lines\", got $got_win and:
$(tr -d '\r' <"$w.out")"
        fi
        continue
    fi
    if ! d=$(diff -u --label "host $program ${argline//|/ }" --label "windows $program.exe ${argline//|/ }" \
        <(sed -E "${gap_filter[$name]:-}" "$h.out") <(tr -d '\r' <"$w.out" 2>/dev/null)); then
        report "$name" "output differs${gap_filter[$name]:+ (beyond the known Wine gap: ${filter_reason[$name]})}" "$d"
    fi
    want_win=$((status >= 0x80000000 ? status - 0x100000000 : status))
    [ "$got_win" = "$want_win" ] ||
        report "$name" "exit status" "  documented $status: Windows %ERRORLEVEL% $got_win (want $want_win)"
    # The files the case wrote, beside the images it was given.
    for f in $( { (cd "$h" && ls); (cd "$w" && ls); } | sort -u); do
        if [ ! -f "$h/$f" ] || [ ! -f "$w/$f" ]; then
            report "$name" "file $f written on one side only" "$(ls -l "$h/$f" "$w/$f" 2>&1)"
        elif [ "$mode" = bytes ]; then
            cmp -s "$h/$f" "$w/$f" || report "$name" "file $f differs" "$(cmp -l "$h/$f" "$w/$f" 2>&1 | head -20)"
        elif ! d=$(diff -u --label "host $f" --label "windows $f" <(as_text <"$h/$f") <(as_text <"$w/$f")); then
            report "$name" "file $f differs" "$d"
        fi
    done
done <<<"$cases"

count=$(grep -c . <<<"$cases")
if [ "$failures" -gt 0 ]; then
    echo "wine-e2e: $failures difference(s) in $count cases" >&2
    exit 1
fi
source scripts/lib/stage_count.sh
stage_count "$count cases"
