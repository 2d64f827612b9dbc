#!/usr/bin/env bash
# The Ansible role of qvteam on a fleet of simulated machines, all on this host (local connection,
# each host with a machine directory of its own): hosts with two or three cards, some with their
# connections renamed, and one without any n5 card, whose document cannot be brought about. The
# playbook runs twice: the first run changes every good host and reports the bad one failed and
# unchanged; the second run changes nothing anywhere. Prints the wall time of each run.
#
#   scripts/test-ansible-fleet.sh [build dir] [hosts]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/host}
hosts=${2:-20}
for program in qvteam qvsim; do
    [ -x "$build/bin/$program" ] || { echo "test-ansible-fleet: $build/bin/$program not built" >&2; exit 1; }
done
if ! command -v ansible-playbook >/dev/null; then
    echo "test-ansible-fleet: ansible-playbook is not installed (scripts/setup.sh tests installs it)" >&2
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
qvteam=$(realpath "$build/bin/qvteam")
qvsim=$(realpath "$build/bin/qvsim")
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCAL_TEMP="$scratch/ansible-tmp"
export ANSIBLE_HOME="$scratch/ansible-home" ANSIBLE_ROLES_PATH="$PWD/ansible/roles"
bad=host$(printf '%02d' "$hosts")

# The same document for every host: members and the VLAN carrier named by device name.
mkdir -p "$scratch/group_vars"
cat > "$scratch/group_vars/teaming.yml" <<'YAML'
qvteam_state:
  schema: qvteam-state
  version: 1
  teams:
    - name: Backbone
      mode: lacp
      members:
        - description: "Quorvex n5 Gigabit Server Adapter"
        - description: "Quorvex n5 Gigabit Server Adapter #2"
      vlans:
        - {name: Storage, id: 300}
        - {name: Backup, id: 301}
  adapterVlans:
    - adapter: {description: "Quorvex n5 Gigabit Server Adapter #3"}
      vlans:
        - {name: Mgmt, id: 5}
YAML
# Connection names other than the default ones, as another server's would be.
rename=$scratch/rename.reg
{
    echo "Windows Registry Editor Version 5.00"
    for port in 1 2; do
        echo
        echo "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\{5A5A0005-0000-4000-8000-00000000000$port}\\Connection]"
        echo "\"Name\"=\"Uplink $port\""
    done
} > "$rename"

{
    echo "teaming:"
    echo "  vars:"
    echo "    ansible_connection: local"
    echo "    ansible_python_interpreter: $(command -v python3)"
    echo "    qvteam_program: $qvteam"
    echo "  hosts:"
} > "$scratch/inventory.yml"
for i in $(seq 1 "$hosts"); do
    host=host$(printf '%02d' "$i")
    machine=$scratch/machines/$host
    cards=$((i % 4 == 0 ? 3 : 2))
    [ "$host" = "$bad" ] && cards=0
    QV_MACHINE=$machine "$qvsim" init --cards "$cards" >/dev/null
    if [ $((i % 5)) -eq 0 ]; then QV_MACHINE=$machine "$qvsim" import "$rename" >/dev/null; fi
    printf '    %s:\n      qvteam_machine: %s\n' "$host" "$machine" >> "$scratch/inventory.yml"
done
before=$(QV_MACHINE=$scratch/machines/$bad "$qvsim" export /dev/stdout)

# Runs the playbook; prints its wall time and leaves "host changed failed" lines in $scratch/recap.
run() {
    local start end status=0
    start=$(date +%s.%N)
    ansible-playbook -i "$scratch/inventory.yml" -f 4 ansible/site.yml > "$scratch/run$1.log" 2>&1 || status=$?
    end=$(date +%s.%N)
    printf 'run %s: %d hosts, %.1f s, ansible-playbook exit status %d\n' "$1" "$hosts" "$(echo "$end - $start" | bc)" "$status"
    sed -n 's/^\(host[0-9]*\) *: .*changed=\([0-9]*\).*failed=\([0-9]*\).*/\1 \2 \3/p' "$scratch/run$1.log" > "$scratch/recap"
    [ "$(wc -l < "$scratch/recap")" -eq "$hosts" ] || { cat "$scratch/run$1.log"; echo "run $1: no recap for every host" >&2; exit 1; }
}
# Every good host reported changed as given and not failed, the bad one failed.
expect() {
    local failures
    failures=$(awk -v changed="$1" -v bad="$bad" '
        $1 == bad && $3 == 0 { print $1 " did not fail" }
        $1 != bad && ($2 != changed || $3 != 0) { print $1 ": changed=" $2 " failed=" $3 }' "$scratch/recap")
    if [ -n "$failures" ]; then
        cat "$scratch/run$2.log"
        echo "run $2: $failures" >&2
        exit 1
    fi
}

run 1
expect 1 1
run 2
expect 0 2
[ "$(QV_MACHINE=$scratch/machines/$bad "$qvsim" export /dev/stdout)" = "$before" ] ||
    { echo "the failed host was changed" >&2; exit 1; }
for i in 1 5 8; do
    machine=$scratch/machines/host$(printf '%02d' "$i")
    QV_MACHINE=$machine "$qvteam" plan --json - < <(python3 -c 'import sys,yaml,json; print(json.dumps(yaml.safe_load(open(sys.argv[1]))["qvteam_state"]))' "$scratch/group_vars/teaming.yml") > /dev/null ||
        { echo "host$i does not match the document after the runs" >&2; exit 1; }
done
echo "test-ansible-fleet: $((hosts - 1)) hosts converged, $bad failed and was left as it was, the second run changed nothing"
source scripts/lib/stage_count.sh
stage_count "$hosts hosts"
