#pragma once
#include "MigrationContext.h"
#include "MigrationRoots.h"
#include "ObList.h"

// Writes a migration file: the nine items below the roots that exist, the
// header, then every entry with its subtree.
class CMigrationWriter {
public:
    struct Item {
        const char* pszName;
        int nRoot;
    };
    static const Item kItems[];
    static const int kItemCount;
    static const char kTempSuffix[];
    // The temporary names beside the file: its name with kTempSuffix, then
    // with a digit after it; the first free one is taken.
    static constexpr int kTemporaryNames = 10;
    static CString TemporaryPath(const CString& strPath, int nIndex);

    CMigrationWriter(CMigrationContext& context, const CMigrationRoots& roots);
    ~CMigrationWriter();
    CMigrationWriter(const CMigrationWriter&) = delete;
    CMigrationWriter& operator=(const CMigrationWriter&) = delete;

    // Builds the top-level list; false when none of the items exists.
    bool BuildList();
    int GetCount() const { return m_entries.GetCount(); }
    void Write(CArchive& ar);
    // Writes a temporary file beside strPath and puts it in place when it is
    // complete.  False (with m_strError) when an older file may not be
    // replaced, or the temporary file cannot be made or put in place; a
    // read or write error in between is thrown after the temporary file is
    // removed.  No file but its own temporary one is ever written or
    // removed before the older file is replaced whole.
    bool WriteFile(const CString& strPath);

    CString m_strError;

private:
    void DeleteEntries();
    bool MayReplace(const CString& strPath, CFsError& error);
    std::unique_ptr<CFsFile> CreateTemporary(const CString& strPath, CString& strTemporary,
                                             CFsError& error);
    void WriteTemporary(CFsFile& file);
    void Discard(std::unique_ptr<CFsFile> pFile, const CString& strTemporary);

    CMigrationContext& m_context;
    CMigrationRoots m_roots;
    CObList m_entries;
};
