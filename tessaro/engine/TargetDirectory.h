#pragma once
#include "FileSystem.h"

// Creates the folder of a restored directory entry below its root.
class CTargetDirectory {
public:
    // Failures are ignored: the files below then fail to open and are
    // reported one by one.
    static void Ensure(CFileSystem& fs, const CString& strRoot, const CString& strRelPath);

private:
    static CString ParentOf(const CString& strRelPath);
    static void CreateLevels(CFileSystem& fs, const CString& strRoot, const CString& strRelPath);
};
