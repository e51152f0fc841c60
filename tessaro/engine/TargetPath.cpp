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
// that follow in it.  A path of separators alone names the root itself,
// which no entry may replace; its folder would be the root's path cut by
// one character, a folder beside the root.
bool CTargetPath::Resolve(const CString& strRoot, const CString& strRelPath) {
    std::vector<CString> parts;
    m_strRefusal = CRestorePath::Split(strRelPath, parts);
    m_bRoot = m_strRefusal.IsEmpty() && parts.empty();
    if (m_bRoot)
        m_strRefusal = "names its root directory, not a file or folder below it";
    if (!m_strRefusal.IsEmpty())
        return false;
    if (!ResolveFolder(strRoot, parts))
        return false;
    m_nRootLength = strRoot.GetLength();
    m_strPath = m_strCachedFolder + "\\";
    m_nNameAt = m_strPath.GetLength();
    if (!ResolveName(parts.back()))
        return false;
    m_strFolded = m_strPath;
    m_strFolded.MakeLower();
    return true;
}

// Where names have other spellings, the last component is looked up in its
// folder's listing: one listing per folder instead of a lookup per file,
// which costs a search of the whole folder for a name that does not exist
// yet (Wine reads every entry to match the case).  A name the listing
// cannot settle is asked of the system.
bool CTargetPath::ResolveName(const CString& strPart) {
    if (!m_fs.HasOtherSpellings()) {
        m_strPath += strPart;
        m_status = m_fs.GetStatus(m_strPath);
        return true;
    }
    const CTargetFolder& folder = Listed(m_strCachedFolder);
    CDirItem item;
    const CTargetFolder::Match match = folder.Look(strPart, item);
    if (match == CTargetFolder::Match::several)
        return RefuseTwins(strPart);
    if (match == CTargetFolder::Match::found) {
        const bool bNamed = !(item.bSkip && item.nSkipReason == CSkipReason::unconvertibleName);
        m_strPath += bNamed ? item.strName : strPart;
        m_status = CFsStatus();
        m_status.bExists = true;
        m_status.bDirectory = item.bDirectory;
        m_status.bProtected = item.bProtected;
    } else if (folder.IsSurelyMissing(strPart)) {
        m_strPath += strPart;
        m_status = CFsStatus();
    } else {
        m_strPath += OnDisk(m_strCachedFolder, strPart);
        m_status = m_fs.GetStatus(m_strPath);
    }
    return true;
}

// Twins that differ only in case (natively) are one file on Windows: which
// of them an entry of a third spelling means cannot be told.
bool CTargetPath::RefuseTwins(const CString& strPart) {
    m_strRefusal = "more than one entry of its folder is named \"" + strPart + "\" (in some case)";
    return false;
}

// The restore walks the tree depth first: the folders above the one it
// comes to stay listed, the others are done with.
CTargetFolder& CTargetPath::Listed(const CString& strFolder) {
    while (!m_listed.empty() && m_listed.back().Path() != strFolder &&
           strFolder.str().rfind(m_listed.back().Path().str() + "\\", 0) != 0)
        m_listed.pop_back();
    if (m_listed.empty() || m_listed.back().Path() != strFolder)
        m_listed.emplace_back(m_fs, strFolder);
    return m_listed.back();
}

// A second entry of the same name then replaces a file, not a missing one;
// a later entry below a folder made finds it by any spelling, and so every
// level above it that the restore made with it.
void CTargetPath::NoteWritten(bool bDirectory) {
    if (bDirectory)
        NoteLevels(m_strPath);
    else if (!m_listed.empty() && m_listed.back().Path() == Folder())
        m_listed.back().NoteFile(Name(), false);
}

void CTargetPath::NoteFolderMade() {
    NoteLevels(Folder());
}

// Each folder listed on the way down learns the next level of strPath: a
// listing taken before the level was made lacks it.
void CTargetPath::NoteLevels(const CString& strPath) {
    for (CTargetFolder& folder : m_listed) {
        const std::string prefix = folder.Path().str() + "\\";
        if (strPath.str().compare(0, prefix.size(), prefix) != 0)
            continue;
        const CString rest = strPath.Mid(static_cast<int>(prefix.size()));
        const int cut = rest.Find('\\');
        folder.NoteFile(cut < 0 ? rest : rest.Left(cut), true);
    }
}

void CTargetPath::Forget() {
    m_bCached = false;
}

// All components but the last.  A folder below the root that is a link
// would lead the restore out of its root: the path is refused.
bool CTargetPath::ResolveFolder(const CString& strRoot, const std::vector<CString>& parts) {
    if (IsCachedFolder(strRoot, parts))
        return true;
    m_bCached = false;
    const size_t nFolder = parts.empty() ? 0 : parts.size() - 1;
    m_strCachedFolder = strRoot;
    for (size_t i = 0; i < nFolder; ++i) {
        CString name;
        if (!FolderOnDisk(m_strCachedFolder, parts[i], name))
            return false;
        m_strCachedFolder += "\\" + name;
        if (m_fs.IsLink(m_strCachedFolder)) {
            m_strRefusal = "\"" + parts[i] + "\" is a link to another folder, not followed";
            return false;
        }
    }
    m_strCachedRoot = strRoot;
    m_astrCachedParts.assign(parts.begin(), parts.begin() + static_cast<ptrdiff_t>(nFolder));
    m_bCached = true;
    return true;
}

// Where names differ in case but not in short names (natively), a folder
// is found in its parent's listing, as its files are.
bool CTargetPath::FolderOnDisk(const CString& strFolder, const CString& strPart, CString& strName) {
    if (!m_fs.HasOtherSpellings() || m_fs.HasShortNames()) {
        strName = OnDisk(strFolder, strPart);
        return true;
    }
    CDirItem item;
    const CTargetFolder::Match match = Listed(strFolder).Look(strPart, item);
    if (match == CTargetFolder::Match::several)
        return RefuseTwins(strPart);
    const bool bNamed = match == CTargetFolder::Match::found &&
                        !(item.bSkip && item.nSkipReason == CSkipReason::unconvertibleName);
    strName = bNamed ? item.strName : strPart;
    return true;
}

bool CTargetPath::IsCachedFolder(const CString& strRoot, const std::vector<CString>& parts) const {
    const size_t nFolder = parts.size() - 1;
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
