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
# Never a request off the machine: the draw service's built-in sources stay off.
export ZELKOR_SOURCES=off
cd "$(dirname "$0")/../.."
source bench/windows/display.sh
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build-windows/CMakeCache.txt)
work=$(mktemp -d)

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "launcher_bench: something listens on port $port already" >&2
  exit 1
fi
cmake --install build-windows --prefix "$work/Zelkor3D" >/dev/null
start_display_and_wine

# Closes the window; the launcher, which ends its service, is awaited.
close_launched() {
  timeout 10 scripts/wine-window-run taskkill /IM zelkor3d-window.exe >/dev/null 2>&1 || true
  timeout 30 tail --pid="$1" -f /dev/null || kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

times=$(for _ in $(seq "$runs"); do
  time_to_window close_launched scripts/wine-window-run "$work/Zelkor3D/Zelkor3D.exe"
done)
echo "runs: $(echo $times)"
echo "start-up to window shown through the launcher (median of $runs): $(median <<<"$times") s"
