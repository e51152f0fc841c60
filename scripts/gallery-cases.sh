# The cases of scripts/gallery.sh (sourced there): each lays out its
# state, then captures one run.  Uses lay, excel, faults, protect, lock,
# reset, section, capture and the paths of gallery.sh.

# A macro that takes its time, so that the wait dialog can be seen.
slow() { faults "DelayMs=$1:1500"; }
# "BookMNG.dat" with no book: the empty map is the two bytes 00 00.
empty_map() { printf '\0\0' >"$mydata_u/BookMNG.dat"; }

quimbex_cases() {
  section "Quimbex: the command line" \
    "The product's main application starts \`Quimbex.exe\` with one command; \
a command line without a command code (\`/K:0\`, no switch) ends it silently."
  reset; lay
  capture q-bad-code "A command code that does not exist" \
    "Any code outside 5 to 12." -- "$quimbex" /K:4

  quimbex_convert_cases
  quimbex_single_cases
  quimbex_add_cases
  quimbex_year_cases
  quimbex_init_cases
  quimbex_attendance_cases
  quimbex_format_cases
}

quimbex_convert_cases() {
  section "Quimbex /K:9 and /K:12: converting every book" \
    "Every book of \"BookMNG.dat\" is rebuilt on the current template with its data carried \
over. \`/K:9\` comes from the product and reports the outcome; \`/K:12\` comes from Tessaro \
after a restore and shows only the wait dialog and the messages of single books (Tessaro \
reports the outcome, see the restore below)."
  reset; lay; slow 会社情報コンバート
  capture k9-done "Every book converted" \
    "The sample installation (a macro slowed down so that the wait dialog shows)." \
    -- "$quimbex" /K:9
  reset; lay; rm "$mydata_u/BookMNG.dat"
  capture k9-no-books "No book to convert" \
    "\`Data\\MyData\\BookMNG.dat\` is missing (or lists no book); \`/K:12\` shows the same." \
    -- "$quimbex" /K:9
  reset; lay; excel none
  capture k9-no-excel "Excel is not installed" \
    "No \"Excel.Application\" is registered." -- "$quimbex" /K:9
  reset; lay; excel 7
  capture k9-old-excel "Excel older than 97" \
    "\"Excel.Application\\CurVer\" names version 7." -- "$quimbex" /K:9
  reset; lay; protect "$excel_u/表参道店.xls"
  capture k9-protected "A book is password-protected" \
    "\`表参道店.xls\` is protected; \`kyuyo\` is still converted." -- "$quimbex" /K:9
  reset; lay; lock "$excel_u/kyuyo.xls"
  capture k9-open "A book is open in Excel" \
    "\`kyuyo.xls\` is locked, so it cannot be renamed to its backup name." -- "$quimbex" /K:9
  reset; lay; faults "Raise=給与明細コンバート"
  capture k9-macro-error "A macro fails in Excel" \
    "The macro 給与明細コンバート raises an automation error, for each book." \
    -- "$quimbex" /K:9
  reset; lay; head -c 9 "$mydata_u/BookMNG.dat" >"$files/cut" && mv "$files/cut" "$mydata_u/BookMNG.dat"
  capture k9-damaged-map "\"BookMNG.dat\" is damaged" \
    "The file is cut after 9 bytes, in its first record." -- "$quimbex" /K:9
}

quimbex_single_cases() {
  section "Quimbex /K:5: converting one book" \
    "\`/F:NAME\` (or \`/K:5 /O:NAME\`) rebuilds one payroll book; success shows only the wait dialog."
  reset; lay; slow 会社情報コンバート
  capture k5-done "The book converted" "The sample installation (a macro slowed down)." \
    -- "$quimbex" /F:kyuyo.xls
  reset; lay
  capture k5-missing "The book does not exist" "No \`nothere.xls\` in the Excel folder." \
    -- "$quimbex" /F:nothere.xls
  reset; lay; protect "$excel_u/kyuyo.xls"
  capture k5-protected "The book is password-protected" "\`kyuyo.xls\` is protected." \
    -- "$quimbex" /F:kyuyo.xls
  reset; lay; lock "$excel_u/kyuyo.xls"
  capture k5-open "The book is open in Excel" "\`kyuyo.xls\` is locked." \
    -- "$quimbex" /F:kyuyo.xls
  reset; lay; excel none
  capture k5-no-excel "Excel cannot be started" \
    "No \"Excel.Application\" is registered (this command has no version check of its own)." \
    -- "$quimbex" /F:kyuyo.xls
}

