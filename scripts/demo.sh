#!/usr/bin/env bash
# The main job: builds the programs, sets up the Japanese Wine test bed, lays
# out a sample product installation in C:\Morvane and runs the programs on
# it, printing what each showed.  Screenshots go to build/demo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

scripts/install-deps.sh
cmake --preset win >/dev/null
cmake --build --preset win -j"$jobs" >/dev/null
scripts/setup-wine.sh start build/win
trap 'scripts/setup-wine.sh stop build/win' EXIT
. build/win/wine/env
. scripts/wine-user.sh

# What the demo lays out in the prefix goes to the user who runs the
# programs before each start.
run() {
  hand_over "$drive_c"
  build/win/wine-run "$@"
}
# Wine programs write CP932; their output goes to a file first (a pipe would
# be kept open by the processes they start).
show() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }

bin_w=$(build/win/wine-run winepath -w build/win/bin)
drive_c=$WINEPREFIX/drive_c
product=$drive_c/Morvane
excel=$product/Excel
demo=$root/build/demo
rm -rf "$product" "$drive_c/excel-standin" "$drive_c/demo-shots" "$demo" "$drive_c/Morvane-format"
mkdir -p "$demo"

section() { printf '\n== %s ==\n' "$1"; }

book_summary() { # one line per workbook of the Excel folder
  for f in "$excel"/*; do
    local name text template year company employees retired attendance pay bonus tax
    name=$(basename "$f")
    text=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r')
    template=$(sed -n 's/^Template=//p' <<<"$text")
    year=$(sed -n 's/^Year=//p' <<<"$text")
    company=$(sed -n 's/^Name=//p' <<<"$text")
    count() { awk -v s="[$1]" '/^\[/{c=$0} c==s && !/^\[/' <<<"$text" | wc -l; }
    employees=$(count Employees)
    retired=$(awk '/^\[/{c=$0} c=="[Employees]" && /,1$/' <<<"$text" | wc -l)
    attendance=$(count Attendance)
    pay=$(count PayData)
    bonus=$(count BonusSlips)
    tax=$(sed -n 's/^TaxRecalculated=//p' <<<"$text")
    printf '  %s: template %s, year %s%s%s%s%s\n' "$name" "$template" "$year" \
      "${company:+, company $company}" \
      "$([ "$employees" -gt 0 ] && echo ", $employees employees ($retired retired)")" \
      "$([ "$pay" -gt 0 ] && echo ", $pay pay lines")$([ "$bonus" -gt 0 ] &&
        echo ", $bonus bonus lines")$([ "$attendance" -gt 0 ] &&
        echo ", $attendance attendance lines")" "${tax:+, tax recalculated}"
  done
}

# The macros that one command ran in Excel, from the stand-in's call log.
macros_run() {
  show "$drive_c/excel-standin/calls.log" |
    awk -F'\t' '$2=="Run" {print "  " $3 "(" $4 (NF>5 ? ", " $5 ", " $6 : "") ") " $NF}'
}

section "Sample product in C:\\Morvane"
run build/win/bin/SampleProduct.exe 'C:\Morvane' "/exe:$bin_w" >"$demo/sample.txt" 2>&1
show "$demo/sample.txt"
run build/win/bin/ExcelStandin.exe /regserver 16
# The stand-in's call log goes to its default folder, C:\excel-standin.
run reg delete 'HKLM\SOFTWARE\QZTest\ExcelStandin' /v ControlDir /f >/dev/null 2>&1 || true
echo "Excel stand-in registered as Excel.Application (CurVer Excel.Application.16)"
echo "Books before the conversion:"
book_summary

section "Quimbex.exe /K:4 (a command code that does not exist)"
run build/win/bin/uidriver.exe run --timeout 60 -- 'C:\Morvane\Exe\Quimbex.exe' /K:4 \
  >"$demo/k4.txt" 2>&1 || true
show "$demo/k4.txt"

section "Quimbex.exe /K:9 (convert every book to the current template)"
run build/win/bin/uidriver.exe run --timeout 180 --screenshots 'C:\demo-shots' -- \
  'C:\Morvane\Exe\Quimbex.exe' /K:9 >"$demo/k9.txt" 2>&1 || true
show "$demo/k9.txt"
echo "Books after the conversion (the dated files are the backups):"
book_summary
echo "Markers in Data\\MyData: $(cd "$product/Data/MyData" && ls -- *.dat | tr '\n' ' ')"
echo "Macros the conversion ran in Excel:"
macros_run

section "Quimbex.exe /K:8 (initialise the book kyuyo, keeping its settings, without its bonus slips)"
rm -f "$drive_c/excel-standin/calls.log"
# The dialog: untick 賞与明細入力シート (1002), then 初期化 (IDOK).
run build/win/bin/uidriver.exe run --timeout 180 --screenshots 'C:\demo-shots\k8' \
  --click 'ブックの初期化=1002' --click 'ブックの初期化=1' -- \
  'C:\Morvane\Exe\Quimbex.exe' /K:8 >"$demo/k8.txt" 2>&1 || true
show "$demo/k8.txt"
echo "Books after the initialisation:"
book_summary
echo "Macros the initialisation ran in Excel:"
macros_run

section "Quimbex.exe /K:7 (year update of the book kyuyo)"
rm -f "$drive_c/excel-standin/calls.log"
# The dialog: the first book is selected; 更新 (IDOK).
run build/win/bin/uidriver.exe run --timeout 180 --screenshots 'C:\demo-shots\k7' \
  --click '年度更新=1' -- 'C:\Morvane\Exe\Quimbex.exe' /K:7 >"$demo/k7.txt" 2>&1 || true
show "$demo/k7.txt"
echo "Books after the year update (the year advanced, employees who left dropped):"
book_summary
echo "Macros the year update ran in Excel:"
macros_run

# ---- Commands 10, 6 and 11: attendance book, adding a book, format change ----
# The format change runs on a copy of the sample (C:\Morvane-format), so that
# C:\Morvane stays in its format for every other part of the demo.
shots_of() { # screenshot folder of one run -> build/demo/<prefix>-NN-kind.png
  for bmp in "$drive_c/demo-shots/$1"/*.bmp; do
    [ -e "$bmp" ] || continue
    png="$demo/$1-$(basename "${bmp%.bmp}").png"
    convert "$bmp" "$png" && echo "  screenshot: $png"
  done
}
env_dirs() { # points the environment library at another installation
  for v in InstallDir ProgramDir DataDir; do
    run reg add 'HKLM\SOFTWARE\QZ\Morvane\Env' /v "$v" /t REG_SZ /d "$1" /f >/dev/null
  done
}

section "Quimbex.exe /K:10 (initialise the attendance book of kyuyo, keeping its data)"
run build/win/bin/uidriver.exe run --timeout 120 --screenshots 'C:\demo-shots\k10' --click 'ブックの初期化=1' -- \
  'C:\Morvane\Exe\Quimbex.exe' /K:10 >"$demo/k10.txt" 2>&1 || true
show "$demo/k10.txt"
echo "Attendance workbooks now (dated: the old workbooks; the one with the time is this run's copy):"
ls "$excel" | grep '^勤怠_' | sed 's/^/  /'
shots_of k10

section "Quimbex.exe /K:6 /O:kyuyo.xls /N:kyuyo2.xls (add a book with the company of kyuyo)"
run build/win/bin/uidriver.exe run --timeout 120 --screenshots 'C:\demo-shots\k6' -- \
  'C:\Morvane\Exe\Quimbex.exe' /K:6 /O:kyuyo.xls /N:kyuyo2.xls >"$demo/k6.txt" 2>&1 || true
show "$demo/k6.txt"
book_summary | grep 'kyuyo2.xls' || echo "  kyuyo2.xls is missing"
echo "The same again: the name is taken now, so the command refuses it:"
run build/win/bin/uidriver.exe run --timeout 60 -- \
  'C:\Morvane\Exe\Quimbex.exe' /K:6 /O:kyuyo.xls /N:KYUYO2.XLS >"$demo/k6-again.txt" 2>&1 || true
show "$demo/k6-again.txt"

section "Quimbex.exe /K:11 (every book from .xls to .xlsm, on the copy C:\\Morvane-format)"
fmt_product=$drive_c/Morvane-format
rm -rf "$fmt_product"
run build/win/bin/SampleProduct.exe 'C:\Morvane-format' "/exe:$bin_w" /noregistry \
  >"$demo/format-sample.txt" 2>&1
show "$demo/format-sample.txt"
env_dirs 'C:\Morvane-format'
run build/win/bin/uidriver.exe run --timeout 180 --screenshots 'C:\demo-shots\k11' --click 'Excelﾌﾞｯｸの形式変更=1' -- \
  'C:\Morvane-format\Exe\Quimbex.exe' /K:11 >"$demo/k11.txt" 2>&1 || true
env_dirs 'C:\Morvane'
show "$demo/k11.txt"
echo "Excel folder of the copy (the dated .xls files are the backups; the safety folder is named by the time):"
ls -p "$fmt_product/Excel" | sed 's/^/  /'
echo "Markers in its Data\\MyData: $(cd "$fmt_product/Data/MyData" && ls -- ExType*.dat | tr '\n' ' ')"
echo "File names in its BookMNG.dat: $(iconv -c -f CP932 -t UTF-8 "$fmt_product/Data/MyData/BookMNG.dat" |
  grep -aoE '[^[:cntrl:][:space:]]+\.xlsm?' | tr '\n' ' ')"
shots_of k11
# ---- end of commands 10, 6 and 11 ----

# --- Tessaro: a migration between two installations (scripts/demo-migration.sh) ---
. scripts/demo-migration.sh
demo_migration

section "Screenshots"
# One folder per command that has dialogs (k7, k8): their files get its name.
find "$drive_c/demo-shots" -name '*.bmp' | sort | while read -r bmp; do
  rel=${bmp#"$drive_c/demo-shots/"}
  png="$demo/${rel//\//-}"
  png="${png%.bmp}.png"
  convert "$bmp" "$png" && echo "  $png"
done
