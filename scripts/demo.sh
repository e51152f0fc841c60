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
    local name template company employees attendance tax
    name=$(basename "$f")
    template=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' | sed -n 's/^Template=//p')
    company=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' | sed -n 's/^Name=//p')
    employees=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' |
      awk '/^\[/{s=$0} s=="[Employees]" && !/^\[/' | wc -l)
    attendance=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' |
      awk '/^\[/{s=$0} s=="[Attendance]" && !/^\[/' | wc -l)
    tax=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' | sed -n 's/^TaxRecalculated=//p')
    printf '  %s: template %s, %s%s%s\n' "$name" "$template" "${company:+company $company, }" \
      "$([ "$employees" -gt 0 ] && echo "$employees employees")$([ "$attendance" -gt 0 ] &&
        echo "$attendance attendance lines")" "${tax:+, tax recalculated}"
  done
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
show "$drive_c/excel-standin/calls.log" | awk -F'\t' '$2=="Run" {print "  " $3 "(" $4 (NF>5 ? ", " $5 ", " $6 : "") ") " $NF}'

# --- Tessaro: a migration between two installations (scripts/demo-migration.sh) ---
. scripts/demo-migration.sh
demo_migration

section "Screenshots"
for bmp in "$drive_c"/demo-shots/*.bmp; do
  [ -e "$bmp" ] || continue
  png="$demo/$(basename "${bmp%.bmp}").png"
  convert "$bmp" "$png" && echo "  $png"
done
