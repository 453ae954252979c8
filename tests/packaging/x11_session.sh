# Sourced by the tests that drive the real Qt window on an X display of their
# own; they set `work` (a folder of their own) and `port` (the draw port)
# first.
#
# fail MESSAGE: says what failed with the tail of each log in $work, and ends
# the test.
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [[ -s $f ]] && { echo "--- $f"; tail -20 "$f"; }; done
  exit 1
}

# answers: whether something takes connections on the draw port.
answers() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

# start_display: starts an Xvfb on a number it finds free, adds its process
# to `pids`, keeps its log in $work and exports DISPLAY; calls `fail` when it
# does not start. -noreset: a server started afresh when its last client
# leaves (between two windows) turns away a window connecting in that moment.
start_display() {
  Xvfb -displayfd 5 -noreset -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" \
    2>"$work/xvfb.log" &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  [[ -s $work/display ]] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
}
#
# kill_page_output WINDOW: runs the kill-digit page and copies its output, as
# a user clicks, and prints its issue lines (a line for each draw after the
# first, oldest first, then the next issue's). The buttons' places are the
# window's layout (run 369,189 and copy 369,249, each 80 x 32, in the
# window). The window handles the clicks in order, but the clipboard is only
# taken once the run is done, which on a slow machine may take a while.
kill_page_output() {
  xdotool mousemove --window "$1" 409 205 click 1 || return 1
  xdotool mousemove --window "$1" 409 265 click 1 || return 1
  local text=""
  for _ in $(seq 60); do
    sleep 0.5
    text=$(timeout 10 xclip -selection clipboard -o 2>/dev/null | tr -d '\r')
    [[ $text == *"未开"* ]] && break
  done
  grep '期:' <<<"$text"
}
