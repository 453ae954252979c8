#!/usr/bin/env bash
# Start-up to window shown, the Win32 window under Wine beside the Qt window,
# in one run, each against the Linux draw service of build/ (the real
# history) on an Xvfb of its own. Wine's own start-up (its server and
# services) is done once before the clock starts. Needs build/ and
# build-windows/ as scripts/test --windows leaves them.
#
#   bench/windows/window_bench.sh [runs]     (default 5; the median is printed)
set -euo pipefail
# Never a request off the machine: the draw service's built-in sources stay off.
export ZELKOR_SOURCES=off
cd "$(dirname "$0")/../.."
source bench/windows/display.sh
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build/CMakeCache.txt)

"$root/build/bin/zelkor3d-draw-service" "$port" >/dev/null 2>&1 &
pids+=($!)
start_display_and_wine
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/zelkor3d/version.txt" && break; sleep 0.1; done

# Ends a program and waits until its window is gone.
close_linux() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  for _ in $(seq 50); do xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 || break; sleep 0.1; done
}
close_windows() {
  timeout 10 scripts/wine-window-run taskkill /IM zelkor3d-window.exe >/dev/null 2>&1 || true
  close_linux "$1"
}

linux=$(for _ in $(seq "$runs"); do time_to_window close_linux build/app/zelkor3d; done | median)
windows=$(for _ in $(seq "$runs"); do
  time_to_window close_windows scripts/wine-window-run build-windows/app/zelkor3d-window.exe
done | median)
echo "start-up to window shown (median of $runs): Linux (Qt) $linux s, Windows under Wine $windows s"
