#include "IkoTool.h"

#include "Archive.h"
#include "MigrationEntry.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"
#include "RestorePath.h"

CIkoTool::CIkoTool(CFileSystem& fs, CIkoConsole& console) : m_fs(fs), m_console(console) {}

int CIkoTool::Run(const CIkoOptions& options) {
    switch (options.m_nCommand) {
    case CIkoOptions::list:
        return List(options.m_strFile);
    case CIkoOptions::test:
        return Test(options.m_strFile);
    case CIkoOptions::create:
        return Create(options);
    case CIkoOptions::extract:
        return Extract(options);
    default:
        return usage;
    }
}

CString CIkoTool::Summary(const CMigrationContext& context) {
    CString text;
    text.Format("%lld entries, %lld files, %lld bytes", static_cast<long long>(context.m_nEntries),
                static_cast<long long>(context.m_nFiles), static_cast<long long>(context.m_nBytes));
    return text;
}

// Opens the file, gives read() an archive over it and the file's length,
// and turns every error into a message naming the file.
template <typename Read> int CIkoTool::ReadFile(const CString& strFile, Read read) {
    CFsError error;
    const std::unique_ptr<CFsFile> file = m_fs.OpenForReading(strFile, error);
    if (!file) {
        m_console.Err(strFile + ": cannot be opened: " + error.strCause);
        return failure;
    }
    try {
        CArchive ar(file.get(), CArchive::load, CMigrationContext::kArchiveBufferSize);
        return read(ar, file->GetLength());
    } catch (const CMigrationFileException& e) {
        CString text;
        text.Format("%s: damaged at byte offset %llu: %s", strFile.GetString(),
                    static_cast<unsigned long long>(e.m_nOffset), e.m_strFault.GetString());
        m_console.Err(text);
    } catch (const CException& e) {
        m_console.Err(strFile + ": " + e.GetErrorMessage());
    }
    return failure;
}

int CIkoTool::List(const CString& strFile) {
    CMigrationContext context(m_fs);
    context.m_onEntry = [this](const CMigrationEntry& entry) {
        CString line;
        line.Format("%d %lld %s", entry.m_nRoot, static_cast<long long>(entry.m_nSize),
                    CRestorePath::Collapse(entry.GetRelativePath()).GetString());
        m_console.Out(line);
    };
    return ReadFile(strFile, [&](CArchive& ar, int64_t nLength) {
        CMigrationReader(context, CMigrationRoots(), nLength).Check(ar);
        m_console.Out(Summary(context));
        return done;
    });
}

int CIkoTool::Test(const CString& strFile) {
    CMigrationContext context(m_fs);
    return ReadFile(strFile, [&](CArchive& ar, int64_t nLength) {
        CMigrationReader(context, CMigrationRoots(), nLength).Check(ar);
        CString text;
        text.Format("OK: %lld files, %lld bytes", static_cast<long long>(context.m_nFiles),
                    static_cast<long long>(context.m_nBytes));
        m_console.Out(text);
        return done;
    });
}

bool CIkoTool::CheckStructure(const CString& strFile) {
    CMigrationContext context(m_fs);
    return ReadFile(strFile, [&](CArchive& ar, int64_t nLength) {
               CMigrationReader(context, CMigrationRoots(), nLength).Check(ar);
               return done;
           }) == done;
}

CMigrationRoots CIkoTool::RootsOf(const CIkoOptions& options) {
    return CMigrationRoots(options.m_astrRoots[0], options.m_astrRoots[1], options.m_astrRoots[2]);
}

bool CIkoTool::RootsExist(const CIkoOptions& options) {
    for (int i = 0; i < CIkoOptions::kRootCount; ++i) {
        if (options.m_abRootGiven[i] && !m_fs.GetStatus(options.m_astrRoots[i]).bDirectory) {
            CString text;
            text.Format("root %d: %s is not a directory", i, options.m_astrRoots[i].GetString());
            m_console.Err(text);
            return false;
        }
    }
    return true;
}

