#!/usr/bin/env bash
# The launcher on a fresh store with the draw service's built-in sources
# pointed at the loopback imitation, every source silent (takes connections,
# never answers) or answering each request after 4 s: the launcher opens the
# real window within the start deadline and a second (6 s from its start) and
# never names the port as taken. The window lists the shipped history, and
# with the late sources what they brought if that came within the deadline
# (the draws up to 2026-12-09, which on a busy machine may come a moment too
# late), without a hole. Closing the window ends the launcher and its own
# service.
#
#   launcher_slow_sources_test.sh LAUNCHER X11_WINDOW_TOOL PORT IMITATION HISTORY
#   STORE_DIR=... launcher_slow_sources_test.sh ZELKOR3D.exe X11_WINDOW_TOOL PORT IMITATION \
#     HISTORY WINDOW_PROBE.exe EMULATOR...
#
# LAUNCHER is bin/zelkor3d of the build, or Zelkor3D.exe in a folder laid out
# as installed, run by EMULATOR (Wine on an X display); either starts its own
# service on PORT (the draw port the window is built for), so PORT must be
# free. Under Wine the store is that of the Wine prefix, named by STORE_DIR (a
# Unix path); it is emptied before each start and at the end.
set -uo pipefail
launcher=$1 window_tool=$2 port=$3 imitation=$4 history=$5
probe=${6:-}
run=("${@:7}")
title="Zelkor3D软件"
work=$(mktemp -d)
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config ZELKOR_TODAY=2026-12-10
store_dir=${STORE_DIR:-$XDG_DATA_HOME/zelkor3d}
pids=()
imitation_pid="" service_pid=""
cleanup() {
  for pid in "${pids[@]}" $imitation_pid $service_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$store_dir"
}
trap cleanup EXIT
source "$(dirname "$0")/x11_session.sh"
# A service under Wine cannot listen over connections still closing there
# (the window's, a minute at most).
closing() {
  awk -v port="$(printf ':%04X' "$port")" \
    '$4 == "06" && substr($2, length($2) - 4) == port { found = 1 } END { exit !found }' \
    /proc/net/tcp
}
answers && fail "something already answers on port $port; stop it first"

[[ -z $probe ]] && start_display

# The shipped history's newest draw, which row 0 keeps when nothing arrives
# (the imitation's made-up draws after it are of the same year).
shipped_newest=$(tail -1 "$history" | cut -d, -f1)
shipped_count=$(grep -c '^[0-9]\{7\},' "$history")

# The launcher's own draw service: under Wine no child of the launcher's
# process, but the program beside it (Wine names a process by its Windows
# path, Z: for the Unix root).
own_service() {
  if [[ -z $probe ]]; then
    pgrep -P "$launcher_pid" -x zelkor3d-draw-s
    return
  fi
  local pid windows_path
  windows_path="Z:$(dirname "$launcher" | tr / '\\')\\zelkor3d-draw-service.exe"
  for pid in $(pgrep -f 'zelkor3d-draw-service\.exe'); do
    [[ $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) == "$windows_path"* ]] && echo "$pid" && return
  done
  return 1
}

# How many draws the window lists. On Linux, from the kill-digit page's
# output: the newest judged line must be the newest of that many draws
# without a hole.
listed_draws() {
  if [[ -n $probe ]]; then
    "${run[@]}" "$probe" rows 60 </dev/null 2>/dev/null | tr -d '\r'
    return
  fi
  local lines count
  lines=$(kill_page_output "$window") || return 1
  count=$(wc -l <<<"$lines")
  tail -2 <<<"$lines" | head -1 | grep -q "┊$((shipped_newest + count - shipped_count))期:" ||
    { echo "newest line: $(tail -2 <<<"$lines" | head -1)" >&2; return 1; }
  echo "$count"
}

close_window() {
  if [[ -z $probe ]]; then
    "$window_tool" close "$title" >/dev/null
  else
    "${run[@]}" "$probe" close </dev/null >/dev/null 2>&1
  fi
}

# case | imitation options | the newest draws the window may list
cases=(
  "silent|--fail all=silent|$shipped_newest"
  "late|--delay all=4|$shipped_newest 2026333"
)
for case in "${cases[@]}"; do
  IFS='|' read -r name options newest_allowed <<<"$case"
  rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$store_dir"
  for _ in $(seq 900); do answers || { [[ -n $probe ]] && closing; } || break; sleep 0.1; done
  # shellcheck disable=SC2086  # the options are words
  "$imitation" --history "$history" --until 2026-12-09 $options >"$work/imitation-$name.log" 2>&1 &
  imitation_pid=$!
  for _ in $(seq 100); do grep -q "^port: " "$work/imitation-$name.log" && break; sleep 0.1; done
  source_port=$(sed -n 's/^port: //p' "$work/imitation-$name.log")
  [[ -n $source_port ]] || fail "$name: no imitation"

  # Wine's own start-up is no part of the launcher's: done before the clock,
  # and Wine's server, kept a few seconds after its last program, is still
  # there when the launcher starts.
  [[ -n $probe ]] && timeout 120 "${run[@]}" cmd /c exit </dev/null >/dev/null 2>&1
  started=$(date +%s%N)
  env -u BROWSER -u DEFAULT_BROWSER QT_QPA_PLATFORM=xcb ZELKOR_SOURCES="http://127.0.0.1:$source_port" \
    "${run[@]}" "$launcher" </dev/null >"$work/launcher-$name.log" 2>&1 &
  launcher_pid=$!
  pids+=("$launcher_pid")
  window=$("$window_tool" wait "$title" 30) || fail "$name: the window was not shown"
  elapsed=$((($(date +%s%N) - started) / 1000000))
  ((elapsed <= 6000)) || fail "$name: the window was shown after $elapsed ms"
  # Told on standard error on Linux, in a message box titled Zelkor3D on Windows.
  grep -q "已被其他程序占用" "$work/launcher-$name.log" && fail "$name: the port was named as taken"
  "$window_tool" wait Zelkor3D 0 >/dev/null && fail "$name: a message box was shown"
  service_pid=$(own_service) || fail "$name: the launcher runs no draw service of its own"

  count=$(listed_draws) || fail "$name: could not read the window's draws"
  newest=$((shipped_newest + count - shipped_count))
  [[ " $newest_allowed " == *" $newest "* ]] ||
    fail "$name: the window lists $count draws, not those up to one of $newest_allowed"

  close_window || fail "$name: no window to close"
  for _ in $(seq 100); do kill -0 "$launcher_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$launcher_pid" 2>/dev/null && fail "$name: the launcher did not end with its window"
  # Wine's server lets go of an ended program's socket a moment after it.
  for _ in $(seq 100); do kill -0 "$service_pid" 2>/dev/null || answers || break; sleep 0.1; done
  kill -0 "$service_pid" 2>/dev/null && fail "$name: the launcher left its service running"
  answers && fail "$name: the port still answers after the launcher ended"
  kill "$imitation_pid" 2>/dev/null
  wait "$imitation_pid" 2>/dev/null
  imitation_pid=""
  echo "$name: the window was shown after $elapsed ms, listing draws up to $newest"
done
echo "PASS: with silent and late sources the window opened within 6 s, listing its draws without a hole"
