# Under Wine: Tessaro and ikotool.exe against xcopy on the same tree, and
# Quimbex converting books with the Excel stand-in.  Every program is started
# and watched by benchdrv.exe, which prints its times in microseconds of the
# system clock (the stand-in's timing log uses the same clock).  Sourced by
# bench/run.sh.

start_wine() {
  local was_running=0
  [ -f "$root/build/win/wine/xvfb.pid" ] && kill -0 "$(cat "$root/build/win/wine/xvfb.pid")" 2>/dev/null &&
    was_running=1
  "$root/scripts/setup-wine.sh" start "$root/build/win" >/dev/null
  # A test bed that the caller started stays up for the caller.
  [ "$was_running" = 0 ] && trap '"$root/scripts/setup-wine.sh" stop "$root/build/win"' EXIT
  . "$root/build/win/wine/env"
  . "$root/scripts/wine-user.sh"
  bin=$root/build/win/bin
  wdir=$out/wine
  rm -rf "$wdir"
  mkdir -p "$wdir"
}

# What the benchmarks lay out for the programs goes to the user who runs
# them before each start.
wrun() {
  hand_over "$wdir"
  "$root/build/win/wine-run" "$@"
}
win() { "$root/build/win/wine-run" winepath -w "$1"; }

# Wine programs write code page 932; their output goes to a file first, as a
# COM server they start would keep a pipe open.
benchdrv() { # result-file args...
  local file=$1
  shift
  wrun "$bin/benchdrv.exe" "$@" >"$file.932" 2>&1 || true
  iconv -f CP932 -t UTF-8 "$file.932" | tr -d '\r' >"$file"
  rm -f "$file.932"
}

set_env_registry() { # product-dir program-dir
  local key='HKLM\SOFTWARE\QZ\Morvane\Env'
  wrun reg add "$key" /v InstallDir /t REG_SZ /d "$(win "$1")" /f >/dev/null
  wrun reg add "$key" /v DataDir /t REG_SZ /d "$(win "$1")" /f >/dev/null
  wrun reg add "$key" /v ProgramDir /t REG_SZ /d "$(win "$2")" /f >/dev/null
  wrun reg add "$key" /v ProductName /t REG_SZ /d Morvane /f >/dev/null
  wrun reg add "$key" /v Installed /t REG_DWORD /d 1 /f >/dev/null
}

# An installation without programs: the sample's markers and settings, no
# book map (a restore that carries one starts a conversion).
lay_installation() { # dir
  wrun "$bin/SampleProduct.exe" "$(win "$1")" /noregistry >/dev/null
  rm -f "$1/Data/MyData/BookMNG.dat"
  rmdir "$1/Exe"
}

# The tree Tessaro carries is "office" (hard links: no second copy on the
# disk, one page cache) plus an installation's own files; the programs lie
# apart, so that xcopy copies exactly the items of a migration file.
prepare_tessaro() {
  local set=office
  src=$wdir/src prog=$wdir/prog
  cp -al "$data/$set" "$src"
  lay_installation "$src"
  wrun "$bin/SampleProduct.exe" "$(win "$prog")" "/exe:$(win "$bin")" /noregistry >/dev/null
  wrun reg delete 'HKLM\SOFTWARE\QZ\SorvikV\CommonV' /v CommonDir /f >/dev/null 2>&1 || true
  tessaro=$(win "$prog/Exe/Tessaro.exe")
  echo "tree=$set files=$(find "$src" -type f | wc -l) bytes=$(du -sb "$src" | cut -f1)" \
    >"$results/wine-tree.txt"
}

run_backups() { # runs
  set_env_registry "$src" "$prog"
  for ((r = 1; r <= $1; r++)); do
    rm -f "$wdir/tessaro.iko" "$wdir/ikotool.iko"
    rm -rf "$wdir/xcopy-out"
    sync
    benchdrv "$results/wine-tessaro-backup-$r.txt" backup "$tessaro" "$(win "$wdir/tessaro.iko")"
    echo "file_bytes=$(stat -c %s "$wdir/tessaro.iko" 2>/dev/null || echo -1)" \
      >>"$results/wine-tessaro-backup-$r.txt"
    sync
    benchdrv "$results/wine-xcopy-backup-$r.txt" run -- xcopy.exe "$(win "$src")" \
      "$(win "$wdir/xcopy-out")" /E /I /Q /H
    sync
    benchdrv "$results/wine-ikotool-create-$r.txt" run -- "$(win "$bin/ikotool.exe")" create \
      "$(win "$wdir/ikotool.iko")" --root "0=$(win "$src")" --root "1=$(win "$src")"
  done
  if [ -f "$wdir/tessaro.iko" ]; then
    cmp -s "$wdir/tessaro.iko" "$wdir/ikotool.iko" && echo identical || echo different
  else
    echo "no file"
  fi >"$results/wine-tessaro-vs-ikotool.txt"
}

