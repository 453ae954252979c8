#!/usr/bin/env bash
# Start-up to window shown through the Linux launcher (bin/zelkor3d of
# build/, which starts the draw service and then the window), with no
# upstream and with an upstream that refuses connections, on a fresh store
# each run. The service's default port must be free.
#
#   bench/draw_service/startup_bench.sh [runs]     (default 5; medians printed)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build/CMakeCache.txt)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "startup_bench: something listens on port $port already" >&2
  exit 1
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config BROWSER=true

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.3f", a[int((NR + 1) / 2)] }'; }

# Seconds from starting the launcher to a window named Zelkor3D shown.
one_run() {
  rm -rf "$XDG_DATA_HOME"
  local start shown pid
  start=$(date +%s.%N)
  build/bin/zelkor3d >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 3000); do
    xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 && break
    sleep 0.01
  done
  shown=$(date +%s.%N)
  echo "$shown - $start" | bc
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break; sleep 0.05; done
}

mkdir -p "$XDG_CONFIG_HOME/zelkor3d"
one_run >/dev/null  # warms the caches
none=$(for _ in $(seq "$runs"); do one_run; done)
echo "upstream = http://127.0.0.1:1/list10.xml" >"$XDG_CONFIG_HOME/zelkor3d/draw-service.conf"
refused=$(for _ in $(seq "$runs"); do one_run; done)
echo "no upstream:      $(echo $none)"
echo "refused upstream: $(echo $refused)"
echo "start-up to window shown (median of $runs): no upstream $(median <<<"$none") s," \
  "upstream refusing connections $(median <<<"$refused") s"
