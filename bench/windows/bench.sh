#!/usr/bin/env bash
# Times the Windows build under Wine beside the Linux build, in one run:
#   - the report tool on a 10 MB draw list (text and summary);
#   - HttpFetch of a 10 MB body from a loopback service.
# Needs build/ and build-windows/ as scripts/test --windows leaves them.
#
#   bench/windows/bench.sh [runs]     (default 5; the median is printed)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
runs=${1:-5}
prefix=$root/build-windows/wine-prefix
wine_run=("$root/scripts/wine-run" --prefix "$prefix")
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --build build -j"$(nproc)" --target zelkor3d-report zelkor3d-fetch zelkor3d-serve-file >/dev/null
cmake --build build-windows -j"$(nproc)" --target zelkor3d-report zelkor3d-fetch >/dev/null
"${wine_run[@]}" --create-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
wineserver -p 2>/dev/null || true  # one may be running already: fine
timeout 120 "${wine_run[@]}" cmd /c exit </dev/null >/dev/null 2>&1

# A 10 MB list: rows as the draw-data service writes them, newest first.
awk 'BEGIN {
  srand(14); n = 0; size = 0
  print "<xml>"
  while (size < 10 * 1024 * 1024) {
    line = sprintf("<row expect=\"%07d\" opencode=\"%d,%d,%d\" opentime=\"2024-01-01 21:15:00\" trycode=\"1,2,3\" tryinfo=\"\" />", 9999999 - n, int(rand() * 10), int(rand() * 10), int(rand() * 10))
    print line; size += length(line) + 1; n++
  }
  print "</xml>"
}' >"$work/list.xml"
echo "list: $(wc -c <"$work/list.xml") bytes, $(grep -c '<row' "$work/list.xml") draws"

# The median wall time of `runs` runs of a command, in milliseconds.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

report_linux=$root/build/report/zelkor3d-report
report_windows=$root/build-windows/report/zelkor3d-report.exe
for options in "" "--page span" "--summary"; do
  # shellcheck disable=SC2086
  linux=$(median_ms "$report_linux" $options "$work/list.xml")
  # shellcheck disable=SC2086
  windows=$(median_ms "${wine_run[@]}" "$report_windows" $options "$work/list.xml")
  printf 'report %-12s Linux %6d ms   Windows under Wine %6d ms\n' "${options:-(kill)}" "$linux" "$windows"
done
# Starting a program under Wine, for scale.
printf 'wine start-up (report --help)       Windows under Wine %6d ms\n' \
  "$(median_ms "${wine_run[@]}" "$report_windows" --help)"

# HttpFetch of 10 MB: the fetch tool times its fetches itself, so process
# start-up is left out.
head -c $((10 * 1024 * 1024)) /dev/urandom >"$work/body"
build/tests/tools/zelkor3d-serve-file "$work/body" >"$work/serve.log" &
pids+=($!)
for _ in $(seq 100); do grep -q '^port:' "$work/serve.log" && break; sleep 0.1; done
url="http://127.0.0.1:$(sed -n 's/^port: //p' "$work/serve.log")/body"
fetch_ms() {
  "$@" "$url" --repeat "$runs" 2>&1 >/dev/null | sed -n 's/^fetch_ms: //p'
}
printf 'HttpFetch 10 MB  Linux (libcurl) %s ms   Windows (WinINet under Wine) %s ms (mean of %d)\n' \
  "$(no_proxy='*' fetch_ms build/tests/tools/zelkor3d-fetch)" \
  "$(fetch_ms "${wine_run[@]}" build-windows/tests/tools/zelkor3d-fetch.exe)" "$runs"
