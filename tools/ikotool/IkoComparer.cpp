#include "IkoComparer.h"

#include "Archive.h"
#include "IkoSelection.h"
#include "MigrationContext.h"
#include "MigrationEntry.h"
#include "RestoreFilter.h"
#include "RestorePath.h"
#include "TargetFile.h"

#include <cstring>
#include <vector>

namespace {

// Takes the bytes of a restored file and sets them against the
// installation's file, which has the same length.
class CComparingStream : public CArchiveStream {
public:
    explicit CComparingStream(CFsFile& file) : m_file(file) {}
    unsigned Read(void* /*pBuf*/, unsigned /*nCount*/) override { return 0; }
    void Write(const void* pBuf, unsigned nCount) override {
        if (m_bDiffers)
            return;
        m_buffer.resize(nCount);
        unsigned got = 0;
        while (got < nCount) {
            const unsigned n = m_file.Read(m_buffer.data() + got, nCount - got);
            if (n == 0)
                break;
            got += n;
        }
        m_bDiffers = got != nCount || std::memcmp(m_buffer.data(), pBuf, nCount) != 0;
    }
    bool Differs() const { return m_bDiffers; }

private:
    CFsFile& m_file;
    std::vector<char> m_buffer;
    bool m_bDiffers = false;
};

CString BelowRoot(const CString& strPath, int nRootLength) {
    CString path = strPath.Mid(nRootLength);
    while (!path.IsEmpty() && path[0] == '\\')
        path = path.Mid(1);
    return path;
}

} // namespace

CIkoComparer::CIkoComparer(CFileSystem& fs, CIkoOutput& out, CIkoSelection& selection)
    : m_fs(fs), m_out(out), m_selection(selection), m_paths(fs) {}

void CIkoComparer::Attach(CMigrationContext& context) {
    context.m_onEntry = [this](const CMigrationEntry& entry) { Note(entry); };
    context.m_onContent = [this, &context](const CMigrationEntry& entry, CTargetPath& target,
                                           CArchive& ar) { Compare(context, entry, target, ar); };
}

// Other spellings of one name are one file where the system has them.
std::string CIkoComparer::Key(const CString& strPath) const {
    CString key = strPath;
    if (m_fs.HasOtherSpellings())
        key.MakeLower();
    return key.str();
}

// An entry without content may be a folder: the format cannot tell an empty
// folder from an empty file, and a top-level folder that was empty at
// create ("Data\DefEru", "Excel") still holds the installation's files.  A
// link is no folder of the installation's: it is not looked into.
void CIkoComparer::Note(const CMigrationEntry& entry) {
    if (entry.m_strRoot.IsEmpty() || !m_paths.Resolve(entry.m_strRoot, entry.GetRelativePath()))
        return;
    m_known.insert(Key(m_paths.Path()));
    if (entry.m_nSize <= 0 && m_paths.Status().bDirectory && !m_fs.IsLink(m_paths.Path()))
        m_folders.push_back({entry.m_nRoot, entry.m_nFormat, entry.m_strRoot, m_paths.Path()});
}

// A protected target with the same bytes is the same: a restore would skip
// it, and nothing would change.  One that differs or is missing is told as
// the restore would end with it.
// One target may come twice under other spellings ("a.dat", then "A.DAT"
// where the system has no case): the restore leaves the last one's bytes,
// so the verdict of the last one stands, in the place of the first.
void CIkoComparer::Compare(CMigrationContext& context, const CMigrationEntry& entry,
                           CTargetPath& target, CArchive& ar) {
    const CString path = BelowRoot(target.Path(), entry.m_strRoot.GetLength());
    const CFsStatus status = target.Status();
    CString cause;
    Verdict verdict = missing;
    // A restore puts its file in the place of a link, never writes through
    // one: what the link leads to, perhaps outside the root, is not read.
    const bool bLink = status.bExists && !status.bDirectory && m_fs.IsLink(target.Path());
    if (status.bDirectory || bLink) {
        verdict = differs;
        cause = bLink ? "a link stands there, which a restore replaces" : "a folder stands there";
    }
    if (!status.bExists || status.bDirectory || bLink)
        context.m_copier.Discard(ar, entry.m_nSize);
    else
        verdict = CompareContent(target.Path(), ar, entry.m_nSize, cause);
    Finding finding{verdict != same, CString()};
    if (verdict == same)
        finding.strLine = "same: " + CIkoOutput::EntryName(entry.m_nRoot, path);
    else if (verdict == notReadable)
        finding.strLine = Line("not readable", entry.m_nRoot, path, cause);
    else {
        const CString refusal = WouldNotWrite(context.m_fs, target);
        finding.strLine =
            refusal.IsEmpty()
                ? Line(verdict == missing ? "missing" : "differs", entry.m_nRoot, path, cause)
                : Line("would not be written", entry.m_nRoot, path, refusal);
    }
    const auto placed = m_findingOf.emplace(Key(target.Path()), m_findings.size());
    if (placed.second)
        m_findings.push_back(std::move(finding));
    else
        m_findings[placed.first->second] = std::move(finding);
}

