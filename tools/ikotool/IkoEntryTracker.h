#pragma once
#include "MigrationContext.h"
#include "String.h"

#include <cstdint>
#include <functional>
#include <map>

class CMigrationEntry;

// Follows the entries of a read for what they say: each entry with its kind,
// and the books' format codes.  Whether an entry has children is known only
// once its record is read up to its child count, that is when the next
// record begins or the read ends; each entry is handed on then.
class CIkoEntryTracker {
public:
    // empty: no content and no children, which an empty file and an empty
    // folder both are; cut: the file ends, or is damaged, inside its record.
    enum Kind { file, directory, empty, cut };
    struct Entry {
        int32_t nRoot = 0;
        CString strPath; // below the root, as shown
        int64_t nSize = 0;
        int32_t nFormat = 0;
        Kind nKind = cut;
    };
    using Sink = std::function<void(const Entry&)>;

    // context: the one the read counts its records in.
    CIkoEntryTracker(const CMigrationContext& context, Sink sink);
    void OnEntry(const CMigrationEntry& entry);
    void Finish();
    static const char* KindName(Kind nKind);

    // Entries per format code.
    const std::map<int32_t, int64_t>& Formats() const { return m_formats; }
    // The first entry's code, which a restore goes by; -1 without entries.
    int32_t FirstFormat() const { return m_nFirstFormat; }

private:
    void HandOn();

    const CMigrationContext& m_context;
    Sink m_sink;
    bool m_bPending = false;
    Entry m_pending;
    int64_t m_nEntriesBefore = 0; // the context's counts when the pending one began
    int64_t m_nFilesBefore = 0;
    std::map<int32_t, int64_t> m_formats;
    int32_t m_nFirstFormat = -1;
};
