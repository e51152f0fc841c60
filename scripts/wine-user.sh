# Who runs Wine in a build's prefix (sourced by setup-wine.sh,
# wine-server.sh, BUILD/wine-run and the scripts that lay out files for the
# programs under Wine).
#
# Root never runs Wine here.  Started as root, the test bed runs Wine as the
# unprivileged user morvane-test, so that a file this user may not write is
# refused as a standard Windows user meets it (root writes any file, whatever
# its permissions say).  morvane-other is the other user: a file that belongs
# to it is one whose permissions deny morvane-test, and morvane-test may give
# a file to it and take it back (its subordinate user id is morvane-other's),
# so that a test can deny a file without root.  Started by another user, the
# test bed runs Wine as that user.
#
# MORVANE_WINE_USER (set by setup-wine.sh, kept in BUILD/wine/env) names the
# user who runs Wine, MORVANE_OTHER_UID the other user's id; as root, the
# functions below switch to the Wine user.
wine_test_user=morvane-test
wine_other_user=morvane-other

# True when the caller is root and Wine runs as another user.
wine_user_differs() {
  [ "$(id -u)" = 0 ] && [ -n "${MORVANE_WINE_USER:-}" ] && [ "$MORVANE_WINE_USER" != root ]
}

# The command prefix that runs a command as the Wine user, keeping the
# environment (the prefix, the display, the locale) but the user's own
# home, and no X cookie of root's.
wine_user_command() {
  local home
  home=$(getent passwd "$MORVANE_WINE_USER" | cut -d: -f6)
  wine_user_cmd=(setpriv --reuid="$MORVANE_WINE_USER" --regid="$MORVANE_WINE_USER" --init-groups
    env -u XAUTHORITY -u XDG_RUNTIME_DIR
    HOME="$home" USER="$MORVANE_WINE_USER" LOGNAME="$MORVANE_WINE_USER")
}

# Runs a command as the Wine user (as the caller when that is the same).
as_wine_user() {
  if wine_user_differs; then
    wine_user_command
    "${wine_user_cmd[@]}" "$@"
  else
    "$@"
  fi
}

# Runs the calling script anew as the Wine user when the caller is root:
#   become_wine_user "$0" "$@"
become_wine_user() {
  if wine_user_differs; then
    wine_user_command
    exec "${wine_user_cmd[@]}" "$@"
  fi
}

# What root laid out below each DIR for the programs under Wine (books,
# settings, folders they write into) goes to the Wine user, as if that user
# had made it: only root's own files change hands, so that a file given to
# morvane-other stays denied.  Called before each program starts.
hand_over() { # DIR...
  wine_user_differs || return 0
  local dir
  for dir in "$@"; do
    [ -e "$dir" ] && find "$dir" -user 0 -exec chown -h "$MORVANE_WINE_USER:" {} +
  done
  return 0
}
