#!/usr/bin/env bash
# Packs the build tree into a .deb, checks it with lintian (no error and no
# warning; informational tags are listed), and starts the launcher of the
# extracted package as a user would (installed_window_test.sh).
#
#   deb_test.sh BUILD_DIR X11_WINDOW_TOOL PORT
set -uo pipefail
build=$1 window_tool=$2 port=$3
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

for tool in cpack lintian dpkg-deb; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=("$work"/out/*.deb)
[[ -f ${deb[0]} ]] || fail "cpack made no .deb"
echo "package: $(basename "${deb[0]}"), $(stat -c %s "${deb[0]}") bytes"

# lintian refuses nothing as root but says so; its verdict is in the exit code.
lintian --fail-on error,warning --display-info "${deb[0]}" >"$work/lintian.log" 2>&1
code=$?
grep -v "running with root privileges" "$work/lintian.log"
[[ $code -eq 0 ]] || fail "lintian reports errors or warnings (exit code $code)"

dpkg-deb -x "${deb[0]}" "$work/root" || fail "dpkg-deb -x failed"
bash "$here/installed_window_test.sh" "$work/root/usr" "$window_tool" "$port"
