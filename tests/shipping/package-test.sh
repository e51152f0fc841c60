#!/usr/bin/env bash
# The release package as a user receives it: scripts/package.sh writes it
# into the build's test output; its zip must hold exactly the Exe folder's
# three files, ikotool.exe, INSTALL.txt and THIRD-PARTY-NOTICES.txt, the
# binaries stripped, importing no compiler runtime, every library linked
# into them named in the notices, with SHA256SUMS beside the zip matching.
# Then the zip is unpacked into two fresh sample installations under Wine,
# each with the stand-in DornEnv.dll in its Exe folder as the product's
# own, and the unpacked programs work there: Quimbex.exe /K:9 converts
# every book (the Excel stand-in answering), Tessaro.exe writes a migration
# file of the first installation and restores it into the second, whose
# books the unpacked Quimbex.exe converts.
#   package-test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
root=${1:?usage: package-test.sh SOURCE_DIR BUILD_DIR}
build=$(cd "${2:?usage: package-test.sh SOURCE_DIR BUILD_DIR}" && pwd)
out=$build/test-output/package
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
check() { # description command...
  local what=$1
  shift
  "$@" || fail "$what"
}

rm -rf "$out"
mkdir -p "$out"
# Twice, seconds apart: the same sources give the same zip.
for dist in dist again; do
  echo "== scripts/package.sh $out/$dist"
  if ! "$root/scripts/package.sh" "$out/$dist" >"$out/package-$dist.log" 2>&1; then
    cat "$out/package-$dist.log"
    fail "scripts/package.sh failed"
    exit 1
  fi
done
zip=$(ls "$out"/dist/Morvane-companions-*.zip)
check "a second run of package.sh gave another zip" cmp -s "$zip" "$out/again/$(basename "$zip")"
unpacked=$out/unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zip")

# ---- the zip's contents and the checksums ----
echo "== contents of $(basename "$zip")"
listing=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
check "the zip holds $listing" [ "$listing" = "Exe/DORNMSG.dll Exe/Quimbex.exe Exe/Tessaro.exe \
INSTALL.txt THIRD-PARTY-NOTICES.txt ikotool.exe " ]
# One line per file of the zip, named below the folder the zip unpacks into,
# one for the zip and one for INSTALL.txt beside it; the file travels beside
# the zip, which cannot hold its own sum.
sums=$out/dist/SHA256SUMS
folder=$(basename "$zip" .zip)
check "SHA256SUMS has $(wc -l <"$sums") lines, not 8" [ "$(wc -l <"$sums")" -eq 8 ]
grep -q "^[0-9a-f]\{64\}  $(basename "$zip")\$" "$sums" || fail "SHA256SUMS has no line for the zip"
grep -q "^[0-9a-f]\{64\}  INSTALL.txt\$" "$sums" || fail "SHA256SUMS has no line for INSTALL.txt"
for file in $listing; do
  grep -q "  $folder/$file\$" "$sums" || fail "SHA256SUMS has no line for $folder/$file"
done
# As an administrator checks them: beside the zip before unpacking, then
# once the zip is unpacked into the folder "Extract All" proposes.
check "sha256sum -c --ignore-missing fails beside the zip" \
  sh -c "cd '$out/dist' && sha256sum --quiet -c --ignore-missing SHA256SUMS"
mkdir -p "$out/dist/$folder"
(cd "$out/dist/$folder" && unzip -q "$zip")
check "sha256sum -c fails once the zip is unpacked beside it" \
  sh -c "cd '$out/dist' && sha256sum --quiet -c SHA256SUMS"
rm -rf "${out:?}/dist/$folder"
# Notepad of a Japanese Windows reads CP932 with CRLF line ends.
windows_text() { # file
  iconv -f CP932 -t UTF-8 "$1" >/dev/null && ! grep -qv $'\r$' "$1"
}
for note in INSTALL.txt THIRD-PARTY-NOTICES.txt; do
  check "$note is not CP932 text with CRLF lines" windows_text "$unpacked/$note"
