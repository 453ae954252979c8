#!/usr/bin/env bash
# The window on screens of 120, 144 and 192 DPI (the window test covers 96):
# Wine's DPI set in a prefix of its own (made once, beside the build's), the
# window test's DPI case run at each.
#
#   dpi_test.sh BUILD_DIR WINDOW_TEST.exe      (on an X display: xvfb-run)
set -euo pipefail
build=$1 test_program=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
base=$build/wine-prefix-dpi
"$root/scripts/wine-window-run" --prefix "$base" --create-prefix
export WINEPREFIX=$base-x11 WINEDEBUG=-all
for dpi in 120 144 192; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  ZELKOR_EXPECTED_DPI=$dpi "$root/scripts/wine-window-run" --prefix "$base" "$test_program" \
    --gtest_filter='WindowTest.ScaledToTheScreensDpi*' </dev/null || { echo "at $dpi DPI" >&2; exit 1; }
done
wineserver -k 2>/dev/null || true
