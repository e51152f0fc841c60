#include "IkoTool.h"

#include "DryRunFileSystem.h"
#include "IkoComparer.h"
#include "IkoFileReader.h"
#include "IkoHelp.h"
#include "IkoInspector.h"
#include "IkoMeteredFileSystem.h"
#include "IkoSelection.h"
#include "MigrationEntry.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"
#include "ProductPaths.h"
#include "RestoreRecord.h"
#include "RunJournal.h"

// Progress shows on a terminal unless -q asks for silence, and anywhere when
// --progress asks for it.
CIkoTool::CIkoTool(CFileSystem& fs, CIkoConsole& console, const CIkoOptions& options)
    : m_fs(fs), m_console(console), m_options(options), m_out(console, options.m_nVerbosity, fs) {
    const bool bTerminal = console.ErrIsTerminal();
    if (!options.m_bProgress && (!bTerminal || options.m_nVerbosity == CIkoOptions::quietOutput))
        return;
    CIkoProgress::Show show = [this, bTerminal](const CString& strLine) {
        if (bTerminal)
            m_console.Status(strLine);
        else
            m_console.Err(strLine);
    };
    m_pProgress = std::make_unique<CIkoProgress>(
        show, [this] { m_console.ClearStatus(); }, bTerminal, options.m_bProgress);
}

int CIkoTool::Run() {
    if (m_options.m_bVersion) {
        m_console.Out(CIkoHelp::Version());
        return done;
    }
    if (m_options.m_bHelp) {
        const CIkoOptions::Command topic = m_options.m_nCommand == CIkoOptions::help
                                               ? m_options.m_nHelpTopic
                                               : m_options.m_nCommand;
        m_console.Out(topic == CIkoOptions::none ? CIkoHelp::General()
                                                 : CIkoHelp::OfCommand(topic));
        return done;
    }
    const int result = RunCommand();
    if (m_pProgress)
        m_pProgress->Finish();
    return result;
}

int CIkoTool::RunCommand() {
    CIkoInspector inspector(m_fs, m_out, m_pProgress.get());
    switch (m_options.m_nCommand) {
    case CIkoOptions::list:
        return m_options.m_bJson ? inspector.Document(m_options.m_strFile)
                                 : inspector.List(m_options.m_strFile);
    case CIkoOptions::test:
        return m_options.m_bJson ? inspector.Document(m_options.m_strFile)
                                 : inspector.Test(m_options.m_strFile);
    case CIkoOptions::create:
        return Create();
    case CIkoOptions::extract:
        return Extract();
    case CIkoOptions::compare:
        return Compare();
    default:
        return trouble;
    }
}

CMigrationRoots CIkoTool::Roots() const {
    return CMigrationRoots(m_options.m_astrRoots[0], m_options.m_astrRoots[1],
                           m_options.m_astrRoots[2]);
}

bool CIkoTool::RootsExist() {
    for (int i = 0; i < CIkoOptions::kRootCount; ++i) {
        const CString& root = m_options.m_astrRoots[i];
        if (m_options.m_abRootGiven[i] && !m_fs.GetStatus(root).bDirectory) {
            CString text;
            text.Format("root %d: %s is not a directory", i, root.GetString());
            m_out.Error(text);
            return false;
        }
    }
    return true;
}

// Without --format, what the installation's markers say, as the product's
// environment does: ".xlsm" books when only "ExType2.dat" exists.
int CIkoTool::FormatOf() {
    if (m_options.m_nFormat != 0)
        return m_options.m_nFormat;
    const CProductPaths paths = CProductPaths::OfProduct(m_options.m_astrRoots[0]);
    const bool bXlsm =
        m_fs.GetStatus(paths.XlsmMarker()).bExists && !m_fs.GetStatus(paths.XlsMarker()).bExists;
    return bXlsm ? 4 : 3;
}

