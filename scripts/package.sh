#!/usr/bin/env bash
# The release package: builds the Win32 programs in Release (preset win) and
# writes DIST (default dist/) with
#   Morvane-companions-<version>.zip   the Exe folder as the product installs
#                                      it (Quimbex.exe, Tessaro.exe,
#                                      DORNMSG.dll), ikotool.exe, INSTALL.txt,
#                                      THIRD-PARTY-NOTICES.txt (the notices
#                                      of the libraries linked in)
#   SHA256SUMS                         of the zip, of every file in it (below
#                                      the folder the zip unpacks into) and
#                                      of INSTALL.txt beside it
#   INSTALL.txt                        the install note, also beside the zip
# The texts are CP932 with CRLF line ends, for Notepad of a Japanese Windows.
# Never packed: the stand-in DornEnv.dll, the Excel stand-in, test tools.
# The test tests/shipping/package-test.sh runs it into a folder of its own.
#   package.sh [DIST]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dist=${1:-dist}

scripts/install-deps.sh

cmake --preset win >/dev/null
cmake --build --preset win -j"$(nproc)" --target Quimbex Tessaro DORNMSG ikotool >/dev/null
# The preset sets Release; a build folder configured by hand must not slip
# a debug build into the package.
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' build/win/CMakeCache.txt)
if [ "$build_type" != Release ]; then
  echo "package.sh: build/win is a $build_type build, not Release" >&2
  exit 1
fi

version=$(sed -n 's/^#define MORVANE_VERSION_TEXT "\(.*\)"$/\1/p' build/win/generated/MorvaneVersion.h)
version=${version%.0}
name="Morvane-companions-$version"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/$name
mkdir -p "$stage/Exe" "$dist"
dist=$(cd "$dist" && pwd)
# Only what this script writes goes: DIST may be a folder with other files.
rm -f "$dist"/Morvane-companions-*.zip "$dist/SHA256SUMS" "$dist/INSTALL.txt"
for f in Quimbex.exe Tessaro.exe DORNMSG.dll; do
  cp "build/win/bin/$f" "$stage/Exe/"
done
cp build/win/bin/ikotool.exe "$stage/"
windows_text() { sed 's/$/\r/' | iconv -f UTF-8 -t CP932; }
sed "s/@VERSION@/$version/g" packaging/INSTALL.txt | windows_text >"$stage/INSTALL.txt"
windows_text <packaging/THIRD-PARTY-NOTICES.txt >"$stage/THIRD-PARTY-NOTICES.txt"
# Stable order and times, so the same sources give the same zip: the files'
# times and the PE header's time stamp (which strip writes anew, from
# SOURCE_DATE_EPOCH when set) are the last commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
x86_64-w64-mingw32-strip "$stage"/Exe/*.exe "$stage"/Exe/*.dll "$stage"/ikotool.exe
find "$stage" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | zip -X -q "$dist/$name.zip" -@)
# The zip's files are named as they lie once "Extract All" has unpacked the
# zip beside itself into the folder it proposes (the zip's name), so that
# `sha256sum -c SHA256SUMS` checks them there; before that,
# `sha256sum -c --ignore-missing SHA256SUMS` checks the zip and INSTALL.txt.
(cd "$work" && find "$name" -type f | LC_ALL=C sort | xargs sha256sum) >"$dist/SHA256SUMS"
(cd "$dist" && sha256sum "$name.zip") >>"$dist/SHA256SUMS"
(cd "$stage" && sha256sum INSTALL.txt) >>"$dist/SHA256SUMS"
cp "$stage/INSTALL.txt" "$dist/"
echo "package: $dist/$name.zip"
cat "$dist/SHA256SUMS"
