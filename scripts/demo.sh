#!/usr/bin/env bash
# Sets up, builds the host programs and runs the main job on the default simulated machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset host >/dev/null
cmake --build --preset host >/dev/null
exec build/host/bin/qvsim show
