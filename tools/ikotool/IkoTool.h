#pragma once
#include "FileSystem.h"
#include "IkoFileReader.h"
#include "IkoConsole.h"
#include "IkoOptions.h"
#include "IkoOutput.h"
#include "IkoProgress.h"
#include "MigrationContext.h"
#include "MigrationRoots.h"

#include <memory>

class CIkoSelection;
class CRestoreRecord;

// The commands of ikotool over one file system.
class CIkoTool {
public:
    // As diff and cmp have them.
    enum ExitCode {
        done = 0,
        incomplete = 1, // done, but not everything: files not written or left out
        trouble = 2,    // a damaged file, a failure, a usage error
    };

    CIkoTool(CFileSystem& fs, CIkoConsole& console, const CIkoOptions& options);
    int Run();

private:
    int RunCommand();
    int Create();
    int Extract();
    int DryRun(CIkoSelection& selection, const CMigrationContext& checked);
    int Compare();
    bool CheckFile(CMigrationContext& checked);
    bool RootsEmpty();
    void Configure(CMigrationContext& context, CIkoSelection& selection) const;
    CIkoVerdict RestoreFile(CMigrationContext& context, const CMigrationContext& checked,
                            bool bMetered = true);
    bool SelectionMatches(const CMigrationContext& checked);

    bool RootsExist();
    int FormatOf();
    CMigrationRoots Roots() const;
    void PrintSkipped(const CMigrationContext& context, bool bRestore, bool bDryRun = false);
    static size_t CountUnwritten(const CMigrationContext& context);
    void NameEntries(CMigrationContext& context, int64_t* pnFiles);
    std::unique_ptr<CRestoreRecord> RecordLines(CMigrationContext& context);

    CFileSystem& m_fs;
    CIkoConsole& m_console;
    const CIkoOptions& m_options;
    CIkoOutput m_out;
    std::unique_ptr<CIkoProgress> m_pProgress; // null: no progress is shown
};
