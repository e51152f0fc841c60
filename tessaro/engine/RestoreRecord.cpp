#include "RestoreRecord.h"

#include "RestorePath.h"

#include <utility>

namespace {

// Tab-separated, so that the record opens as a table too.
const char* const kLabels[] = {"復元", "除外", "拒否", "書込失敗", "空"};
const char kSeparator[] = "\t";

CString InBrackets(const CString& strCause) {
    return strCause.IsEmpty() ? CString() : "（" + strCause + "）";
}

} // namespace

const char CRestoreRecord::kLineEnd[] = "\r\n";

CRestoreRecord::CRestoreRecord(const CMigrationRoots& roots, Sink sink)
    : m_roots(roots), m_sink(std::move(sink)) {}

CRestoreRecord::Sink CRestoreRecord::AppendTo(std::string& strText) {
    return [&strText](const CString& strLine) {
        strText += strLine.str();
        strText += kLineEnd;
    };
}

void CRestoreRecord::NoteRestored(int nRoot, const CString& strRelPath) {
    Note(restored, Line(restored, FullPath(nRoot, strRelPath, m_roots), CString()));
}

void CRestoreRecord::NoteSkipped(const CSkippedEntry& entry) {
    const Outcome nOutcome = OutcomeOf(entry.nReason);
    Note(nOutcome, Line(nOutcome, FullPath(entry.nRoot, entry.strPath, m_roots),
                        Reason(entry.nReason, entry.strCause)));
}

void CRestoreRecord::Note(Outcome nOutcome, const CString& strLine) {
    ++m_anCounts[nOutcome];
    if (m_sink)
        m_sink(strLine);
}

void CRestoreRecord::Finish(const CString& strInterruption) {
    if (m_sink)
        m_sink(Summary(strInterruption));
}

// Kept out on purpose: the filter and a root this computer does not have.
// What the system refused, and anything a restore does not expect, was
// meant to be written and was not.
CRestoreRecord::Outcome CRestoreRecord::OutcomeOf(CSkipReason nReason) {
    switch (nReason) {
    case CSkipReason::filtered:
    case CSkipReason::emptyRoot:
        return keptOut;
    case CSkipReason::refusedPath:
        return refused;
    case CSkipReason::nothingToWrite:
        return nothingToWrite;
    default:
        return notWritten;
    }
}

CString CRestoreRecord::Line(Outcome nOutcome, const CString& strPath, const CString& strReason) {
    CString line = CString(kLabels[nOutcome]) + kSeparator + Printable(strPath);
    if (!strReason.IsEmpty())
        line += kSeparator + Printable(strReason);
    return line;
}

// A stored name may hold a tab or a line break; shown as ^I or ^J it can
// neither open a field nor a line of the record.  No trail byte of code
// page 932 lies below 0x40, so none is taken for one.
CString CRestoreRecord::Printable(const CString& strText, bool bKeepTabs) {
    std::string shown;
    for (const char c : strText.str()) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !(bKeepTabs && c == '\t')) || byte == 0x7F) {
            shown += '^';
            shown += static_cast<char>(byte ^ 0x40);
        } else
            shown += c;
    }
    return CString(std::move(shown));
}

// The system's own words for a file it refused; the restore's for the rest.
CString CRestoreRecord::Reason(CSkipReason nReason, const CString& strCause) {
    switch (nReason) {
    case CSkipReason::filtered:
        return "復元の対象外です" + InBrackets(strCause);
    case CSkipReason::emptyRoot:
        return "復元先のフォルダがこのパソコンに設定されていません";
    case CSkipReason::refusedPath:
        return "復元先のパスとして使えない名前です" + InBrackets(strCause);
    case CSkipReason::unconvertibleName:
        return "このパソコンでは使えない名前です" + InBrackets(strCause);
    case CSkipReason::cannotWrite:
        return strCause.IsEmpty() ? CString("書き込めません") : strCause;
    case CSkipReason::nothingToWrite:
        return "中身がないため書き込みません（空のファイルまたはフォルダ）";
    default:
        return SkipReasonText(nReason) + InBrackets(strCause);
    }
}

// A restore cut short says so on its last line: its counts are not those
// of the whole file.
CString CRestoreRecord::Summary(const CString& strInterruption) const {
    CString line;
    line.Format("合計%s%s %lld 件、%s %lld 件、%s %lld 件、%s %lld 件、%s %lld 件", kSeparator,
                kLabels[restored], static_cast<long long>(m_anCounts[restored]), kLabels[keptOut],
                static_cast<long long>(m_anCounts[keptOut]), kLabels[refused],
                static_cast<long long>(m_anCounts[refused]), kLabels[notWritten],
                static_cast<long long>(m_anCounts[notWritten]), kLabels[nothingToWrite],
                static_cast<long long>(m_anCounts[nothingToWrite]));
    if (!strInterruption.IsEmpty())
        line += kSeparator + ("復元は完了していません" + InBrackets(strInterruption));
    return line;
}

// The file stores runs of backslashes between the levels; the user reads
// the path as the system shows it.
CString CRestoreRecord::FullPath(int nRoot, const CString& strRelPath,
                                 const CMigrationRoots& roots) {
    CString relative = CRestorePath::Collapse(strRelPath);
    if (!CMigrationRoots::IsIndex(nRoot) || roots[nRoot].IsEmpty())
        return relative;
    return roots[nRoot] + "\\" + relative;
}
