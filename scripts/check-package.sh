#!/usr/bin/env bash
# Checks a release archive made by scripts/package.sh: its files (below the top-level directory)
# are exactly those of scripts/package-contents.txt, and README.txt has CR LF line ends.
#   scripts/check-package.sh ARCHIVE.zip
set -euo pipefail
cd "$(dirname "$0")/.."
archive=$(realpath "${1:?usage: scripts/check-package.sh ARCHIVE.zip}")
top=$(basename "$archive" .zip)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$archive")

actual=$(cd "$work/$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expected=$(grep -v '^#' scripts/package-contents.txt | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "check-package: $archive does not hold the expected files:" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
readme="$work/$top/README.txt"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
if [ "$lines" -eq 0 ] || [ "$crlf" -ne "$lines" ] || [ -n "$(tail -c 1 "$readme" | tr -d '\n')" ]; then
    echo "check-package: README.txt has $crlf CR LF line ends out of $lines lines" >&2
    exit 1
fi
echo "check-package: $(basename "$archive"): $(echo "$actual" | wc -l) files as expected"
source "$(dirname "$0")/lib/stage_count.sh"
stage_count "$(echo "$actual" | wc -l) files"