// -v names each entry as its record is written or read; pnFiles, when
// given, counts the entries that are files.
void CIkoTool::NameEntries(CMigrationContext& context, int64_t* pnFiles) {
    if (!m_out.IsVerbose() && !pnFiles)
        return;
    context.m_onEntry = [this, pnFiles](const CMigrationEntry& entry) {
        if (pnFiles && !entry.m_pChildren)
            ++*pnFiles;
        m_out.Verbose(CIkoOutput::EntryName(entry.m_nRoot, entry.GetRelativePath()));
    };
}

// -v names each file of a restore with what became of it, in the lines of
// Tessaro's record of a restore.
std::unique_ptr<CRestoreRecord> CIkoTool::RecordLines(CMigrationContext& context) {
    if (!m_out.IsVerbose())
        return nullptr;
    auto record = std::make_unique<CRestoreRecord>(
        Roots(), [this](const CString& strLine) { m_out.Verbose(strLine); });
    context.m_pRecord = record.get();
    return record;
}

// After a restore, the entries the user expected on disk and did not get
// stand apart from those kept out on purpose; whatever a create skips is
// left out of the file.
void CIkoTool::PrintSkipped(const CMigrationContext& context, bool bRestore, bool bDryRun) {
    for (const CSkippedEntry& skip : context.m_skipped) {
        const bool bUnwritten = IsUnwritten(skip.nReason);
        const char* what = !bRestore    ? "left out"
                           : bDryRun    ? (bUnwritten ? "would not be written" : "would be skipped")
                           : bUnwritten ? "not written"
                                        : "skipped";
        CString line;
        line.Format("%s: %s: %s", what, CIkoOutput::EntryName(skip.nRoot, skip.strPath).GetString(),
                    SkipReasonText(skip.nReason));
        if (!skip.strCause.IsEmpty())
            line += " (" + skip.strCause + ")";
        m_out.Warning(line);
    }
}

size_t CIkoTool::CountUnwritten(const CMigrationContext& context) {
    return CountFiles(context.m_skipped, true);
}

// With progress, the file system is watched: the writer's listing gives the
// totals, its reading of the files the work done.  A file written without
// some of the installation's files is no whole copy of it: the run names
// them and ends as incomplete, although the file was written and reads whole.
int CIkoTool::Create() {
    if (!RootsExist())
        return trouble;
    std::unique_ptr<CIkoMeteredFileSystem> metered;
    if (m_pProgress)
        metered = std::make_unique<CIkoMeteredFileSystem>(m_fs, *m_pProgress);
    CMigrationContext context(metered ? *metered : m_fs);
    context.m_nNewFormat = FormatOf();
    int64_t files = 0;
    NameEntries(context, metered ? &files : nullptr);
    CMigrationWriter writer(context, Roots());
    const CString& file = m_options.m_strFile;
    if (!writer.BuildList()) {
        m_out.Error(file + ": nothing to write: none of the items exists below the roots");
        return trouble;
    }
    if (metered)
        metered->StartProgress(&files);
    CRunJournal journal(m_fs);
    journal.Begin(Roots());
    context.m_pJournal = &journal;
    try {
        if (!writer.WriteFile(file)) {
            m_out.Error(file + ": cannot be written: " + writer.m_strError);
            return trouble;
        }
    } catch (const CException& e) {
        m_out.Error(file + ": writing failed: " + e.GetErrorMessage());
        return trouble;
    }
    if (m_pProgress)
        m_pProgress->Finish();
    PrintSkipped(context, false);
    m_out.Result(file + ": " + CIkoInspector::Summary(context) + " written");
    if (context.m_skipped.empty())
        return done;
    CString text;
    text.Format(": written without %u of the files (left out above)",
                static_cast<unsigned>(context.m_skipped.size()));
    m_out.Error(file + text);
    return incomplete;
}