quimbex_add_cases() {
  section "Quimbex /K:6: adding a book" \
    "\`/K:6 /O:SOURCE /N:NEW\` makes a new payroll book with the company of SOURCE; success \
shows only the wait dialog."
  reset; lay; slow 会社情報コンバート
  capture k6-done "The book added" "The sample installation (a macro slowed down)." \
    -- "$quimbex" /K:6 /O:kyuyo.xls /N:kyuyo2.xls
  reset; lay
  capture k6-missing "The source book does not exist" "No \`nothere.xls\`." \
    -- "$quimbex" /K:6 /O:nothere.xls /N:kyuyo2.xls
  reset; lay
  capture k6-taken "The new name is taken" \
    "\`表参道店.xls\` exists already: it is refused before anything is copied." \
    -- "$quimbex" /K:6 /O:kyuyo.xls /N:表参道店.xls
  reset; lay; protect "$excel_u/kyuyo.xls"
  capture k6-protected "The source book is password-protected" "\`kyuyo.xls\` is protected." \
    -- "$quimbex" /K:6 /O:kyuyo.xls /N:kyuyo2.xls
  reset; lay; faults "Raise=会社情報コンバート"
  capture k6-macro-error "The macro fails in Excel" \
    "会社情報コンバート raises an automation error; the new book is removed again." \
    -- "$quimbex" /K:6 /O:kyuyo.xls /N:kyuyo2.xls
}

quimbex_year_cases() {
  section "Quimbex /K:7: the year update" \
    "The dialog 年度更新 lists the books; the first is selected."
  reset; lay; slow 年度更新コンバート
  capture k7-one "One book updated" "The sample installation (the macro slowed down)." \
    --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay
  capture k7-all "Every book updated" "The sample installation." \
    --click '年度更新=1005' --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; protect "$excel_u/表参道店.xls"
  capture k7-some-failed "Some books fail" "\`表参道店.xls\` is protected." \
    --click '年度更新=1005' --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; faults "Return=年度更新コンバート:False"
  capture k7-all-failed "Every book fails" "The macro 年度更新コンバート answers False." \
    --click '年度更新=1005' --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; rm "$excel_u/kyuyo.xls"
  capture k7-missing "The book does not exist" "\`kyuyo.xls\` is missing." \
    --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; protect "$excel_u/kyuyo.xls"
  capture k7-protected "The book is password-protected" "\`kyuyo.xls\` is protected." \
    --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; lock "$excel_u/kyuyo.xls"
  capture k7-open "The book is open in Excel" "\`kyuyo.xls\` is locked." \
    --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; faults "Raise=年度更新コンバート"
  capture k7-macro-error "The macro fails in Excel" "年度更新コンバート raises an automation error." \
    --click '年度更新=1' -- "$quimbex" /K:7
  reset; lay; excel none
  capture k7-no-excel "Excel is not installed" "No \"Excel.Application\" is registered." \
    -- "$quimbex" /K:7
  reset; lay; excel 7
  capture k7-old-excel "Excel older than 97" "\"Excel.Application\\CurVer\" names version 7." \
    -- "$quimbex" /K:7
  reset; lay; rm "$mydata_u/BookMNG.dat"
  capture k7-no-map "No book-management file" "\`BookMNG.dat\` is missing." -- "$quimbex" /K:7
  reset; lay; empty_map
  capture k7-empty-map "No book" "\`BookMNG.dat\` lists no book." -- "$quimbex" /K:7
}

