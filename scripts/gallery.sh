#!/usr/bin/env bash
# The gallery: runs the real programs under Wine and captures every dialog
# and message box that a user can meet, each with the state that leads to
# it, into docs/gallery/*.png and docs/GALLERY.md.
#   gallery.sh                 builds, starts the test bed, writes docs/
#   gallery.sh --smoke DIR [CASES...]
#                              two captures (or the case functions of
#                              gallery-cases.sh named) into DIR; the test
#                              bed must run (gallery_smoke_test does this)
# Each capture lays out a fresh sample installation in C:\Gallery (its
# programs from build/win/bin, found from where they lie), registers the
# Excel stand-in as Excel 16, changes what the case needs, and runs the
# program through uidriver.exe, which answers the boxes, takes the steps
# and saves every window it shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

smoke=
out=$root/docs
if [ "${1:-}" = --smoke ]; then
  smoke=1
  out=${2:?usage: gallery.sh [--smoke DIR [CASES...]]}
  shift 2
  cases=("${@:-smoke_cases}")
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
else
  scripts/install-deps.sh
  cmake --preset win >/dev/null
  cmake --build --preset win -j"$(nproc)" >/dev/null
  scripts/setup-wine.sh start build/win
fi
. build/win/wine/env
. scripts/wine-user.sh

bin=$root/build/win/bin
bin_w=$("$root/build/win/wine-run" winepath -w "$bin" 2>/dev/null)
drive_c=$WINEPREFIX/drive_c
shots=$drive_c/gallery-shots
files=$drive_c/gallery-files
control='C:\gallery-standin'
product='C:\Gallery'
product_u=$drive_c/Gallery
quimbex='C:\Gallery\Exe\Quimbex.exe'
tessaro='C:\Gallery\Exe\Tessaro.exe'
main_dlg='Morvaneデータ移行ツール'
pages=$(mktemp -d)
# What uidriver.exe reported of each run, kept for a look afterwards.
runs=$root/build/win/gallery-runs
rm -rf "$runs"
mkdir -p "$runs"
locked=()
declare -A locked_dirs # folder of a locked file -> its owner and mode before

