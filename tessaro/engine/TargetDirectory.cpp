#include "TargetDirectory.h"

#include "Mbcs.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

// One level, as a directory's parent is created before its children.  A
// top-level entry such as "Data\MyData" may lack more than one level in a
// tree that is not a full installation, and every file below it would be
// lost without a word: those levels are created too.
void CTargetDirectory::Ensure(CFileSystem& fs, const CString& strRoot, const CString& strRelPath) {
    const CString path = strRoot + strRelPath;
    if (fs.GetStatus(path).bExists)
        return;
    const CString parent = ParentOf(strRelPath);
    if (parent.IsEmpty() || fs.GetStatus(strRoot + parent).bExists) {
        fs.MakeDirectory(path);
        return;
    }
    CreateLevels(fs, strRoot, strRelPath);
}

// Cut before the last run of separators that a name follows; empty at the
// root.  The trail byte of "表" is 0x5C too, so the walk is by characters.
CString CTargetDirectory::ParentOf(const CString& strRelPath) {
    const std::string& s = strRelPath.str();
    const int n = static_cast<int>(s.size());
    int cut = 0;
    int runStart = -1;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        if (len == 1 && IsSeparator(s[static_cast<size_t>(i)])) {
            if (runStart < 0)
                runStart = i;
        } else {
            if (runStart >= 0)
                cut = runStart;
            runStart = -1;
        }
        i += len;
    }
    return strRelPath.Left(cut);
}

// From the root down, stopping at the first level that cannot be created.
void CTargetDirectory::CreateLevels(CFileSystem& fs, const CString& strRoot,
                                    const CString& strRelPath) {
    const std::string& s = strRelPath.str();
    const int n = static_cast<int>(s.size());
    bool bInName = false;
    bool bMissing = false;
    for (int i = 0; i <= n;) {
        const int len = i < n ? fw::CharLen932(s.data(), i, n) : 1;
        const bool bSeparator = i == n || (len == 1 && IsSeparator(s[static_cast<size_t>(i)]));
        if (bSeparator && bInName) {
            const CString level = strRoot + strRelPath.Left(i);
            bMissing = bMissing || !fs.GetStatus(level).bExists;
            if (bMissing && !fs.MakeDirectory(level))
                return;
        }
        bInName = !bSeparator;
        i += len;
    }
}
