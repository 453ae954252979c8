#!/usr/bin/env bash
# The service program with the player's store: an upstream named in the
# settings file brings its draws before the first draw list is answered,
# they stay after a restart without the upstream, and a draw added with
# `add` shows on row 0 of the running service's list with no restart.
#   draw_service_store_test.sh DRAW_SERVICE
#   STORE_DIR=... CONFIG_DIR=... draw_service_store_test.sh EMULATOR... DRAW_SERVICE.exe
# Under Wine the service's folders are those of the Wine prefix, named by
# STORE_DIR and CONFIG_DIR (Unix paths); they are emptied before and after.
set -uo pipefail
service=("$@")
work=$(mktemp -d)
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
store_dir=${STORE_DIR:-$XDG_DATA_HOME/zelkor3d}
config_dir=${CONFIG_DIR:-$XDG_CONFIG_HOME/zelkor3d}
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$store_dir" "$config_dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$store_dir" "$config_dir"

mapfile -t ports < <(python3 "$(dirname "$0")/../support/free_ports.py" 2)
port=${ports[0]} upstream_port=${ports[1]}

# The issues of the served list, newest first, on one line.
rows() {
  exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "cannot connect"
  printf 'GET /static/info/kaijiang/xml/sd/list10.xml HTTP/1.0\r\nHost: 127.0.0.1:%s\r\n\r\n' "$port" >&3
  timeout 10 cat <&3 | grep -o '<row expect="[0-9]*"' | head -4 | grep -o '[0-9]*' | tr '\n' ' '
  exec 3<&-
}
start_service() {
  "${service[@]}" "$port" >"$work/out" 2>&1 &
  pids+=($!)
  for _ in $(seq 300); do grep -q "^serving on" "$work/out" && return; sleep 0.1; done
  fail "no service: $(cat "$work/out")"
}
stop_service() {
  kill "${pids[-1]}"
  wait "${pids[-1]}" 2>/dev/null
  unset 'pids[-1]'
}

mkdir -p "$work/upstream" "$config_dir"
printf 'issue,date,digits\n2026225,2026-08-23,123\n2026226,2026-08-24,456\n2026227,2026-08-25,789\n' \
  >"$work/upstream/draws.csv"
python3 -m http.server --bind 127.0.0.1 --directory "$work/upstream" "$upstream_port" \
  >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$upstream_port") 2>/dev/null && break; sleep 0.1; done
printf '# where new draws come from\nupstream = http://127.0.0.1:%s/draws.csv\n' "$upstream_port" \
  >"$config_dir/draw-service.conf"

start_service
[[ $(rows) == "2026227 2026226 2026225 2026224 " ]] || fail "first start served: $(rows)"
grep -q "^added draw 2026227 of 2026-08-25: 789 (from upstream http://127.0.0.1:$upstream_port/draws.csv)" \
  "$work/out" || fail "no line for the added draw: $(cat "$work/out")"
grep -q "^newest draw 2026227 of 2026-08-25, [0-9]* days old" "$work/out" ||
  fail "no freshness line: $(cat "$work/out")"
stop_service

kill "${pids[0]}"  # the upstream is gone
start_service
[[ $(rows) == "2026227 2026226 2026225 2026224 " ]] || fail "after a restart served: $(rows)"
grep -q "not used: connection refused" "$work/out" || fail "the gone upstream: $(cat "$work/out")"

"${service[@]}" add 2026228 024 2026-08-26 >"$work/add" 2>&1 || fail "add: $(cat "$work/add")"
grep -qx "2026228,2026-08-26,024" "$store_dir/added-draws.csv" || fail "the store: $(cat "$store_dir/added-draws.csv")"
[[ $(rows) == "2026228 2026227 2026226 2026225 " ]] || fail "after add served: $(rows)"
"${service[@]}" add 2026228 025 2026-08-26 >"$work/add" 2>&1
code=$?
[[ $code -eq 3 ]] && grep -q "held as 024, not 025" "$work/add" || fail "a conflicting add: $code $(cat "$work/add")"
stop_service

# A store an editor saved with a byte order mark and CR LF, a date written
# its own way and one broken line: the other lines are served, `check` and
# the log name the broken one, and nothing writes over it.
printf '\xEF\xBB\xBFissue,date,digits\r\n2026225,2026-08-23,123\r\n2026226,2026/8/24,456\r\n2026227,2026-08-25,78\r\n' \
  >"$store_dir/added-draws.csv"
cp "$store_dir/added-draws.csv" "$work/edited"
start_service
[[ $(rows) == "2026226 2026225 2026224 2026223 " ]] || fail "an edited store served: $(rows)"
grep -q "added-draws.csv:4: .*digits '78'" "$work/out" || fail "the broken line not logged: $(cat "$work/out")"
"${service[@]}" check >"$work/check" 2>&1
code=$?
[[ $code -eq 2 ]] && grep -q "digits '78'" "$work/check" || fail "check: $code $(cat "$work/check")"
"${service[@]}" add 2026227 789 2026-08-25 >"$work/add" 2>&1
code=$?
[[ $code -eq 1 ]] && grep -q "added-draws.csv:4: " "$work/add" || fail "add over a broken line: $code $(cat "$work/add")"
cmp -s "$store_dir/added-draws.csv" "$work/edited" || fail "the edited store was written"
stop_service
echo "PASS: upstream draws served at first start and after a restart; add served with no restart;"
echo "PASS: an edited store served but for its broken line, which check names and add does not overwrite"