// Nothing is written from a file that fails the structure check.  A restore
// that could not write every file it should have is incomplete: it names
// them, says how many, and ends with exit code 1.
int CIkoTool::Extract() {
    const CString& file = m_options.m_strFile;
    CMigrationContext checked(m_fs);
    if (!RootsExist() || !CheckFile(checked) || (m_options.m_bNoFilter && !RootsEmpty()))
        return trouble;
    CIkoSelection selection(m_options.m_astrOnly);
    if (m_options.m_bDryRun)
        return DryRun(selection, checked);
    if (selection.IsActive() && !SelectionMatches(checked))
        return trouble;
    CMigrationContext context(m_fs);
    std::unique_ptr<CRestoreRecord> record = RecordLines(context);
    Configure(context, selection);
    CRunJournal journal(m_fs);
    journal.Begin(Roots());
    context.m_pJournal = &journal;
    const CIkoVerdict verdict = RestoreFile(context, checked);
    journal.End();
    if (record)
        record->Finish(verdict.IsWhole() ? CString() : verdict.strFault);
    PrintSkipped(context, true);
    if (!verdict.IsWhole()) {
        m_out.Error(verdict.Message(file));
        m_out.Error(file + ": the restore is incomplete");
        return trouble;
    }
    const size_t nUnwritten = CountUnwritten(context);
    CString text;
    text.Format(
        ": %s read, %lld written, %u skipped, %u could not be written, %lld empty",
        CIkoInspector::Summary(context).GetString(), static_cast<long long>(context.m_nWritten),
        static_cast<unsigned>(CountFiles(context.m_skipped, false)),
        static_cast<unsigned>(nUnwritten), static_cast<long long>(context.m_nNothingToWrite));
    m_out.Result(file + text);
    if (context.m_bBookMapWritten)
        m_out.Result("BookMNG.dat was restored: the books need converting (Quimbex /K:12)");
    if (const size_t unwritten = CountUnwritten(context)) {
        text.Format(": the restore is incomplete: %u of its files could not be written",
                    static_cast<unsigned>(unwritten));
        m_out.Error(file + text);
        return incomplete;
    }
    return done;
}

// Nothing is read for a restore from a file that fails the structure check.
bool CIkoTool::CheckFile(CMigrationContext& checked) {
    const CString& file = m_options.m_strFile;
    const CIkoVerdict check =
        CIkoFileReader(m_fs).ReadFile(file, [&](CArchive& ar, int64_t nLength) {
            CMigrationReader(checked, CMigrationRoots(), nLength).Check(ar);
        });
    if (check.IsWhole())
        return true;
    m_out.Error(check.Message(file));
    return false;
}

// Written into without the filter, a root must hold nothing that the file
// could overwrite: an installation's own files are never replaced that way.
bool CIkoTool::RootsEmpty() {
    for (int i = 0; i < CIkoOptions::kRootCount; ++i) {
        std::vector<CDirItem> items;
        if (!m_options.m_abRootGiven[i])
            continue;
        if (!m_fs.ListDirectory(m_options.m_astrRoots[i], items) || !items.empty()) {
            CString text;
            text.Format("root %d: %s is not an empty folder: --no-filter writes only into empty "
                        "ones",
                        i, m_options.m_astrRoots[i].GetString());
            m_out.Error(text);
            return false;
        }
    }
    return true;
}

void CIkoTool::Configure(CMigrationContext& context, CIkoSelection& selection) const {
    context.m_bNoFilter = m_options.m_bNoFilter;
    if (selection.IsActive()) {
        context.m_select = [&selection](const CTargetPath& target) {
            return selection.Takes(target);
        };
        context.m_selectStored = [&selection](int nRoot, const CString& strPath, bool bRootSet) {
            return selection.TakesStored(nRoot, strPath, bRootSet);
        };
    }
}

// A silent run (the dry run before a selective one) shows no progress.
CIkoVerdict CIkoTool::RestoreFile(CMigrationContext& context, const CMigrationContext& checked,
                                  bool bMetered) {
    CIkoProgress* pProgress = bMetered ? m_pProgress.get() : nullptr;
    const CIkoVerdict verdict =
        CIkoFileReader(m_fs, pProgress).ReadFile(m_options.m_strFile, [&](CArchive& ar, int64_t n) {
            if (pProgress)
                pProgress->Start(checked.m_nFiles, n, &context.m_nFiles);
            CMigrationReader(context, Roots(), n).Restore(ar);
        });
    if (pProgress)
        pProgress->Finish();
    return verdict;
}

