#!/usr/bin/env bash
# zelkor3d-report.exe under Wine gives the Linux zelkor3d-report's bytes:
# standard output, standard error and exit code, over generated histories and
# a table of option sets.
#
#   report_compare.sh LINUX_REPORT WINDOWS_REPORT WORK_DIR WINE_RUN [WINE_RUN_ARGS...]
set -euo pipefail
linux=$1 windows=$2 work=$3
shift 3
wine_run=("$@")
rm -rf "$work"
mkdir -p "$work"

# A history of $2 draws, newest first, from seed $1. With a third argument
# "odd", some rows carry draw codes that are not three digits and a GBK
# remark, as a broken service might send.
history() {
  awk -v seed="$1" -v n="$2" -v odd="${3:-}" 'BEGIN {
    srand(seed)
    printf "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<xml>\r\n"
    for (i = n; i >= 1; i--) {
      code = int(rand() * 10) "," int(rand() * 10) "," int(rand() * 10)
      if (odd != "" && i % 7 == 0) code = int(rand() * 100) "," int(rand() * 10) ","
      if (odd != "" && i % 11 == 0) code = "a,b,c"
      info = (odd != "" && i % 5 == 0) ? "\312\324\273\372\272\305" : ""
      printf "<row expect=\"%d%03d\" opencode=\"%s\" opentime=\"2024-01-01 21:15:00\" trycode=\"1,2,3\" tryinfo=\"%s\" />\r\n", 2024 + int(i / 1000), i % 1000, code, info
    }
    printf "</xml>\r\n"
  }'
}
history 1 0 >"$work/empty.xml"
history 2 1 >"$work/one.xml"
history 3 40 >"$work/forty.xml"
history 4 400 >"$work/four-hundred.xml"
history 5 120 odd >"$work/odd.xml"

# One option set per line, arguments separated by "|"; FILE stands for the
# history.
option_sets=(
  "FILE"
  "--page|banker|FILE"
  "--page|span|FILE"
  "--position|2|FILE"
  "--position|个|--page|kill|FILE"
  "--position|十|--name|我的杀码|--footer||FILE"
  "--encoding|gbk|FILE"
  "--encoding|gbk|--page|span|--separator|★|--correct|对|--wrong|错|FILE"
  "--separator|😀|--left|«|--right|»|FILE"
  "--footer|a"$'\r\n'"b|--not-drawn|等开奖|FILE"
  "--summary|FILE"
  "--summary|--page|span|FILE"
  "--position|4|FILE"
  "--page|nothing|FILE"
  "--help"
  "-"
  "$work/no such file.xml"
)

failures=0
runs=0
for file in "$work"/*.xml; do
  for set in "${option_sets[@]}"; do
    # These do not read the history: once is enough.
    if [[ "$file" != "$work/empty.xml" && ("$set" == "--help" || "$set" == "$work/no such file.xml") ]]; then
      continue
    fi
    IFS='|' read -r -a args <<<"${set//FILE/$file}"
    stdin=/dev/null
    [[ "$set" == "-" ]] && stdin=$file
    set +e
    "$linux" "${args[@]}" <"$stdin" >"$work/linux.out" 2>"$work/linux.err"
    linux_code=$?
    "${wine_run[@]}" "$windows" "${args[@]}" <"$stdin" >"$work/windows.out" 2>"$work/windows.err"
    windows_code=$?
    set -e
    runs=$((runs + 1))
    what="$(basename "$file") [${set//|/ }]"
    if [[ $linux_code -ne $windows_code ]]; then
      echo "DIFFERENT exit code ($linux_code on Linux, $windows_code on Windows): $what"
      failures=$((failures + 1))
    fi
    for stream in out err; do
      if ! cmp -s "$work/linux.$stream" "$work/windows.$stream"; then
        echo "DIFFERENT standard $stream: $what"
        diff <(od -c "$work/linux.$stream") <(od -c "$work/windows.$stream") | head -n 10 || true
        failures=$((failures + 1))
      fi
    done
  done
done
echo "report_compare: $runs runs, $failures differences"
[[ $failures -eq 0 ]]