done
# What an administrator needs before copying: 64-bit programs beside the
# product's 64-bit DornEnv.dll, administrator rights, the old files kept,
# the way back, unsigned files and how to check them.
version=$(basename "$zip" .zip)
version=${version#Morvane-companions-}
# Read whole first: grep -q leaving a pipe early would fail the pipeline.
note=$(iconv -f CP932 -t UTF-8 "$unpacked/INSTALL.txt")
for text in "64 ビット版" "64 ビット版 DornEnv.dll" "管理者の権限が必要です" "元のファイルを残します" \
  "元に戻すには" "削除します" "デジタル署名がありません" \
  "certutil -hashfile Morvane-companions-$version.zip SHA256"; do
  grep -qF -- "$text" <<<"$note" || fail "INSTALL.txt does not say \"$text\""
done

# ---- the binaries: the Release build, stripped, no compiler runtime ----
# package.sh dates the package by the last commit.
epoch=$(cd "$root" && git log -1 --format=%ct)
for file in Exe/Quimbex.exe Exe/Tessaro.exe Exe/DORNMSG.dll ikotool.exe; do
  binary=$unpacked/$file
  SOURCE_DATE_EPOCH=$epoch x86_64-w64-mingw32-strip -o "$out/stripped" \
    "$build/bin/$(basename "$file")"
  check "$file is not the stripped Release build of $build/bin" cmp -s "$binary" "$out/stripped"
  if x86_64-w64-mingw32-objdump -h "$binary" | grep -q '\.debug'; then
    fail "$file carries debug sections"
  fi
  # Only the system's DLLs and the product's own two: libgcc, libstdc++ and
  # winpthread are linked in.
  for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
    case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | oleaut32.dll | \
      comdlg32.dll | comctl32.dll | shell32.dll | msvcrt.dll | dornmsg.dll | dornenv.dll) ;;
    *) fail "$file imports $dll, which a Windows machine without the build tools lacks" ;;
    esac
  done
done
rm -f "$out/stripped"

# ---- the notices: every library linked into a shipped binary has one ----
# The linker map of each binary (written by every link of the build) names
# the archive members and objects that went in; the ones from outside the
# build come from the toolchain.  Each must be named in the notices, or be
# the import library of a DLL that the binary imports.
linked_libraries() { # map
  {
    sed -n '/^Archive member included/,/^Discarded input sections/p' "$1" |
      grep -o '^/[^(]*'
    grep -o '^LOAD /.*\.o$' "$1" | cut -d' ' -f2
  } | xargs -r -n1 basename | LC_ALL=C sort -u
}
for target in Quimbex:Exe/Quimbex.exe Tessaro:Exe/Tessaro.exe DORNMSG:Exe/DORNMSG.dll \
  ikotool:ikotool.exe; do
  map=$build/link-maps/${target%%:*}.map
  binary=$unpacked/${target#*:}
  if [ ! -s "$map" ]; then
    fail "no linker map $map"
    continue
  fi
  imports=" $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p' |
    tr 'A-Z\n' 'a-z ')"
  for lib in $(linked_libraries "$map"); do
    name=${lib%.a}
    grep -qwF -- "$name" "$unpacked/THIRD-PARTY-NOTICES.txt" && continue
    [[ $lib == lib*.a && $imports == *" ${name#lib}.dll "* ]] && continue
    fail "${target#*:} links $lib, which THIRD-PARTY-NOTICES.txt does not name"
  done
done
grep -q "CMAKE_BUILD_TYPE:STRING=Release" "$root/build/win/CMakeCache.txt" ||
  fail "build/win is not a Release build"

# ---- two fresh installations under Wine ----
. "$build/wine/env"
. "$root/scripts/wine-user.sh"
drive_c=$WINEPREFIX/drive_c
test_dir=$drive_c/package-test
# What this script lays out in the installations goes to the user who runs
# the programs before each start.
run() {
  hand_over "$test_dir"
  "$build/wine-run" "$@"
}
utf8() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }
rm -rf "$test_dir"
mkdir -p "$test_dir/migration" "$test_dir/standin"

