#pragma once
#include "FileSystem.h"

#include <map>
#include <memory>
#include <string>

// A file system in memory, for tests and fuzzing.  Paths are compared after
// runs of '\\' and '/' fold into one backslash; nothing else is interpreted,
// so a ".." that got through would show up as a directory of that name.
class CMemFileSystem : public CFileSystem {
public:
    // Set-up; missing parent directories are created.
    void AddDirectory(const CString& strPath);
    void AddFile(const CString& strPath, std::string bytes);
    // Faults: a path that refuses to open; the space left for writing.
    void SetLocked(const CString& strPath);
    void SetFreeSpace(int64_t nBytes) { m_nFreeSpace = nBytes; }

    std::string FileBytes(const CString& strPath) const;
    bool IsFile(const CString& strPath) const;
    bool IsDirectory(const CString& strPath) const;
    // Every path, sorted.
    std::vector<CString> Paths() const;
    static CString Normalize(const CString& strPath);

    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    bool CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom, const CString& strTo,
                   CFsError& error) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    // A fixed folder, which a test makes where it wants a journal.
    CString TemporaryFolder() override { return CString("Temp"); }

    // Like Linux, no longer path is accepted.
    static constexpr int kMaxPath = 4096;

private:
    struct Node {
        bool bDirectory = false;
        bool bLocked = false;
        std::shared_ptr<std::string> pBytes;
    };
    class File;

    const Node* Find(const CString& strKey) const;
    bool ParentIsDirectory(const CString& strKey) const;
    static CString ParentKey(const CString& strKey);

    std::map<CString, Node> m_nodes;
    int64_t m_nFreeSpace = INT64_MAX;
};
