#pragma once
#include "MigrationContext.h"
#include "MigrationRoots.h"
#include "ObList.h"
#include "Object.h"

#include <cstdint>
#include <memory>
#include <vector>

class CArchive;
class CEntryRecordReader;
class CTargetFile;
class CTargetPath;

// One file or directory of a migration file, with its subtree.
class CMigrationEntry : public CObject {
public:
    explicit CMigrationEntry(CMigrationContext& context);
    ~CMigrationEntry() override;
    CMigrationEntry(const CMigrationEntry&) = delete;
    CMigrationEntry& operator=(const CMigrationEntry&) = delete;

    void SetRoots(const CMigrationRoots& roots);
    void SetRoots(const CMigrationEntry& source);
    CString GetFullPath() const;
    CString GetChildRelDir() const;
    // The full path without its root: what the file decides.
    CString GetRelativePath() const;
    bool Build(const CString& strName, int nRoot);
    bool ScanDirectory();
    void LeaveOutCaseTwins(std::vector<CDirItem>& items);
    void Serialize(CArchive& ar) override;
    virtual void ReadFormat(CArchive& ar);
    bool AcceptOnRestore(int nFormat, const CTargetPath& target);
    void Reset();

    CMigrationRoots m_astrRoots;
    CObList* m_pChildren = nullptr;
    int32_t m_nRoot = 0;
    CString m_strRoot;
    CString m_strRelDir;
    CString m_strName;
    int64_t m_nSize = 0;
    int32_t m_nFormat;

private:
    void AppendRelativePath(std::string& path) const;
    std::unique_ptr<CMigrationEntry> NewChild() const;
    void DeleteChildren();
    bool MeasureFile();
    void AddScannedChild(const CDirItem& item);
    void Store(CArchive& ar);
    void StoreContent(CArchive& ar);
    void Load(CArchive& ar);
    void LoadFields(CEntryRecordReader& in);
    void LoadContent(CArchive& ar);
    bool OpenTarget(CTargetFile& file);
    bool ChooseTarget();
    bool IsSelected(CTargetPath& target);
    void SkipUnwritten(const CFsError& error);
    void SkipWithoutTarget(CSkipReason nReason, const CString& strCause, bool bFolder = false);
    void NoteNothingToWrite();
    bool IsTakenWithoutContent();
    void PrepareDirectory();
    void RemoveStaleTemporary(const CString& strFolder);
    void LoadChildren(CArchive& ar, int32_t nCount);
    CString FilterCause(int nFormat) const;

    CMigrationContext* m_pContext;
    int m_nDepth = 0; // levels below the top-level entry
};
