#include "TargetPath.h"

#include "RestorePath.h"

CTargetPath::CTargetPath(CFileSystem& fs) : m_fs(fs) {}

// The system takes other spellings of one file: runs of separators and "/"
// as one backslash, a component without its trailing dots and blanks, any
// case of a letter, and the short (8.3) name of an existing file or folder.
// Each of them is brought to the one spelling here, so that a stored
// "\Data/Org.\KYUYO~1.XLS" is judged as the "kyuyo.xlsm" it would replace.
// A component that names nothing yet keeps the spelling given, as the
// system then creates it.  The folder is resolved once for all the files
// that follow in it.
bool CTargetPath::Resolve(const CString& strRoot, const CString& strRelPath) {
    std::vector<CString> parts;
    m_strRefusal = CRestorePath::Split(strRelPath, parts);
    if (!m_strRefusal.IsEmpty())
        return false;
    ResolveFolder(strRoot, parts);
    m_nRootLength = strRoot.GetLength();
    m_strPath = m_strCachedFolder;
    m_nNameAt = m_strPath.GetLength();
    if (!parts.empty()) {
        m_strPath += "\\" + OnDisk(m_strCachedFolder, parts.back());
        ++m_nNameAt;
    }
    m_strFolded = m_strPath;
    m_strFolded.MakeLower();
    return true;
}

void CTargetPath::Forget() {
    m_bCached = false;
}

// All components but the last.
void CTargetPath::ResolveFolder(const CString& strRoot, const std::vector<CString>& parts) {
    if (IsCachedFolder(strRoot, parts))
        return;
    const size_t nFolder = parts.empty() ? 0 : parts.size() - 1;
    m_strCachedFolder = strRoot;
    for (size_t i = 0; i < nFolder; ++i)
        m_strCachedFolder += "\\" + OnDisk(m_strCachedFolder, parts[i]);
    m_strCachedRoot = strRoot;
    m_astrCachedParts.assign(parts.begin(), parts.begin() + static_cast<ptrdiff_t>(nFolder));
    m_bCached = true;
}

bool CTargetPath::IsCachedFolder(const CString& strRoot, const std::vector<CString>& parts) const {
    const size_t nFolder = parts.empty() ? 0 : parts.size() - 1;
    if (!m_bCached || nFolder != m_astrCachedParts.size() || strRoot != m_strCachedRoot)
        return false;
    for (size_t i = 0; i < nFolder; ++i)
        if (parts[i] != m_astrCachedParts[i])
            return false;
    return true;
}

CString CTargetPath::OnDisk(const CString& strFolder, const CString& strPart) {
    CString name;
    return m_fs.GetLongName(strFolder + "\\" + strPart, name) ? name : strPart;
}
