#!/usr/bin/env bash
# A demo hall on one screen: the operator console, the chairman terminal, the watcher and the
# deputy terminal of seat 07 as separate workstation processes on the embedded demo database,
# each borderless in its own tile and each in its own program folder under build/demo-hall/
# (its own voter.ini, restart script and status file, so the operator's restart command brings
# every terminal back with its own login). Without a DISPLAY it starts its own Xvfb screen
# (:77) and says so; take screenshots with `DISPLAY=:77 import -window root hall.png`.
# Tile size: TILE_W x TILE_H (default 1280 x 1024); the screen holds 2 x 2 tiles.
# Ctrl-C stops the hall (and the Xvfb screen it started).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
W=${TILE_W:-1280}
H=${TILE_H:-1024}
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 $((2 * W))x$((2 * H))x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true' EXIT
  export DISPLAY=:77
  sleep 1
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb :77 did not start (is the display taken?)" >&2; exit 1; }
  echo "demo hall on the virtual screen :77 ($((2 * W))x$((2 * H)))"
fi
"$BUILD_DIR/tests/hall-driver" --start-only --hall "$BUILD_DIR/demo-hall" --bin "$BUILD_DIR" \
  --tile "${W}x${H}" --logins admin1,02,watcher,07
