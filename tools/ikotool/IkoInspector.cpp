#include "IkoInspector.h"

#include "IkoJsonWriter.h"
#include "IkoProgress.h"
#include "IkoTool.h"
#include "MigrationEntry.h"
#include "MigrationReader.h"
#include "RestorePath.h"

namespace {
// A long listing goes out in pieces of about this size.
constexpr size_t kJsonPiece = size_t{64} * 1024;
} // namespace

CIkoInspector::CIkoInspector(CFileSystem& fs, CIkoOutput& out, CIkoProgress* pProgress)
    : m_fs(fs), m_out(out), m_pProgress(pProgress) {}

CString CIkoInspector::Summary(const CMigrationContext& context) {
    return CIkoOutput::Count(context.m_nEntries, "entry", "entries") + ", " +
           CIkoOutput::Count(context.m_nFiles, "file", "files") + ", " +
           CIkoOutput::Count(context.m_nBytes, "byte", "bytes");
}

// What Tessaro makes of a code: 3 or less is ".xls" books, 4 ".xlsm" books,
// and entries of a newer format are kept out of a restore.
CString CIkoInspector::FormatMeaning(int32_t nFormat) {
    if (nFormat == 3)
        return "\".xls\" books";
    if (nFormat == 4)
        return "\".xlsm\" books";
    if (nFormat > 4)
        return "newer than this program: not restored";
    return "not a code Tessaro writes: restored as \".xls\" books";
}

// The structure check, metered for the progress when bMetered.
CIkoVerdict CIkoInspector::Check(const CString& strFile, CMigrationContext& context, bool bMetered,
                                 int64_t nTotalFiles) {
    CIkoProgress* progress = bMetered ? m_pProgress : nullptr;
    CIkoVerdict verdict =
        CIkoFileReader(m_fs, progress).ReadFile(strFile, [&](CArchive& ar, int64_t nLength) {
            if (progress)
                progress->Start(nTotalFiles, nLength, &context.m_nFiles);
            CMigrationReader(context, CMigrationRoots(), nLength).Check(ar);
        });
    if (progress)
        progress->Finish();
    return verdict;
}

int CIkoInspector::Failed(const CString& strFile, const CIkoVerdict& verdict) {
    m_out.Error(verdict.Message(strFile));
    return CIkoTool::trouble;
}

// The header's lines need every entry's format code, so a first check reads
// them (it skips the contents); then the file is listed.
int CIkoInspector::List(const CString& strFile) {
    CMigrationContext surveyed(m_fs);
    CIkoEntryTracker formats(surveyed, nullptr);
    surveyed.m_onEntry = [&](const CMigrationEntry& entry) { formats.OnEntry(entry); };
    const CIkoVerdict first = Check(strFile, surveyed, false, -1);
    formats.Finish();
    if (first.nStatus == CIkoVerdict::failed)
        return Failed(strFile, first);
    PrintHeader(CIkoFileReader(m_fs).ReadHeader(strFile), formats);

    CMigrationContext context(m_fs);
    context.m_onEntry = [this](const CMigrationEntry& entry) {
        CString line;
        line.Format("%d %lld %s", entry.m_nRoot, static_cast<long long>(entry.m_nSize),
                    CRestorePath::Collapse(entry.GetRelativePath()).GetString());
        m_out.Result(line);
    };
    const CIkoVerdict verdict = Check(strFile, context, true, surveyed.m_nFiles);
    if (!verdict.IsWhole())
        return Failed(strFile, verdict);
    m_out.Result(Summary(context));
    return CIkoTool::done;
}

void CIkoInspector::PrintHeader(const CIkoHeader& header, const CIkoEntryTracker& formats) {
    if (!header.bRead) {
        m_out.Result("header: none, the file is shorter than one");
        return;
    }
    CString line;
    line.Format(
        "header: %s, product byte 0x%02X (%s)",
        CIkoOutput::Count(header.nCount, "top-level entry", "top-level entries").GetString(),
        header.nProduct,
        header.nProduct == CMigrationReader::kProductByte
            ? "Morvane"
            : "not Morvane: Tessaro refuses the file");
    m_out.Result(line);
    m_out.Result("book format: " + FormatLine(formats));
}

// Every entry of a file Tessaro writes carries the same code; a file whose
// entries differ is named so, with the code a restore goes by.
CString CIkoInspector::FormatLine(const CIkoEntryTracker& formats) {
    const auto Named = [](int32_t nFormat) {
        CString text;
        text.Format("%d (%s)", nFormat, FormatMeaning(nFormat).GetString());
        return text;
    };
    if (formats.Formats().empty())
        return "none (no entries)";
    if (formats.Formats().size() == 1)
        return Named(formats.FirstFormat());
    CString line = "mixed:";
    for (const auto& [format, count] : formats.Formats())
        line += " " + Named(format) + " in " + CIkoOutput::Count(count, "entry", "entries") + ",";
    line.AppendFormat(" a restore goes by the first entry's, %d", formats.FirstFormat());
    return line;
}

