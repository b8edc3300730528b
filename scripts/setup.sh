#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with; skips what is present.
set -euo pipefail
PACKAGES=(
  g++ cmake make
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc tdsodbc unixodbc-dev
  libsqlite3-dev qt6-pdf-dev zlib1g-dev fonts-liberation
  postgresql libqt6sql6-psql
  qt6-translations-l10n
  xvfb imagemagick poppler-utils
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
