# What the window benchmarks share, sourced by them from the project root:
# an Xvfb of their own, Wine started once before any clock runs, and the
# time from a program's start to its window shown. Processes put in `pids`
# are ended on exit, with Wine's server.
root=$PWD
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$root/build-windows/wine-prefix-x11 wineserver -k 2>/dev/null || true
  [[ -z ${work:-} ]] || rm -rf "$work"
}
trap cleanup EXIT

# An X display of our own, on a number Xvfb finds free (a number picked here
# may be another's display). Without -noreset the server starts afresh each
# time its last client leaves, as between two runs, and a window connecting
# in that moment fails to start at all.
start_display() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 5 -noreset -screen 0 1024x768x24 -nolisten tcp 5>"$display_file" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $display_file ]] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$display_file")
  rm -f "$display_file"
}

# An X display, then Wine's prefix and server, warmed by one program.
start_display_and_wine() {
  start_display
  scripts/wine-window-run --create-prefix
  export WINEPREFIX=$root/build-windows/wine-prefix-x11 WINEDEBUG=-all
  wineserver -p
  scripts/wine-window-run cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Prints the seconds from starting the command (in the background) to a
# window named Zelkor3D shown, polled every 10 ms (xdotool's own --sync looks
# twice a second); then calls `close PID` to end it before the next run. A
# command that ends without showing the window, or shows none within 60 s, is
# no figure: its output is told and the benchmark stops.
time_to_window() {
  local close=$1 start shown pid log
  shift
  log=$(mktemp)
  start=$(date +%s.%N)
  "$@" >"$log" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null ||
      (($(echo "$(date +%s.%N) - $start > 60" | bc))); then
      echo "no window shown by $*:" >&2
      tail -5 "$log" >&2
      rm -f "$log"
      "$close" "$pid" 2>/dev/null
      exit 1
    fi
    sleep 0.01
  done
  shown=$(date +%s.%N)
  rm -f "$log"
  echo "$shown - $start" | bc
  "$close" "$pid"
}

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'; }
