#!/usr/bin/env bash
# Sets up, builds and runs every test. This is what CI runs. A throwaway PostgreSQL server
# (scripts/pg-throwaway.sh) runs for the whole script; its URL is in MVX_TEST_PG_URL.
#   1. the normal build and the whole test suite (build/ or $BUILD_DIR);
#   the Debian package built, installed and its tools run on the installed examples;
#   unless MVX_QUICK=1, then:
#   2. the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/);
#   3. the worker, test-engine and simulated-drive tests under ThreadSanitizer (build-tsan/);
#   4. every fuzz target for 20 s (scripts/fuzz.sh, build-fuzz/).
# Every phase runs even when an earlier one failed, so one run shows every failure; the
# script fails when any phase did. A sanitizer report anywhere, also in a helper process a
# test starts (the simulated drive, mvxctl), fails its phase.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=2
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR

bash scripts/bootstrap.sh
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
REPORTS=$(mktemp -d)
NORMAL_LOG=$(mktemp)
FAILURES=$(mktemp)

RESULTS=()
FAILED=0
summary() {
  # The failed checks themselves, where the tail of a long log still shows them.
  if [ -s "$FAILURES" ]; then
    echo "=== test.sh: failed checks"
    cat "$FAILURES"
  fi
  echo "=== test.sh: phases"
  printf '  %s\n' "${RESULTS[@]}"
  printf '  %-28s %3dm%02ds\n' "total" $((SECONDS / 60)) $((SECONDS % 60))
  # The normal suite's count, as one closing line.
  local line total failed
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$NORMAL_LOG" 2>/dev/null | tail -1)
  if [ -n "$line" ]; then
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    echo "tests: $((total - failed)) passed, $failed failed"
  fi
  rm -rf "$REPORTS" "$NORMAL_LOG" "$FAILURES"
}
# The results-database tests run against SQLite and against this throwaway PostgreSQL server.
PG_DIR=""
finish() {
  [ -z "$PG_DIR" ] || bash scripts/pg-throwaway.sh stop "$PG_DIR"
  summary
}
trap finish EXIT
if pg_env=$(bash scripts/pg-throwaway.sh start); then
  eval "$pg_env"
  PG_DIR=$MVX_PG_DIR
  echo "test.sh: PostgreSQL for the results tests at $MVX_TEST_PG_URL"
else
  echo "test.sh: could not start PostgreSQL; its results tests will fail under CI" >&2
fi

# run_phase NAME COMMAND...: runs the command, notes its time and whether it passed.
run_phase() {
  local name=$1 status=0 t0 took
  shift
  echo "=== test.sh: $name"
  t0=$(date +%s)
  "$@" || status=$?
  took=$(($(date +%s) - t0))
  RESULTS+=("$(printf '%-28s %3dm%02ds  %s' "$name" $((took / 60)) $((took % 60)) \
    "$([ "$status" -eq 0 ] && echo ok || echo "FAILED ($status)")")")
  [ "$status" -eq 0 ] || FAILED=1
}

# Sanitizer reports are written to files (log_path) as well as failing the process.
check_reports() {
  local found
  found=$(find "$REPORTS" -type f -size +0 | sort)
  [ -z "$found" ] && return 0
  echo "test.sh: sanitizer reports:" >&2
  for f in $found; do
    echo "--- $f" >&2
    head -n 150 "$f" >&2
    grep -h SUMMARY "$f" >&2 || true
    rm -f "$f"
  done
  return 1
}

# note_failures BUILD_DIR PHASE: keeps each failed check of that ctest run, with its place.
note_failures() {
  local log=$1/Testing/Temporary/LastTest.log
  [ -f "$log" ] || return 0
  grep -E -A1 '^(FAIL!|XPASS|QFATAL) |Received signal' "$log" | grep -v '^--$' | head -n 40 | sed "s/^/  [$2] /" >>"$FAILURES" || true
}

normal_tests() {
  (cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS") | tee "$NORMAL_LOG"
  local status=${PIPESTATUS[0]}
  note_failures "$BUILD_DIR" normal
  return "$status"
}

asan_build() {
  cmake -S . -B build-asan -DMVX_ASAN=ON -DCMAKE_BUILD_TYPE= >/dev/null &&
    cmake --build build-asan -j "$JOBS"
}

asan_tests() {
  local status=0
  (
    cd build-asan
    export ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1:detect_leaks=1:fast_unwind_on_malloc=0:log_path=$REPORTS/asan"
    export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$ROOT/tests/ubsan.supp:log_path=$REPORTS/ubsan"
    ctest --output-on-failure -j "$JOBS"
  ) || status=$?
  note_failures build-asan ASan
  check_reports || status=1
  return "$status"
}

# Only the tests with threads of their own: the worker, the test engine inside it and the
# simulated drive. Qt is not built with ThreadSanitizer; see tests/tsan.supp.
TSAN_TESTS='worker|engine|drivesim|reconnect'

tsan_build() {
  local targets=(mvx-drive-sim mvxctl) src name
  for src in tests/tst_*.cpp; do
    name=$(basename "$src" .cpp)
    if [[ $name =~ $TSAN_TESTS && $name != tst_gui_* ]]; then targets+=("$name"); fi
  done
  cmake -S . -B build-tsan -DMVX_TSAN=ON -DMVX_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE= >/dev/null &&
    cmake --build build-tsan -j "$JOBS" --target "${targets[@]}"
}

tsan_tests() {
  local status=0
  (
    cd build-tsan
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$ROOT/tests/tsan.supp:log_path=$REPORTS/tsan"
    ctest --output-on-failure -j "$JOBS" -R "$TSAN_TESTS"
  ) || status=$?
  note_failures build-tsan TSan
  check_reports || status=1
  return "$status"
}

run_phase "normal build" bash scripts/build.sh
run_phase "normal tests" normal_tests
run_phase "package install" bash scripts/package.sh
if [ "${MVX_QUICK:-0}" != 1 ]; then
  run_phase "ASan+UBSan build" asan_build
  run_phase "ASan+UBSan tests" asan_tests
  run_phase "TSan build" tsan_build
  run_phase "TSan tests" tsan_tests
  run_phase "fuzz, 20 s per target" bash scripts/fuzz.sh 20
fi
exit "$FAILED"
