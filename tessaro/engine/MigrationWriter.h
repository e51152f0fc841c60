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

    CMigrationWriter(CMigrationContext& context, const CMigrationRoots& roots);
    ~CMigrationWriter();
    CMigrationWriter(const CMigrationWriter&) = delete;
    CMigrationWriter& operator=(const CMigrationWriter&) = delete;

    // Builds the top-level list; false when none of the items exists.
    bool BuildList();
    int GetCount() const { return m_entries.GetCount(); }
    void Write(CArchive& ar);
    // Writes a temporary file beside strPath and puts it in place when it is
    // complete.  False (with m_strError) when it cannot be created or put in
    // place; a read or write error in between is thrown after the temporary
    // file is removed.
    bool WriteFile(const CString& strPath);

    CString m_strError;

private:
    void DeleteEntries();
    void WriteTemporary(CFsFile& file);

    CMigrationContext& m_context;
    CMigrationRoots m_roots;
    CObList m_entries;
};
