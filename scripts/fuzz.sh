#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each for SECONDS (default 20) on a copy of its
# seed corpus, so runs never grow the repository. Exits non-zero when any target crashes.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      e.g. scripts/fuzz.sh 600 fuzz_xmlmap
# A crash leaves its input as crash-* in $FUZZ_OUT (default build-fuzz/fuzz-out/<target>);
# replay it with: build-fuzz/tests/fuzz/<target> <crash file>
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

SECONDS_PER_TARGET=${1:-20}
shift || true
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
OUT_DIR=${FUZZ_OUT:-$BUILD_DIR/fuzz-out}
JOBS=${FUZZ_BUILD_JOBS:-2}

mkdir -p "$BUILD_DIR"
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DMVX_FUZZ=ON -DMVX_BUILD_GUI=OFF \
  -DCMAKE_BUILD_TYPE= >"$BUILD_DIR/configure.log" 2>&1 || {
  cat "$BUILD_DIR/configure.log" >&2
  exit 1
}
cmake --build "$BUILD_DIR" -j "$JOBS" --target fuzzers

if [ $# -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for src in tests/fuzz/fuzz_*.cpp; do
    TARGETS+=("$(basename "$src" .cpp)")
  done
fi

# Whole example files are seeds too, copied at run time so they never go stale.
extra_seeds() {
  case "$1" in
    fuzz_xmlmap) echo examples/drive-map.xml ;;
    fuzz_testfile) echo examples/production-test.xml ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:print_stacktrace=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
WORK=$(mktemp -d)
# Scratch files of the targets (fuzz_settings saves one per input): on tmpfs when there is one.
SCRATCH=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$WORK" "$SCRATCH"' EXIT

failed=()
for target in "${TARGETS[@]}"; do
  corpus="$WORK/$target"
  mkdir -p "$corpus" "$OUT_DIR/$target"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  for seed in $(extra_seeds "$target"); do cp "$seed" "$corpus"/; done
  dict_args=()
  dict="$ROOT/tests/fuzz/dict/${target#fuzz_}.dict"
  [ -f "$dict" ] && dict_args=(-dict="$dict")
  # CI runs the same mutation sequence every time (FUZZ_SEED to change it); by hand, random.
  if [ -n "${CI:-}${FUZZ_SEED:-}" ]; then dict_args+=(-seed="${FUZZ_SEED:-1}"); fi
  log="$OUT_DIR/$target.log"
  echo "fuzz: $target for ${SECONDS_PER_TARGET}s"
  if (cd "$WORK" && TMPDIR="$SCRATCH" "$BUILD_DIR/tests/fuzz/$target" "$corpus" "${dict_args[@]}" \
      -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$OUT_DIR/$target/") >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|#[0-9]+ +DONE)' "$log" | sed 's/^/  /' || true
  else
    echo "fuzz: $target FAILED, see $log; inputs in $OUT_DIR/$target/" >&2
    grep -E 'ERROR|runtime error|invariant broken|qFatal|SUMMARY' "$log" | head -5 | sed 's/^/  /' >&2 ||
      tail -n 5 "$log" | sed 's/^/  /' >&2
    # The input itself, so that a log read elsewhere is enough to reproduce the crash.
    grep -E '^Base64: ' "$log" | head -1 | sed 's/^/  input as /' >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crashes in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: ${#TARGETS[@]} targets ran ${SECONDS_PER_TARGET}s each without a crash"
