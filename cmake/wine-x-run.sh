#!/usr/bin/env bash
# Runs a Windows test executable that makes windows under Wine: Wine draws through X, so the run
# gets its own virtual display (Xvfb on a free server number) around cmake/wine-run.sh.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24" "$(dirname "$0")/wine-run.sh" "$@"
