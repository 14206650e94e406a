#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest (the emulator of the mingw-w64
# builds), its output going to files that are copied out when it has ended.
# A Wine program may start background programs (a second explorer.exe for the
# desktop, services) that inherit its standard output and error; were those
# CTest's pipes, CTest would wait for the background program until its
# time-out although the test had ended (seen: win32_ui_tests passed and then
# "did not exit", a stray explorer.exe holding the pipe).
set -uo pipefail
out=$(mktemp /tmp/velkor-wine-run.XXXXXX)
trap 'rm -f "$out" "$out.err"' EXIT
wine "$@" >"$out" 2>"$out.err"
status=$?
cat "$out"
cat "$out.err" >&2
exit "$status"
