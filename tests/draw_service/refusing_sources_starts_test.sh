#!/usr/bin/env bash
# Starts the draw service again and again with every built-in source refusing
# connections (a closed loopback port): each start must answer its first
# draw list well before the round's 5 s deadline and never crash. The round
# starts its fetches at once; a fault in how their threads come and go showed
# only now and then, as a crash or a round waiting out its deadline, so the
# start is repeated.
#
#   refusing_sources_starts_test.sh STARTS [EMULATOR...] DRAW_SERVICE
set -uo pipefail
starts=$1
shift
service=("$@")
export ZELKOR_SOURCES=http://127.0.0.1:1
work=$(mktemp -d)
pid=""
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; tail -20 "$work/service.log"; exit 1; }

free_ports=$(dirname "$0")/../support/free_ports.py
for start in $(seq "$starts"); do
  port=$(python3 "$free_ports")
  began=$(date +%s%N)
  "${service[@]}" "$port" >"$work/service.log" 2>&1 &
  pid=$!
  until curl -s -o /dev/null --max-time 10 "http://127.0.0.1:$port/static/info/kaijiang/xml/sd/list10.xml"; do
    kill -0 "$pid" 2>/dev/null || fail "start $start: the service ended"
    grep -q "Unhandled\|page fault" "$work/service.log" && fail "start $start: the service crashed"
    (($(date +%s%N) - began > 20000000000)) && fail "start $start: no draw list within 20 s"
    sleep 0.01
  done
  elapsed=$((($(date +%s%N) - began) / 1000000))
  ((elapsed < 3500)) || fail "start $start: the first draw list took $elapsed ms"
  kill "$pid"
  wait "$pid" 2>/dev/null
  pid=""
done
echo "PASS: $starts starts, each answering without waiting on the refusing sources"
