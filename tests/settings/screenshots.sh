#!/usr/bin/env bash
# screenshots.sh [BUILD]: pictures of Fwise.exe's pages and rule dialog for
# the README, taken under Wine on a private Xvfb display from the 64-bit
# build (default build/win64), written to docs/screenshots/*.png.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/win64}
loader=/usr/lib/wine/wine64
dir=$(mktemp -d /tmp/fwshots.XXXXXX)
"$top/tests/wine/prefix.sh" start "$dir" "$loader" >/dev/null
trap '"$top/tests/wine/prefix.sh" stop "$dir"; rm -rf "$dir"' EXIT
export WINEPREFIX=$dir/prefix WINEDEBUG=-all DISPLAY=$(cat "$dir/display")
# Wine's own desktop draws the window frames; Marlett draws their buttons.
"$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
    /d marlett.ttf /f >/dev/null 2>&1
# Restart the prefix's processes so that the desktop setting takes effect.
wineserver -k 2>/dev/null || /usr/lib/wine/wineserver -k
mkdir -p "$dir/shots" "$top/docs/screenshots"
FW_SCREENSHOTS="Z:$(echo "$dir/shots" | tr / '\\')" "$loader" "$build/bin/test_fwise.exe" \
    --gtest_filter=FwiseProgram.Screenshots
for lang in en ja; do
    FW_SCREENSHOTS="Z:$(echo "$dir/shots" | tr / '\\')" "$loader" "$build/bin/test_tester_$lang.exe" \
        --gtest_filter=TesterProgram.Screenshots
done
for f in "$dir"/shots/*.bmp; do
    convert "$f" "$top/docs/screenshots/$(basename "${f%.bmp}").png"
done
ls "$top/docs/screenshots"