# Tessaro restores its own file when it wrote one, else the same bytes from
# ikotool.exe, into a fresh installation; xcopy copies its copy back.
run_restores() { # runs
  local file=$wdir/tessaro.iko dst=$wdir/dst
  [ -f "$file" ] || file=$wdir/ikotool.iko
  for ((r = 1; r <= $1; r++)); do
    rm -rf "$dst" "$wdir/xcopy-back"
    lay_installation "$dst"
    set_env_registry "$dst" "$prog"
    sync
    benchdrv "$results/wine-tessaro-restore-$r.txt" restore "$tessaro" "$(win "$file")"
    echo "files_after=$(find "$dst" -type f | wc -l)" >>"$results/wine-tessaro-restore-$r.txt"
    sync
    benchdrv "$results/wine-xcopy-restore-$r.txt" run -- xcopy.exe "$(win "$wdir/xcopy-out")" \
      "$(win "$wdir/xcopy-back")" /E /I /Q /H
    rm -rf "$dst"
    lay_installation "$dst"
    sync
    benchdrv "$results/wine-ikotool-extract-$r.txt" run -- "$(win "$bin/ikotool.exe")" extract \
      "$(win "$file")" --root "0=$(win "$dst")" --root "1=$(win "$dst")"
  done
}

run_wine_comparisons() {
  echo "bench: Tessaro and ikotool.exe against xcopy under Wine"
  prepare_tessaro
  run_backups "$wine_runs"
  run_restores "$wine_runs"
  rm -rf "$src" "$wdir/dst" "$wdir/xcopy-out" "$wdir/xcopy-back" "$wdir"/*.iko
}

# The stand-in as Excel, its logs in a folder of ours; timing.log existing
# switches its timing on.
prepare_excel() {
  excel_ctl=$wdir/excel
  mkdir -p "$excel_ctl"
  wrun "$bin/ExcelStandin.exe" /regserver 16
  wrun reg add 'HKLM\SOFTWARE\QZTest\ExcelStandin' /v ControlDir /t REG_SZ /d "$(win "$excel_ctl")" \
    /f >/dev/null
}

fresh_excel_logs() {
  rm -f "$excel_ctl/calls.log" "$excel_ctl/faults.ini" "$excel_ctl/client.log"
  : >"$excel_ctl/timing.log"
}

# The stand-in writes its timing when it ends, a moment after its client.
keep_excel_logs() { # result-prefix
  for _ in $(seq 100); do
    [ "$(grep -c $'\tServer\t' "$excel_ctl/timing.log")" = "$(grep -c $'\tExit\t' "$excel_ctl/timing.log")" ] &&
      [ -s "$excel_ctl/timing.log" ] && break
    sleep 0.1
  done
  for log in timing calls client; do
    [ -f "$excel_ctl/$log.log" ] && iconv -f CP932 -t UTF-8 "$excel_ctl/$log.log" | tr -d '\r' >"$1.$log"
  done
  return 0
}

quimbex_books() { [ "$smoke" = 1 ] && echo "1 2" || echo "1 10 50"; }

run_quimbex() {
  echo "bench: Quimbex /K:9 with the Excel stand-in"
  prepare_excel
  local product=$wdir/books
  for books in $(quimbex_books); do
    for ((r = 1; r <= wine_runs; r++)); do
      rm -rf "$product"
      wrun "$bin/SampleProduct.exe" "$(win "$product")" "/exe:$(win "$bin")" "/books:$books" >/dev/null
      fresh_excel_logs
      # Quimbex times its own calls too (fw's dispatch driver).
      MORVANE_CALL_TIMING=$(win "$excel_ctl/client.log") \
        benchdrv "$results/quimbex-$books-$r.txt" run -- "$(win "$product/Exe/Quimbex.exe")" /K:9
      keep_excel_logs "$results/quimbex-$books-$r"
    done
  done
  # A bare client making the same calls as one macro run, for comparison.
  fresh_excel_logs
  local rounds=100
  [ "$smoke" = 1 ] && rounds=3
  benchdrv "$results/probe.txt" probe "$(win "$product/Data/Org/xlConv2.xls")" kyuyo.xls "$rounds"
  keep_excel_logs "$results/probe"
  rm -rf "$product"
}
