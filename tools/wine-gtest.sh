#!/usr/bin/env bash
# Runs one GoogleTest program of the Windows build under wine and judges it
# by the program's own XML report, not by wine's exit status: wine's loader
# sometimes fails an assertion while a program that passed every test ends
# ("Inconsistency detected by ld.so: dl-fini.c ..."), which would fail a
# sound run. A missing or incomplete report, or one with a failure or an
# error, fails the test whatever wine returned.
# Usage: wine-gtest.sh WINE PROGRAM REPORT [ARGUMENTS...]
set -uo pipefail
wine=$1 program=$2 report=$3
shift 3
rm -f "$report" "$report.stderr"
mkdir -p "$(dirname "$report")"
# The report's path relative to the working folder, so the Windows program
# need not know how wine names this machine's folders.
cd "$(dirname "$report")" || exit 1
"$wine" "$program" --gtest_output="xml:$(basename "$report")" "$@" 2>"$report.stderr"
status=$?
cat "$report.stderr" >&2

if [ ! -s "$report" ] || ! grep -q '</testsuites>' "$report"; then
  echo "FAIL: $(basename "$program") left no complete report in $report (exit status $status)" >&2
  exit 1
fi
# The totals are attributes of the report's root element.
root=$(grep -m 1 -o '<testsuites [^>]*>' "$report")
count() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$root"; }
tests=$(count tests) failures=$(count failures) errors=$(count errors)
if [ -z "$tests" ] || [ -z "$failures" ] || [ -z "$errors" ]; then
  echo "FAIL: $report has no test totals" >&2
  exit 1
fi
if [ "$failures" != 0 ] || [ "$errors" != 0 ] || grep -q '<failure' "$report"; then
  echo "FAIL: $(basename "$program"): $failures of $tests tests failed, $errors errors (see $report)" >&2
  exit 1
fi
if [ "$status" != 0 ]; then
  echo "NOTE: $(basename "$program") passed all $tests tests, then wine itself failed with exit status $status" \
       "($(tail -n 1 "$report.stderr")); the program's report decides"
fi
exit 0