quimbex_init_cases() {
  section "Quimbex /K:8: initialising a payroll book" \
    "The dialog ブックの初期化 offers the books, keeping the settings (and the data of the \
ticked sheets) or the initial state."
  reset; lay; slow 会社情報コンバート
  capture k8-keep "Initialised, keeping the settings" \
    "The sample installation (a macro slowed down)." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay
  capture k8-initial "Initialised to the initial state" "The sample installation." \
    --click 'ブックの初期化=1012' --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay; rm "$excel_u/kyuyo.xls"
  capture k8-missing "The book does not exist" "\`kyuyo.xls\` is missing." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay; protect "$excel_u/kyuyo.xls"
  capture k8-protected "The book is password-protected" "\`kyuyo.xls\` is protected." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay; lock "$excel_u/kyuyo.xls"
  capture k8-open "The book is open in Excel" "\`kyuyo.xls\` is locked." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay; faults "Raise=社員名簿コンバート"
  capture k8-macro-error "A macro fails in Excel" "社員名簿コンバート raises an automation error." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:8
  reset; lay; excel none
  capture k8-no-excel "Excel is not installed" "No \"Excel.Application\" is registered." \
    -- "$quimbex" /K:8
  reset; lay; excel 7
  capture k8-old-excel "Excel older than 97" "\"Excel.Application\\CurVer\" names version 7." \
    -- "$quimbex" /K:8
  reset; lay; rm "$mydata_u/BookMNG.dat"
  capture k8-no-map "No book-management file" "\`BookMNG.dat\` is missing." -- "$quimbex" /K:8
  reset; lay; empty_map
  capture k8-empty-map "No book" "\`BookMNG.dat\` lists no book." -- "$quimbex" /K:8
}

quimbex_attendance_cases() {
  section "Quimbex /K:10: initialising an attendance book" \
    "The dialog ブックの初期化 (attendance) offers the attendance books; one not made yet is \
marked (未作成)."
  reset; lay; slow 勤怠コンバート
  capture k10-keep "Initialised, keeping the data" \
    "The sample installation (the macro slowed down)." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:10
  reset; lay
  capture k10-initial "Initialised to the initial state" "The sample installation." \
    --click 'ブックの初期化=1012' --click 'ブックの初期化=1' -- "$quimbex" /K:10
  reset; lay
  capture k10-not-made "An attendance book not made yet" \
    "表参道店 has no attendance book; the user picks it, then cancels." \
    --select 'ブックの初期化=1015:勤怠_表参道店(未作成)' --click 'ブックの初期化=1' \
    --after-boxes 1 --click 'ブックの初期化=2' -- "$quimbex" /K:10
  reset; lay; lock "$excel_u/勤怠_kyuyo.xls"
  capture k10-open "The attendance book is open in Excel" \
    "\`勤怠_kyuyo.xls\` is locked, so the template cannot replace it." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:10
  reset; lay; faults "Raise=勤怠コンバート"
  capture k10-macro-error "The macro fails in Excel" "勤怠コンバート raises an automation error." \
    --click 'ブックの初期化=1' -- "$quimbex" /K:10
  reset; lay; rm "$mydata_u/BookMNG.dat"
  capture k10-no-books "No book" \
    "\`BookMNG.dat\` is missing: the list is empty and 初期化 is disabled; the user cancels." \
    --click 'ブックの初期化=2' -- "$quimbex" /K:10
}

