#!/usr/bin/env bash
# What a Windows user downloads, end to end under Wine on an X display
# (run by xvfb-run): CPack makes the zip and the NSIS installer; the
# installer runs silently into a temporary folder; the Start-menu entry is
# there; the installed launcher starts the installed window program, which
# is closed as the system closes a program (WM_CLOSE) and ends with code 0;
# the uninstaller removes the programs again.
#
#   installer_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1 work=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
run=("$root/scripts/wine-window-run" --prefix "$build/wine-prefix")
export WINEPREFIX=$build/wine-prefix-x11 WINEDEBUG=-all
fail() { echo "installer_test: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/packages"
(cd "$work/packages" && cpack --config "$build/CPackConfig.cmake" -G "ZIP;NSIS" >cpack.log 2>&1) ||
  { cat "$work/packages/cpack.log" >&2; fail "cpack failed"; }
zip=$work/packages/zelkor3d-1.1-win64.zip
installer=$work/packages/zelkor3d-1.1-win64.exe
[[ -f $zip && -f $installer ]] || fail "no zip or installer"
listing=$(unzip -l "$zip")
for file in zelkor3d.exe zelkor3d-launcher.exe zelkor3d-report.exe README.md LICENSE; do
  grep -q " $file\$" <<<"$listing" || fail "$file missing from the zip"
done
echo "zip: $(stat -c %s "$zip") bytes, installer: $(stat -c %s "$installer") bytes"

# The prefix is kept between runs: no entry of an earlier run may count.
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
rm -rf "$start_menu/Zelkor3D"

# A folder of its own, named in Windows form (NSIS takes /D= last, unquoted).
target=$work/Zelkor3D
windows_target="Z:${target//\//\\}"
timeout 60 "${run[@]}" "$installer" /S "/D=$windows_target" </dev/null >/dev/null 2>&1 ||
  fail "the installer failed"
for file in zelkor3d.exe zelkor3d-launcher.exe zelkor3d-report.exe README.md LICENSE \
            Uninstall.exe; do
  [[ -f $target/$file ]] || fail "$file not installed"
done
entry="$start_menu/Zelkor3D/Zelkor3D.lnk"
[[ -f $entry ]] || fail "no Start-menu entry"
# The entry starts the launcher.
grep -aq 'zelkor3d-launcher.exe' "$entry" || fail "the Start-menu entry does not start the launcher"
echo "Start-menu entry: Programs/Zelkor3D/Zelkor3D.lnk"

# The installed copy starts and shows its window.
"${run[@]}" "$target/zelkor3d-launcher.exe" </dev/null >/dev/null 2>&1 &
launcher=$!
timeout 30 xdotool search --sync --onlyvisible --name 'Zelkor3D' >/dev/null ||
  { kill "$launcher"; fail "the installed program showed no window"; }
echo "the installed program's window is shown"
timeout 30 "${run[@]}" taskkill /IM zelkor3d.exe </dev/null >/dev/null 2>&1 || true
code=0
timeout 30 tail --pid="$launcher" -f /dev/null || fail "the program did not end on close"
wait "$launcher" || code=$?
[[ $code -eq 0 ]] || fail "the launcher ended with $code"

timeout 60 "${run[@]}" "$target/Uninstall.exe" /S "_?=$windows_target" </dev/null >/dev/null 2>&1 ||
  fail "the uninstaller failed"
[[ ! -e $target/zelkor3d.exe ]] || fail "zelkor3d.exe left after uninstalling"
[[ ! -e $entry ]] || fail "the Start-menu entry left after uninstalling"
echo "installed, started, closed and uninstalled"
