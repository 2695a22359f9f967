#!/usr/bin/env bash
# tools/wine-gtest.sh judges a Windows test program by its XML report: a
# passing report wins over wine's own failure at exit (and the log says so);
# a failing, missing or incomplete report fails whatever wine returned.
# A stand-in for wine plays each case: it writes the report it is given
# where the program would, then ends with the given status.
# Usage: wine_gtest_test.sh SOURCE_DIR
set -uo pipefail
judge=$1/tools/wine-gtest.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/fake-wine" <<'FAKE'
#!/usr/bin/env bash
# fake-wine PROGRAM --gtest_output=xml:FILE: plays $FAKE_REPORT and $FAKE_STATUS.
for arg in "$@"; do
  case $arg in --gtest_output=xml:*) [ -z "$FAKE_REPORT" ] || cp "$FAKE_REPORT" "${arg#--gtest_output=xml:}" ;; esac
done
echo "[  PASSED  ] as the program printed it"
[ "$FAKE_STATUS" = 0 ] || echo "Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: Assertion failed!" >&2
exit "$FAKE_STATUS"
FAKE
chmod +x "$work/fake-wine"

# NAME TESTS FAILURES ERRORS [<failure> BODY]: a report as GoogleTest writes it.
report() {
  cat >"$work/$1.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="$2" failures="$3" disabled="0" errors="$4" time="0.5" timestamp="2026-12-10T22:00:00.000" name="AllTests">
  <testsuite name="Reporting" tests="$2" failures="$3" disabled="0" skipped="0" errors="$4" time="0.5" timestamp="2026-12-10T22:00:00.000">
    <testcase name="Appends" status="run" result="completed" time="0.1" timestamp="2026-12-10T22:00:00.000" classname="Reporting">${5:-}</testcase>
  </testsuite>
</testsuites>
XML
}
report passed 12 0 0
report failed 12 1 0 '<failure message="x" type=""/>'
report errored 12 0 1
report failure-only-in-body 12 0 0 '<failure message="x" type=""/>'
head -n 3 "$work/passed.xml" >"$work/cut-short.xml"

failed=0
# CASE REPORT STATUS EXPECTED_STATUS [TEXT THE LOG MUST HOLD]
expect() {
  local name=$1 given=$2 status=$3 expected=$4 text=${5:-} log got
  [ -z "$given" ] || given=$work/$given.xml
  log=$(FAKE_REPORT=$given FAKE_STATUS=$status bash "$judge" "$work/fake-wine" "$work/test_reporting.exe" \
        "$work/out/$name/test_reporting.xml" 2>&1)
  got=$?
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $name: exit status $got, not $expected; log:" >&2
    echo "$log" >&2
    failed=1
  elif [ -n "$text" ] && ! grep -qF -- "$text" <<<"$log"; then
    echo "FAIL: $name: the log does not say \"$text\"; log:" >&2
    echo "$log" >&2
    failed=1
  fi
}

expect "passing program, clean end" passed 0 0
expect "passing program, wine fails at exit" passed 134 0 "passed all 12 tests, then wine itself failed with exit status 134"
expect "failing program" failed 1 1 "1 of 12 tests failed"
expect "failing program, status 0" failed 0 1 "1 of 12 tests failed"
expect "errors in the report" errored 0 1 "1 errors"
expect "a failure the totals miss" failure-only-in-body 0 1
expect "no report, status 0" "" 0 1 "left no complete report"
expect "no report, wine fails" "" 134 1 "exit status 134"
expect "report cut short" cut-short 134 1 "left no complete report"

# A report left by an earlier run does not stand in for a run that wrote none.
mkdir -p "$work/out/stale"
cp "$work/passed.xml" "$work/out/stale/test_reporting.xml"
expect stale "" 0 1 "left no complete report"
exit $failed
