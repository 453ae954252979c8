#!/usr/bin/env bash
# What a Windows player downloads, end to end under Wine on an X display
# (run by xvfb-run), as the player would use it:
# - the zip, unpacked into a folder whose name has spaces and Chinese
#   characters: Zelkor3D.exe, the program with the icon, starts its draw
#   service and a window listing the shipped 7,731 draws;
# - every program carries the icon and its version information;
# - the installer, silently, for all users and then for the current user
#   alone: the Start-menu entry resolves to an installed program, started
#   the way Windows starts it (through the shell) it shows the window with
#   the 7,731 draws; the uninstall entry is as Windows expects it; closed,
#   nothing runs on; uninstalled, nothing is left (files, shortcuts,
#   registry keys) but the player's own folder.
#
#   installer_test.sh BUILD_DIR WORK_DIR DRAW_LIST_ADDRESS
set -Eeuo pipefail
# Every failure says what failed and where.
trap 'echo "installer_test: \"$BASH_COMMAND\" failed (exit $?) at line $LINENO" >&2' ERR
build=$1 work=$2 draw_list=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
run=("$root/scripts/wine-window-run" --prefix "$build/wine-prefix")
probe=$build/tests/tools/zelkor3d-window-probe.exe
export WINEPREFIX=$build/wine-prefix-x11 WINEDEBUG=-all
fail() { echo "installer_test: $*" >&2; exit 1; }
programs=(Zelkor3D.exe zelkor3d-window.exe zelkor3d-draw-service.exe zelkor3d-report.exe)
ours='Zelkor3D\.exe|zelkor3d-window\.exe|zelkor3d-draw-service\.exe'

rm -rf "$work"
mkdir -p "$work/packages"
(cd "$work/packages" && cpack --config "$build/CPackConfig.cmake" -G "ZIP;NSIS" >cpack.log 2>&1) ||
  { cat "$work/packages/cpack.log" >&2; fail "cpack failed"; }
zip=$work/packages/zelkor3d-1.1-win64.zip
installer=$work/packages/zelkor3d-1.1-win64.exe
[[ -f $zip && -f $installer ]] || fail "no zip or installer"
echo "zip: $(stat -c %s "$zip") bytes, installer: $(stat -c %s "$installer") bytes"
packaged=("${programs[@]}" 使用说明.txt data/3d-draw-history.csv licenses/cpp-httplib.txt
          README.md LICENSE)

# Windows paths of the prefix's own folders, as Linux paths. This is the
# test's first Wine program, which on a busy machine may fail while Wine
# starts its own services; a failure here once ended the test with no word
# (set -e on the assignment, the errors thrown away) or left the name empty.
# It is tried twice, then named.
folder() {  # VARIABLE
  local windows_path
  for _ in 1 2; do
    windows_path=$("${run[@]}" cmd /c "echo %$1%" </dev/null 2>"$work/folder.err" | tr -d '\r') &&
      [[ $windows_path == ?:\\* ]] && break
    sleep 2
  done
  [[ $windows_path == ?:\\* ]] ||
    fail "%$1% not found (cmd printed '$windows_path'): $(tail -3 "$work/folder.err")"
  winepath -u "$windows_path" || fail "winepath cannot convert $windows_path"
}
local_app_data=$(folder LOCALAPPDATA)

