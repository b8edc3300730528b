#!/usr/bin/env sh
# Restart script: a terminal that restarts itself (or dies and is restarted by the hall's
# service) runs this from the program's folder. It starts the workstation again with the
# connection saved in the settings file.
cd "$(dirname "$0")" || exit 1
sleep 1
nohup ./voter auto >/dev/null 2>&1 &
