#!/usr/bin/env bash
# The launcher of a build made for a real draw service runs the program and
# nothing else, whatever answers on the local service's port.
#   launcher_real_host_test.sh LAUNCHER_TEMPLATE_OUTPUT_ROOT
# ROOT holds bin/zelkor3d, configured for a real draw host; the program beside
# it is a stand-in that reports how it was run.
set -uo pipefail
root=$1
fail() { echo "FAIL: $*"; exit 1; }

program=$root/libexec/zelkor3d/zelkor3d
mkdir -p "$(dirname "$program")"
printf '#!/bin/sh\necho "program ran with $# arguments"\nexit 3\n' >"$program"
chmod +x "$program"
# No service sits beside the launcher: starting one would fail loudly.
rm -f "$root/bin/zelkor3d-draw-service"

out=$("$root/bin/zelkor3d" 2>&1)
code=$?
[[ $out == "program ran with 0 arguments" ]] || fail "the launcher said: $out"
[[ $code -eq 3 ]] || fail "exit code $code, want the program's 3"
echo "PASS: the program alone was run, and its exit code passed on"