# The launcher starts its own service only when nothing answers on the draw
# port, and under Wine cannot listen over a Linux service's connections
# still closing there (a minute at most).
port_pattern='^http://([0-9.]+):([0-9]+)/'
[[ $draw_list =~ $port_pattern ]] || fail "not an address with a port: $draw_list"
draw_host=${BASH_REMATCH[1]} draw_port=${BASH_REMATCH[2]}
answers() { (exec 3<>"/dev/tcp/$draw_host/$draw_port") 2>/dev/null; }
closing() {
  awk -v port="$(printf ':%04X' "$draw_port")" \
    '$4 == "06" && substr($2, length($2) - 4) == port { found = 1 } END { exit !found }' \
    /proc/net/tcp
}
port_free() {
  for _ in $(seq 900); do answers || closing || return 0; sleep 0.1; done
  fail "port $draw_port busy or closing after 90 s (another test's service?): re-run"
}
# The window shown lists the served history; closed, it ends with its
# launcher and its service.
check_window() {  # WHAT
  local rows
  rows=$("${run[@]}" "$probe" rows 60 </dev/null 2>/dev/null | tr -d '\r') || true
  [[ $rows == 7731 ]] || fail "$1: the window lists ${rows:-no} draws, not 7731"
  "${run[@]}" "$probe" close </dev/null >/dev/null 2>&1 || fail "$1: no window to close"
  # Wine's server lets go of an ended program's socket a moment after it.
  for _ in $(seq 100); do pgrep -f "$ours" >/dev/null || answers || break; sleep 0.1; done
  pgrep -af "$ours" && fail "$1: still running after the window was closed"
  answers && fail "$1: the draw service still answers"
  echo "$1: the window lists 7731 draws; closed, nothing runs on"
}

# The zip: the note, the programs' resources, then the program with the icon
# started by itself from an awkward folder.
listing=$(unzip -l "$zip") || fail "unzip cannot list the zip: $listing"
for file in "${packaged[@]}"; do
  grep -q " $file\$" <<<"$listing" || fail "$file missing from the zip"
