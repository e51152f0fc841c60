#include "RecordPlace.h"

#include "Mbcs.h"
#include "PathComponents.h"

#include <algorithm>
#include <vector>

namespace {

int LastSeparator(const CString& strPath) {
    return std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/'));
}

} // namespace

// A long migration file's name is cut (on a character boundary) so that
// the record's name, with the temporary ending it is written under, stays
// within what the system allows one name.
CString CRecordPlace::FileName(const CString& strMigrationFile, const CString& strStamp,
                               int nAttempt, int nMaxLength) {
    CString title = strMigrationFile.Mid(LastSeparator(strMigrationFile) + 1);
    const int dot = title.ReverseFind('.');
    if (dot > 0)
        title = title.Left(dot);
    CString tail = "_復元記録" + strStamp;
    if (nAttempt > 1)
        tail.AppendFormat("_%d", nAttempt);
    tail += ".txt";
    const CString kept = ShortenedTo(title, nMaxLength - tail.GetLength(),
                                     kMaxNameLength - kTemporaryEndingLength - NameLength(tail));
    if (kept.IsEmpty() && !title.IsEmpty())
        return CString();
    return kept + tail;
}

// A file system may count a name in UTF-8 (Wine's on Linux: 255 bytes),
// where every character of code page 932 but ASCII takes three.
int CRecordPlace::NameLength(const CString& strName) {
    const std::string& s = strName.str();
    const int n = static_cast<int>(s.size());
    int length = 0;
    for (int i = 0; i < n; i += fw::CharLen932(s.data(), i, n))
        length += static_cast<unsigned char>(s[static_cast<size_t>(i)]) < 0x80 ? 1 : 3;
    return length;
}

CString CRecordPlace::ShortenedTo(const CString& strText, int nBytes, int nNameLength) {
    const std::string& s = strText.str();
    const int n = static_cast<int>(s.size());
    int end = 0, length = 0;
    while (end < n) {
        const int len = fw::CharLen932(s.data(), end, n);
        const int weight = static_cast<unsigned char>(s[static_cast<size_t>(end)]) < 0x80 ? 1 : 3;
        if (end + len > nBytes || length + weight > nNameLength)
            break;
        end += len;
        length += weight;
    }
    return CString(s.substr(0, static_cast<size_t>(end)).c_str());
}

CString CRecordPlace::FolderOf(const CString& strPath) {
    const int separator = LastSeparator(strPath);
    return separator < 0 ? CString() : strPath.Left(separator);
}

bool CRecordPlace::IsInside(const CString& strPath, const CString& strFolder) {
    const std::vector<CString> path = PathComponents(strPath);
    const std::vector<CString> folder = PathComponents(strFolder);
    if (folder.empty() || folder.size() > path.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i)
        if (path[i].CompareNoCase(folder[i]) != 0)
            return false;
    return true;
}
