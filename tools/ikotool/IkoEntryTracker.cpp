#include "IkoEntryTracker.h"

#include "MigrationEntry.h"
#include "RestorePath.h"

#include <utility>

CIkoEntryTracker::CIkoEntryTracker(const CMigrationContext& context, Sink sink)
    : m_context(context), m_sink(std::move(sink)) {}

void CIkoEntryTracker::OnEntry(const CMigrationEntry& entry) {
    HandOn();
    m_pending.nRoot = entry.m_nRoot;
    m_pending.strPath = CRestorePath::Collapse(entry.GetRelativePath());
    m_pending.nSize = entry.m_nSize;
    m_pending.nFormat = entry.m_nFormat;
    m_nEntriesBefore = m_context.m_nEntries;
    m_nFilesBefore = m_context.m_nFiles;
    m_bPending = true;
    if (m_formats.empty())
        m_nFirstFormat = entry.m_nFormat;
    ++m_formats[entry.m_nFormat];
}

void CIkoEntryTracker::Finish() {
    HandOn();
}

// The reader counts a record once it has its child count, and counts it as
// a file when it has none: between one entry and the next, only the first
// is counted.
void CIkoEntryTracker::HandOn() {
    if (!m_bPending)
        return;
    m_bPending = false;
    if (m_context.m_nEntries == m_nEntriesBefore)
        m_pending.nKind = cut;
    else if (m_context.m_nFiles == m_nFilesBefore)
        m_pending.nKind = directory;
    else
        m_pending.nKind = m_pending.nSize > 0 ? file : empty;
    if (m_sink)
        m_sink(m_pending);
}

const char* CIkoEntryTracker::KindName(Kind nKind) {
    switch (nKind) {
    case file:
        return "file";
    case directory:
        return "directory";
    case empty:
        return "empty";
    case cut:
        break;
    }
    return "cut";
}
