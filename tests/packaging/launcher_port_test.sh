#!/usr/bin/env bash
# The launcher and whatever holds the draw service's port: another program
# (a plain web server) is named to the player and no window opens; the draw
# service is used as it is; a free port gets a service of the launcher's own.
#   launcher_port_test.sh ROOT PORT DRAW_SERVICE
# ROOT holds bin/zelkor3d, configured for PORT; the program beside it is a
# stand-in that reports that it ran.
set -uo pipefail
root=$1 port=$2 service=$3
fail() { echo "FAIL: $*"; exit 1; }
holder_pid="" silent_pid="" work=""
cleanup() {
  [[ -n $holder_pid ]] && kill "$holder_pid" 2>/dev/null
  [[ -n $silent_pid ]] && kill "$silent_pid" 2>/dev/null
  wait 2>/dev/null
  [[ -n $work ]] && rm -rf "$work"
}
trap cleanup EXIT

program=$root/libexec/zelkor3d/zelkor3d
mkdir -p "$(dirname "$program")"
printf '#!/bin/sh\necho "program ran"\nexit 3\n' >"$program"
chmod +x "$program"
ln -sf "$service" "$root/bin/zelkor3d-draw-service"

answers() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

# The launcher's own service, for the slow case, takes its first round from an
# upstream that takes connections and never answers.
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME/zelkor3d"
silent_port=$((port + 1))
python3 -c 'import socket,sys,time
s=socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", int(sys.argv[1]))); s.listen(50); time.sleep(600)' "$silent_port" &
silent_pid=$!

# holder | want exit code | want in the output
cases=(
  "web|1|端口 $port 已被其他程序占用"
  "service|3|program ran"
  "none|3|program ran"
  "slow|3|program ran"
)
for case in "${cases[@]}"; do
  IFS='|' read -r holder want_code want_text <<<"$case"
  case $holder in
    web) python3 -m http.server --bind 127.0.0.1 "$port" >/dev/null 2>&1 & holder_pid=$! ;;
    service) "$service" "$port" >/dev/null & holder_pid=$! ;;
    slow) echo "upstream = http://127.0.0.1:$silent_port/list.xml" \
            >"$XDG_CONFIG_HOME/zelkor3d/draw-service.conf" ;;
  esac
  if [[ -n $holder_pid ]]; then
    for _ in $(seq 100); do answers && break; sleep 0.1; done
  fi
  out=$(timeout 30 "$root/bin/zelkor3d" 2>&1 </dev/null)
  code=$?
  rm -f "$XDG_CONFIG_HOME/zelkor3d/draw-service.conf"
  [[ $code -eq $want_code && $out == *"$want_text"* ]] ||
    fail "port held by $holder: exit $code, said: $out"
  [[ $holder == web && $out == *"program ran"* ]] && fail "the window ran beside a web server"
  [[ -n $holder_pid ]] && kill "$holder_pid" && wait "$holder_pid" 2>/dev/null
  holder_pid=""
  for _ in $(seq 50); do answers || break; sleep 0.1; done
  answers && fail "the port stayed held after the case of $holder"
done
echo "PASS: another program on the port is named; the service is used; a free port gets one"
