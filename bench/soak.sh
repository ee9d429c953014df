#!/usr/bin/env bash
# Fault soak of the worker against the simulated drive. Usage: bench/soak.sh [SECONDS] (default 600).
# Prints the soak's figures and the number of crashes of the soak process itself.
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-600}
BUILD_DIR=${BUILD_DIR:-build}
cmake --build "$BUILD_DIR" -j "$(nproc)" --target bench_soak mvx-drive-sim >/dev/null || exit 2
export QT_QPA_PLATFORM=offscreen
"$BUILD_DIR/bench/bench_soak" --seconds "$SECONDS_TO_RUN"
status=$?
crashes=0
if [ $status -ge 128 ]; then crashes=1; fi
echo "crashes:                 $crashes (exit status $status)"
exit $status
