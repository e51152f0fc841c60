#include "BookLocator.h"

#include "Mbcs.h"

namespace {

// The folder part of path, or "" when it has none.
CString Parent(const CString& path) {
    const int slash = path.ReverseFind('\\');
    return slash < 0 ? CString() : path.Left(slash);
}

} // namespace

CBookLocator::CBookLocator(const CString& dataDir)
    : m_strExcelDir(WithoutTrailingBackslashes(dataDir) + "\\Excel") {}

CString CBookLocator::Resolve(const CString& name) const {
    return IsAbsolute(name) ? name : m_strExcelDir + "\\" + name;
}

// Only the first two bytes are looked at: neither can be a trail byte, and a
// colon is never one.
bool CBookLocator::IsAbsolute(const CString& name) {
    if (name.IsEmpty())
        return false;
    if (name[0] == '\\' || name[0] == '/')
        return true;
    const char c = name[0];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && name.GetLength() >= 2 && name[1] == ':';
}

// <product>\Data\Org\xlConv2.xls: the folder of the file is Org, and the
// product directory lies two levels above it.
CString CBookLocator::ProductDirOf(const CString& converterPath) {
    return Parent(Parent(Parent(converterPath)));
}

// A trail byte 0x5C ("ソ" is 83 5C) is part of a character, not a separator.
// A drive root loses its backslash too: "C:\" gives "C:", so "C:\Excel".
CString CBookLocator::WithoutTrailingBackslashes(const CString& dir) {
    const int n = dir.GetLength();
    int keep = 0;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(dir.GetString(), i, n);
        if (!(len == 1 && dir[i] == '\\'))
            keep = i + len;
        i += len;
    }
    return dir.Left(keep);
}
