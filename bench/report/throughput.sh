#!/usr/bin/env bash
# The report tool over a long draw list: 600,000 made-up draws (about 57 MB,
# under the 64 MiB input cap) in the draw service's row format, generated the
# same every time. For the page text, the text in GBK, CSV, JSON and the
# summary it prints the median wall time of the whole process, the input
# bytes per second (MB/s, 10^6 bytes) and the median peak memory (max RSS)
# as a multiple of the input's size.
#
#   bench/report/throughput.sh [runs] [null|file]
#
# runs: 5 by default. The output goes to /dev/null by default, with `file` to
# a file in the temporary folder (rewritten each run). Run it from a Release
# build/ with the benchmarks built, and with no build running alongside.
# REPORT=path measures another build of the tool (an older one, to compare).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
sink=${2:-null}
rows=${ROWS:-600000}
report=${REPORT:-build/report/zelkor3d-report}
generator=build/bench/report/zelkor3d-draw-list-gen
for program in "$report" "$generator"; do
  [[ -x $program ]] || { echo "throughput: $program is not built" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
document=$work/draws.xml
"$generator" "$rows" "$document"
bytes=$(stat -c %s "$document")
case $sink in
  null) out=/dev/null ;;
  file) out=$work/out ;;
  *) echo "throughput: the output goes to null or file, not '$sink'" >&2; exit 2 ;;
esac

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# One line of figures for the report with the arguments given.
measure() {
  local name=$1
  shift
  local walls=() peaks=() start end
  # A first run brings the document and the program into the page cache.
  "$report" "$@" "$document" >"$out" 2>/dev/null
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/peak" "$report" "$@" "$document" >"$out" 2>/dev/null
    end=$(date +%s%N)
    walls+=("$(((end - start) / 1000))")
    peaks+=("$(cat "$work/peak")")
  done
  local wall peak
  wall=$(printf '%s\n' "${walls[@]}" | median)
  peak=$(printf '%s\n' "${peaks[@]}" | median)
  local written=""
  [[ $sink == file ]] && written=$(stat -c %s "$out")
  awk -v name="$name" -v us="$wall" -v kib="$peak" -v bytes="$bytes" -v written="$written" \
    'BEGIN { printf "%-8s %6.3f s %6.1f MB/s  peak %6.1f MB = %.2fx input", name, us / 1e6,
                    bytes / us, kib * 1024 / 1e6, kib * 1024 / bytes
             if (written != "") printf "  (output %.1f MB)", written / 1e6
             print "" }'
}

echo "report over $rows draws, $bytes bytes; median of $runs runs; output to $sink; $(uptime)"
measure text
measure gbk --encoding gbk
measure csv --format csv
measure json --format json
measure summary --summary
