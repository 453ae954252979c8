#!/usr/bin/env bash
# The draw service built for Windows, under Wine, beside the Linux one: for the
# shipped history each finds beside itself, and for --latest 30, every path
# the program asks for (and one it does not) gets the same response, status
# line and headers included; the start-up page with its backtest and chart
# among them, both built as of the same fixed day.
#   draw_service_compare.sh LINUX_SERVICE WINDOWS_SERVICE WORK_DIR EMULATOR...
set -uo pipefail
linux=$1 windows=$2 work=$3
shift 3
emulator=("$@")
pids=()
cleanup() {
  [[ ${#pids[@]} -gt 0 ]] && kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
# The Linux service with no store or settings of the user's (the Windows one
# has those of the Wine prefix, which no other test leaves anything in).
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config

# The start-up page tells the newest draw's age: both services count it from
# the same day.
export ZELKOR_TODAY=2026-08-30

# Ports nobody else uses: the service's own default stays free for others.
mapfile -t ports < <(python3 "$(dirname "$0")/../support/free_ports.py" 2)
linux_port=${ports[0]} windows_port=${ports[1]}

# start NAME PORT COMMAND...: starts a service and waits until it serves.
start() {
  local name=$1 port=$2
  shift 2
  "$@" "$port" "${options[@]}" >"$work/$name.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 300); do
    grep -q "^serving on" "$work/$name.log" && return 0
    sleep 0.1
  done
  fail "$name service did not start: $(cat "$work/$name.log")"
}

paths=(/static/info/kaijiang/xml/sd/list10.xml /zelkor3d/version.txt /zelkor3d/start.html /)
for options_text in "" "--latest 30"; do
  read -ra options <<<"$options_text"
  start linux "$linux_port" "$linux"
  start windows "$windows_port" "${emulator[@]}" "$windows"
  for path in "${paths[@]}"; do
    curl -s -i --max-time 20 "http://127.0.0.1:$linux_port$path" >"$work/linux.response"
    curl -s -i --max-time 20 "http://127.0.0.1:$windows_port$path" >"$work/windows.response"
    [[ -s $work/linux.response ]] || fail "no response from the Linux service for $path"
    [[ $path == "${paths[0]}" ]] && cp "$work/windows.response" "$work/windows.list"
    if [[ $path == /zelkor3d/start.html ]]; then
      cp "$work/windows.response" "$work/windows.page"
      # The page names this machine's own files and carries a form token made
      # anew at each start: those, and so the length, differ by design.
      for name in linux windows; do
        sed -E -i -e '/^Content-Length:/d' -e 's#<code>[^<]*[/\\][^<]*</code>#<code>PATH</code>#g' \
          -e 's#name="token" value="[0-9a-f]+"#name="token" value="TOKEN"#g' "$work/$name.response"
      done
    fi
    cmp -s "$work/linux.response" "$work/windows.response" ||
      fail "${options_text:-shipped history}: $path differs: $(diff "$work/linux.response" \
        "$work/windows.response" | head -5)"
  done
  grep -q '<svg' "$work/windows.page" || fail "${options_text:-shipped history}: no chart on the start-up page"
  rows=$(grep -c '<row expect=' "$work/windows.list")
  [[ $rows -eq ${options[1]:-7731} ]] || fail "${options_text:-shipped history}: $rows rows served"
  echo "${options_text:-shipped history}: same responses on ${#paths[@]} paths, $rows rows"
  kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null
  pids=()
done
