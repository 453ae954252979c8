#!/usr/bin/env bash
# The draw service program: a malformed history file is named on standard
# error and no service starts (its name, outside any Western code page,
# reaches the file and the message whole); an upstream that is no web address
# is refused; --upstream takes one address, not the port after it; --latest
# serves the newest draws only.
#   draw_service_process_test.sh DRAW_SERVICE
#   draw_service_process_test.sh EMULATOR... DRAW_SERVICE.exe   (the Windows build, under Wine)
set -uo pipefail
service=("$@")
work=$(mktemp -d)
# No store or settings of the user's (under Wine, those of the prefix, which
# the store's own test empties).
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
pid=""
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A port nobody else uses: the service's own default stays free for others.
mapfile -t ports < <(python3 "$(dirname "$0")/../support/free_ports.py" 2)
port=${ports[0]} unused_port=${ports[1]}

printf 'issue,date,digits\n2026223,2026-08-21,948\n2026224,2026-08-22,86\n' >"$work/历史-bad.csv"
timeout 10 "${service[@]}" "$port" --history "$work/历史-bad.csv" >"$work/out" 2>"$work/err"
code=$?
[[ $code -eq 2 ]] || fail "exit code $code for a malformed history (want 2)"
grep -qF "$work/历史-bad.csv:3: digits '86' are not three digits" "$work/err" ||
  fail "unexpected message: $(cat "$work/err")"
grep -q "serving on" "$work/out" && fail "a service started on a malformed history"

timeout 10 "${service[@]}" "$port" --history "$work/missing.csv" >/dev/null 2>"$work/err"
[[ $? -eq 2 ]] && grep -q "missing.csv: cannot be opened" "$work/err" ||
  fail "a missing history: $(cat "$work/err")"

timeout 10 "${service[@]}" --upstream 127.0.0.1:1/list.xml "$port" >/dev/null 2>"$work/err"
[[ $? -eq 2 ]] && grep -qF "'127.0.0.1:1/list.xml' is not an http:// or https:// address" "$work/err" ||
  fail "an upstream without http://: $(cat "$work/err")"

"${service[@]}" --upstream "http://127.0.0.1:$unused_port/list.xml" "$port" --latest 3 >"$work/out" 2>&1 &
pid=$!
for _ in $(seq 300); do grep -q "^serving on" "$work/out" && break; sleep 0.1; done
# The port after --upstream is the port (lines end in CR LF under Wine).
tr -d '\r' <"$work/out" | grep -q "^serving on http://127.0.0.1:$port$" ||
  fail "no service with --latest: $(cat "$work/out")"
# The harness keeps every test's service from the public sources.
grep -q "^built-in sources off (ZELKOR_SOURCES=off)" "$work/out" ||
  fail "a test service asks the built-in sources (run it through ctest): $(cat "$work/out")"
exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "cannot connect"
printf 'GET /static/info/kaijiang/xml/sd/list10.xml HTTP/1.0\r\nHost: 127.0.0.1:%s\r\n\r\n' "$port" >&3
body=$(timeout 10 cat <&3)
exec 3<&-
rows=$(grep -o '<row expect="[0-9]*"' <<<"$body" | tr '\n' ' ')
[[ $rows == '<row expect="2026224" <row expect="2026223" <row expect="2026222" ' ]] ||
  fail "--latest 3 served: $rows"
echo "PASS: malformed history refused; --latest 3 served the newest three"
