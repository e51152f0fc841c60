#pragma once
#include "FileSystem.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What one folder of a restore's targets holds, listed once when the restore
// comes to it: each entry by its long name and by its short one, in either
// case, with what the system would refuse to replace.  The files the
// restore puts there are noted as it goes.
class CTargetFolder {
public:
    CTargetFolder(CFileSystem& fs, const CString& strPath);

    enum class Match { missing, found, several };

    const CString& Path() const { return m_strPath; }
    // found with item when strName (a component without trailing dots and
    // blanks) names an entry of the listing; several when it names more
    // than one and none by its exact spelling.
    Match Look(const CString& strName, CDirItem& item) const;
    bool Find(const CString& strName, CDirItem& item) const {
        return Look(strName, item) == Match::found;
    }
    // Whether an entry the listing lacks is known not to exist: the folder
    // was listed, and the name is of none that the system might give a file
    // since (a short name) or match in a way the listing does not (the case
    // of a double-byte letter).
    bool IsSurelyMissing(const CString& strName) const;
    void NoteFile(const CString& strName, bool bDirectory = false);
    // The letters folded as the system matches names: single-byte ones and
    // the double-byte Latin, Greek and Cyrillic letters and Roman numerals.
    static std::string Key(const CString& strName);

private:
    static bool HasDoubleByteLetter(const CString& strName);
    void Index(size_t nItem);

    CString m_strPath;
    bool m_bListed = false;
    bool m_bShortNames = false;
    std::vector<CDirItem> m_items;
    std::unordered_map<std::string, size_t> m_byName; // long and short names, lower case
    // Keys of two long names: twins that differ only in case.
    std::unordered_set<std::string> m_twins;
};
