#!/usr/bin/env bash
# A Linux program and its Windows build under Wine write the same bytes to
# standard output.
#
#   same_output.sh LINUX_PROGRAM WINDOWS_PROGRAM WORK_DIR WINE_RUN [WINE_RUN_ARGS...]
set -Eeuo pipefail
# Every failure says what failed and where.
trap 'echo "same_output: \"$BASH_COMMAND\" failed (exit $?) at line $LINENO" >&2' ERR
linux=$1 windows=$2 work=$3
shift 3
mkdir -p "$work"
"$linux" >"$work/linux.out"
"$@" "$windows" >"$work/windows.out"
if ! cmp "$work/linux.out" "$work/windows.out"; then
  diff "$work/linux.out" "$work/windows.out" | head -n 20 || true
  echo "same_output: $(diff "$work/linux.out" "$work/windows.out" | grep -c '^<' || true) lines differ"
  exit 1
fi
echo "same_output: $(wc -l <"$work/linux.out") lines alike"
