#pragma once
#include "MigrationRoots.h"
#include "SkippedEntry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The record of one restore: a line for each file entry (restored, kept
// out, refused, not written, empty) and for each folder refused, as the restore comes to it, and a
// summary line with the counts.  Lines are code page 932 and carry no line end; a file of them ends
// each with kLineEnd.  Tessaro writes them to the restore's record file, ikotool extract -v prints
// them.
class CRestoreRecord {
public:
    enum Outcome { restored, keptOut, refused, notWritten, nothingToWrite, kOutcomes };
    using Sink = std::function<void(const CString&)>;
    static const char kLineEnd[];

    CRestoreRecord(const CMigrationRoots& roots, Sink sink);
    // A sink that appends each line with its line end: the record's file.
    static Sink AppendTo(std::string& strText);

    void NoteRestored(int nRoot, const CString& strRelPath);
    void NoteSkipped(const CSkippedEntry& entry);
    // Hands on the summary.  strInterruption: why the restore stopped
    // before the end of the file; empty when it read every entry.
    void Finish(const CString& strInterruption = CString());
    int64_t Count(Outcome nOutcome) const { return m_anCounts[nOutcome]; }

    static Outcome OutcomeOf(CSkipReason nReason);
    static CString Line(Outcome nOutcome, const CString& strPath, const CString& strReason);
    // Control characters as ^X; a tab kept where it parts the fields of a
    // line already made.
    static CString Printable(const CString& strText, bool bKeepTabs = false);
    static CString Reason(CSkipReason nReason, const CString& strCause);
    CString Summary(const CString& strInterruption) const;
    // The root of this computer and the path with single separators; the
    // path alone where the root is not set.
    static CString FullPath(int nRoot, const CString& strRelPath, const CMigrationRoots& roots);

private:
    void Note(Outcome nOutcome, const CString& strLine);

    CMigrationRoots m_roots;
    Sink m_sink;
    std::array<int64_t, kOutcomes> m_anCounts{};
};
