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

run() { build/win/wine-run "$@"; }
# Wine programs write CP932; their output goes to a file first (a pipe would
# be kept open by the processes they start).
show() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }

bin_w=$(winepath -w build/win/bin)
drive_c=$WINEPREFIX/drive_c
product=$drive_c/Morvane
excel=$product/Excel
demo=$root/build/demo
rm -rf "$product" "$drive_c/excel-standin" "$drive_c/demo-shots" "$demo"
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
  --click 'ブックの初期化:1002' --click 'ブックの初期化:1' -- \
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
  --click '年度更新:1' -- 'C:\Morvane\Exe\Quimbex.exe' /K:7 >"$demo/k7.txt" 2>&1 || true
show "$demo/k7.txt"
echo "Books after the year update (the year advanced, employees who left dropped):"
book_summary
echo "Macros the year update ran in Excel:"
macros_run

section "Screenshots"
# One folder per command that has dialogs (k7, k8): their files get its name.
find "$drive_c/demo-shots" -name '*.bmp' | sort | while read -r bmp; do
  rel=${bmp#"$drive_c/demo-shots/"}
  png="$demo/${rel//\//-}"
  png="${png%.bmp}.png"
  convert "$bmp" "$png" && echo "  $png"
done
