# Part of scripts/demo.sh (sourced there, after its set-up): Tessaro moves
# the data of one installation into another.  The source has ".xls" books,
# the target ".xlsm" books; "作成" writes the migration file on the source,
# "復元" restores it on the target, the format question is answered, and
# Quimbex converts every book there.  Both installations find themselves
# from where their programs lie (no Env registry values), so their roots
# differ.  Uses run, show, section, $bin_w, $drive_c and $demo of demo.sh.

migration_source='C:\MorvaneSource'
migration_target='C:\MorvaneTarget'
migration_file='C:\migration\morvane.iko'

# One line per file of an installation that a migration carries: the
# markers, the settings, forms and memos, and each workbook with its
# template version and company.
migration_files() { # unix-dir
  local dir=$1 f
  echo "  Data\\MyData: $(cd "$dir/Data/MyData" && ls -- * | tr '\n' ' ')"
  for f in "$dir"/Data/DefEru/* "$dir"/Data/Other/* "$dir"/Data/MsgMemo/*; do
    [ -f "$f" ] || continue
    printf '  %s: %s\n' "$(tr / '\\' <<<"${f#"$dir"/}")" \
      "$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r' | head -n 1)"
  done
  for f in "$dir"/Excel/*; do
    local text
    text=$(iconv -f CP932 -t UTF-8 "$f" | tr -d '\r')
    printf '  %s: template %s, %s\n' "$(tr / '\\' <<<"${f#"$dir"/}")" \
      "$(sed -n 's/^Template=//p' <<<"$text")" \
      "$(sed -n 's/^Name=//p' <<<"$text" | head -n 1)"
  done
}

# The screenshots of one Tessaro run (C:\demo-shots\NAME), as PNG files in
# build/demo.
migration_shots() { # name
  local bmp png
  for bmp in "$drive_c/demo-shots/$1"/*.bmp; do
    [ -e "$bmp" ] || continue
    png="$demo/$1-$(basename "${bmp%.bmp}").png"
    convert "$bmp" "$png" && echo "  $png"
  done
}

migration_lay() { # windows-dir ext
  run build/win/bin/SampleProduct.exe "$1" "/ext:$2" "/exe:$bin_w" /noregistry \
    >"$demo/migration-lay.txt" 2>&1
  show "$demo/migration-lay.txt"
}

# The source gets data of its own, so that the restore visibly brings it:
# settings, a memo, and the company of a book.
migration_own_data() { # unix-dir
  local book=$1/Excel/kyuyo.xls
  printf 'PaperSize=B5\r\nMargin=12\r\n' >"$1/Data/DefEru/帳票設定.dat"
  printf '移行元のメモ\r\n' | iconv -f UTF-8 -t CP932 >"$1/Data/MsgMemo/メモ.txt"
  iconv -f CP932 -t UTF-8 "$book" | sed 's/^Name=株式会社kyuyo/Name=株式会社移行元/' |
    iconv -f UTF-8 -t CP932 >"$book.new"
  mv "$book.new" "$book"
}

demo_migration() {
  local source_u=$drive_c/MorvaneSource target_u=$drive_c/MorvaneTarget env_key
  env_key='HKLM\SOFTWARE\QZ\Morvane\Env'
  rm -rf "$source_u" "$target_u" "$drive_c/migration" "$drive_c/demo-shots/migration-"*
  mkdir -p "$drive_c/migration"
  # The Env values point every program at C:\Morvane: they step aside for
  # this section and come back after it.
  run reg export "$env_key" 'C:\migration\env.reg' /y >/dev/null 2>&1 || true
  run reg delete "$env_key" /f >/dev/null 2>&1 || true

  section "Tessaro: two installations, C:\\MorvaneSource (.xls) and C:\\MorvaneTarget (.xlsm)"
  migration_lay "$migration_source" .xls
  migration_lay "$migration_target" .xlsm
  migration_own_data "$source_u"
  echo "Source before:"
  migration_files "$source_u"
  echo "Target before:"
  migration_files "$target_u"

  section "Tessaro.exe on the source: 作成 writes $migration_file"
  run build/win/bin/uidriver.exe run --timeout 120 --screenshots 'C:\demo-shots\migration-create' \
    --click 'Morvaneデータ移行ツール=1000' --file "名前を付けて保存=$migration_file" \
    --after-boxes 1 --click 'Morvaneデータ移行ツール=1' \
    -- "$migration_source\\Exe\\Tessaro.exe" >"$demo/migration-create.txt" 2>&1 || true
  show "$demo/migration-create.txt"
  echo "The file, as ikotool.exe lists it:"
  run build/win/bin/ikotool.exe list "$migration_file" >"$demo/migration-list.txt" 2>&1 || true
  show "$demo/migration-list.txt" | sed 's/^/  /'

  section "Tessaro.exe on the target: 復元, the format question, Quimbex /K:12 converts every book"
  local log_lines=0
  [ -f "$drive_c/excel-standin/calls.log" ] && log_lines=$(wc -l <"$drive_c/excel-standin/calls.log")
  run build/win/bin/uidriver.exe run --timeout 300 --children \
    --screenshots 'C:\demo-shots\migration-restore' --press はい --press はい \
    --click 'Morvaneデータ移行ツール=1001' --file "開く=$migration_file" \
    --after-boxes 3 --click 'Morvaneデータ移行ツール=1' \
    -- "$migration_target\\Exe\\Tessaro.exe" >"$demo/migration-restore.txt" 2>&1 || true
  show "$demo/migration-restore.txt"
  echo "Target after (the dated workbooks are the source's books, kept as backups):"
  migration_files "$target_u"
  echo "App.tmp attributes (H: hidden again): $(run cmd /c attrib \
    'C:\MorvaneTarget\Data\MyData\App.tmp' 2>/dev/null | tr -d '\r' | sed 's/ *C:.*//; s/  */ /g')"
  echo "Macros the conversion ran in Excel:"
  show "$drive_c/excel-standin/calls.log" | tail -n +$((log_lines + 1)) |
    awk -F'\t' '$2=="Run" {print "  " $3 "(" $4 (NF>5 ? ", " $5 ", " $6 : "") ") " $NF}'

  section "Screenshots of the migration"
  migration_shots migration-create
  migration_shots migration-restore

  run reg import 'C:\migration\env.reg' >/dev/null 2>&1 || true
}
