#!/usr/bin/env bash
# With no upstream and with an upstream that refuses connections, and with
# the built-in sources off and every one of them refusing, on a fresh store
# each run: the service's start to its first draw list answered (on a port of
# its own), then start-up to window shown through the Linux launcher
# (bin/zelkor3d of build/, which starts the draw service and then the
# window; the service's default port must be free). Then a first start's
# round over the loopback imitation of the four sources, filling the gap
# since the shipped history: time to the first draw list and peak memory.
#
#   bench/draw_service/startup_bench.sh [runs]     (default 5; medians printed)
set -euo pipefail
# Never a request off the machine: the draw service's built-in sources stay off,
# or point at loopback (a closed port, or the imitation).
export ZELKOR_SOURCES=off
refusing=http://127.0.0.1:1
cd "$(dirname "$0")/../.."
runs=${1:-5}
port=$(sed -n 's/^ZELKOR_DRAW_SERVICE_PORT:STRING=//p' build/CMakeCache.txt)
source bench/windows/display.sh
work=$(mktemp -d)
start_display
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
# No browser is to be launched on the virtual display.
unset BROWSER DEFAULT_BROWSER

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.3f", a[int((NR + 1) / 2)] }'; }

# Ends the launcher, then waits until its service has let go of the port.
close_launcher() {
  kill "$1"
  wait "$1" 2>/dev/null || true
  for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break; sleep 0.05; done
}

# Seconds from starting the launcher, on a fresh store, to its window shown.
one_run() {
  rm -rf "$XDG_DATA_HOME"
  time_to_window close_launcher build/bin/zelkor3d
}

# Seconds from starting the service to its first draw list answered; then
# $after_answer (if set) runs with the service's process id before it ends.
service_run() {
  rm -rf "$XDG_DATA_HOME"
  local start answered pid
  start=$(date +%s.%N)
  build/bin/zelkor3d-draw-service "$bench_port" "$@" >"$work/service" 2>&1 &
  pid=$!
  until curl -s -o /dev/null --max-time 20 \
    "http://127.0.0.1:$bench_port/static/info/kaijiang/xml/sd/list10.xml"; do
    sleep 0.005
  done
  answered=$(date +%s.%N)
  echo "$answered - $start" | bc
  [[ -n ${after_answer:-} ]] && "$after_answer" "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
bench_port=$(python3 tests/support/free_ports.py)
service_run >/dev/null
none=$(for _ in $(seq "$runs"); do service_run; done)
refused=$(for _ in $(seq "$runs"); do service_run --upstream http://127.0.0.1:1/list10.xml; done)
sources_refusing=$(for _ in $(seq "$runs"); do ZELKOR_SOURCES=$refusing service_run; done)
echo "service start to first draw list (median of $runs): no upstream $(median <<<"$none") s," \
  "upstream refusing connections $(median <<<"$refused") s," \
  "built-in sources refusing $(median <<<"$sources_refusing") s"

# The first start's round over the imitation of all four sources (one with
# only its last 10 draws), up to yesterday.
imitation_log=$work/imitation
: >"$imitation_log"  # read before the imitation has started
build/tests/tools/zelkor3d-source-imitation --history data/3d-draw-history.csv \
  --until "$(date -u -d '+8 hours -1 day' +%F)" --last xml=10 >"$imitation_log" 2>&1 &
imitation_pid=$!
for _ in $(seq 100); do grep -q "^port: " "$imitation_log" && break; sleep 0.1; done
imitation=http://127.0.0.1:$(sed -n 's/^port: //p' "$imitation_log")
# The peak memory once the round is over (the service logs "serving on" then).
record_peak() {
  for _ in $(seq 100); do grep -q "^serving on" "$work/service" && break; sleep 0.05; done
  sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$1/status" >>"$work/peaks"
  grep -q "^added draw" "$work/service" || echo "startup_bench: the round stored nothing" >&2
}
round=$(for _ in $(seq "$runs"); do
  ZELKOR_SOURCES=$imitation after_answer=record_peak service_run
done)
kill "$imitation_pid"
echo "first-start round over four imitations (median of $runs): first draw list" \
  "$(median <<<"$round") s, peak memory $(median <"$work/peaks") KiB"

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "startup_bench: something listens on port $port already" >&2
  exit 1
fi
mkdir -p "$XDG_CONFIG_HOME/zelkor3d"
one_run >/dev/null  # warms the caches
none=$(for _ in $(seq "$runs"); do one_run; done)
echo "upstream = http://127.0.0.1:1/list10.xml" >"$XDG_CONFIG_HOME/zelkor3d/draw-service.conf"
refused=$(for _ in $(seq "$runs"); do one_run; done)
rm "$XDG_CONFIG_HOME/zelkor3d/draw-service.conf"
sources_refusing=$(for _ in $(seq "$runs"); do ZELKOR_SOURCES=$refusing one_run; done)
echo "no upstream:      $(echo $none)"
echo "refused upstream: $(echo $refused)"
echo "sources refusing: $(echo $sources_refusing)"
echo "start-up to window shown (median of $runs): sources off, no upstream $(median <<<"$none") s," \
  "upstream refusing connections $(median <<<"$refused") s," \
  "built-in sources refusing $(median <<<"$sources_refusing") s"
