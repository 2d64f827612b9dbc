#!/usr/bin/env bash
# qvtool -p on the simulated adapter: the requests and the wall and CPU time of one programming of
# a 64 KiB firmware image (fw.bin, 0x10000 bytes: one sector) and of the largest boot image
# (boot.rom, 0x70000 bytes: seven sectors), each the whole run of the program (check of the file,
# identification, backup of the sectors where the build takes one, erase, write, compare). Every run
# starts from the same flash: the adapter's flash is loaded from a copy taken before the first run.
# The backups a run leaves in the current directory are removed after it; that removal is timed
# alone and taken off.
#
#   scripts/bench-flash.sh [N] [build dir]
#
# Runs on the machine named by QV_MACHINE; when it is unset, on a fresh machine with the default
# inventory in a temporary directory. Works for builds without the backup as well, to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
build=$(realpath "${2:-build/host}")
for program in qvtool qvsim; do
    [ -x "$build/bin/$program" ] || { echo "bench-flash: $build/bin/$program not built" >&2; exit 1; }
done

source scripts/lib/bench.sh
use_scratch_machine_unless_set
work=$(mktemp -d)
trap 'rm -rf "$work" "${bench_scratch:-}"' EXIT
cd "$work"

# fw.bin: 0x4000 words, most significant byte first, the last one making the sum 0xFFFFFFFF.
python3 - <<'EOF'
import struct
words = [(i * 0x9E3779B9) & 0xFFFFFFFF for i in range(0x3FFF)]
words.append((0xFFFFFFFF - sum(words)) & 0xFFFFFFFF)
open("fw.bin", "wb").write(b"".join(struct.pack(">I", w) for w in words))
rom = bytearray((i * 7 + 3) & 0xFF for i in range(0x70000))
rom[0:2] = b"\x55\xaa"
open("boot.rom", "wb").write(bytes(rom))
EOF

qvsim() { "$build/bin/qvsim" "$@"; }
requests() { qvsim adapter 0 show | sed -n 's/^requests: //p'; }
"$build/bin/qvtool" -d nic0 -v >/dev/null  # creates the machine on first use and the adapter's state file
qvsim adapter 0 flash dump "$work/flash.start"
restart() { qvsim adapter 0 flash load "$work/flash.start"; }
clean() { rm -f -- *-boot-* *-firmware-*; }

echo "runs: $runs each"
printf '%-26s %10s %9s %9s\n' command requests "wall ms" "CPU ms"
read -r setup_wall setup_cpu <<<"$(per_run_us eval 'restart; clean')"
for image in fw.bin boot.rom; do
    tool=("$build/bin/qvtool" -d nic0 -p "$image")
    restart
    before=$(requests)
    out=$("${tool[@]}")
    grep -q "Comparison was successful" <<<"$out" || { echo "bench-flash: $image: $out" >&2; exit 1; }
    count=$(($(requests) - before))
    clean
    read -r wall cpu <<<"$(per_run_us eval 'restart; clean; "${tool[@]}"')"
    printf '%-26s %10s %9s %9s\n' "qvtool -d nic0 -p $image" "$count" "$(ms $((wall - setup_wall)))" \
        "$(ms $((cpu - setup_cpu)))"
done
