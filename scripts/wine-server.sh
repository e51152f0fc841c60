#!/usr/bin/env bash
# Keeps one persistent wineserver (and a booted prefix) for WINEPREFIX, so
# that each test program starts in milliseconds.  Wine's helper processes get
# /dev/null as standard handles: inherited pipes would hang CTest.
#   wine-server.sh up     start it unless it runs
#   wine-server.sh down   end it and every Wine process of the prefix
# Runs as the Wine user (MORVANE_WINE_USER, see wine-user.sh), whoever
# starts it: the server and its lock file belong to the prefix's owner.
set -u
: "${WINEPREFIX:?}"
. "$(dirname "${BASH_SOURCE[0]}")/wine-user.sh"
become_wine_user "${BASH_SOURCE[0]}" "$@"
case "${1:-up}" in
up)
  exec 9>"$WINEPREFIX/.server.lock"
  flock 9
  # wineserver -p exits at once with status 2 when the prefix's server runs;
  # a fresh one daemonises and answers 0.  The lock file must not be
  # inherited: the server would hold the lock for ever.
  if wineserver -p 9>&- </dev/null >/dev/null 2>&1; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot 9>&- </dev/null >/dev/null 2>&1
  fi
  ;;
down)
  wineserver -k </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1 || true
  ;;
esac
exit 0
