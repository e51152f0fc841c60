#!/usr/bin/env bash
# The Wine test bed of one build folder, used by the tests and the demo.
#   setup-wine.sh start BUILD   packages, test users, Japanese prefix,
#                               display, small disk, server
#   setup-wine.sh stop BUILD    ends the server and the Xvfb that start began,
#                               and takes the small disk away
# Idempotent: the prefix BUILD/wine/prefix is kept between runs and made anew
# only when this script changes.  BUILD/wine/env holds the variables that
# BUILD/wine-run and the scripts source.
#
# Started as root, it makes the users of scripts/wine-user.sh and runs Wine,
# the prefix and the display as morvane-test; root itself only does what
# needs root: the users, the way into the build folder, and the small tmpfs
# that the tests of a full disk take (BUILD/wine/full-disk, named in
# MORVANE_FULL_DISK).  Started by another user, Wine runs as that user and
# there is no small disk.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmd=${1:?usage: setup-wine.sh start|stop BUILD}
build=$(cd "${2:?usage: setup-wine.sh start|stop BUILD}" && pwd)
wdir="$build/wine"
prefix="$wdir/prefix"
disk="$wdir/full-disk"
. "$here/wine-user.sh"
mkdir -p "$wdir"

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ "$(id -u)" = 0 ]; then
  export MORVANE_WINE_USER=$wine_test_user
else
  export MORVANE_WINE_USER=$(id -un)
fi

# morvane-test runs Wine; morvane-other owns what morvane-test may not
# change.  Nobody logs in as either.  morvane-test's one subordinate user id
# is morvane-other's, so that it may give a file to morvane-other and take
# it back in a user namespace of its own (unshare --map-root-user
# --map-users=UID,1,1: 0 is morvane-test there, 1 morvane-other).  The line
# is written directly: usermod refuses while the user runs a program.
make_users() {
  id -u "$wine_other_user" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --home-dir /nonexistent \
      --shell /usr/sbin/nologin --comment "owns files the Morvane tests may not change" \
      "$wine_other_user"
  id -u "$wine_test_user" >/dev/null 2>&1 ||
    useradd --system --user-group --create-home --home-dir "/var/lib/$wine_test_user" \
      --shell /usr/sbin/nologin --comment "runs Wine for the Morvane tests" "$wine_test_user"
  local line
  line="$wine_test_user:$(id -u "$wine_other_user"):1"
  grep -qx "$line" /etc/subuid 2>/dev/null || echo "$line" >>/etc/subuid
}

# Wine loads the programs from BUILD/bin: every folder above it must let the
# Wine user through (a build below /root does not).  Only the search right
# is granted, to that user alone.
grant_way_in() {
  local dir=$build
  as_wine_user true || { echo "setup-wine: cannot run as $MORVANE_WINE_USER" >&2; exit 1; }
  while [ "$dir" != / ]; do
    as_wine_user test -x "$dir" || setfacl -m "u:$MORVANE_WINE_USER:x" "$dir"
    dir=$(dirname "$dir")
  done
}

# The folders that the Wine user writes: the prefix's folder and the tests'
# output (screenshots, logs), with whatever root left there before.
hand_over_folders() {
  mkdir -p "$build/test-output"
  chown "$MORVANE_WINE_USER:" "$wdir"
  chown -R "$MORVANE_WINE_USER:" "$build/test-output"
}

display_works() { as_wine_user env DISPLAY="$1" xdpyinfo >/dev/null 2>&1; }

