#!/bin/bash
# Every handle, key, GDI object, window, module, memory block, BSTR, VARIANT,
# COM reference, COM or OLE initialisation and class object registration of
# the tree closes through the owners of fw/ (ScopedHandle_win.h, ComPtr_win.h,
# OleOwners_win.h), every file descriptor, directory stream and C stream
# through those of the POSIX file system (tessaro/engine/PosixOwners_posix.h):
# a close written by hand, which an early return or an exception passes by,
# fails this check.  The window classes of fw/ own their windows and AfxOleInit
# the program's OLE, which it leaves at exit.  Usage: check-owners.sh [ROOT]
set -euo pipefail

calls='CloseHandle|FindClose|RegCloseKey|DeleteObject|DeleteDC|ReleaseDC|SelectObject'
calls+='|SysFreeString|VariantClear|LocalFree|HeapFree|GlobalFree|FreeLibrary'
calls+='|CoTaskMemFree|UnmapViewOfFile|DestroyIcon|DestroyCursor|DestroyMenu'
calls+='|CoUninitialize|OleUninitialize|CoRevokeClassObject|fclose|closedir'
# A window's and a descriptor's close take an argument; the members of the
# same name (CWnd::DestroyWindow(), a stream's close()) take none.
handed='\bDestroyWindow\([^)]|(^|[^[:alnum:]_.>:])(::)?close\([^)]'
pattern="\\b($calls)\\b|->Release\\(\\)|$handed"
owners=(fw/ScopedHandle_win.h fw/ComPtr_win.h fw/OleOwners_win.h
        tessaro/engine/PosixOwners_posix.h fw/Wnd_win.cpp fw/Dialog_win.cpp fw/Ole_win.cpp)

# A pattern grep cannot read would find nothing, and the check would pass.
rc=0
grep -qE "$pattern" /dev/null || rc=$?
if ((rc > 1)); then
    echo "check-owners.sh: grep refuses the pattern" >&2
    exit 2
fi

# The hand-written closes below the current folder, "FILE:LINE:TEXT".  The
# sources as git knows them; a tree without git (an unpacked archive) is
# searched as it lies.
hand_closes() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        list() { git ls-files -- '*.c' '*.cpp' '*.h' '*.hpp'; }
    else
        list() { find . -path ./build -prune -o -type f \( -name '*.c' -o -name '*.cpp' \
                      -o -name '*.h' -o -name '*.hpp' \) -print | sed 's|^\./||'; }
    fi
    list | sort | grep -vxF -f <(printf '%s\n' "${owners[@]}") |
        xargs -r grep -HnE "$pattern" -- || true
}

# A small tree with one line of each kind; the lines marked "hand" must be
# found, and only they.
self_test() {
    dir=$(mktemp -d)
    trap 'rm -rf "$dir"' EXIT
    mkdir -p "$dir/fw" "$dir/tessaro/engine" "$dir/tools"
    cat >"$dir/tools/Cases.cpp" <<'CASES'
    ::CloseHandle(h); // hand
    ::CoUninitialize(); // hand
    ::OleUninitialize(); // hand
    ::CoRevokeClassObject(cookie); // hand
    ::DestroyWindow(m_hwnd); // hand
    DestroyWindow(hwnd); // hand
    (void)std::fclose(f); // hand
    ::closedir(d); // hand
    ::close(fd); // hand
    if (close(fd) != 0) // hand
    p->Release(); // hand
    wait.DestroyWindow();
    pWait->DestroyWindow();
    BOOL DestroyWindow() override;
    CWnd::DestroyWindow();
    out.close();
    file->Close();
    m_fd.Close();
    CArchive::close(x);
    // the folder a lookup would close first
    reclose(fd);
CASES
    printf '%s\n' '::CoUninitialize();' >"$dir/fw/OleOwners_win.h"
    printf '%s\n' '::close(fd);' >"$dir/tessaro/engine/PosixOwners_posix.h"
    local expected got
    expected=$(grep -n '// hand$' "$dir/tools/Cases.cpp" | sed 's|^|tools/Cases.cpp:|')
    got=$(cd "$dir" && hand_closes)
    if [[ $got != "$expected" ]]; then
        printf 'The check of hand-written closes is wrong.\nExpected:\n%s\nGot:\n%s\n' \
            "$expected" "$got" >&2
        exit 1
    fi
    echo "The check of hand-written closes finds each case of its test tree."
}

if [[ ${1:-} == --self-test ]]; then
    self_test
    exit 0
fi

root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
found=$(hand_closes)
if [[ -n $found ]]; then
    echo "closed by hand, outside the owners (${owners[*]}):" >&2
    echo "$found" >&2
    exit 1
fi
echo "every close goes through the owners"
