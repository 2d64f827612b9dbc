# Timing helpers shared by the start-up benchmarks (sourced, not run). The caller sets $runs.

# Runs on the machine named by QV_MACHINE; when it is unset, on a fresh machine in a temporary
# directory that is removed on exit (the caller's first, untimed run creates it).
use_scratch_machine_unless_set() {
    if [ -z "${QV_MACHINE:-}" ]; then
        bench_scratch=$(mktemp -d)
        trap 'rm -rf "$bench_scratch"' EXIT
        export QV_MACHINE="$bench_scratch/machine"
    fi
}

# Prints "<wall> <cpu>" in microseconds per run of the command, over $runs runs.
per_run_us() {
    local TIMEFORMAT='%3R %3U %3S' timing wall user sys i
    timing=$({ time for ((i = 0; i < runs; i++)); do "$@" >/dev/null || true; done; } 2>&1)
    read -r wall user sys <<<"${timing//./}"
    echo $((10#$wall * 1000 / runs)) $(((10#$user + 10#$sys) * 1000 / runs))
}

# Microseconds as milliseconds with one decimal.
ms() { printf '%d.%d' $(($1 / 1000)) $(($1 % 1000 / 100)); }
# a / b with two decimals.
ratio() { local r=$(($1 * 100 / ($2 > 0 ? $2 : 1))); printf '%d.%02d' $((r / 100)) $((r % 100)); }

# Instructions executed by one run of the command (valgrind's callgrind), or "-".
instructions() {
    command -v valgrind >/dev/null || { echo -; return; }
    local out
    out=$(mktemp)
    valgrind --tool=callgrind --callgrind-out-file="$out" "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
    rm -f "$out"
}

# The connection name of the Nth network adapter of a new machine (1: "Local Area Connection").
lan() { if [ "$1" -eq 1 ]; then echo "Local Area Connection"; else echo "Local Area Connection $1"; fi; }

# A row of the command table: command, wall ms, CPU ms, ratio to /bin/true, instructions.
row() { printf '%-46s %9s %9s %8s %14s\n' "$@"; }

# Times /bin/true into $true_wall and $true_cpu and prints the table's head and its row.
table_head() {
    read -r true_wall true_cpu <<<"$(per_run_us /bin/true)"
    echo "runs: $runs each"
    row command "wall ms" "CPU ms" ratio instructions
    row /bin/true "$(ms "$true_wall")" "$(ms "$true_cpu")" 1.00x "$(instructions /bin/true)"
}
