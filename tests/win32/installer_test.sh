#!/usr/bin/env bash
# What a Windows user downloads, end to end under Wine on an X display
# (run by xvfb-run): CPack makes the zip and the NSIS installer; the
# installer runs silently into a temporary folder; the Start-menu entry is
# there; the installed launcher starts the installed draw service and window
# program; the service serves the shipped history (the installed report tool
# lists 7,731 draws from it, 2026224 the newest); the window is closed as the
# system closes a program (WM_CLOSE) and ends with code 0, and the launcher
# ends its service; the uninstaller removes the programs again.
#
#   installer_test.sh BUILD_DIR WORK_DIR DRAW_LIST_ADDRESS
set -euo pipefail
build=$1 work=$2 draw_list=$3
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
packaged=(zelkor3d.exe zelkor3d-launcher.exe zelkor3d-draw-service.exe zelkor3d-report.exe
          data/3d-draw-history.csv licenses/cpp-httplib.txt README.md LICENSE)
for file in "${packaged[@]}"; do
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
for file in "${packaged[@]}" Uninstall.exe; do
  [[ -f $target/$file ]] || fail "$file not installed"
done
entry="$start_menu/Zelkor3D/Zelkor3D.lnk"
[[ -f $entry ]] || fail "no Start-menu entry"
# The entry starts the launcher.
grep -aq 'zelkor3d-launcher.exe' "$entry" || fail "the Start-menu entry does not start the launcher"
echo "Start-menu entry: Programs/Zelkor3D/Zelkor3D.lnk"

# The launcher starts its own service only when nothing answers on the draw
# port; another test's service there would stand in for the installed one.
# Nor may a Linux service's connections on that port still be closing: under
# Wine the service cannot listen over those (a minute at most), though it can
# over its own.
port_pattern='^http://([0-9.]+):([0-9]+)/'
[[ $draw_list =~ $port_pattern ]] || fail "not an address with a port: $draw_list"
draw_host=${BASH_REMATCH[1]} draw_port=${BASH_REMATCH[2]}
answers() { (exec 3<>"/dev/tcp/$draw_host/$draw_port") 2>/dev/null; }
closing() {
  awk -v port="$(printf ':%04X' "$draw_port")" \
    '$4 == "06" && substr($2, length($2) - 4) == port { found = 1 } END { exit !found }' \
    /proc/net/tcp
}
for _ in $(seq 900); do answers || closing || break; sleep 0.1; done
answers && fail "port $draw_port is busy (another test's service?): re-run"
closing && fail "connections on port $draw_port still closing after 90 s: re-run"

# The installed copy starts its service and shows its window.
started=$(date +%s.%N)
"${run[@]}" "$target/zelkor3d-launcher.exe" </dev/null >/dev/null 2>&1 &
launcher=$!
shown=""
for _ in $(seq 600); do
  if xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1; then
    shown=$(date +%s.%N)
    break
  fi
  sleep 0.05
done
[[ -n $shown ]] || { kill "$launcher"; fail "the installed program showed no window"; }
printf "the installed program's window is shown, %.2f s after the launcher started\n" \
  "$(bc <<<"$shown - $started")"

# What the window lists: the installed service's draws, read by the
# installed report tool from the address the window reads them from.
report() {
  timeout 60 "${run[@]}" "$target/zelkor3d-report.exe" --url "$draw_list" "$@" </dev/null 2>&1
}
summary=$(report --summary) || fail "the report tool failed: $summary"
next=$(report --next) || fail "the report tool failed: $next"
grep -q '^Draws listed: 7731;' <<<"$summary" ||
  fail "the installed service serves: $(head -1 <<<"$summary")"
grep -q '^Next issue 2026225, picked from the digits 862' <<<"$next" ||
  fail "the newest draw served is not 2026224 (862): $(head -1 <<<"$next")"
echo "the installed service serves 7731 draws, 2026224 the newest"

timeout 30 "${run[@]}" taskkill /IM zelkor3d.exe </dev/null >/dev/null 2>&1 || true
code=0
timeout 30 tail --pid="$launcher" -f /dev/null || fail "the program did not end on close"
wait "$launcher" || code=$?
[[ $code -eq 0 ]] || fail "the launcher ended with $code"
for _ in $(seq 100); do answers || break; sleep 0.1; done
answers && fail "the launcher left its draw service running"
echo "the launcher ended its draw service"

timeout 60 "${run[@]}" "$target/Uninstall.exe" /S "_?=$windows_target" </dev/null >/dev/null 2>&1 ||
  fail "the uninstaller failed"
[[ ! -e $target/zelkor3d.exe ]] || fail "zelkor3d.exe left after uninstalling"
[[ ! -e $entry ]] || fail "the Start-menu entry left after uninstalling"
echo "installed, started, closed and uninstalled"
