#!/usr/bin/env bash
# What .ci/summary makes of test command logs: one row per case, the log's text and
# the lines expected, release "debian13".
set -u
here=$(cd "$(dirname "$0")" && pwd)
summary="$here/../../.ci/summary"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {  # case name, log text, expected lines
  printf '%s' "$2" >"$work/log"
  local got
  got=$(bash "$summary" debian13 "$work/log")
  if [ "$got" != "$3" ]; then
    echo "FAIL $1"; echo "  expected:"; sed 's/^/    /' <<<"$3"; echo "  got:"; sed 's/^/    /' <<<"$got"
    failures=$((failures + 1))
  fi
}

check "counts per build" \
'== Summary
  host: 100% tests passed, 0 tests failed out of 4
  i686: 93% tests passed, 2 tests failed out of 30
34 passed, 2 failed
' \
'debian13 host: 4/4 passed
debian13 i686: 28/30 passed'

check "builds without counts keep their words" \
'== Summary
  x86_64: BUILD FAILED (see build/x86_64.build.log)
  i686: built; tests not run: the kernel cannot run 32-bit programs
  asan: NO RESULT (see build/asan.ctest.log)
0 passed, 2 failed
' \
'debian13 x86_64: BUILD FAILED (see build/x86_64.build.log)
debian13 i686: built; tests not run: the kernel cannot run 32-bit programs
debian13 asan: NO RESULT (see build/asan.ctest.log)'

check "indented lines before the summary are not builds" \
'== host: testing
  host: 0% tests passed, 4 tests failed out of 4
== What the failed tests printed
  x: y
== Summary
  host: 100% tests passed, 0 tests failed out of 4
4 passed, 0 failed
' \
'debian13 host: 4/4 passed'

check "a command that stopped before its summary" \
'setup: failed: could not install build-essential
' \
'debian13: NO RESULT (the test command stopped before its summary)'

check "an empty log" '' 'debian13: NO RESULT (the test command stopped before its summary)'

got=$(bash "$summary" debian13 "$work/no-such-log")
[ "$got" = 'debian13: NO RESULT (the test command stopped before its summary)' ] ||
  { echo "FAIL a log that was never written: $got"; failures=$((failures + 1)); }

echo "summary cases: $failures failed"
[ "$failures" = 0 ]
