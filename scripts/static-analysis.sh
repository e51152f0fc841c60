#!/usr/bin/env bash
# Static analysis of every source of the project: clang-tidy with the checks
# of .clang-tidy (bugprone, cert, performance, clang-analyzer) and cppcheck
# with the suppressions of cppcheck-suppressions.txt.  The portable code,
# the native programs and their tests go through the native build's compile
# commands; the Win32 code through the win build's, compiled by clang for
# the mingw-w64 target with the mingw headers.  Prints every finding and
# fails when there is one.  Slow (the analyser reads <windows.h> for each
# Win32 file): not part of scripts/test.sh.
#   scripts/static-analysis.sh [JOBS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${1:-2}
out=build/static-analysis
mkdir -p "$out"

scripts/install-deps.sh
for tool in clang-tidy cppcheck; do
  if ! command -v "$tool" >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$tool" >/dev/null
  fi
done
# The compile commands only; nothing needs building but what configuring makes.
cmake --preset native >/dev/null
cmake --preset win >/dev/null

# Our sources in a compile database, one a line.
sources_of() { # build-folder
  python3 - "$1" "$root" <<'PY'
import json, os, sys
db, root = sys.argv[1], sys.argv[2]
for entry in json.load(open(os.path.join(db, "compile_commands.json"))):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + "/") and "/build/" not in path[len(root):]:
        print(path)
PY
}
sources_of build/native | sort -u >"$out/native.txt"
# Portable files are in both databases: the Win32 pass takes the others.
sources_of build/win | sort -u | comm -23 - "$out/native.txt" >"$out/win.txt"

mingw=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
win_args=(--target=x86_64-w64-mingw32 --sysroot=/usr/x86_64-w64-mingw32
  # clang knows no CP932 execution set; the literals' bytes do not matter here.
  -fexec-charset=UTF-8
  "-isystem$mingw/include/c++" "-isystem$mingw/include/c++/x86_64-w64-mingw32"
  "-isystem$mingw/include/c++/backward")

tidy() { # build-folder list-file log [extra args]
  local db=$1 list=$2 log=$3
  shift 3
  local extra=()
  for a in "$@"; do extra+=("-extra-arg=$a"); done
  xargs -a "$list" -P "$jobs" -n 4 clang-tidy -p "$db" --quiet "${extra[@]}" >"$log" 2>/dev/null || true
}
# clang knows no CP932 execution set either; the literals' bytes do not
# matter to the checks.
tidy build/native "$out/native.txt" "$out/clang-tidy-native.log" -fexec-charset=UTF-8
tidy build/win "$out/win.txt" "$out/clang-tidy-win.log" "${win_args[@]}"

# cppcheck reads the same databases; system headers and GoogleTest's own
# sources (in /usr/src) are not its business.
cppcheck_run() { # build-folder log [options]
  local db=$1 log=$2
  shift 2
  cppcheck --project="$db/compile_commands.json" -j "$jobs" --quiet --inline-suppr \
    --enable=warning,performance,portability --std=c++17 \
    --suppressions-list=cppcheck-suppressions.txt \
    -i/usr/src -i"$root/build" \
    --template='{file}:{line}:{column}: {severity}: {message} [{id}]' "$@" 2>"$log" >/dev/null ||
    { echo "static-analysis: cppcheck could not check $db:" >&2; cat "$log" >&2; exit 1; }
}
cppcheck_run build/native "$out/cppcheck-native.log"
cppcheck_run build/win "$out/cppcheck-win.log" --library=windows -D_WIN32 -D__MINGW32__

# One line per finding, each once (a header is met by many files).  clang-tidy
# names files by their full paths, cppcheck by paths below the project.
# A file the analyser could not read (clang-diagnostic-error) counts too.
grep -hE '^[^ :]+:[0-9]+:[0-9]+: (warning|error|style|performance|portability): |\[clang-diagnostic-error\]' \
  "$out"/clang-tidy-*.log "$out"/cppcheck-*.log | sort -u >"$out/findings.txt" || true
count=$(wc -l <"$out/findings.txt")
cat "$out/findings.txt"
echo "static-analysis: $count findings ($(wc -l <"$out/native.txt") native and $(wc -l <"$out/win.txt") Win32 sources)"
[ "$count" -eq 0 ]