start_display() {
  if [ -n "${DISPLAY:-}" ] && display_works "$DISPLAY"; then
    echo "$DISPLAY"
    return
  fi
  if [ -f "$wdir/xvfb.pid" ] && kill -0 "$(cat "$wdir/xvfb.pid")" 2>/dev/null; then
    cat "$wdir/xvfb.display"
    return
  fi
  [ "$(id -u)" != 0 ] || [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # The Wine user's own server (it and root may connect: no cookie).  Started
  # as a simple command, so that its process id is the server's.
  local as_user=()
  if wine_user_differs; then
    wine_user_command
    as_user=("${wine_user_cmd[@]}")
  fi
  "${as_user[@]}" setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null \
    >"$wdir/xvfb.log" 2>&1 &
  echo $! >"$wdir/xvfb.pid"
  echo ":$n" >"$wdir/xvfb.display"
  for _ in $(seq 100); do
    display_works ":$n" && break
    sleep 0.1
  done
  echo ":$n"
}

registry_settings() {
  local fonts='HKCU\Software\Wine\Fonts\Replacements'
  for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" \
              "Tahoma" "MS PGothic" "MS Gothic"; do
    wine reg add "$fonts" /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null
  done
  # Without a window manager Wine draws the title bars itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
  # A crash must end the program, not wait for someone to close a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null
}

# As the Wine user (setup-wine.sh runs itself so for this part).
create_prefix() {
  echo "setup-wine: creating the Japanese Wine prefix in $prefix"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
  registry_settings </dev/null
  # Wine draws the title-bar buttons with Marlett, which Debian's Wine does
  # not put where the prefix looks for fonts: without it they show as letters.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  wineserver -w
}

# Wine refuses a prefix that another user owns: one of another user (root,
# before the tests ran as morvane-test) or of an older set-up is ended, as
# its owner, and made anew.
make_prefix() {
  local stamp owner
  stamp="$(sha1sum "${BASH_SOURCE[0]}" | cut -c1-40) $MORVANE_WINE_USER"
  if [ -f "$prefix/.morvane-stamp" ] && [ "$(cat "$prefix/.morvane-stamp")" = "$stamp" ]; then
    return
  fi
  if [ -d "$prefix" ]; then
    owner=$(stat -c %U "$prefix")
    MORVANE_WINE_USER=$owner as_wine_user "$here/wine-server.sh" down 2>/dev/null || true
    rm -rf "$prefix"
  fi
  as_wine_user "${BASH_SOURCE[0]}" create-prefix "$build"
  echo "$stamp" | as_wine_user tee "$prefix/.morvane-stamp" >/dev/null
}

# A tmpfs for the tests of a full disk: FullDisk (tests/support) fills all of
# it but what the test asks for.  Mounting needs root; the disk belongs to
# the Wine user.
mount_full_disk() {
  [ "$(id -u)" = 0 ] || return 0
  mkdir -p "$disk"
  mountpoint -q "$disk" ||
    mount -t tmpfs -o "size=8m,mode=0700,uid=$(id -u "$MORVANE_WINE_USER"),gid=$(id -g "$MORVANE_WINE_USER")" \
      tmpfs "$disk"
}

unmount_full_disk() {
  if mountpoint -q "$disk" 2>/dev/null; then
    umount "$disk" 2>/dev/null || umount -l "$disk"
  fi
}

write_env() {
  local full_disk= other=
  mountpoint -q "$disk" 2>/dev/null && full_disk="export MORVANE_FULL_DISK=\"$disk\""
  id -u "$wine_other_user" >/dev/null 2>&1 && [ "$MORVANE_WINE_USER" = "$wine_test_user" ] &&
    other="export MORVANE_OTHER_UID=$(id -u "$wine_other_user")"
  # A WINEDEBUG that the caller set stays: wine-run then shows Wine's own
  # messages on standard error.
  cat >"$wdir/env" <<ENV
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG="\${WINEDEBUG:--all}"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 DISPLAY="$1"
export MORVANE_WINE_USER="$MORVANE_WINE_USER"
$full_disk
$other
ENV
}

case "$cmd" in
start)
  "$here/install-deps.sh"
  if [ "$(id -u)" = 0 ]; then
    make_users
    grant_way_in
    hand_over_folders
  fi
  display=$(start_display)
  export DISPLAY="$display"
  make_prefix
  mount_full_disk
  write_env "$display"
  as_wine_user "$here/wine-server.sh" up
  ;;
create-prefix)
  create_prefix
  ;;
stop)
  [ -f "$wdir/env" ] && . "$wdir/env"
  as_wine_user "$here/wine-server.sh" down || true
  if [ -f "$wdir/xvfb.pid" ]; then
    kill "$(cat "$wdir/xvfb.pid")" 2>/dev/null || true
    rm -f "$wdir/xvfb.pid" "$wdir/xvfb.display"
  fi
  unmount_full_disk
  ;;
*)
  echo "usage: setup-wine.sh start|stop BUILD" >&2
  exit 2
  ;;
esac
