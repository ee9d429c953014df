#!/usr/bin/env bash
# Takes the README's pictures of the window under Xvfb, at 1366x768 and 1920x1080: first start
# (no Settings.ini) and connected to the simulated drive (socat pair, as scripts/demo.sh).
#   docs/shot-<width>-first.png, docs/shot-<width>-connected.png
# Needs the built programs (scripts/build.sh); installs xdotool and imagemagick when missing.
# SHOT_DISPLAY picks the X display number (default 99).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
DISPLAY_NUMBER=${SHOT_DISPLAY:-99}
MAP="$ROOT/examples/drive-map.xml"
# shellcheck source=scripts/demo-settings.sh
source scripts/demo-settings.sh

for tool in xdotool import; do
  if ! command -v "$tool" >/dev/null; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq xdotool imagemagick
    break
  fi
done
for program in mvx-configurator mvx-drive-sim; do
  [ -x "$BUILD_DIR/$program" ] || { echo "screenshots: build $program first (scripts/build.sh)" >&2; exit 1; }
done

WORK=$(mktemp -d)
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
PIDS=()
# Newest first, each gone before the next: the window leaves before its X server does.
stop_all() {
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
    kill "${PIDS[$i]}" 2>/dev/null || true
    wait "${PIDS[$i]}" 2>/dev/null || true
  done
}
cleanup() {
  stop_all
  rm -rf "$WORK"
}
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: polls the command every 0.2 s
  local tries=$(($1 * 5)); shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}


shoot() {  # shoot WIDTH HEIGHT
  local width=$1 height=$2 dir="$WORK/$1"
  mkdir -p "$dir/log"
  export DISPLAY=":$DISPLAY_NUMBER"
  if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    echo "screenshots: display $DISPLAY is in use; pick another with SHOT_DISPLAY" >&2
    exit 1
  fi
  Xvfb "$DISPLAY" -screen 0 "${width}x${height}x24" -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  PIDS+=($!)
  wait_for 10 xdpyinfo -display "$DISPLAY" || wait_for 10 xdotool getdisplaygeometry

  socat pty,raw,echo=0,link="$dir/ttyDRIVE" pty,raw,echo=0,link="$dir/ttyPANEL" 2>"$dir/socat.err" &
  PIDS+=($!)
  wait_for 10 test -e "$dir/ttyPANEL"
  "$BUILD_DIR/mvx-drive-sim" --port "$dir/ttyDRIVE" --map "$MAP" >"$dir/sim.out" 2>&1 &
  PIDS+=($!)
  wait_for 10 grep -q READY "$dir/sim.out"

  write_demo_settings "$dir" "$dir/ttyPANEL" "$MAP"
  (cd "$dir" && exec "$BUILD_DIR/mvx-configurator" >"$dir/window.log" 2>&1) &
  PIDS+=($!)
  wait_for 20 xdotool search --name "MVX/MVZ configurator"
  local window
  window=$(xdotool search --name "MVX/MVZ configurator" | head -1)
  sleep 2
  import -window root "$ROOT/docs/shot-$width-first.png"

  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  xdotool key --window "$window" ctrl+k   # Drive > Connect
  sleep 6                                  # a few seconds of curves on the Time Graph
  import -window root "$ROOT/docs/shot-$width-connected.png"
  echo "screenshots: docs/shot-$width-first.png, docs/shot-$width-connected.png"

  stop_all
  PIDS=()
}

shoot 1366 768
shoot 1920 1080
