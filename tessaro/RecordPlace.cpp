#include "RecordPlace.h"

#include "Mbcs.h"

#include <algorithm>
#include <vector>

namespace {

// Windows drops them from every component.
void DropTrailingDotsAndBlanks(std::string& part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
}

// Components on character boundaries: the trail byte 0x5C of "表" is no
// separator.
std::vector<CString> Components(const CString& strPath) {
    std::vector<CString> parts;
    const std::string& s = strPath.str();
    const int n = static_cast<int>(s.size());
    std::string part;
    for (int i = 0; i <= n;) {
        const int len = i < n ? fw::CharLen932(s.data(), i, n) : 1;
        const char c = i < n ? s[static_cast<size_t>(i)] : '\\';
        if (len == 1 && (c == '\\' || c == '/')) {
            DropTrailingDotsAndBlanks(part);
            if (!part.empty())
                parts.emplace_back(part.c_str());
            part.clear();
        } else {
            part.append(s, static_cast<size_t>(i), static_cast<size_t>(len));
        }
        i += len;
    }
    return parts;
}

int LastSeparator(const CString& strPath) {
    return std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/'));
}

} // namespace

CString CRecordPlace::FileName(const CString& strMigrationFile, const CString& strStamp,
                               int nAttempt) {
    CString title = strMigrationFile.Mid(LastSeparator(strMigrationFile) + 1);
    const int dot = title.ReverseFind('.');
    if (dot > 0)
        title = title.Left(dot);
    CString name = title + "_復元記録" + strStamp;
    if (nAttempt > 1)
        name.AppendFormat("_%d", nAttempt);
    return name + ".txt";
}

CString CRecordPlace::FolderOf(const CString& strPath) {
    const int separator = LastSeparator(strPath);
    return separator < 0 ? CString() : strPath.Left(separator);
}

bool CRecordPlace::IsInside(const CString& strPath, const CString& strFolder) {
    const std::vector<CString> path = Components(strPath);
    const std::vector<CString> folder = Components(strFolder);
    if (folder.empty() || folder.size() > path.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i)
        if (path[i].CompareNoCase(folder[i]) != 0)
            return false;
    return true;
}
