#!/usr/bin/env bash
# The service with its built-in sources pointed at the loopback imitation of
# all four (one of them holding only its last 10 draws), from a fresh store
# 110 days behind: the first draw list answered ends at 2026-12-09's draw with
# no hole; a source disagreeing on one draw keeps that draw (and the ones
# after it) out and the start page says so; with every source silent the
# first draw list still comes within the deadline and a second. Every request
# the service made reached the imitation.
#   draw_service_sources_test.sh SOURCE_IMITATION HISTORY DRAW_SERVICE
#   STORE_DIR=... draw_service_sources_test.sh SOURCE_IMITATION HISTORY EMULATOR... DRAW_SERVICE.exe
# Under Wine the store is that of the Wine prefix, named by STORE_DIR (a Unix
# path); it is emptied before each start and at the end.
set -uo pipefail
imitation=$1 history=$2
service=("${@:3}")
work=$(mktemp -d)
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config ZELKOR_TODAY=2026-12-10
store_dir=${STORE_DIR:-$XDG_DATA_HOME/zelkor3d}
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$store_dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
port=$(python3 "$(dirname "$0")/../support/free_ports.py")

# Starts the imitation with the given options; its port in $source_port.
start_imitation() {
  "$imitation" --history "$history" --until 2026-12-09 --log "$work/requests" "$@" \
    >"$work/imitation" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do grep -q "^port: " "$work/imitation" && break; sleep 0.1; done
  source_port=$(sed -n 's/^port: //p' "$work/imitation")
  [[ -n $source_port ]] || fail "no imitation: $(cat "$work/imitation")"
}
# Starts the service on a fresh store against the imitation.
start_service() {
  rm -rf "$store_dir"
  ZELKOR_SOURCES=http://127.0.0.1:$source_port "${service[@]}" "$port" >"$work/out" 2>&1 &
  pids+=($!)
  for _ in $(seq 300); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return; sleep 0.1; done
  fail "no service: $(cat "$work/out")"
}
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
}
get() {
  exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "cannot connect"
  printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1:%s\r\n\r\n' "$1" "$port" >&3
  timeout 20 cat <&3
  exec 3<&-
}
issues() { get /static/info/kaijiang/xml/sd/list10.xml | grep -o '<row expect="[0-9]*"' | grep -o '[0-9]*'; }

# A fresh store: every draw from 2026225 to 2026333, no hole.
start_imitation --last xml=10
start_service
started=$SECONDS
listed=$(issues)
[[ $(head -1 <<<"$listed") == 2026333 ]] || fail "row 0: $(head -1 <<<"$listed"); $(cat "$work/out")"
expected=$(seq 2026333 -1 2026225)
[[ $(head -109 <<<"$listed") == "$expected" ]] || fail "a hole between 2026225 and 2026333"
((SECONDS - started <= 6)) || fail "the first list took $((SECONDS - started)) s"
for source in xml 17500 cwl zhcw; do
  grep -q "^$source: [0-9]* draws, newest 2026333" "$work/out" ||
    fail "$source did not answer: $(cat "$work/out")"
done
grep -q "^1 draw missing (2026334)" "$work/out" || fail "freshness: $(cat "$work/out")"
# Every request went to the imitation, and named the program or the browser a source needs.
grep -q "User-Agent: Zelkor3D/" "$work/requests" || fail "no Zelkor3D User-Agent"
stop_all

# One source disagreeing on 2026330: nothing from it on is stored.
: >"$work/requests"
start_imitation --disagree zhcw=2026330:123
start_service
[[ $(issues | head -1) == 2026329 ]] || fail "with a disagreement row 0: $(issues | head -1)"
grep -q "^draw 2026330 not stored: the sources disagree (.*zhcw: 123 of" "$work/out" ||
  fail "no disagreement logged: $(cat "$work/out")"
get /zelkor3d/start.html | grep -q "第 2026330 期各来源说法不一" ||
  fail "the start page does not tell the disagreement"
stop_all

# Every source silent: the first list within the deadline and a second.
start_imitation --fail xml=silent --fail 17500=silent --fail cwl=silent --fail zhcw=silent
start_service
started=$(date +%s%N)
[[ $(issues | head -1) == 2026224 ]] || fail "with silent sources row 0: $(issues | head -1)"
elapsed=$((($(date +%s%N) - started) / 1000000))
((elapsed <= 6000)) || fail "with silent sources the first list took $elapsed ms"
echo "PASS: first start filled 2026225-2026333 without a hole; a disagreement stored nothing and was told; silent sources cost ${elapsed} ms"