int CIkoInspector::Test(const CString& strFile) {
    CMigrationContext context(m_fs);
    if (m_out.IsVerbose())
        context.m_onEntry = [this](const CMigrationEntry& entry) {
            m_out.Verbose(CIkoOutput::EntryName(entry.m_nRoot, entry.GetRelativePath()));
        };
    const CIkoVerdict verdict = Check(strFile, context, true, -1);
    if (!verdict.IsWhole())
        return Failed(strFile, verdict);
    m_out.Result("OK: " + CIkoOutput::Count(context.m_nFiles, "file", "files") + ", " +
                 CIkoOutput::Count(context.m_nBytes, "byte", "bytes"));
    return CIkoTool::done;
}

// One document, whatever the file holds: a script finds the verdict in it
// even when the file could not be opened.  The entries go out as they are
// read, so a listing of any length takes little memory.
int CIkoInspector::Document(const CString& strFile) {
    CIkoJsonWriter json;
    json.BeginObject();
    json.Key("file");
    json.String(m_out.Console().ToUtf8(strFile));
    json.LineBreak();
    json.Key("header");
    WriteHeader(json, CIkoFileReader(m_fs).ReadHeader(strFile));
    CMigrationContext context(m_fs);
    CIkoEntryTracker tracker(context, [&](const CIkoEntryTracker::Entry& entry) {
        WriteEntry(json, entry);
        if (json.Size() >= kJsonPiece)
            m_out.Json(json.Take());
    });
    CIkoVerdict verdict;
    WriteEntries(json, strFile, verdict, context, tracker);
    json.LineBreak();
    json.Key("format");
    WriteFormats(json, tracker);
    json.LineBreak();
    json.Key("summary");
    WriteSummary(json, context);
    json.LineBreak();
    json.Key("verdict");
    WriteVerdict(json, verdict);
    json.EndObject();
    m_out.Json(json.Take() + "\n");
    return verdict.IsWhole() ? CIkoTool::done : Failed(strFile, verdict);
}

void CIkoInspector::WriteEntries(CIkoJsonWriter& json, const CString& strFile, CIkoVerdict& verdict,
                                 CMigrationContext& context, CIkoEntryTracker& tracker) {
    json.LineBreak();
    json.Key("entries");
    json.BeginArray();
    context.m_onEntry = [&](const CMigrationEntry& entry) { tracker.OnEntry(entry); };
    verdict = Check(strFile, context, true, -1);
    tracker.Finish();
    json.LineBreak();
    json.EndArray();
}

void CIkoInspector::WriteHeader(CIkoJsonWriter& json, const CIkoHeader& header) {
    if (!header.bRead) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("top_level_entries");
    json.Number(header.nCount);
    json.Key("product_byte");
    json.Number(header.nProduct);
    json.Key("morvane");
    json.Bool(header.nProduct == CMigrationReader::kProductByte);
    json.EndObject();
}

// "815c812e646174": the bytes of a code page 932 string in hex.
std::string CIkoInspector::Hex(const CString& str) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : str.str()) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

void CIkoInspector::WriteEntry(CIkoJsonWriter& json, const CIkoEntryTracker::Entry& entry) {
    json.LineBreak();
    json.BeginObject();
    json.Key("root");
    json.Number(entry.nRoot);
    // A name with bytes that are no character keeps them beside the text,
    // so that a script can still tell two such names apart.
    bool bLossy = false;
    const std::string path = m_out.Console().ToUtf8(entry.strPath, &bLossy);
    json.Key("path");
    json.String(path);
    if (bLossy) {
        json.Key("path_bytes");
        json.String(Hex(entry.strPath));
    }
    json.Key("size");
    json.Number(entry.nSize);
    json.Key("format");
    json.Number(entry.nFormat);
    json.Key("kind");
    json.String(CIkoEntryTracker::KindName(entry.nKind));
    json.EndObject();
}

// "code" is the first entry's, which a restore goes by; "codes" has every
// code with the number of its entries.  The meanings are ASCII.
void CIkoInspector::WriteFormats(CIkoJsonWriter& json, const CIkoEntryTracker& formats) {
    json.BeginObject();
    json.Key("code");
    if (formats.Formats().empty())
        json.Null();
    else
        json.Number(formats.FirstFormat());
    json.Key("mixed");
    json.Bool(formats.Formats().size() > 1);
    json.Key("codes");
    json.BeginArray();
    for (const auto& [format, count] : formats.Formats()) {
        json.BeginObject();
        json.Key("code");
        json.Number(format);
        json.Key("meaning");
        json.String(FormatMeaning(format).str());
        json.Key("entries");
        json.Number(count);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void CIkoInspector::WriteSummary(CIkoJsonWriter& json, const CMigrationContext& context) {
    json.BeginObject();
    json.Key("entries");
    json.Number(context.m_nEntries);
    json.Key("files");
    json.Number(context.m_nFiles);
    json.Key("bytes");
    json.Number(context.m_nBytes);
    json.EndObject();
}

void CIkoInspector::WriteVerdict(CIkoJsonWriter& json, const CIkoVerdict& verdict) {
    static const char* const kStatus[] = {"whole", "damaged", "failed"};
    json.BeginObject();
    json.Key("status");
    json.String(kStatus[verdict.nStatus]);
    if (verdict.nStatus == CIkoVerdict::damaged) {
        json.Key("offset");
        json.Number(static_cast<int64_t>(verdict.nOffset));
    }
    if (!verdict.IsWhole()) {
        json.Key("fault");
        json.String(m_out.Console().ToUtf8(verdict.strFault));
    }
    json.EndObject();
}