quimbex_format_cases() {
  section "Quimbex /K:11: the workbook format change" \
    "Every book moves between \".xls\" and \".xlsm\"; Excel 2007 or later is needed."
  reset; lay; slow 会社情報コンバート
  capture k11-to-xlsm "From .xls to .xlsm" "The sample installation (a macro slowed down)." \
    --click 'Excelﾌﾞｯｸの形式変更=1' -- "$quimbex" /K:11
  reset; lay .xlsm
  capture k11-to-xls "From .xlsm to .xls" "A sample installation with \".xlsm\" books." \
    --click 'Excelﾌﾞｯｸの形式変更=1' -- "$quimbex" /K:11
  reset; lay
  capture k11-no "The user says no" "The sample installation." \
    --click 'Excelﾌﾞｯｸの形式変更=2' -- "$quimbex" /K:11
  reset; lay; rm "$mydata_u/BookMNG.dat"
  capture k11-no-books "No book" \
    "\`BookMNG.dat\` is missing: only the format marker changes." \
    --click 'Excelﾌﾞｯｸの形式変更=1' -- "$quimbex" /K:11
  reset; lay; protect "$excel_u/表参道店.xls"
  capture k11-failed "A book fails" "\`表参道店.xls\` is protected." \
    --click 'Excelﾌﾞｯｸの形式変更=1' -- "$quimbex" /K:11
  reset; lay; lock "$mydata_u/ExType1.dat"
  capture k11-marker-locked "The format marker cannot be renamed" \
    "\`Data\\MyData\\ExType1.dat\` is locked." \
    --click 'Excelﾌﾞｯｸの形式変更=1' -- "$quimbex" /K:11
  reset; lay; excel none
  capture k11-no-excel "Excel is not installed" "No \"Excel.Application\" is registered." \
    -- "$quimbex" /K:11
  reset; lay; excel 11
  capture k11-old-excel "Excel older than 2007" \
    "\"Excel.Application\\CurVer\" names version 11." -- "$quimbex" /K:11
}

# ---- Tessaro ----

# Migration files of two sample installations, written by ikotool.exe with
# Tessaro's engine, and damaged copies of the first.
migration_files() {
  local ext
  for ext in xls xlsm; do
    lay ".$ext" "C:\\GallerySource-$ext"
    run "$bin/ikotool.exe" create "C:\\gallery-files\\$ext.iko" --root "0=C:\\GallerySource-$ext" \
      --root "1=C:\\GallerySource-$ext" --format "$([ $ext = xls ] && echo 3 || echo 4)" >/dev/null
  done
  cp "$files/xls.iko" "$files/foreign.iko"
  printf '\x05' | dd of="$files/foreign.iko" bs=1 seek=2 conv=notrunc status=none
  cp "$files/xls.iko" "$files/newer.iko"
  printf '\x05' | dd of="$files/newer.iko" bs=1 seek=4 conv=notrunc status=none
  head -c $(($(stat -c %s "$files/xls.iko") / 2)) "$files/xls.iko" >"$files/damaged.iko"
}

# Restores FILE (below C:\gallery-files) with the given answers and steps;
# closes the main dialog after BOXES message boxes.
restore() { # name title situation file boxes [options]
  local name=$1 title=$2 situation=$3 file=$4 boxes=$5
  shift 5
  capture "$name" "$title" "$situation" --children "$@" --click "$main_dlg=1001" \
    --file "開く=C:\\gallery-files\\$file" --after-boxes "$boxes" --click "$main_dlg=1" \
    -- "$tessaro"
}

tessaro_cases() {
  tessaro_start_cases
  tessaro_create_cases
  tessaro_restore_cases
}

tessaro_start_cases() {
  section "Tessaro: start-up and the main dialog" \
    "\`Tessaro.exe\` checks the installation and that it runs only once, then shows its main \
dialog."
  reset; lay
  capture t-main "The main dialog" "The sample installation; the user closes it." \
    --click "$main_dlg=1" -- "$tessaro"
  reset; lay
  capture t-about "The About dialog" "The sample installation." \
    --syscommand "$main_dlg=16" --click 'Tessaroのﾊﾞｰｼﾞｮﾝ情報=1' --click "$main_dlg=1" \
    -- "$tessaro"
  reset; lay; rm -rf "$product_u/Data"
  capture t-not-installed "The product is not installed" \
    "The installation has no \`Data\` folder." -- "$tessaro"
  reset; lay; rm "$mydata_u/acck.sys"
  capture t-no-acck "The access check file is missing" \
    "\`Data\\MyData\\acck.sys\` is missing." -- "$tessaro"
  reset; lay; lock "$mydata_u/acck.sys"
  capture t-acck-locked "The data may not be written" \
    "\`Data\\MyData\\acck.sys\` is locked: the user may not write the product's data." \
    -- "$tessaro"
  tessaro_second_start
  reset; lay
  capture t-other-user "Another user runs Tessaro or the product" \
    "Another user logged on to this computer runs Tessaro or the product, whose mutex \
\`Global\\hKyuyo\` this user may not open." --foreign-mutex 'Global\hKyuyo' -- "$tessaro"
}

