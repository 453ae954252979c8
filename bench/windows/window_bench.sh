#!/usr/bin/env bash
# Start-up to window shown, the Win32 window under Wine beside the Qt window,
# in one run, each against the Linux draw service of build/ (the real
# history) on an Xvfb of its own. Wine's own start-up (its server and
# services) is done once before the clock starts. Needs build/ and
# build-windows/ as scripts/test --windows leaves them.
#
#   bench/windows/window_bench.sh [runs]     (default 5; the median is printed)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build/CMakeCache.txt)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$root/build-windows/wine-prefix-x11 wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

"$root/build/bin/zelkor3d-draw-service" "$port" >/dev/null 2>&1 &
pids+=($!)
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/zelkor3d/version.txt" && break; sleep 0.1; done
scripts/wine-window-run --create-prefix
export WINEPREFIX=$root/build-windows/wine-prefix-x11 WINEDEBUG=-all
wineserver -p
scripts/wine-window-run cmd /c exit </dev/null >/dev/null 2>&1 || true

# Seconds from the program's start to its window shown on the display.
time_to_window() {
  local start shown pid
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  # Polled every 10 ms (xdotool's own --sync looks twice a second).
  for _ in $(seq 3000); do
    xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 && break
    sleep 0.01
  done
  shown=$(date +%s.%N)
  echo "$shown - $start" | bc
  kill "$pid" 2>/dev/null || true
  [[ $1 == scripts/wine-window-run ]] && { timeout 10 scripts/wine-window-run taskkill /IM zelkor3d.exe >/dev/null 2>&1 || true; }
  wait "$pid" 2>/dev/null || true
  for _ in $(seq 50); do xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 || break; sleep 0.1; done
}

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'; }

linux=$(for _ in $(seq "$runs"); do time_to_window build/app/zelkor3d; done | median)
windows=$(for _ in $(seq "$runs"); do time_to_window scripts/wine-window-run build-windows/app/zelkor3d.exe; done | median)
echo "start-up to window shown (median of $runs): Linux (Qt) $linux s, Windows under Wine $windows s"
