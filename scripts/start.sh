#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded demo database when there is none,
# and starts the workstation as the operator console.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
cd "$BUILD_DIR"
if [ ! -f data/voter.db ] && [ ! -f voter.db ]; then
  ./voter-sql --init --demo
fi
exec ./voter auto embedded voter "${1:-admin1}"
