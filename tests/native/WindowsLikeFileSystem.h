#pragma once
#include "MemFileSystem.h"

// The in-memory file system resolving paths as Windows does: runs of
// separators and "/" as one backslash, trailing dots and blanks of a
// component dropped, letters of either case, and a short name for every
// name that is no valid 8.3 name ("DenMainData.dat" answers to
// "DENMAI~1.DAT").  What the engine opens, makes, renames and removes is
// resolved so, and GetLongName and the short names of a listing answer as
// Windows does.
class CWindowsLikeFileSystem : public CMemFileSystem {
public:
    // The short name Windows gives a name; empty for a valid 8.3 name.
    static CString ShortName(const CString& strName);

    CFsStatus GetStatus(const CString& strPath) override;
    std::unique_ptr<CFsFile> OpenForReading(const CString& strPath, CFsError& error) override;
    std::unique_ptr<CFsFile> CreateOrEmpty(const CString& strPath, CFsError& error) override;
    bool MakeDirectory(const CString& strPath) override;
    bool MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) override;
    bool RemoveFile(const CString& strPath) override;
    std::unique_ptr<CFsFile> CreateNew(const CString& strPath, CFsError& error) override;
    bool RemoveUnlessOpen(const CString& strPath) override;
    bool ListDirectory(const CString& strDir, std::vector<CDirItem>& items) override;
    bool GetLongName(const CString& strPath, CString& strName) override;
    bool HasOtherSpellings() const override { return true; }
    bool HasShortNames() const override { return true; }

    // The path of the entry it names, or as Windows would create it.
    CString Resolve(const CString& strPath);

private:
    CString FindInFolder(const CString& strFolder, const CString& strComponent);
};
