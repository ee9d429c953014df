#!/usr/bin/env bash
# The window's unattended soak: mvx-configurator under Xvfb (1366x768) polling the simulated drive
# with Logging on while the serial line is pulled every PERIOD s for DOWN s (the socat pair and the
# simulator stopped, then made again at the same path). Prints the samples in the data log against
# those possible while the line was up, the outages found against those made, the reconnect
# times and the window's memory and processor use.
# Usage: bench/window-soak.sh [MINUTES] [PERIOD] [DOWN]   (default 15 min, 120 s, 20 s)
# Needs Xvfb, xdotool, socat and the built programs (BUILD_DIR, default build).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
MINUTES=${1:-15}; PERIOD=${2:-120}; DOWN=${3:-20}
DISPLAY_NUMBER=${SOAK_DISPLAY:-98}
MAP="$ROOT/examples/drive-map.xml"
POLL_MS=100
# shellcheck source=scripts/demo-settings.sh
source scripts/demo-settings.sh

WORK=$(mktemp -d)
export XDG_RUNTIME_DIR="$WORK/runtime" DISPLAY=":$DISPLAY_NUMBER"
mkdir -p "$XDG_RUNTIME_DIR" "$WORK/log" && chmod 700 "$XDG_RUNTIME_DIR"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
now() { date +%s.%N; }

Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
line_up() {
  socat pty,raw,echo=0,link="$WORK/ttyDRIVE" pty,raw,echo=0,link="$WORK/ttyPANEL" 2>/dev/null &
  SOCAT=$!
  for _ in $(seq 50); do [ -e "$WORK/ttyDRIVE" ] && break; sleep 0.1; done
  "$BUILD_DIR/mvx-drive-sim" --port "$WORK/ttyDRIVE" --map "$MAP" >"$WORK/sim.out" 2>&1 &
  SIM=$!
  for _ in $(seq 50); do grep -q READY "$WORK/sim.out" && break; sleep 0.1; done
}
line_down() { kill "$SIM" "$SOCAT"; wait "$SIM" "$SOCAT" 2>/dev/null; }

line_up
write_demo_settings "$WORK" "$WORK/ttyPANEL" "$MAP"
sed -i 's|<Do_Logging>False|<Do_Logging>True|' "$WORK/settings.xml"
(cd "$WORK" && exec "$BUILD_DIR/mvx-configurator" >"$WORK/window.log" 2>&1) &
WINDOW=$!
PIDS+=("$WINDOW")
for _ in $(seq 100); do xdotool search --name "MVX/MVZ configurator" >/dev/null 2>&1 && break; sleep 0.2; done
win=$(xdotool search --name "MVX/MVZ configurator" | head -1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
xdotool key --window "$win" ctrl+k
sleep 10
rss() { awk '/VmRSS/ {print $2}' "/proc/$WINDOW/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$WINDOW/stat"; }
rss0=$(rss); cpu0=$(cpu_ticks); t0=$(now)
: >"$WORK/made.txt"
while [ "$(echo "$(now) - $t0 < $MINUTES * 60" | bc)" = 1 ]; do
  sleep $((PERIOD - DOWN))
  down=$(now); line_down
  sleep "$DOWN"
  line_up; echo "$down $(now)" >>"$WORK/made.txt"
done
sleep 10
rss1=$(rss); cpu1=$(cpu_ticks); t1=$(now)
# Quit as a user would (the footer is written on the way out); the window found again, as it may
# have been re-mapped since.
win=$(xdotool search --name "MVX/MVZ configurator" | head -1)
xdotool key --window "$win" ctrl+q 2>/dev/null
for _ in $(seq 50); do kill -0 "$WINDOW" 2>/dev/null || break; sleep 0.2; done
line_down

log=$(ls "$WORK"/log/*-log.txt)
"$BUILD_DIR/mvxctl" log2csv "$log" "$WORK/log.csv" 2>/dev/null
# Seconds since the epoch of the data log's start ("Log started at hh:mm:ss,zzz of dd/MM/yyyy").
start=$(head -1 "$log" | sed -E 's|.* ([0-9:]+),([0-9]+) of ([0-9]+)/([0-9]+)/([0-9]+)|\5-\4-\3 \1.\2|')
start_epoch=$(date -d "$start" +%s.%N)
hours=$(echo "($t1 - $t0) / 3600" | bc -l)
echo "window soak: $MINUTES min, line pulled every $PERIOD s for $DOWN s, ${POLL_MS} ms poll"
awk -F, -v start="$start_epoch" -v t0="$t0" -v t1="$t1" -v sample=$((2 * POLL_MS)) '
  NR == FNR { split($0, f, " "); down[++made] = f[1]; up[made] = f[2]; next }
  FNR > 1 {
    t = start + $2; empty = 1
    for (i = 3; i <= NF; i++) if ($i != "") empty = 0
    if (empty) gap[++gaps] = t; else data[++n] = t
  }
  END {
    possible = 0; recorded = 0
    for (k = 0; k <= made; k++) {
      from = (k == 0) ? t0 : up[k]; to = (k == made) ? t1 : down[k + 1]
      possible += (to - from) * 1000 / sample
      for (i = 1; i <= n; i++) if (data[i] >= from && data[i] < to) recorded++
    }
    matched = 0; worst = 0
    for (k = 1; k <= made; k++) {
      back = -1
      for (i = 1; i <= n; i++) if (data[i] > up[k]) { back = data[i] - up[k]; break }
      near = 0
      for (g = 1; g <= gaps; g++) if (gap[g] - down[k] < 1 && down[k] - gap[g] < 1) near = 1
      if (near && back >= 0 && back <= 1) matched++
      r[k] = back; if (back > worst) worst = back
    }
    for (i = 2; i <= made; i++) for (j = i; j > 1 && r[j - 1] > r[j]; j--) { x = r[j]; r[j] = r[j - 1]; r[j - 1] = x }
    printf "samples recorded / possible:   %d / %.0f = %.2f %%\n", recorded, possible, 100 * recorded / possible
    printf "outages made / gaps found:     %d / %d (%d with start and end within 1 s)\n", made, gaps, matched
    printf "reconnect after return:        median %.0f ms, max %.0f ms\n", 1000 * r[int((made + 1) / 2)], 1000 * worst
  }' "$WORK/made.txt" "$WORK/log.csv"
echo "window RSS:                    $rss0 -> $rss1 kB = $(echo "($rss1 - $rss0) / 1024 / $hours" | bc -l | xargs printf '%.1f') MB per hour"
echo "window CPU:                    $(echo "($cpu1 - $cpu0) / $(getconf CLK_TCK) / $hours" | bc -l | xargs printf '%.0f') s per hour"
echo "data log footer:               $(tail -1 "$log")"