// A pattern that takes nothing is most likely mistyped: the real run starts
// only once a dry run found a file for every pattern.
bool CIkoTool::SelectionMatches(const CMigrationContext& checked) {
    CIkoSelection probe(m_options.m_astrOnly);
    CDryRunFileSystem dry(m_fs);
    CMigrationContext context(dry);
    Configure(context, probe);
    const CIkoVerdict verdict = RestoreFile(context, checked, false);
    if (!verdict.IsWhole()) {
        m_out.Error(verdict.Message(m_options.m_strFile));
        return false;
    }
    return !probe.ReportUnmatched(m_out, m_options.m_strFile);
}

// The real restore on a file system that checks each write instead of
// making it: the verdicts and the exit code are the real run's.
int CIkoTool::DryRun(CIkoSelection& selection, const CMigrationContext& checked) {
    const CString& file = m_options.m_strFile;
    CDryRunFileSystem dry(m_fs);
    CMigrationContext context(dry);
    Configure(context, selection);
    context.m_onWritten = [this](const CMigrationEntry& entry, const CTargetPath& target) {
        m_out.Result("would be written: " +
                     CIkoOutput::EntryName(entry.m_nRoot, target.RelativePath()));
    };
    const CIkoVerdict verdict = RestoreFile(context, checked);
    PrintSkipped(context, true, true);
    if (!verdict.IsWhole()) {
        m_out.Error(verdict.Message(file));
        return trouble;
    }
    if (selection.ReportUnmatched(m_out, file))
        return trouble;
    const size_t nUnwritten = CountUnwritten(context);
    CString text;
    text.Format(
        ": dry run, nothing written: %s read, %lld would be written, %u skipped, %u could not "
        "be written, %lld empty",
        CIkoInspector::Summary(context).GetString(), static_cast<long long>(context.m_nWritten),
        static_cast<unsigned>(CountFiles(context.m_skipped, false)),
        static_cast<unsigned>(nUnwritten), static_cast<long long>(context.m_nNothingToWrite));
    m_out.Result(file + text);
    if (context.m_bBookMapWritten)
        m_out.Result("BookMNG.dat would be restored: the books would need converting");
    if (nUnwritten == 0)
        return done;
    text.Format(": the restore would be incomplete: %s could not be written",
                CIkoOutput::Count(static_cast<int64_t>(nUnwritten), "file", "files").GetString());
    m_out.Error(file + text);
    return incomplete;
}

// A restore on a dry run's file system, whose content goes to the
// comparison instead of the disk.
int CIkoTool::Compare() {
    const CString& file = m_options.m_strFile;
    CMigrationContext checked(m_fs);
    if (!RootsExist() || !CheckFile(checked))
        return trouble;
    CIkoSelection selection(m_options.m_astrOnly);
    CDryRunFileSystem dry(m_fs);
    CMigrationContext context(dry);
    Configure(context, selection);
    CIkoComparer comparer(m_fs, m_out, selection);
    comparer.Attach(context);
    const CIkoVerdict verdict = RestoreFile(context, checked);
    if (!verdict.IsWhole()) {
        m_out.Error(verdict.Message(file));
        return trouble;
    }
    if (selection.ReportUnmatched(m_out, file))
        return trouble;
    comparer.TellCompared();
    comparer.FindOnlyHere();
    comparer.TellSkipped(context, Roots());
    CString text;
    text.Format(
        ": %s compared, %s, %lld kept out",
        CIkoOutput::Count(comparer.Compared(), "file", "files").GetString(),
        comparer.Differences() == 0
            ? "a restore would change nothing"
            : CIkoOutput::Count(comparer.Differences(), "difference", "differences").GetString(),
        static_cast<long long>(comparer.KeptOut()));
    m_out.Result(file + text);
    return comparer.Differences() == 0 ? done : incomplete;
}
