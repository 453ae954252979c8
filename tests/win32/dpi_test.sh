#!/usr/bin/env bash
# The window on screens of other DPIs, in a Wine prefix of its own (made
# once, beside the build's), the window test's DPI case run at each: in the
# English prefix at 120, 144 and 192 DPI (the window test covers 96); in one
# made under LANG (zh_CN.UTF-8: Chinese Windows' metrics, a 12-pixel dialog
# font) at 96, 120, 144 and 192.
#
#   dpi_test.sh BUILD_DIR WINDOW_TEST.exe [LANG]     (on an X display: xvfb-run)
set -Eeuo pipefail
# Every failure says what failed and where.
trap 'echo "dpi_test: \"$BASH_COMMAND\" failed (exit $?) at line $LINENO" >&2' ERR
build=$1 test_program=$2 lang=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
base=$build/wine-prefix-dpi dpis=(120 144 192)
if [[ -n $lang ]]; then
  base=$build/wine-prefix-dpi-${lang%%.*} dpis=(96 120 144 192)
fi
ZELKOR_WINE_LANG=$lang "$root/scripts/wine-window-run" --prefix "$base" --create-prefix
export WINEPREFIX=$base-x11 WINEDEBUG=-all
for dpi in "${dpis[@]}"; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  ZELKOR_EXPECTED_DPI=$dpi "$root/scripts/wine-window-run" --prefix "$base" "$test_program" \
    --gtest_filter='WindowTest.ScaledToTheScreensDpi*' </dev/null || { echo "at $dpi DPI" >&2; exit 1; }
done
wineserver -k 2>/dev/null || true