# A second start while the first one shows its dialog.
tessaro_second_start() {
  reset; lay
  run "$bin/uidriver.exe" run --timeout 60 -- "$tessaro" >"$pages/first.raw" 2>&1 &
  local first=$! i
  for i in $(seq 200); do
    grep -q '^dialog:' "$pages/first.raw" 2>/dev/null && break
    sleep 0.1
  done
  capture t-running "Tessaro runs already" \
    "Tessaro (or the product) runs already and shows its dialog; the user starts it again." \
    -- "$tessaro"
  run taskkill /f /im Tessaro.exe >/dev/null 2>&1 || true
  wait "$first" || true
}

tessaro_create_cases() {
  section "Tessaro: creating a migration file and the backup mode" \
    "作成 writes the data of this computer into a migration file; \`/K:1\` (the product's \
backup) writes the same into a time-stamped backup file, with no dialog of its own."
  reset; lay; rm -f "$files/移行データ.iko"
  capture t-create "A migration file written" "The sample installation." \
    --click "$main_dlg=1000" --file '名前を付けて保存=C:\gallery-files\移行データ.iko' \
    --after-boxes 1 --click "$main_dlg=1" -- "$tessaro"
  reset; lay
  capture t-create-overwrite "Over an existing file" \
    "\`C:\\gallery-files\\移行データ.iko\` exists; the user says yes." --press はい \
    --click "$main_dlg=1000" --file '名前を付けて保存=C:\gallery-files\移行データ.iko' \
    --after-boxes 2 --click "$main_dlg=1" -- "$tessaro"
  reset; lay; mkdir -p "$files/locked"; lock "$files/locked"
  capture t-create-failed "The file cannot be written" \
    "The folder \`C:\\gallery-files\\locked\` is locked." \
    --click "$main_dlg=1000" --file '名前を付けて保存=C:\gallery-files\locked\移行データ.iko' \
    --after-boxes 1 --click "$main_dlg=1" -- "$tessaro"
  reset; lay
  capture t-backup "A backup file written" "The sample installation." \
    --file '名前を付けて保存=C:\gallery-files\バックアップ.iko' -- "$tessaro" /K:1
  reset; lay; mkdir -p "$files/locked"; lock "$files/locked"
  capture t-backup-failed "The backup file cannot be written" \
    "The folder \`C:\\gallery-files\\locked\` is locked." \
    --file '名前を付けて保存=C:\gallery-files\locked\バックアップ.iko' -- "$tessaro" /K:1
}

