#!/usr/bin/env bash
# scripts/ctest-no-skips on a tiny CTest project with one test of each kind that does not run: each
# alone fails the run, unless skips are allowed; a failure fails it whatever is allowed.
# Arguments: the script, cmake, ctest.
set -uo pipefail
script=$1 cmake=$2 ctest=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/ctest-no-skips-tests.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The script runs the ctest found first on the path: this build's.
PATH=$(dirname "$ctest"):$PATH
unset QUORVELLE_ALLOW_SKIPS

mkdir "$work/project"
cat >"$work/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.21)
project(planted NONE)
enable_testing()
add_test(NAME passes COMMAND sh -c "exit 0")
add_test(NAME fails COMMAND sh -c "exit 1")
# As GoogleTest's discovery registers every test: GTEST_SKIP prints this line and exits 0.
add_test(NAME gtest_skip COMMAND sh -c "echo '[  SKIPPED ] needs a program'")
set_tests_properties(gtest_skip PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
add_test(NAME skip_code COMMAND sh -c "exit 77")
set_tests_properties(skip_code PROPERTIES SKIP_RETURN_CODE 77)
add_test(NAME disabled COMMAND sh -c "exit 0")
set_tests_properties(disabled PROPERTIES DISABLED TRUE)
CMAKE
"$cmake" -S "$work/project" -B "$work/build" >/dev/null || exit 1
cd "$work/build" || exit 1

failures=0
# expect <exit status: 0 or nonzero> <what is run> <ctest arguments...>
expect() {
  local want=$1 what=$2
  shift 2
  local got=0
  "$script" "$@" >"$work/out" 2>&1 || got=$?
  if { [ "$want" = 0 ] && [ "$got" != 0 ]; } || { [ "$want" != 0 ] && [ "$got" = 0 ]; }; then
    echo "FAILED: $what: exit status $got, expected ${want/1/non-zero}"
    cat "$work/out"
    failures=$((failures + 1))
  fi
}
expect 0 "a passing test" -R '^passes$'
expect 1 "a GoogleTest skip" -R '^(passes|gtest_skip)$'
expect 1 "a skip return code" -R '^(passes|skip_code)$'
expect 1 "a disabled test" -R '^(passes|disabled)$'
expect 1 "no test at all" -R '^nothing$'
expect 1 "a failing test" -R '^fails$'
# The list names each test that did not run.
expect 1 "every kind together" -E '^fails$'
for name in gtest_skip skip_code disabled; do
  grep -q "^  $name (" "$work/out" || { echo "FAILED: $name is not listed"; cat "$work/out"; failures=$((failures + 1)); }
done

export QUORVELLE_ALLOW_SKIPS=1
expect 0 "skips allowed" -E '^fails$'
expect 0 "no test at all, allowed" -R '^nothing$'
expect 1 "a failing test, skips allowed" -R '^(fails|gtest_skip)$'

[ "$failures" = 0 ] && echo "ctest-no-skips: all cases behave"
exit "$failures"
