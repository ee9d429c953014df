#!/usr/bin/env bash
# Builds the project and starts mvx-configurator on a simulated drive:
#   socat makes a pair of linked pseudo-terminals, mvx-drive-sim answers on one end with the
#   example register map, and the configurator starts in build/demo with that end's partner
#   preselected as its port. Press Connect. Closing the window stops the simulator and socat.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
export BUILD_DIR

bash scripts/bootstrap.sh
bash scripts/build.sh

DEMO_DIR="$BUILD_DIR/demo"
DRIVE_PORT="$DEMO_DIR/ttyDRIVE"
PANEL_PORT="$DEMO_DIR/ttyPANEL"
MAP="$ROOT/examples/drive-map.xml"
mkdir -p "$DEMO_DIR/log"
rm -f "$DRIVE_PORT" "$PANEL_PORT"

SOCAT_PID=""
SIM_PID=""
cleanup() {
  for pid in $SIM_PID $SOCAT_PID; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

socat pty,raw,echo=0,link="$DRIVE_PORT" pty,raw,echo=0,link="$PANEL_PORT" 2>"$DEMO_DIR/socat.err" &
SOCAT_PID=$!
for _ in $(seq 50); do
  [ -e "$DRIVE_PORT" ] && [ -e "$PANEL_PORT" ] && break
  sleep 0.1
done
if ! [ -e "$DRIVE_PORT" ] || ! [ -e "$PANEL_PORT" ]; then
  echo "demo: socat did not create the serial pair (see $DEMO_DIR/socat.err)" >&2
  exit 1
fi

SIM_OUT="$DEMO_DIR/drive-sim.out"
"$BUILD_DIR/mvx-drive-sim" --port "$DRIVE_PORT" --map "$MAP" --log "$DEMO_DIR/drive-requests.log" \
  >"$SIM_OUT" 2>"$DEMO_DIR/drive-sim.err" &
SIM_PID=$!
for _ in $(seq 50); do
  grep -q READY "$SIM_OUT" 2>/dev/null && break
  kill -0 "$SIM_PID" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q READY "$SIM_OUT" 2>/dev/null; then
  echo "demo: the simulated drive did not start (see $DEMO_DIR/drive-sim.err)" >&2
  exit 1
fi

# shellcheck source=scripts/demo-settings.sh
source scripts/demo-settings.sh
write_demo_settings "$DEMO_DIR" "$PANEL_PORT" "$MAP"

echo "demo: simulated drive on $DRIVE_PORT; the configurator's port is $PANEL_PORT"
echo "demo: press Connect in the window; closing it stops the simulator and socat"
cd "$DEMO_DIR"
"$BUILD_DIR/mvx-configurator"