tessaro_restore_cases() {
  section "Tessaro: restoring a migration file" \
    "復元 reads a migration file into this installation, asks about the workbook format and \
the conversion, and has \`Quimbex.exe /K:12\` convert the books (its windows appear in the \
list too). \`xls.iko\` and \`xlsm.iko\` hold sample installations with \".xls\" and \".xlsm\" \
books."
  reset; migration_files
  reset; lay .xlsm; slow 会社情報コンバート
  restore t-restore "An .xls installation into an .xlsm one" \
    "The installation has \".xlsm\" books; the user says yes twice (a macro slowed down)." \
    xls.iko 3 --press はい --press はい
  reset; lay .xls
  restore t-restore-to-xlsm "An .xlsm installation into an .xls one" \
    "The installation has \".xls\" books; the user says yes twice." \
    xlsm.iko 3 --press はい --press はい
  reset; lay .xlsm
  restore t-restore-no-conversion "No conversion" \
    "The user agrees to the format change, then declines the conversion: nothing further." \
    xls.iko 2 --press はい --press いいえ
  reset; lay .xlsm
  restore t-restore-format-no "No format change" \
    "The user declines the format change: nothing changes." xls.iko 1 --press いいえ
  reset; lay
  restore t-foreign "Not a Morvane file" "The file's product byte is not Morvane's." \
    foreign.iko 1
  reset; lay
  restore t-newer "A file of a newer version" "The file's format code is above .xlsm's." \
    newer.iko 1
  reset; lay
  restore t-damaged "A damaged file" "The file is cut in the middle." damaged.iko 1
  reset; lay .xls; excel 11
  restore t-xlsm-refused ".xlsm books without Excel 2007" \
    "Excel 11 (2003) is installed and the file holds \".xlsm\" books." xlsm.iko 1
  reset; lay .xls; touch "$mydata_u/ExType2.dat"
  restore t-rename-failed "The format marker cannot be renamed" \
    "\`Data\\MyData\` holds both format markers; the user says yes." xlsm.iko 2 --press はい
  reset; lay .xlsm; lock "$product_u/Data/DefEru/帳票設定.dat"; lock "$product_u/Data/Other/自社様式.frm"
  restore t-unwritten "Files that cannot be written" \
    "\`Data\\DefEru\\帳票設定.dat\` and \`Data\\Other\\自社様式.frm\` of the installation are \
locked." xls.iko 4 --press はい --press はい
  tessaro_full_disk
  reset; lay .xlsm; rm "$product_u/Exe/Quimbex.exe"
  restore t-no-quimbex "Quimbex is missing" "\`Exe\\Quimbex.exe\` is missing." xls.iko 3 \
    --press はい --press はい
  reset; lay .xlsm; faults "Raise=給与明細コンバート"
  restore t-conversion-failed "The conversion fails" \
    "給与明細コンバート raises an automation error in Quimbex, for each book." xls.iko 5 \
    --press はい --press はい
}

# The installation on a small disk (a tmpfs, as root) with 256 KiB left,
# and a migration file with a 1 MiB form: the disk fills up while the
# files are written.
tessaro_full_disk() {
  local disk=$drive_c/GalleryFull
  reset
  mkdir -p "$disk"
  if ! mount -t tmpfs -o "size=8m,uid=$(id -u "$MORVANE_WINE_USER"),gid=$(id -g "$MORVANE_WINE_USER")" \
    tmpfs "$disk" 2>/dev/null; then
    echo "gallery: no tmpfs can be mounted here (not root?): the full disk is left out"
    return
  fi
  run "$bin/SampleProduct.exe" 'C:\GalleryFull' /ext:.xls "/exe:$bin_w" /noregistry >/dev/null 2>&1
  dd if=/dev/zero of="$disk/filler" bs=64k status=none 2>/dev/null || true
  truncate -s -256K "$disk/filler"
  lay .xls 'C:\GallerySource-big'
  head -c 1M /dev/urandom >"$drive_c/GallerySource-big/Data/Other/大きな様式.frm"
  run "$bin/ikotool.exe" create 'C:\gallery-files\big.iko' --root '0=C:\GallerySource-big' \
    --root '1=C:\GallerySource-big' --format 3 >/dev/null
  capture t-disk-full "The disk fills up" \
    "The installation's disk has 256 KiB free; the migration file holds a form of 1 MiB." \
    --children --press はい --click "$main_dlg=1001" --file '開く=C:\gallery-files\big.iko' \
    --after-boxes 2 --click "$main_dlg=1" -- 'C:\GalleryFull\Exe\Tessaro.exe'
  umount "$disk"
}

# Two captures for the test: a message box and a dialog.
smoke_cases() {
  reset; lay
  capture q-bad-code "A command code that does not exist" "Any code outside 5 to 12." \
    -- "$quimbex" /K:4
  capture t-main "The main dialog" "The sample installation; the user closes it." \
    --click "$main_dlg=1" -- "$tessaro"
}
