#include "TargetFolder.h"

#include "Mbcs.h"

// A folder that cannot be listed (missing, or its rights denied) knows
// nothing: every name in it is asked of the system.
CTargetFolder::CTargetFolder(CFileSystem& fs, const CString& strPath)
    : m_strPath(strPath), m_bShortNames(fs.HasShortNames()) {
    m_bListed = fs.ListDirectory(strPath, m_items);
    for (size_t i = 0; i < m_items.size(); ++i)
        Index(i);
}

// A long name without a code page 932 form comes back with a stand-in
// character and names no file: such an entry is found by its short name
// only.
// A folder of a case-sensitive file system (natively) may hold twins whose
// names differ only in case, which no Windows folder holds.
void CTargetFolder::Index(size_t nItem) {
    const CDirItem& item = m_items[nItem];
    if (!item.bSkip || item.nSkipReason != CSkipReason::unconvertibleName) {
        const std::string key = Key(item.strName);
        const auto done = m_byName.emplace(key, nItem);
        if (!done.second && m_items[done.first->second].strName != item.strName)
            m_twins.insert(key);
    }
    if (!item.strShortName.IsEmpty())
        m_byName.emplace(Key(item.strShortName), nItem);
}

// Of twins, the one spelled exactly as asked is the one the name opens;
// any other spelling could mean either of them.
CTargetFolder::Match CTargetFolder::Look(const CString& strName, CDirItem& item) const {
    const std::string key = Key(strName);
    const auto it = m_byName.find(key);
    if (it == m_byName.end())
        return Match::missing;
    if (m_twins.count(key) == 0) {
        item = m_items[it->second];
        return Match::found;
    }
    for (const CDirItem& twin : m_items)
        if (twin.strName == strName) {
            item = twin;
            return Match::found;
        }
    return Match::several;
}

// The system's short names hold a '~' (Windows' "DENMAI~1.DAT", Wine's
// "DENM~N0O.DAT"); a file the restore made has one that the listing lacks.
// Where there are no short names, the listing settles every name.
bool CTargetFolder::IsSurelyMissing(const CString& strName) const {
    return m_bListed &&
           (!m_bShortNames || (strName.Find('~') < 0 && !HasDoubleByteLetter(strName)));
}

// Written under its own name, a name the listing could already find.
void CTargetFolder::NoteFile(const CString& strName, bool bDirectory) {
    CDirItem item;
    if (Look(strName, item) != Match::missing)
        return;
    item.strName = strName;
    item.bDirectory = bDirectory;
    m_items.push_back(item);
    Index(m_items.size() - 1);
}

namespace {

// The lower-case form of a double-byte capital of code page 932, as its
// two bytes; 0 for any other character.  The Cyrillic small letters skip
// the trail byte 0x7F; the Roman numerals have a capital twice (rows 0x87
// and 0xFA) and a small form twice (0xEE and 0xFA), folded to one.
unsigned LowerDoubleByte(unsigned lead, unsigned trail) {
    const unsigned c = lead << 8 | trail;
    if (c >= 0x8260 && c <= 0x8279) // Ａ-Ｚ
        return c + 0x21;
    if (c >= 0x839F && c <= 0x83B6) // Α-Ω
        return c + 0x20;
    if (c >= 0x8440 && c <= 0x8460) { // А-Я
        const unsigned k = c - 0x8440;
        return 0x8470 + k + (k >= 15 ? 1 : 0);
    }
    if (c >= 0x8754 && c <= 0x875D) // Ⅰ-Ⅹ
        return 0xFA40 + (c - 0x8754);
    if (c >= 0xFA4A && c <= 0xFA53) // Ⅰ-Ⅹ (IBM)
        return 0xFA40 + (c - 0xFA4A);
    if (c >= 0xEEEF && c <= 0xEEF8) // ⅰ-ⅹ (NEC-selected IBM)
        return 0xFA40 + (c - 0xEEEF);
    return 0;
}

} // namespace

std::string CTargetFolder::Key(const CString& strName) {
    const std::string& s = strName.str();
    const int n = static_cast<int>(s.size());
    std::string key;
    key.reserve(s.size());
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        const auto b = static_cast<unsigned char>(s[static_cast<size_t>(i)]);
        if (len == 1) {
            key += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
        } else {
            const auto t = static_cast<unsigned char>(s[static_cast<size_t>(i) + 1]);
            const unsigned lower = LowerDoubleByte(b, t);
            key += static_cast<char>(lower ? lower >> 8 : b);
            key += static_cast<char>(lower ? lower & 0xFF : t);
        }
        i += len;
    }
    return key;
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
