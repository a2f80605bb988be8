#!/usr/bin/env bash
# The demo: in a fresh private Wine prefix, a sample rule list is written
# through the settings store and matched against a few download URLs.
set -euo pipefail
out=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$out/demo
"$top/tests/wine/prefix.sh" start "$dir" /usr/lib/wine/wine64 >/dev/null
trap '"$top/tests/wine/prefix.sh" stop "$dir"' EXIT
"$top/tests/wine/run.sh" "$dir" /usr/lib/wine/wine64 "$out/win64/bin/fwmatch.exe"
