#pragma once
#include "FileSystem.h"
#include "IkoConsole.h"
#include "IkoOptions.h"
#include "MigrationContext.h"
#include "MigrationRoots.h"

class CArchive;

// The commands of ikotool over one file system.
class CIkoTool {
public:
    enum ExitCode { done = 0, failure = 1, usage = 2 };

    CIkoTool(CFileSystem& fs, CIkoConsole& console);
    int Run(const CIkoOptions& options);

private:
    int List(const CString& strFile);
    int Test(const CString& strFile);
    int Create(const CIkoOptions& options);
    int Extract(const CIkoOptions& options);

    template <typename Read> int ReadFile(const CString& strFile, Read read);
    bool CheckStructure(const CString& strFile);
    bool RootsExist(const CIkoOptions& options);
    int FormatOf(const CIkoOptions& options);
    static CMigrationRoots RootsOf(const CIkoOptions& options);
    void PrintSkipped(const CMigrationContext& context, bool bRestore);
    static size_t CountUnwritten(const CMigrationContext& context);
    static CString Summary(const CMigrationContext& context);

    CFileSystem& m_fs;
    CIkoConsole& m_console;
};
