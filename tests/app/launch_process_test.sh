#!/usr/bin/env bash
# Launches the built program on a virtual display against the draw service
# on its default port, waits until its window is shown, closes the window as a
# window manager's close button does and expects exit code 0.
#   launch_process_test.sh PROGRAM DRAW_SERVICE X11_WINDOW_TOOL
set -euo pipefail
program=$1 service=$2 window_tool=$3
title="Zelkor3D软件"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "--- $f"; cat "$f"; done; exit 1; }

# A display of our own: Xvfb picks a free number and writes it to fd 5.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

"$service" >"$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "^serving on" "$work/service.log" && break; sleep 0.1; done
grep -q "^serving on" "$work/service.log" || fail "the draw service did not start"

# No browser is to be launched on the virtual display.
env -u BROWSER -u DEFAULT_BROWSER QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

"$window_tool" wait "$title" 30 >/dev/null || fail "the window was not shown"
# The window is shown only after start-up fetched the version record and the list.
grep -q "^GET /zelkor3d/version.txt 200" "$work/service.log" || fail "no version record fetched"
grep -q "^GET /static/info/kaijiang/xml/sd/list10.xml 200" "$work/service.log" ||
  fail "no draw list fetched"

"$window_tool" close "$title" >/dev/null || fail "no window to close"
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after its window was closed"
set +e
wait "$program_pid"
code=$?
set -e
[[ $code -eq 0 ]] || fail "exit code $code after a normal close"
echo "PASS: shown after start-up, exit code 0 after close"