// Without --format, what the installation's markers say, as the product's
// environment does: ".xlsm" books when only "ExType2.dat" exists.
int CIkoTool::FormatOf(const CIkoOptions& options) {
    if (options.m_nFormat != 0)
        return options.m_nFormat;
    const CString dir = options.m_astrRoots[0] + "\\Data\\MyData\\";
    const bool bXlsm =
        m_fs.GetStatus(dir + "ExType2.dat").bExists && !m_fs.GetStatus(dir + "ExType1.dat").bExists;
    return bXlsm ? 4 : 3;
}

// After a restore, the entries the user expected on disk and did not get
// stand apart from those kept out on purpose; whatever a create skips is
// left out of the file.
void CIkoTool::PrintSkipped(const CMigrationContext& context, bool bRestore) {
    for (const CSkippedEntry& skip : context.m_skipped) {
        const char* what = !bRestore                   ? "left out"
                           : IsUnwritten(skip.nReason) ? "not written"
                                                       : "skipped";
        CString line;
        line.Format("%s: root %d %s: %s", what, skip.nRoot,
                    CRestorePath::Collapse(skip.strPath).GetString(), SkipReasonText(skip.nReason));
        if (!skip.strCause.IsEmpty())
            line += " (" + skip.strCause + ")";
        m_console.Out(line);
    }
}

size_t CIkoTool::CountUnwritten(const CMigrationContext& context) {
    size_t n = 0;
    for (const CSkippedEntry& skip : context.m_skipped)
        if (IsUnwritten(skip.nReason))
            ++n;
    return n;
}

// A file written without some of the installation's files is no whole
// copy of it: the run names them and ends as a failure, although the file
// was written and reads whole.
int CIkoTool::Create(const CIkoOptions& options) {
    if (!RootsExist(options))
        return failure;
    CMigrationContext context(m_fs);
    context.m_nNewFormat = FormatOf(options);
    CMigrationWriter writer(context, RootsOf(options));
    const CString& file = options.m_strFile;
    if (!writer.BuildList()) {
        m_console.Err(file + ": nothing to write: none of the items exists below the roots");
        return failure;
    }
    try {
        if (!writer.WriteFile(file)) {
            m_console.Err(file + ": cannot be written: " + writer.m_strError);
            return failure;
        }
    } catch (const CException& e) {
        m_console.Err(file + ": writing failed: " + e.GetErrorMessage());
        return failure;
    }
    PrintSkipped(context, false);
    m_console.Out(file + ": " + Summary(context) + " written");
    if (context.m_skipped.empty())
        return done;
    CString text;
    text.Format(": written without %u of the files (left out above)",
                static_cast<unsigned>(context.m_skipped.size()));
    m_console.Err(file + text);
    return failure;
}

// Nothing is written from a file that fails the structure check.  A restore
// that could not write every file it should have is incomplete, and ends as
// a failure after saying how many files are missing.
int CIkoTool::Extract(const CIkoOptions& options) {
    const CString& file = options.m_strFile;
    if (!RootsExist(options) || !CheckStructure(file))
        return failure;
    CMigrationContext context(m_fs);
    const int result = ReadFile(file, [&](CArchive& ar, int64_t nLength) {
        CMigrationReader(context, RootsOf(options), nLength).Restore(ar);
        return done;
    });
    PrintSkipped(context, true);
    if (result != done) {
        m_console.Err(file + ": the restore is incomplete");
        return result;
    }
    CString text;
    text.Format(": %s read, %d skipped", Summary(context).GetString(),
                static_cast<int>(context.m_skipped.size()));
    m_console.Out(file + text);
    if (context.m_bBookMapWritten)
        m_console.Out("BookMNG.dat was restored: the books need converting (Quimbex /K:12)");
    if (const size_t unwritten = CountUnwritten(context)) {
        text.Format(": the restore is incomplete: %u of its files could not be written",
                    static_cast<unsigned>(unwritten));
        m_console.Err(file + text);
        return failure;
    }
    return done;
}
