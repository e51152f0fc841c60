#include "TargetFolder.h"

#include "Mbcs.h"

// A folder that cannot be listed (missing, or its rights denied) knows
// nothing: every name in it is asked of the system.
CTargetFolder::CTargetFolder(CFileSystem& fs, const CString& strPath) : m_strPath(strPath) {
    m_bListed = fs.ListDirectory(strPath, m_items);
    for (size_t i = 0; i < m_items.size(); ++i)
        Index(i);
}

// A long name without a code page 932 form comes back with a stand-in
// character and names no file: such an entry is found by its short name
// only.
void CTargetFolder::Index(size_t nItem) {
    const CDirItem& item = m_items[nItem];
    if (!item.bSkip || item.nSkipReason != CSkipReason::unconvertibleName)
        m_byName.emplace(Key(item.strName), nItem);
    if (!item.strShortName.IsEmpty())
        m_byName.emplace(Key(item.strShortName), nItem);
}

bool CTargetFolder::Find(const CString& strName, CDirItem& item) const {
    const auto it = m_byName.find(Key(strName));
    if (it == m_byName.end())
        return false;
    item = m_items[it->second];
    return true;
}

// The system's short names hold a '~' (Windows' "DENMAI~1.DAT", Wine's
// "DENM~N0O.DAT"); a file the restore made has one that the listing lacks.
bool CTargetFolder::IsSurelyMissing(const CString& strName) const {
    return m_bListed && strName.Find('~') < 0 && !HasDoubleByteLetter(strName);
}

// Written under its own name, a name the listing could already find.
void CTargetFolder::NoteFile(const CString& strName) {
    CDirItem item;
    if (Find(strName, item))
        return;
    item.strName = strName;
    m_items.push_back(item);
    Index(m_items.size() - 1);
}

// Single-byte letters folded, as the system matches them.
std::string CTargetFolder::Key(const CString& strName) {
    CString key = strName;
    key.MakeLower();
    return key.str();
}

// The full-width Latin, Greek and Cyrillic letters and the Roman numerals
// of code page 932 have a case of their own, which the system folds and
// the key does not.
bool CTargetFolder::HasDoubleByteLetter(const CString& strName) {
    const std::string& s = strName.str();
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        if (len == 2) {
            const auto lead = static_cast<unsigned char>(s[static_cast<size_t>(i)]);
            const auto trail = static_cast<unsigned char>(s[static_cast<size_t>(i) + 1]);
            if ((lead == 0x82 && trail < 0x9F) || (lead == 0x83 && trail >= 0x9F) || lead == 0x84 ||
                lead == 0x87 || lead == 0xEE || lead == 0xFA)
                return true;
        }
        i += len;
    }
    return false;
}
