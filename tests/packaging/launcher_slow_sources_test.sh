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
#
# LAUNCHER is bin/zelkor3d of the build, which starts its own service on PORT
# (the draw port the window is built for), so PORT must be free.
set -uo pipefail
launcher=$1 window_tool=$2 port=$3 imitation=$4 history=$5
title="Zelkor3D软件"
work=$(mktemp -d)
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config ZELKOR_TODAY=2026-12-10
pids=()
imitation_pid=""
cleanup() {
  for pid in "${pids[@]}" $imitation_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $f"; tail -20 "$f"; }; done
  exit 1
}
answers() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }
answers && fail "something already answers on port $port; stop it first"

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# The shipped history's newest draw, which row 0 keeps when nothing arrives
# (the imitation's made-up draws after it are of the same year).
shipped_newest=$(tail -1 "$history" | cut -d, -f1)
shipped_count=$(grep -c '^[0-9]\{7\},' "$history")

# Runs the kill-digit page and copies its output, as a user clicks (the
# buttons' places are the window's layout).
output_lines() {
  xdotool mousemove --window "$window" 409 205 click 1 || return 1
  xdotool mousemove --window "$window" 409 265 click 1 || return 1
  local text=""
  for _ in $(seq 60); do
    sleep 0.5
    text=$(timeout 10 xclip -selection clipboard -o 2>/dev/null | tr -d '\r')
    [[ $text == *"未开"* ]] && break
  done
  grep '期:' <<<"$text"
}

# case | imitation options | the newest draws the window may list
cases=(
  "silent|--fail all=silent|$shipped_newest"
  "late|--delay all=4|$shipped_newest 2026333"
)
for case in "${cases[@]}"; do
  IFS='|' read -r name options newest_allowed <<<"$case"
  rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
  # shellcheck disable=SC2086  # the options are words
  "$imitation" --history "$history" --until 2026-12-09 $options >"$work/imitation-$name.log" 2>&1 &
  imitation_pid=$!
  for _ in $(seq 100); do grep -q "^port: " "$work/imitation-$name.log" && break; sleep 0.1; done
  source_port=$(sed -n 's/^port: //p' "$work/imitation-$name.log")
  [[ -n $source_port ]] || fail "$name: no imitation"

  started=$(date +%s%N)
  env -u BROWSER -u DEFAULT_BROWSER QT_QPA_PLATFORM=xcb \
    ZELKOR_SOURCES="http://127.0.0.1:$source_port" "$launcher" >"$work/launcher-$name.log" 2>&1 &
  launcher_pid=$!
  pids+=("$launcher_pid")
  window=$("$window_tool" wait "$title" 30) || fail "$name: the window was not shown"
  elapsed=$((($(date +%s%N) - started) / 1000000))
  ((elapsed <= 6000)) || fail "$name: the window was shown after $elapsed ms"
  grep -q "已被其他程序占用" "$work/launcher-$name.log" && fail "$name: the port was named as taken"
  service_pid=$(pgrep -P "$launcher_pid" -x zelkor3d-draw-s) ||
    fail "$name: the launcher runs no draw service of its own"

  output_lines >"$work/$name.txt" || fail "$name: could not run and copy"
  # A line for each draw after the first, then the next issue's: with the
  # newest issue right, the count tells that none is missing.
  newest=$(tail -2 "$work/$name.txt" | head -1 | grep -o '┊[0-9]\{7\}期:' | tr -dc 0-9)
  [[ " $newest_allowed " == *" $newest "* ]] ||
    fail "$name: newest draw ${newest:-none}, want one of $newest_allowed"
  count=$(wc -l <"$work/$name.txt")
  want_count=$((shipped_count + newest - shipped_newest))
  [[ $count -eq $want_count ]] || fail "$name: $count issue lines up to $newest, want $want_count"

  "$window_tool" close "$title" >/dev/null || fail "$name: no window to close"
  for _ in $(seq 100); do kill -0 "$launcher_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$launcher_pid" 2>/dev/null && fail "$name: the launcher did not end with its window"
  kill -0 "$service_pid" 2>/dev/null && fail "$name: the launcher left its service running"
  answers && fail "$name: the port still answers after the launcher ended"
  kill "$imitation_pid" 2>/dev/null
  wait "$imitation_pid" 2>/dev/null
  imitation_pid=""
  echo "$name: the window was shown after $elapsed ms, newest draw $newest"
done
echo "PASS: with silent and late sources the window opened within 6 s, listing the shipped draws"
