#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks the programs, the
# desktop entry, the metainfo, the icons, the manual pages and the package
# documents; then starts the installed launcher as a user would
# (installed_window_test.sh).
#
#   install_test.sh BUILD_DIR VERSION DESKTOP_FILE_VALIDATE APPSTREAMCLI REPORT_PROGRAM
#                   [WINDOW_PROGRAM X11_WINDOW_TOOL PORT]
#
# WINDOW_PROGRAM is empty when the tree has no window program. When it exists
# but is not built yet, the rest is still installed and checked on its own.
set -uo pipefail

build=$1 version=$2 validate=$3 appstreamcli=$4 report=$5 window=${6:-} window_tool=${7:-}
port=${8:-}
here=$(dirname "$0")

if [[ ! -x $report ]]; then
  echo "SKIP: $report is not built"
  exit 77
fi

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

check_window=0
if [[ -z $window ]]; then
  echo "note: this tree has no window program"
elif [[ ! -x $window ]]; then
  echo "note: $window is not built yet; checking the rest without it"
else
  check_window=1
fi

if ((check_window)); then
  cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
else
  for component in report desktop doc; do
    cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null ||
      fail "cmake --install --component $component failed"
  done
fi

# Programs.
installed_report=$prefix/bin/zelkor3d-report
if [[ -x $installed_report ]]; then
  got=$("$installed_report" --version 2>&1)
  [[ $got == "zelkor3d-report $version" ]] || fail "zelkor3d-report --version gave '$got'"
  got=$("$installed_report" --page banker --footer '' </dev/null 2>&1)
  [[ $got == *"1期:"*"【123】"* ]] || fail "zelkor3d-report on an empty document gave '$got'"
else
  fail "bin/zelkor3d-report is not installed"
fi
if ((check_window)); then
  for program in bin/zelkor3d bin/zelkor3d-draw-service libexec/zelkor3d/zelkor3d; do
    [[ -x $prefix/$program ]] || fail "$program is not installed"
  done
  got=$("$prefix/bin/zelkor3d" --version 2>&1)
  [[ $got == "zelkor3d $version" ]] || fail "zelkor3d --version gave '$got'"
  history=$prefix/share/zelkor3d/3d-draw-history.csv
  [[ -f $history && $(wc -l <"$history") -eq 7732 ]] || fail "the draw history is not installed"
fi

# Manual pages and package documents.
pages=(zelkor3d zelkor3d-report)
((check_window)) && pages+=(zelkor3d-draw-service)
for page in "${pages[@]}"; do
  file=$prefix/share/man/man1/$page.1.gz
  if [[ ! -f $file ]]; then
    fail "the manual page $page.1.gz is not installed"
  elif ! zcat "$file" | grep -q "^\.SH NAME"; then
    fail "$page.1.gz is no manual page"
  fi
done
doc=$prefix/share/doc/zelkor3d
grep -q "^License: Expat" "$doc/copyright" 2>/dev/null || fail "doc/zelkor3d/copyright is missing"
zcat "$doc/changelog.gz" 2>/dev/null | head -1 | grep -q "^zelkor3d ($version) " ||
  fail "doc/zelkor3d/changelog.gz does not start with version $version"

# AppStream metainfo.
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
if [[ ! -f ${metainfo[0]} ]]; then
  fail "no metainfo installed"
elif [[ -z $appstreamcli ]]; then
  fail "appstreamcli is not available"
elif ! out=$("$appstreamcli" validate --no-net "${metainfo[0]}" 2>&1); then
  fail "appstreamcli validate: $out"
fi

# Desktop entry.
desktop=$prefix/share/applications/zelkor3d.desktop
if [[ -f $desktop ]]; then
  if [[ -z $validate ]]; then
    fail "desktop-file-validate is not available"
  elif ! out=$("$validate" "$desktop" 2>&1); then
    fail "desktop-file-validate: $out"
  fi
  for line in 'Type=Application' 'Name=Zelkor3D' 'Name[zh_CN]=Zelkor3D软件' 'Exec=zelkor3d' \
              'Icon=zelkor3d' 'Categories=Office;Finance;'; do
    grep -qxF "$line" "$desktop" || fail "the desktop entry lacks the line $line"
  done
else
  fail "share/applications/zelkor3d.desktop is not installed"
fi

# Icons: PNGs of the size their folder names.
for size in 16 32 48 64; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zelkor3d.png
  if [[ ! -f $icon ]]; then
    fail "${size}x${size} icon is not installed"
    continue
  fi
  # The PNG signature, then the IHDR chunk with width and height (big-endian).
  read -r -a header <<<"$(od -An -tu1 -N24 "$icon" | tr -s ' \n' '  ')"
  signature="${header[*]:0:8}"
  width=$(((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19]))
  height=$(((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23]))
  [[ $signature == "137 80 78 71 13 10 26 10" ]] || fail "$icon is not a PNG"
  [[ $width == "$size" && $height == "$size" ]] || fail "$icon is ${width}x${height}"
done

if ((failures)); then
  echo "$failures check(s) failed; installed files:"
  (cd "$prefix" && find . -type f | sort)
  exit 1
fi
if ((check_window)); then
  bash "$here/installed_window_test.sh" "$prefix" "$window_tool" "$port" || exit 1
fi
echo "installed and checked: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