// The files' verdicts, once the last entry of each target is known.
void CIkoComparer::TellCompared() {
    for (const Finding& finding : m_findings) {
        if (!finding.bDifference) {
            m_out.Verbose(finding.strLine);
            continue;
        }
        ++m_nDifferences;
        m_out.Result(finding.strLine);
    }
    m_nCompared = static_cast<int64_t>(m_findings.size());
}

CIkoComparer::Verdict CIkoComparer::CompareContent(const CString& strPath, CArchive& ar,
                                                   int64_t nSize, CString& strCause) {
    CFsError error;
    const std::unique_ptr<CFsFile> file = m_fs.OpenForReading(strPath, error);
    if (!file) {
        ar.Skip(static_cast<uint64_t>(nSize));
        strCause = error.strCause;
        return notReadable;
    }
    const int64_t nLength = file->GetLength();
    if (nLength != nSize) {
        ar.Skip(static_cast<uint64_t>(nSize));
        strCause = CIkoOutput::Count(nLength, "byte", "bytes") + " here, " +
                   CIkoOutput::Count(nSize, "byte", "bytes") + " in the file";
        return differs;
    }
    CComparingStream stream(*file);
    ar.ReadTo(stream, static_cast<uint64_t>(nSize));
    if (!stream.Differs())
        return same;
    strCause = "the same size, other bytes";
    return differs;
}

// The restore's own opening and putting in place, on the dry run's file
// system: what it would refuse, in its words.
CString CIkoComparer::WouldNotWrite(CFileSystem& fs, const CTargetPath& target) {
    CTargetFile file(fs);
    CFsError error;
    if (file.Open(target, error) && file.Commit(error))
        return CString();
    return error.strCause.IsEmpty() ? CString("cannot be written") : error.strCause;
}

CString CIkoComparer::Line(const char* pszWhat, int nRoot, const CString& strPath,
                           const CString& strCause) {
    CString line = CString(pszWhat) + ": " + CIkoOutput::EntryName(nRoot, strPath);
    if (!strCause.IsEmpty())
        line += " (" + strCause + ")";
    return line;
}

void CIkoComparer::Tell(const char* pszWhat, int nRoot, const CString& strPath,
                        const CString& strCause) {
    m_out.Result(Line(pszWhat, nRoot, strPath, strCause));
}

void CIkoComparer::FindOnlyHere() {
    std::set<std::string> listed;
    for (const Folder& folder : m_folders)
        if (listed.insert(Key(folder.strPath)).second)
            ListOnlyHere(folder, folder.strPath, false);
}

// bAll: a folder the file lacks, whose every file is the installation's
// only.  The restore's unfinished temporary files are no one's data, and what the
// filter would keep out (the installation's own files) no restore touches.
void CIkoComparer::ListOnlyHere(const Folder& top, const CString& strFolder, bool bAll) {
    const int nRootLength = top.strRoot.GetLength();
    std::vector<CDirItem> items;
    if (!m_fs.ListDirectory(strFolder, items)) {
        m_out.Warning("not listed: " +
                      CIkoOutput::EntryName(top.nRoot, BelowRoot(strFolder, nRootLength)));
        return;
    }
    for (const CDirItem& item : items) {
        const CString path = strFolder + "\\" + item.strName;
        if (item.bSkip || (!item.bDirectory && CTargetFile::IsUnfinished(m_fs, path)))
            continue;
        if (!bAll && m_known.count(Key(path)))
            continue;
        if (item.bDirectory) {
            ListOnlyHere(top, path, true);
            continue;
        }
        const CString below = BelowRoot(path, nRootLength);
        if (!m_selection.TakesPath(below) || IsKeptOut(top, below))
            continue;
        ++m_nDifferences;
        Tell("only here", top.nRoot, below, CString());
    }
}

bool CIkoComparer::IsKeptOut(const Folder& top, const CString& strBelow) {
    return m_paths.Resolve(top.strRoot, "\\" + strBelow) &&
           !CRestoreFilter::Accepts(top.nFormat, m_paths);
}

// Shown by the path the restore would have written, where it has one: a
// stored "Sub.\\s.txt" is "Sub\\s.txt".
void CIkoComparer::TellSkipped(const CMigrationContext& context, const CMigrationRoots& roots) {
    for (const CSkippedEntry& skip : context.m_skipped) {
        CString path = skip.strPath;
        const CString& root = roots[skip.nRoot];
        if (!root.IsEmpty() && m_paths.Resolve(root, skip.strPath))
            path = BelowRoot(m_paths.Path(), root.GetLength());
        else
            path = CRestorePath::Collapse(skip.strPath);
        CString cause = SkipReasonText(skip.nReason);
        if (!skip.strCause.IsEmpty())
            cause += ": " + skip.strCause;
        if (IsUnwritten(skip.nReason)) {
            ++m_nDifferences;
            Tell("would not be written", skip.nRoot, path, cause);
        } else {
            ++m_nKeptOut;
            Tell("kept out", skip.nRoot, path, cause);
        }
    }
}
