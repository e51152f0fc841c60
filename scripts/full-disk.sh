#!/usr/bin/env bash
# A full disk for the tests: a tmpfs of 1 MB mounted below the build's Wine
# folder and made drive S: of its prefix.  Tests fill it and check that a
# write that runs out of space leaves the old file whole.
#   full-disk.sh up BUILD     mount and link (needs root; without it the
#                             full-disk tests are skipped)
#   full-disk.sh down BUILD   unlink and unmount
set -euo pipefail
cmd=${1:?usage: full-disk.sh up|down BUILD}
build=$(cd "${2:?usage: full-disk.sh up|down BUILD}" && pwd)
dir="$build/wine/fulldisk"
link="$build/wine/prefix/dosdevices/s:"

case "$cmd" in
up)
  if [ ! -d "$build/wine/prefix/dosdevices" ]; then
    echo "full-disk: no Wine prefix in $build; run scripts/setup-wine.sh start first" >&2
    exit 1
  fi
  mkdir -p "$dir"
  if ! mountpoint -q "$dir" &&
    ! mount -t tmpfs -o size=1m,mode=1777 tmpfs "$dir" 2>/dev/null; then
    echo "full-disk: cannot mount a tmpfs (not root?); the full-disk tests are skipped" >&2
    exit 0
  fi
  ln -sfn "$dir" "$link"
  ;;
down)
  rm -f "$link"
  if mountpoint -q "$dir"; then umount "$dir"; fi
  ;;
*)
  echo "usage: full-disk.sh up|down BUILD" >&2
  exit 2
  ;;
esac
