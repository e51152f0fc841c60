#!/usr/bin/env bash
# scripts/gallery.sh in its smoke mode: a message box and a dialog of the
# real programs captured, each cropped to its window, and the page naming
# both with what leads to them.
#   gallery-smoke-test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
root=${1:?usage: gallery-smoke-test.sh SOURCE_DIR BUILD_DIR}
build=$(cd "${2:?}" && pwd)
out=$build/test-output/gallery-smoke
rm -rf "$out"
if ! "$root/scripts/gallery.sh" --smoke "$out" >"$build/test-output/gallery-smoke.log" 2>&1; then
  cat "$build/test-output/gallery-smoke.log"
  echo "gallery_smoke_test: scripts/gallery.sh --smoke failed"
  exit 1
fi
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
page=$out/GALLERY.md
cat "$page"
for expected in \
  'Message box 「Quimbex」, icon: exclamation, buttons: OK; answered OK' \
  '> ﾊﾟﾗﾒｰﾀが不正です。' \
  '![q-bad-code](gallery/q-bad-code-01.png)' \
  'Dialog 「Morvaneデータ移行ツール」' \
  '![t-main](gallery/t-main-01.png)' \
  'The user clicks 「閉じる」 in 「Morvaneデータ移行ツール」.' \
  '`Quimbex.exe /K:4`' '`Tessaro.exe`'; do
  grep -qF -- "$expected" "$page" || fail "the page has no \"$expected\""
done
# Each picture is its window alone: a message box is far smaller than the
# 1280x1024 screen, the main dialog larger than the box.
size() { identify -format '%w %h' "$out/gallery/$1.png" 2>/dev/null; }
read -r bw bh <<<"$(size q-bad-code-01)"
read -r dw dh <<<"$(size t-main-01)"
[ -n "${bw:-}" ] && [ "$bw" -lt 600 ] && [ "$bh" -lt 300 ] || fail "the box's picture is ${bw:-?}x${bh:-?}"
[ -n "${dw:-}" ] && [ "$dw" -gt "$bw" ] && [ "$dh" -gt 400 ] && [ "$dw" -lt 1000 ] ||
  fail "the dialog's picture is ${dw:-?}x${dh:-?}"
if [ "$failures" -eq 0 ]; then
  echo "gallery_smoke_test: both windows captured"
  exit 0
fi
echo "gallery_smoke_test: $failures checks failed"
exit 1
