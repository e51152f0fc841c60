#!/bin/bash
# Every handle, key, GDI object, module, memory block, BSTR, VARIANT and COM
# reference of the tree closes through the owners of fw/ (ScopedHandle_win.h,
# ComPtr_win.h, OleOwners_win.h): a close written by hand, which an early return or
# an exception passes by, fails this check.  Usage: check-owners.sh [ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

calls='CloseHandle|FindClose|RegCloseKey|DeleteObject|DeleteDC|ReleaseDC|SelectObject'
calls+='|SysFreeString|VariantClear|LocalFree|HeapFree|GlobalFree|FreeLibrary'
calls+='|CoTaskMemFree|UnmapViewOfFile|DestroyIcon|DestroyCursor|DestroyMenu'
pattern="\\b($calls)\\b|->Release\\(\\)"
owners=(fw/ScopedHandle_win.h fw/ComPtr_win.h fw/OleOwners_win.h)

# The sources as git knows them; a tree without git (an unpacked archive) is
# searched as it lies.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    list() { git ls-files -- '*.c' '*.cpp' '*.h' '*.hpp'; }
else
    list() { find . -path ./build -prune -o -type f \( -name '*.c' -o -name '*.cpp' \
                  -o -name '*.h' -o -name '*.hpp' \) -print | sed 's|^\./||'; }
fi

found=$(list | grep -vxF -f <(printf '%s\n' "${owners[@]}") |
        xargs -r grep -nE "$pattern" -- || true)
if [[ -n $found ]]; then
    echo "closed by hand, outside the owners of fw/ (${owners[*]}):" >&2
    echo "$found" >&2
    exit 1
fi
echo "every close goes through the owners of fw/"
