#!/usr/bin/env bash
# Start-up to window shown through the launcher, as the Start-menu entry
# starts an installed copy under Wine: the launcher starts the draw service
# (the shipped history), waits until it answers, then starts the window; with
# the service's built-in sources off, then with every one of them refusing
# connections (a closed loopback port), which is to cost under 0.3 s. The
# Windows build is installed into a temporary folder, as the installer lays
# it out; the service's port must be free (nothing listening, no closing
# connections of a Linux service). Wine's own start-up is done once before
# the clock starts. Needs build-windows/ as scripts/test --windows leaves it.
#
#   bench/windows/launcher_bench.sh [runs]     (default 5; the medians are printed)
set -euo pipefail
# Never a request off the machine: the draw service's built-in sources stay
# off, or point at a closed loopback port.
export ZELKOR_SOURCES=off
refusing=http://127.0.0.1:1
cd "$(dirname "$0")/../.."
source bench/windows/display.sh
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build-windows/CMakeCache.txt)
work=$(mktemp -d)

answers() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }
if answers; then
  echo "launcher_bench: something listens on port $port already" >&2
  exit 1
fi
cmake --install build-windows --prefix "$work/Zelkor3D" >/dev/null
start_display_and_wine

# Closes the window; the launcher, which ends its service, is awaited, and
# so is the port: a service under Wine cannot listen over the window's
# connections still closing there, and the next run's would start none.
close_launched() {
  timeout 10 scripts/wine-window-run taskkill /IM zelkor3d-window.exe >/dev/null 2>&1 || true
  timeout 30 tail --pid="$1" -f /dev/null || kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  local hex_port
  hex_port=$(printf ':%04X' "$port")
  for _ in $(seq 900); do
    answers || awk -v port="$hex_port" '$4 == "06" && substr($2, length($2) - 4) == port \
      { found = 1 } END { exit !found }' /proc/net/tcp || break
    sleep 0.1
  done
}

launch() {
  time_to_window close_launched scripts/wine-window-run "$work/Zelkor3D/Zelkor3D.exe"
}
off=$(for _ in $(seq "$runs"); do launch; done)
refused=$(for _ in $(seq "$runs"); do ZELKOR_SOURCES=$refusing launch; done)
echo "sources off:      $(echo $off)"
echo "sources refusing: $(echo $refused)"
echo "start-up to window shown through the launcher (median of $runs): sources off" \
  "$(median <<<"$off") s, every built-in source refusing $(median <<<"$refused") s"