# What the script lays out in the prefix goes to the user who runs the
# programs before each start (a locked file stays morvane-other's).
run() {
  hand_over "$drive_c"
  "$root/build/win/wine-run" "$@"
}
unix_of() { # C:\X\Y -> the prefix's drive_c/X/Y
  local rest=${1#C:\\}
  echo "$drive_c/${rest//\\//}"
}
utf8() { iconv -c -f CP932 -t UTF-8 "$1" | tr -d '\r'; }
cp932() { iconv -f UTF-8 -t CP932; }

unlock_all() {
  local f dir owner mode
  for f in "${locked[@]}"; do chown "$MORVANE_WINE_USER" "$f" 2>/dev/null || true; done
  for dir in "${!locked_dirs[@]}"; do
    read -r owner mode <<<"${locked_dirs[$dir]}"
    chown "$owner" "$dir" 2>/dev/null && chmod "$mode" "$dir" 2>/dev/null || true
  done
  locked=()
  locked_dirs=()
}
finish() {
  unlock_all
  umount "$drive_c/GalleryFull" 2>/dev/null || true
  run reg delete 'HKLM\SOFTWARE\QZTest\ExcelStandin' /v ControlDir /f >/dev/null 2>&1 || true
  run "$bin/ExcelStandin.exe" /regserver 16 >/dev/null 2>&1 || true
  rm -rf "$pages"
  [ -n "$smoke" ] || scripts/setup-wine.sh stop build/win
}
trap finish EXIT

# ---- the state of the installation ----

# A fresh sample installation: DIR (Windows path) with books of EXT.
lay() { # [ext] [dir]
  local ext=${1:-.xls} dir=${2:-$product}
  unlock_all
  rm -rf "$(unix_of "$dir")"
  run "$bin/SampleProduct.exe" "$dir" "/ext:$ext" "/exe:$bin_w" /noregistry >/dev/null 2>&1
}
# The Excel stand-in registered as Excel of that major version, or none.
excel() { # version|none
  if [ "$1" = none ]; then
    run "$bin/ExcelStandin.exe" /unregserver >/dev/null
  else
    run "$bin/ExcelStandin.exe" /regserver "$1" >/dev/null
  fi
}
# Faults of the stand-in (lines of its faults.ini), or none without lines.
faults() {
  local ini=$drive_c/gallery-standin/faults.ini
  rm -f "$ini"
  [ $# -eq 0 ] || printf '%s\r\n' "$@" | cp932 >"$ini"
}
# Sets KEY=VALUE in the [Book] section of a stand-in workbook.
book_set() { # unix-path key value
  utf8 "$1" | sed "s/^$2=.*/$2=$3/" | sed 's/$/\r/' | cp932 >"$1.new"
  mv "$1.new" "$1"
}
protect() { book_set "$1" Protected 1; }
# The programs may not change, rename or delete the file or folder, as when
# another program holds it: the platform refuses with access denied, as for
# a file whose permissions deny the user on Windows.  It belongs to
# morvane-other, whose files the programs' user may read, not write.  A
# file's folder goes to morvane-other too, still open to the programs'
# group, with the sticky bit: they may add files there and rename or delete
# their own, but not that one.
lock() {
  local dir
  chown "$wine_other_user" "$1"
  if [ ! -d "$1" ]; then
    dir=$(dirname "$1")
    [ -n "${locked_dirs[$dir]:-}" ] || locked_dirs[$dir]=$(stat -c '%U:%G %a' "$dir")
    chown "$wine_other_user:$(id -gn "$MORVANE_WINE_USER")" "$dir"
    chmod g+w,+t "$dir"
  fi
  locked+=("$1")
}
# The Excel folder, Data\MyData of the gallery's installation.
excel_u=$product_u/Excel
mydata_u=$product_u/Data/MyData

reset() {
  unlock_all
  faults
  excel 16
  rm -rf "$shots"
  mkdir -p "$shots" "$files"
}

# ---- captures and the page ----

section() { # title text
  printf '\n## %s\n\n%s\n' "$1" "$2" >>"$pages/body.md"
  printf -- '- [%s](#%s)\n' "$1" "$(anchor "$1")" >>"$pages/toc.md"
}
# GitHub's heading anchors: lower case, blanks to '-', punctuation dropped.
anchor() {
  printf '%s' "$1" | tr 'A-Z' 'a-z' | sed 's/ /-/g; s/[][!"#$%&'"'"'()*+,./:;<=>?@\\^`{|}~]//g'
}
# A text of uidriver's report line for the page: its escapes undone, line
# breaks as <br>.
page_text() {
  sed 's/\\\\/\x01/g; s/\\n/<br>/g; s/\\t/ /g; s/\\"/"/g; s/\x01/\\/g' <<<"$1"
}

# One PNG of a window's screenshot, cropped to the window already, with
# few colours; a picture equal to an earlier one is that one.
# Sets picture_file to the name below gallery/ (not in a subshell: the
# table of pictures must last).
declare -A pictures
picture() { # bmp name
  local bmp=$1 png=$out/gallery/$2.png sum
  convert "$bmp" -strip -dither None -colors 64 "PNG8:$png"
  sum=$(md5sum <"$png" | cut -d' ' -f1)
  if [ -n "${pictures[$sum]:-}" ]; then
    rm -f "$png"
    picture_file=${pictures[$sum]}
  else
    pictures[$sum]=$2.png
    picture_file=$2.png
  fi
}

# capture NAME TITLE SITUATION [uidriver options] -- PROGRAM [ARGS]
# Runs the program, answering and acting as the options say, and adds the
# case to the page: what leads to it, the command, and each window in turn
# with what the user does.
capture() {
  local name=$1 title=$2 situation=$3
  shift 3
  local args=("$@") i program command
  for i in "${!args[@]}"; do
    [ "${args[$i]}" = -- ] && break
  done
  program=${args[$((i + 1))]}
  command="$(basename "${program//\\//}") ${args[*]:$((i + 2))}"
  echo "gallery: $name"
  run "$bin/uidriver.exe" run --timeout 120 --screenshots "C:\\gallery-shots\\$name" "$@" \
    >"$runs/$name.raw" 2>&1 || true
  utf8 "$runs/$name.raw" >"$runs/$name.txt"
  {
    printf '\n### %s\n\n%s\n\n`%s`\n\n' "$title" "$situation" "${command% }"
    page_events "$name"
  } >>"$pages/body.md"
}

page_events() { # name: one numbered line per window and action
  local name=$1 line n=0 shot what
  while IFS= read -r line; do
    shot=
    [[ $line =~ \ screenshot=.*\\([0-9]+-[a-z]+)\.bmp$ ]] && shot=${BASH_REMATCH[1]}
    line=${line% screenshot=*}
    what=$(event_text "$line") || continue
    n=$((n + 1))
    if [ -n "$shot" ] && [ -f "$shots/$name/$shot.bmp" ]; then
      picture "$shots/$name/$shot.bmp" "$name-${shot%%-*}"
      printf '%d. %s\n\n   ![%s](gallery/%s)\n\n' "$n" "$what" "$name" "$picture_file"
    else
      printf '%d. %s\n\n' "$n" "$what"
    fi
  done <"$runs/$name.txt"
}

# The page's words for one line of uidriver's report; fails for lines the
# page leaves out.
event_text() {
  local l=$1
  if [[ $l =~ ^message\ box:\ caption=\"(.*)\"\ text=\"(.*)\"\ icon=([a-z]+)\ buttons=([^ ]*)\ pressed=(.*)$ ]]; then
    printf 'Message box 「%s」, icon: %s, buttons: %s; answered %s\n\n   > %s' \
      "${BASH_REMATCH[1]}" "${BASH_REMATCH[3]}" "${BASH_REMATCH[4]//|/ · }" \
      "${BASH_REMATCH[5]}" "$(page_text "${BASH_REMATCH[2]}")"
  elif [[ $l =~ ^dialog:\ caption=\"\"\ controls=\ [0-9]+:SysAnimate32=\"\"\ [0-9]+:Static=\"(.*)\"$ ]]; then
    printf 'The wait dialog (DORNMSG.dll): 「%s」' "$(page_text "${BASH_REMATCH[1]}")"
  elif [[ $l =~ ^dialog:\ caption=\"([^\"]*)\" ]]; then
    printf 'Dialog 「%s」' "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^window:\ class=\"([^\"]*)\"\ caption=\"(.*)\"$ ]]; then
    printf 'Window 「%s」 (class %s)' "${BASH_REMATCH[2]}" "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^clicked:\ caption=\"(.*)\"\ button=[0-9]+:\"(.*)\"$ ]]; then
    printf 'The user clicks 「%s」 in 「%s」.' "${BASH_REMATCH[2]}" "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^selected:\ caption=\"(.*)\"\ control=[0-9]+\ item=\"(.*)\"$ ]]; then
    printf 'The user picks 「%s」 in 「%s」.' "$(page_text "${BASH_REMATCH[2]}")" "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^file\ chosen:\ caption=\"(.*)\"\ name=\"(.*)\"\ pressed=OK$ ]]; then
    printf 'The user enters `%s` in 「%s」 and confirms.' "$(page_text "${BASH_REMATCH[2]}")" \
      "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^system\ command:\ caption=\"(.*)\"\ command=16$ ]]; then
    printf 'The user chooses 「Tessaro のﾊﾞｰｼﾞｮﾝ情報(A)...」 in the system menu of 「%s」.' \
      "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^foreign\ mutex:\ name=\"(.*)\"$ ]]; then
    printf "Another user's program holds the mutex \`%s\`." "$(page_text "${BASH_REMATCH[1]}")"
  elif [[ $l =~ ^exit\ code:\ (.*)$ ]]; then
    printf 'The program ends (exit code %s).' "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^error:\ (.*)$ ]]; then
    printf 'uidriver.exe failed: %s' "${BASH_REMATCH[1]}"
  elif [[ $l =~ ^timeout: ]]; then
    printf 'The program still ran after the time limit and was ended.'
  else
    return 1
  fi
}

write_page() {
  local page=$out/GALLERY.md
  {
    cat <<'HEAD'
# Gallery

Every dialog and message box of `Quimbex.exe` and `Tessaro.exe` that a user
can meet, captured from the real programs under Wine with a Japanese locale
by `scripts/gallery.sh`, which also writes this page. Each case starts from a
fresh sample installation in `C:\Gallery` (`SampleProduct.exe`: the books
`kyuyo` with its attendance book `勤怠_kyuyo` and `表参道店`, ".xls" unless
said otherwise; the programs in `C:\Gallery\Exe`, finding the installation
from where they lie) and the Excel stand-in registered as Excel 16; the
situation says what differs. Message boxes are answered as the list says;
"a locked file" is one that nobody may change, rename or delete, which the
programs meet as a workbook open in Excel.

HEAD
    cat "$pages/toc.md"
    [ -n "$smoke" ] || echo '- [Not in the pictures](#not-in-the-pictures)'
    cat "$pages/body.md"
    [ -n "$smoke" ] || cat <<'TAIL'

## Not in the pictures

These messages exist but no state of an installation leads to them; the
tests reach them in-process or through faults the user cannot make.

- Quimbex 「初期化に失敗」: OLE cannot be initialised for the process.
- Quimbex 「処理を中断しました。」: an exception that no command handles
  (out of memory, a read error of the disk) reaches the start-up.
- The framework's own report of a file error whose cause is neither access
  denied nor a sharing violation (a disk error while a book is renamed),
  and, for `/K:6`, 「給与計算Excelブックを閉じてください。」 when removing its
  temporary copy fails.
- 「更新するブックを選択してください」 and 「初期化するブックを選択してください」: the
  dialogs select the first book, and a user cannot clear the selection of
  their single-selection lists.
- 「年度更新を実行できません。ブック管理データファイルが壊れています。」 and
  「ブックの初期化を実行できません。ブック管理データファイルが壊れています。」: the
  list is filled from "BookMNG.dat"; only a change of the file while the
  dialog is open can make a listed name unknown.
- Tessaro 「ERROR：WaitForSingleObject」: the wait for Quimbex fails only on a
  fault of the system.
- Tessaro 「この移行データを読み込めません。」: the system refuses to read a
  file that the open dialog accepted (a network drive that went away).
TAIL
  } >"$page"
  echo "gallery: $page, $(find "$out/gallery" -name '*.png' | wc -l) pictures," \
    "$(du -sk "$out/gallery" | cut -f1) KiB"
}

# The files of an earlier run (a backup file of the same name) would change
# what the cases show.
rm -rf "$files"
mkdir -p "$out/gallery" "$drive_c/gallery-standin"
rm -f "$out"/gallery/*.png
: >"$pages/toc.md"
: >"$pages/body.md"
run reg delete 'HKLM\SOFTWARE\QZ\Morvane\Env' /f >/dev/null 2>&1 || true
run reg add 'HKLM\SOFTWARE\QZTest\ExcelStandin' /v ControlDir /t REG_SZ /d "$control" /f >/dev/null

. "$root/scripts/gallery-cases.sh"
if [ -n "$smoke" ]; then
  for case in "${cases[@]}"; do "$case"; done
else
  quimbex_cases
  tessaro_cases
fi
write_page
