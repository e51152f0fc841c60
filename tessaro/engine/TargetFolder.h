#pragma once
#include "FileSystem.h"

#include <string>
#include <unordered_map>
#include <vector>

// What one folder of a restore's targets holds, listed once when the restore
// comes to it: each entry by its long name and by its short one, in either
// case, with what the system would refuse to replace.  The files the
// restore puts there are noted as it goes.
class CTargetFolder {
public:
    CTargetFolder(CFileSystem& fs, const CString& strPath);

    const CString& Path() const { return m_strPath; }
    // True with item when strName (a component without trailing dots and
    // blanks) names an entry of the listing.
    bool Find(const CString& strName, CDirItem& item) const;
    // Whether an entry the listing lacks is known not to exist: the folder
    // was listed, and the name is of none that the system might give a file
    // since (a short name) or match in a way the listing does not (the case
    // of a double-byte letter).
    bool IsSurelyMissing(const CString& strName) const;
    void NoteFile(const CString& strName);

private:
    static std::string Key(const CString& strName);
    static bool HasDoubleByteLetter(const CString& strName);
    void Index(size_t nItem);

    CString m_strPath;
    bool m_bListed = false;
    std::vector<CDirItem> m_items;
    std::unordered_map<std::string, size_t> m_byName; // long and short names, lower case
};
