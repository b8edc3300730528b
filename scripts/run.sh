#!/usr/bin/env sh
# Restart script of one workstation's program folder (the folder holding voter, voter.ini and
# this file). Two ways to run it:
#
#   run.sh            What the program itself runs when the operator's restart command reaches
#                     it. With the service below watching this folder, it only asks the service
#                     to start the program again; without one, it starts the program itself.
#   run.sh --service  The installation's service (desktop autostart or a systemd unit). Runs
#                     the program and brings it back whenever it ends on a database error, is
#                     killed or crashes, or asked to be restarted; it stops when the program was
#                     closed on purpose (the operator's close command or "Выйти из программы").
#                     Before each start it waits until the database takes a write, so that a
#                     terminal does not come back into a connection-error message.
#
# Extra options for the program (--geometry=..., --status-file=..., --power-off-command=...)
# come from the environment variable VOTER_OPTIONS; the connection comes from voter.ini.
cd "$(dirname "$0")" || exit 1

if [ "${1:-}" != "--service" ]; then
  # Asked by the program. A running service holds run.lock; the request file tells it that
  # the program's clean exit is a restart, not a close.
  if ! flock -n run.lock true 2>/dev/null; then
    : > restart.request
    exit 0
  fi
  sleep 1
  # shellcheck disable=SC2086
  nohup ./voter $VOTER_OPTIONS auto >/dev/null 2>&1 &
  exit 0
fi

exec 9> run.lock
if ! flock -n 9; then
  echo "run.sh: a service already watches $(pwd)" >&2
  exit 1
fi
rm -f restart.request
pause=${VOTER_RESTART_PAUSE:-1}
# An operator's console asks for the operator's password itself (it is never saved), and the
# operator is there to read what it says: the unattended database check is not for it.
check=1
if grep -q '^Login=admin' voter.ini 2>/dev/null; then
  check=0
fi
while :; do
  # Wait for a database that takes writes: start-up writes the seat's connection mark, and a
  # failed start-up would stop at a message box nobody is there to answer.
  while [ "$check" -eq 1 ] && [ -x ./voter-sql ] && ! ./voter-sql "UPDATE mesto SET connected=connected WHERE 1=0" >/dev/null 2>&1 9>&-; do
    sleep "$pause"
  done
  # shellcheck disable=SC2086
  ./voter $VOTER_OPTIONS auto 9>&-
  code=$?
  # The program asks for its restart just before it exits; give the request time to land.
  sleep "$pause"
  if [ "$code" -eq 0 ] && [ ! -f restart.request ]; then
    break
  fi
  rm -f restart.request
done
