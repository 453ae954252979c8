#!/usr/bin/env bash
# zelkor3d-report.exe under Wine gives the Linux zelkor3d-report's bytes:
# standard output, standard error and exit code, over generated histories and
# a table of option sets.
#
#   report_compare.sh LINUX_REPORT WINDOWS_REPORT WORK_DIR WINE_RUN [WINE_RUN_ARGS...]
set -Eeuo pipefail
# Every failure says what failed and where.
trap 'echo "report_compare: \"$BASH_COMMAND\" failed (exit $?) at line $LINENO" >&2' ERR
linux=$1 windows=$2 work=$3
shift 3
wine_run=("$@")
rm -rf "$work"
mkdir -p "$work"
# Messages in the same language on both sides (scripts/wine-run sets the same).
export LC_ALL=C.UTF-8
unset LANG LC_MESSAGES LANGUAGE

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
  "--summary|--page|span|--window|20|FILE"
  "--next|FILE"
  "--format|csv|FILE"
  "--format|json|--page|banker|FILE"
  "--format|csv|--summary|FILE"
  "--format|json|--next|FILE"
  "--eol|lf|--encoding|gbk|FILE"
  "--summary|--chart|CHART|--window|10|FILE"
  "--url|ftp://127.0.0.1/list.xml"
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
    if [[ "$file" != "$work/empty.xml" && ("$set" != *FILE* && "$set" != "-") ]]; then
      continue
    fi
    # Each side writes its chart to a file of its own; the two are compared.
    # (-d '' keeps a line break inside an argument.)
    line=${set//FILE/$file}
    IFS='|' read -r -d '' -a linux_args < <(printf '%s' "${line//CHART/$work/linux.svg}") || true
    IFS='|' read -r -d '' -a windows_args < <(printf '%s' "${line//CHART/$work/windows.svg}") || true
    rm -f "$work/linux.svg" "$work/windows.svg"
    stdin=/dev/null
    [[ "$set" == "-" ]] && stdin=$file
    set +e
    "$linux" "${linux_args[@]}" <"$stdin" >"$work/linux.out" 2>"$work/linux.err"
    linux_code=$?
    "${wine_run[@]}" "$windows" "${windows_args[@]}" <"$stdin" >"$work/windows.out" 2>"$work/windows.err"
    windows_code=$?
    set -e
    runs=$((runs + 1))
    what="$(basename "$file") [${set//|/ }]"
    if [[ $linux_code -ne $windows_code ]]; then
      echo "DIFFERENT exit code ($linux_code on Linux, $windows_code on Windows): $what"
      failures=$((failures + 1))
    fi
    for stream in out err svg; do
      [[ $stream == svg && ! -e $work/linux.svg && ! -e $work/windows.svg ]] && continue
      if ! cmp -s "$work/linux.$stream" "$work/windows.$stream"; then
        echo "DIFFERENT $stream: $what"
        diff <(od -c "$work/linux.$stream") <(od -c "$work/windows.$stream") | head -n 10 || true
        failures=$((failures + 1))
      fi
    done
  done
done
echo "report_compare: $runs runs, $failures differences"
[[ $failures -eq 0 ]]
