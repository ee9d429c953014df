#!/usr/bin/env bash
# Unattended soak of `mvxctl monitor`: the line pulled every 2 min for 10 to 30 s, over a serial
# line and through the TCP gateway. Usage: bench/monitor-soak.sh [SECONDS] (default 3600 each).
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-3600}
BUILD_DIR=${BUILD_DIR:-build}
cmake --build "$BUILD_DIR" -j "$(nproc)" --target bench_monitor_soak mvxctl mvx-drive-sim >/dev/null || exit 2
export QT_QPA_PLATFORM=offscreen
status=0
"$BUILD_DIR/bench/bench_monitor_soak" --seconds "$SECONDS_TO_RUN" || status=$?
"$BUILD_DIR/bench/bench_monitor_soak" --seconds "$SECONDS_TO_RUN" --tcp || status=$?
exit $status
