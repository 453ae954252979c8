#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks the programs, the
# desktop entry and the icons.
#
#   install_test.sh BUILD_DIR VERSION DESKTOP_FILE_VALIDATE REPORT_PROGRAM [WINDOW_PROGRAM]
#
# WINDOW_PROGRAM is empty when the tree has no window program. When it exists
# but is not built yet, the rest is still installed and checked on its own.
set -uo pipefail

build=$1 version=$2 validate=$3 report=$4 window=${5:-}

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
  for component in report desktop; do
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
  [[ -x $prefix/bin/zelkor3d ]] || fail "bin/zelkor3d is not installed"
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
              'Icon=zelkor3d' 'Categories=Utility;'; do
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
echo "installed and checked: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
