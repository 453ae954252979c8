#!/usr/bin/env bash
# Start-up to window shown through the launcher, as the Start-menu entry
# starts an installed copy under Wine: the launcher starts the draw service
# (the shipped history), waits until it answers, then starts the window. The
# Windows build is installed into a temporary folder, as the installer lays
# it out; the service's port must be free (nothing listening, no closing
# connections of a Linux service). Wine's own start-up is done once before
# the clock starts. Needs build-windows/ as scripts/test --windows leaves it.
#
#   bench/windows/launcher_bench.sh [runs]     (default 5; the median is printed)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build-windows/CMakeCache.txt)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$root/build-windows/wine-prefix-x11 wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "launcher_bench: something listens on port $port already" >&2
  exit 1
fi
cmake --install build-windows --prefix "$work/Zelkor3D" >/dev/null
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
scripts/wine-window-run --create-prefix
export WINEPREFIX=$root/build-windows/wine-prefix-x11 WINEDEBUG=-all
wineserver -p
scripts/wine-window-run cmd /c exit </dev/null >/dev/null 2>&1 || true

# Seconds from the launcher's start to the window shown, polled every 10 ms;
# then the window is closed and the launcher, which ends its service, awaited.
time_to_window() {
  local start shown pid
  start=$(date +%s.%N)
  scripts/wine-window-run "$work/Zelkor3D/zelkor3d-launcher.exe" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 3000); do
    xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 && break
    sleep 0.01
  done
  shown=$(date +%s.%N)
  echo "$shown - $start" | bc
  timeout 10 scripts/wine-window-run taskkill /IM zelkor3d.exe >/dev/null 2>&1 || true
  timeout 30 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'; }

times=$(for _ in $(seq "$runs"); do time_to_window; done)
echo "runs: $(echo $times)"
echo "start-up to window shown through the launcher (median of $runs): $(median <<<"$times") s"
