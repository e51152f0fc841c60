#!/usr/bin/env bash
# The Wine test bed of one build folder, used by the tests and the demo.
#   setup-wine.sh start BUILD   packages, Japanese prefix, display, server
#   setup-wine.sh stop BUILD    ends the server and the Xvfb that start began
# Idempotent: the prefix BUILD/wine/prefix is kept between runs and made anew
# only when this script changes.  BUILD/wine/env holds the variables that
# BUILD/wine-run and the scripts source.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmd=${1:?usage: setup-wine.sh start|stop BUILD}
build=$(cd "${2:?usage: setup-wine.sh start|stop BUILD}" && pwd)
wdir="$build/wine"
prefix="$wdir/prefix"
mkdir -p "$wdir"

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

display_works() { DISPLAY="$1" xdpyinfo >/dev/null 2>&1; }

start_display() {
  if [ -n "${DISPLAY:-}" ] && display_works "$DISPLAY"; then
    echo "$DISPLAY"
    return
  fi
  if [ -f "$wdir/xvfb.pid" ] && kill -0 "$(cat "$wdir/xvfb.pid")" 2>/dev/null; then
    cat "$wdir/xvfb.display"
    return
  fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$wdir/xvfb.log" 2>&1 &
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

make_prefix() {
  local stamp
  stamp=$(sha1sum "${BASH_SOURCE[0]}" | cut -c1-40)
  if [ -f "$prefix/.morvane-stamp" ] && [ "$(cat "$prefix/.morvane-stamp")" = "$stamp" ]; then
    return
  fi
  echo "setup-wine: creating the Japanese Wine prefix in $prefix"
  "$here/wine-server.sh" down 2>/dev/null || true
  rm -rf "$prefix"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
  registry_settings </dev/null
  # Wine draws the title-bar buttons with Marlett, which Debian's Wine does
  # not put where the prefix looks for fonts: without it they show as letters.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  wineserver -w
  echo "$stamp" >"$prefix/.morvane-stamp"
}

case "$cmd" in
start)
  "$here/install-deps.sh"
  display=$(start_display)
  export DISPLAY="$display"
  make_prefix
  cat >"$wdir/env" <<ENV
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 DISPLAY="$display"
ENV
  "$here/wine-server.sh" up
  ;;
stop)
  "$here/wine-server.sh" down || true
  if [ -f "$wdir/xvfb.pid" ]; then
    kill "$(cat "$wdir/xvfb.pid")" 2>/dev/null || true
    rm -f "$wdir/xvfb.pid" "$wdir/xvfb.display"
  fi
  ;;
*)
  echo "usage: setup-wine.sh start|stop BUILD" >&2
  exit 2
  ;;
esac
