#!/usr/bin/env bash
# Starts an installed copy the way its desktop entry does, through the
# launcher PREFIX/bin/zelkor3d, on a virtual display, and plays the user: runs
# the kill-digit page, copies its output and reads it from the clipboard.
#
#   installed_window_test.sh PREFIX X11_WINDOW_TOOL PORT
#
# 1. Nothing answers on PORT: the launcher starts the installed draw service,
#    the window lists the shipped history (7,731 draws, 2026224 on row 0), and
#    closing the window stops that service.
# 2. A service already answers: the launcher starts none of its own, the
#    window shows that service's draws, and that service outlives the window.
set -uo pipefail
prefix=$1 window_tool=$2 port=$3
title="Zelkor3D软件"
launcher=$prefix/bin/zelkor3d
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/x11_session.sh"
# The draw-service children of a process.
services_of() { ps -o comm= --ppid "$1" | grep -c '^zelkor3d-draw-s'; }

[[ -x $launcher ]] || fail "$launcher is not installed"
answers && fail "something already answers on port $port; stop it first"

start_display

launcher_pid=""
start_window() {
  env -u BROWSER -u DEFAULT_BROWSER QT_QPA_PLATFORM=xcb "$launcher" >"$work/launcher-$1.log" 2>&1 &
  launcher_pid=$!
  pids+=("$launcher_pid")
  window=$("$window_tool" wait "$title" 30) || fail "$1: the window was not shown"
}

output_lines() { kill_page_output "$window"; }

close_window() {
  "$window_tool" close "$title" >/dev/null || fail "$1: no window to close"
  for _ in $(seq 100); do kill -0 "$launcher_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$launcher_pid" 2>/dev/null && fail "$1: the launcher did not end with its window"
  wait "$launcher_pid"
  local code=$?
  [[ $code -eq 0 ]] || fail "$1: the launcher ended with exit code $code"
}

# 1. The launcher brings its own service.
start_window own
[[ $(services_of "$launcher_pid") -eq 1 ]] || fail "own: the launcher runs no draw service"
output_lines >"$work/own.txt" || fail "own: could not run and copy"
count=$(wc -l <"$work/own.txt")
[[ $count -eq 7731 ]] || fail "own: $count issue lines in the output, want 7731"
head -1 "$work/own.txt" | grep -q '┊2004002期:' || fail "own: first line $(head -1 "$work/own.txt")"
sed -n 7730p "$work/own.txt" | grep -q '┊2026224期:.*┊862' ||
  fail "own: newest judged line $(sed -n 7730p "$work/own.txt")"
tail -1 "$work/own.txt" | grep -q '┊2026225期:.*┊未开' || fail "own: next-issue line $(tail -1 "$work/own.txt")"
close_window own
answers && fail "own: the launcher left its draw service running"

# 2. A service that already answers is used and left alone.
"$prefix/bin/zelkor3d-draw-service" "$port" --latest 10 >"$work/service.log" 2>&1 &
service_pid=$!
pids+=("$service_pid")
for _ in $(seq 100); do answers && break; sleep 0.1; done
answers || fail "the installed draw service did not start on its own"
start_window shared
[[ $(services_of "$launcher_pid") -eq 0 ]] || fail "shared: the launcher started a second service"
output_lines >"$work/shared.txt" || fail "shared: could not run and copy"
count=$(wc -l <"$work/shared.txt")
[[ $count -eq 10 ]] || fail "shared: $count issue lines, want the running service's 10"
close_window shared
kill -0 "$service_pid" 2>/dev/null && answers || fail "shared: the running service was stopped"
echo "PASS: 7731 draws with 2026224 on row 0 from the launcher's own service, stopped after;" \
     "a running service used and left running"
