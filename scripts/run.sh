#!/usr/bin/env sh
# Restart script of one workstation's program folder (the folder holding voter, voter.ini and
# this file). Two ways to run it:
#
#   run.sh            What the program itself runs when the operator's restart command reaches
#                     it. With the service below watching this folder, it only asks the service
#                     to start the program again; without one, it starts the program itself.
#   run.sh --service [server database login]
#                     The installation's service (desktop autostart or a systemd unit). Runs
#                     the program and brings it back whenever it ends on a database error, is
#                     killed or crashes, or asked to be restarted; it stops when the program was
#                     closed on purpose (the operator's close command or "Выйти из программы").
#                     Before each start it waits until the database answers a read and a
#                     write, so that a terminal does not come back into a connection error;
#                     a program that keeps failing is tried with growing pauses (up to
#                     VOTER_RESTART_LONGEST seconds), and each end and restart is logged on
#                     standard error (the journal under systemd).
#
# Extra options for the program (--geometry=..., --status-file=..., --power-off-command=...)
# come from the environment variable VOTER_OPTIONS; the connection comes from voter.ini, or
# from the service's own arguments after --service, which the program gets after "auto" (a
# trial console started with its login on the command line, whose password is its login).
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

shift
exec 9> run.lock
if ! flock -n 9; then
  echo "run.sh: a service already watches $(pwd)" >&2
  exit 1
fi
rm -f restart.request
pause=${VOTER_RESTART_PAUSE:-1}
longest=${VOTER_RESTART_LONGEST:-30}
# The program knows from this that nobody may be there to answer a message box: it logs its
# start-up errors, shows them without waiting for a touch, and ends so that it is tried again.
VOTER_SERVICE=1
export VOTER_SERVICE
log() { echo "run.sh $(date '+%Y-%m-%d %H:%M:%S') $(pwd): $*" >&2; }
# Ready when the database answers both a read and a write as this workstation: start-up reads
# the mode row and writes the seat's connection mark, and a database that takes one but not
# the other would only end the program again at once. The write is the seat's own row, left
# as it is: a write that touched no row would pass while the seat's row cannot be written.
seat=$(sed -n 's/^Login=//p' voter.ini 2>/dev/null | head -n 1 | tr -d '\r' | sed "s/'/''/g")
ready() {
  [ -x ./voter-sql ] || return 0
  ./voter-sql "SELECT nomer FROM regim" >/dev/null 2>&1 9>&- &&
    ./voter-sql "UPDATE mesto SET connected=connected WHERE nomer='$seat'" >/dev/null 2>&1 9>&-
}
# An operator's console asks for the operator's password itself (it is never saved), and the
# operator is there to read what it says: the unattended database check is not for it.
check=1
if grep -q '^Login=admin' voter.ini 2>/dev/null; then
  check=0
fi
backoff=$pause
while :; do
  waited=0
  # The probe is cheap and an unreachable server makes it wait out its own connect time-out,
  # so it is repeated at the short pause: a terminal comes back within seconds of the network
  # or the server, however long they were away.
  while [ "$check" -eq 1 ] && ! ready; do
    [ "$waited" -eq 0 ] && log "the database does not answer yet; waiting"
    waited=1
    sleep "$pause"
  done
  started=$(date +%s)
  # The program shows a start-up error for this long before it ends.
  VOTER_RETRY_PAUSE=$backoff
  export VOTER_RETRY_PAUSE
  # shellcheck disable=SC2086
  ./voter $VOTER_OPTIONS auto "$@" 9>&-
  code=$?
  # The program asks for its restart just before it exits; give the request time to land.
  sleep "$pause"
  if [ "$code" -eq 0 ] && [ ! -f restart.request ]; then
    log "the program was closed; the service stops"
    break
  fi
  if [ -f restart.request ]; then
    log "restart asked for"
  else
    log "the program ended with code $code; starting it again"
  fi
  rm -f restart.request
  # A program that keeps failing at once is tried less and less often; one that ran for a
  # while starts from the short pause again.
  if [ $(( $(date +%s) - started )) -ge 60 ]; then
    backoff=$pause
  elif [ "$code" -ne 0 ]; then
    backoff=$((backoff * 2)); [ "$backoff" -gt "$longest" ] && backoff=$longest
  fi
done