# An installation laid out by SampleProduct.exe without programs; its Exe
# folder gets the unpacked files and the stand-in environment library.
install() { # name ext
  run "$build/bin/SampleProduct.exe" "C:\\package-test\\$1" "/ext:$2" /noregistry \
    >"$out/lay-$1.txt" 2>&1 || fail "SampleProduct.exe could not lay out $1"
  cp "$unpacked"/Exe/* "$test_dir/$1/Exe/"
  cp "$build/bin/DornEnv.dll" "$test_dir/$1/Exe/"
  local files
  files=$(cd "$test_dir/$1/Exe" && ls | tr '\n' ' ')
  check "$1\\Exe holds $files" [ "$files" = "DORNMSG.dll DornEnv.dll Quimbex.exe Tessaro.exe " ]
}
install A .xls
install B .xlsm
# Each installation finds itself from where its DornEnv.dll lies.
run reg delete 'HKLM\SOFTWARE\QZ\Morvane\Env' /f >/dev/null 2>&1
run "$build/bin/ExcelStandin.exe" /regserver 16 || fail "the Excel stand-in could not register"
run reg add 'HKLM\SOFTWARE\QZTest\ExcelStandin' /v ControlDir /t REG_SZ \
  /d 'C:\package-test\standin' /f >/dev/null
trap "'$build/wine-run' reg delete 'HKLM\\SOFTWARE\\QZTest\\ExcelStandin' /v ControlDir /f \
  >/dev/null 2>&1" EXIT

drive() { # name uidriver-options... -- program args
  local name=$1
  shift
  run "$build/bin/uidriver.exe" run --timeout 180 "$@" >"$out/$name.raw" 2>&1
  utf8 "$out/$name.raw" >"$out/$name.txt"
  echo "== $name"
  cat "$out/$name.txt"
}
expect_line() { # name text
  grep -qF -- "$2" "$out/$1.txt" || fail "$1: no line with \"$2\""
}

# The conversion ran the macros of both sample books in the stand-in, and
# each succeeded (CheckProtect answers False: not protected).
expect_macros() { # installation
  local log=$test_dir/standin/calls.log runs
  runs=$(utf8 "$log" | grep -c $'\tRun\t')
  check "$1: the conversion ran no macro" [ "$runs" -gt 0 ]
  if utf8 "$log" | grep $'\tRun\t' | grep -v $'\tRun\tCheckProtect\t' | grep -qv '=> BOOL:-1$' ||
    utf8 "$log" | grep -q $'\tUnexpected\t'; then
    fail "$1: a macro of the conversion failed (see $log)"
  fi
}

drive convert -- 'C:\package-test\A\Exe\Quimbex.exe' /K:9
expect_line convert 'text="Excelブックのコンバートが完了しました。'
expect_line convert 'exit code: 0'
check "A: Quimbex left no Data\\MyData\\ExMng.dat" [ -f "$test_dir/A/Data/MyData/ExMng.dat" ]
expect_macros A

drive create --click 'Morvaneデータ移行ツール=1000' \
  --file '名前を付けて保存=C:\package-test\migration\A.iko' \
  --after-boxes 1 --click 'Morvaneデータ移行ツール=1' -- 'C:\package-test\A\Exe\Tessaro.exe'
expect_line create 'Morvaneデータ移行用ファイルを作成しました。'
expect_line create 'exit code: 0'
check "no migration file A.iko" [ -s "$test_dir/migration/A.iko" ]

rm -f "$test_dir/standin/calls.log"
drive restore --children --press はい --press はい \
  --click 'Morvaneデータ移行ツール=1001' --file '開く=C:\package-test\migration\A.iko' \
  --after-boxes 3 --click 'Morvaneデータ移行ツール=1' -- 'C:\package-test\B\Exe\Tessaro.exe'
expect_line restore 'Excel管理ブックの形式がExcel97-2003形式(.xls)に変更されますがよろしいですか？'
expect_line restore 'text="ファイル名：C:\\package-test\\migration\\A.iko\nMorvaneデータを移行しました。"'
expect_line restore 'exit code: 0'
check "B: no Excel\\kyuyo.xls after the restore" [ -f "$test_dir/B/Excel/kyuyo.xls" ]
check "B: the format marker is not ExType1.dat" [ -f "$test_dir/B/Data/MyData/ExType1.dat" ]
expect_macros B

if [ "$failures" -eq 0 ]; then
  echo "package_test: the package installs and works"
  exit 0
fi
echo "package_test: $failures checks failed"
exit 1
