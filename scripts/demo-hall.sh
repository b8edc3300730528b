#!/usr/bin/env bash
# A demo hall on one screen: the operator console, the chairman terminal, the watcher and the
# deputy terminal of seat 07 as separate workstation processes on the embedded demo database,
# each borderless in its own tile. Without a DISPLAY it starts its own Xvfb screen (:77) and
# says so; take screenshots with `DISPLAY=:77 import -window root hall.png`.
# Tile size: TILE_W x TILE_H (default 1280 x 1024); the screen holds 2 x 2 tiles.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd "${BUILD_DIR:-build}"
[ -f voter.db ] || ./voter-sql --init --demo
W=${TILE_W:-1280}
H=${TILE_H:-1024}
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 $((2 * W))x$((2 * H))x24 >/dev/null 2>&1 &
  export DISPLAY=:77
  sleep 1
  echo "demo hall on the virtual screen :77 ($((2 * W))x$((2 * H)))"
fi
i=0
for login in admin1 02 watcher 07; do
  x=$(((i % 2) * W))
  y=$(((i / 2) * H))
  ./voter --geometry=${W}x${H}+${x}+${y} auto embedded voter "$login" &
  i=$((i + 1))
done
wait
