#!/usr/bin/env bash
# The scripted demo meeting: the console, the chairman (02), the watcher and the deputy of seat
# 07 tiled 2 x 2 on a virtual screen of their own (Xvfb :78) are taken through a meeting (agenda,
# registration and its results, speaker requests, a vote and its results, the anthem, the next
# item, the restart command, the meeting closed), with a screenshot of the whole screen after
# each step. Shots go to $1 (default build/demo-shots), named <step>-<name>.png.
# Tile size: TILE_W x TILE_H (default 1280 x 1024, the size the screens are laid out for; screen 2560 x 2048).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-$BUILD_DIR/demo-shots}
W=${TILE_W:-1280}
H=${TILE_H:-1024}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
rm -f "$OUT"/[0-9][0-9]-*.png
case "$OUT" in *[[:space:]\'\"\\]*) echo "the shots folder must not contain blanks or quotes: $OUT" >&2; exit 1 ;; esac

Xvfb :78 -screen 0 $((2 * W))x$((2 * H))x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb :78 did not start (is the display taken?)" >&2; exit 1; }
export DISPLAY=:78

"$BUILD_DIR/tests/hall-driver" --hall "$BUILD_DIR/demo-meeting-hall" --bin "$BUILD_DIR" \
  --tile "${W}x${H}" --logins admin1,02,watcher,07 \
  --shot "import -window root '$OUT/%n-%s.png'"
echo "screenshots in $OUT:"
ls "$OUT"
