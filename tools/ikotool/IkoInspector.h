#pragma once
#include "FileSystem.h"
#include "IkoEntryTracker.h"
#include "IkoFileReader.h"
#include "IkoOutput.h"

class CIkoJsonWriter;
class CIkoProgress;
class CMigrationContext;

// The commands that look into a file and write nothing: list, test, and
// the JSON document of either.
class CIkoInspector {
public:
    // pProgress: null when no progress is shown.
    CIkoInspector(CFileSystem& fs, CIkoOutput& out, CIkoProgress* pProgress);
    int List(const CString& strFile);
    int Test(const CString& strFile);
    int Document(const CString& strFile);

    // "N entries, F files, M bytes"
    static CString Summary(const CMigrationContext& context);
    static CString FormatMeaning(int32_t nFormat);

private:
    CIkoVerdict Check(const CString& strFile, CMigrationContext& context, bool bMetered,
                      int64_t nTotalFiles);
    void PrintHeader(const CIkoHeader& header, const CIkoEntryTracker& formats);
    static CString FormatLine(const CIkoEntryTracker& formats);
    int Failed(const CString& strFile, const CIkoVerdict& verdict);
    void WriteEntries(CIkoJsonWriter& json, const CString& strFile, CIkoVerdict& verdict,
                      CMigrationContext& context, CIkoEntryTracker& tracker);
    static void WriteHeader(CIkoJsonWriter& json, const CIkoHeader& header);
    void WriteEntry(CIkoJsonWriter& json, const CIkoEntryTracker::Entry& entry);
    static std::string Hex(const CString& str);
    static void WriteFormats(CIkoJsonWriter& json, const CIkoEntryTracker& formats);
    static void WriteSummary(CIkoJsonWriter& json, const CMigrationContext& context);
    void WriteVerdict(CIkoJsonWriter& json, const CIkoVerdict& verdict);

    CFileSystem& m_fs;
    CIkoOutput& m_out;
    CIkoProgress* m_pProgress;
};
