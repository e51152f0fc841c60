#!/usr/bin/env bash
# The release package: builds the Win32 programs in Release (preset win) and
# writes dist/ with
#   Morvane-companions-<version>.zip   the Exe folder as the product installs
#                                      it (Quimbex.exe, Tessaro.exe,
#                                      DORNMSG.dll), ikotool.exe, INSTALL.txt
#   SHA256SUMS                         of the zip and of every file in it
# Never packed: the stand-in DornEnv.dll, the Excel stand-in, test tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

cmake --preset win >/dev/null
cmake --build --preset win -j"$(nproc)" --target Quimbex Tessaro DORNMSG ikotool >/dev/null

version=$(sed -n 's/^#define MORVANE_VERSION_TEXT "\(.*\)"$/\1/p' build/win/generated/MorvaneVersion.h)
version=${version%.0}
name="Morvane-companions-$version"
stage=build/package/$name
rm -rf build/package dist
mkdir -p "$stage/Exe" dist
for f in Quimbex.exe Tessaro.exe DORNMSG.dll; do
  cp "build/win/bin/$f" "$stage/Exe/"
done
cp build/win/bin/ikotool.exe "$stage/"
sed "s/@VERSION@/$version/" packaging/INSTALL.txt | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$stage/INSTALL.txt"
x86_64-w64-mingw32-strip "$stage"/Exe/*.exe "$stage"/Exe/*.dll "$stage"/ikotool.exe

# Stable order and times, so the same sources give the same zip.
find "$stage" -exec touch -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}" {} +
(cd "$stage" && find . -type f | sort | sed 's|^\./||' | zip -X -q "$root/dist/$name.zip" -@)
(cd "$stage" && find . -type f | sort | sed 's|^\./||' | xargs sha256sum) >dist/SHA256SUMS
(cd dist && sha256sum "$name.zip") >>dist/SHA256SUMS
cp "$stage/INSTALL.txt" dist/
echo "package: dist/$name.zip"
cat dist/SHA256SUMS
