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

# An X display of our own.
start_display() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
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
# twice a second); then calls `close PID` to end it before the next run.
time_to_window() {
  local close=$1 start shown pid
  shift
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 3000); do
    xdotool search --onlyvisible --name 'Zelkor3D' >/dev/null 2>&1 && break
    sleep 0.01
  done
  shown=$(date +%s.%N)
  echo "$shown - $start" | bc
  "$close" "$pid"
}

median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'; }