done
portable="$work/我的 程序/Zelkor3D 1.1"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
note=$portable/使用说明.txt
[[ $(head -c 3 "$note" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "使用说明.txt has no BOM"
[[ $(grep -c $'\r$' "$note") == $(wc -l <"$note") ]] || fail "使用说明.txt has lines without CRLF"
grep -q 'Zelkor3D\.exe' "$note" && grep -qF '%LOCALAPPDATA%\Zelkor3D\' "$note" ||
  fail "使用说明.txt names neither the program to start nor where the draws are kept"
# The version information of a program, the installer or the uninstaller
# (these two carry no file name of their own: the uninstaller is written
# from the installer).
check_version() {  # FILE NAME [ORIGINAL_FILE_NAME]
  wrestool -x --raw --type=16 "$1" >"$work/version.bin" || fail "$2 has no version information"
  python3 - "$work/version.bin" "$2" "${3:-}" <<'PY' || fail "$2: wrong version information"
import re, sys
# A VERSIONINFO resource is UTF-16: each string value follows its key, the
# two apart by a null and a header of small numbers.
text = open(sys.argv[1], 'rb').read().decode('utf-16-le', 'replace')
words = re.split('[\x00-\x1f]+', text)
fields = {k: words[i + 1] for i, k in enumerate(words[:-1])}
wanted = {'ProductName': 'Zelkor3D', 'CompanyName': 'Zelkor3D', 'FileVersion': '1.1.0.0',
          'ProductVersion': '1.1'}
if sys.argv[3]:
    wanted['OriginalFilename'] = sys.argv[3]
bad = {k: fields.get(k) for k, v in wanted.items() if fields.get(k) != v}
description = fields.get('FileDescription', '')
if not any('\u4e00' <= c <= '\u9fff' for c in description):
    bad['FileDescription'] = description
if '©' not in fields.get('LegalCopyright', ''):
    bad['LegalCopyright'] = fields.get('LegalCopyright')
print(sys.argv[2] + ':', description, bad or '')
sys.exit(1 if bad else 0)
PY
}
for program in "${programs[@]}"; do
  wrestool -l --type=14 "$portable/$program" | grep -q . || fail "$program has no icon"
  check_version "$portable/$program" "$program" "$program"
done
check_version "$installer" "the installer"
port_free
"${run[@]}" "$portable/Zelkor3D.exe" </dev/null >/dev/null 2>&1 &
check_window "the zip's Zelkor3D.exe"
wait $! || fail "the zip's Zelkor3D.exe ended with an error"

# The player's own store, outside the install folder, outlives uninstalling.
mkdir -p "$local_app_data/Zelkor3D"
touch "$local_app_data/Zelkor3D/draws-kept.txt"

install_and_remove() {  # MODE ROOT FOLDER START_MENU
  local mode=$1 key_root=$2 target=$3 start_menu=$4
  local uninstall_key="$key_root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zelkor3D"
  local entry=$start_menu/Zelkor3D/Zelkor3D.lnk
  timeout 90 "${run[@]}" "$installer" /S "/$mode" </dev/null >/dev/null 2>&1 ||
    fail "$mode: the installer failed"
  for file in "${packaged[@]}" Uninstall.exe; do
    [[ -f $target/$file ]] || fail "$mode: $file not installed in $target"
  done
  check_version "$target/Uninstall.exe" "$mode: Uninstall.exe"
  # The entry's target, resolved as the shell resolves it, is the installed
  # Zelkor3D.exe.
  [[ -f $entry ]] || fail "$mode: no Start-menu entry"
  local linked
  linked=$("${run[@]}" "$probe" target "$(winepath -w "$entry")" </dev/null 2>/dev/null |
           tr -d '\r') || fail "$mode: the Start-menu entry cannot be resolved"
  [[ $(winepath -u "$linked") -ef $target/Zelkor3D.exe ]] ||
    fail "$mode: the Start-menu entry starts $linked"
  local values
  values=$("${run[@]}" reg query "$uninstall_key" </dev/null 2>/dev/null | tr -d '\r')
  # Its publisher is the programs' company; its help link their web site.
  for value in 'NoModify +REG_DWORD +0x1$' 'NoRepair +REG_DWORD +0x1$' \
               'EstimatedSize +REG_DWORD +0x[0-9a-f]*[1-9a-f]' 'InstallLocation +REG_SZ +.' \
               'Publisher +REG_SZ +Zelkor3D$' 'HelpLink +REG_SZ +https?://.' \
               'URLInfoAbout +REG_SZ +https?://.'; do
    grep -Eq "^ +$value" <<<"$values" || fail "$mode: the uninstall entry lacks $value: $values"
  done
  echo "$mode: installed in ${target#"$WINEPREFIX/"}, Start-menu entry -> $linked"

  port_free
  "${run[@]}" start "$(winepath -w "$entry")" </dev/null >/dev/null 2>&1 ||
    fail "$mode: the Start-menu entry did not start"
  check_window "$mode, the Start-menu entry"

  # Without _?= the uninstaller runs from a copy of itself and can remove
  # the folder it was installed in; it returns at once.
  timeout 60 "${run[@]}" "$target/Uninstall.exe" /S "/$mode" </dev/null >/dev/null 2>&1 ||
    fail "$mode: the uninstaller failed"
  # The folder goes first, then the Start-menu entry: wait for both.
  for _ in $(seq 300); do [[ -e $target || -e $start_menu/Zelkor3D ]] || break; sleep 0.1; done
  [[ ! -e $target ]] || fail "$mode: left after uninstalling: $(find "$target" | head -5)"
  [[ ! -e $start_menu/Zelkor3D ]] || fail "$mode: the Start-menu folder is left"
  for key in "$uninstall_key" "$key_root\\Software\\Zelkor3D"; do
    "${run[@]}" reg query "$key" </dev/null >/dev/null 2>&1 && fail "$mode: $key is left"
  done
  echo "$mode: uninstalled, nothing left"
}

# Entries of an earlier, failed run must not count.
common_start_menu=$(folder ProgramData)/Microsoft/Windows/Start\ Menu/Programs
user_start_menu=$(folder APPDATA)/Microsoft/Windows/Start\ Menu/Programs
rm -rf "$common_start_menu/Zelkor3D" "$user_start_menu/Zelkor3D" \
  "$(folder ProgramW6432)/Zelkor3D" "$local_app_data/Programs/Zelkor3D"
install_and_remove AllUsers HKLM "$(folder ProgramW6432)/Zelkor3D" "$common_start_menu"
install_and_remove CurrentUser HKCU "$local_app_data/Programs/Zelkor3D" "$user_start_menu"
[[ -f $local_app_data/Zelkor3D/draws-kept.txt ]] || fail "uninstalling removed the player's folder"
rm -rf "$local_app_data/Zelkor3D"
echo "zip, installers for all users and for the current user: started, closed, removed"
