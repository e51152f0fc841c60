#include "WindowsLikeFileSystem.h"

#include "Mbcs.h"

namespace {

std::vector<CString> Components(const CString& strPath) {
    std::vector<CString> parts;
    const CString key = CMemFileSystem::Normalize(strPath);
    int start = 0;
    for (int cut; (cut = key.Find('\\', start)) >= 0; start = cut + 1)
        parts.push_back(key.Mid(start, cut - start));
    parts.push_back(key.Mid(start));
    return parts;
}

CString Stripped(CString s) {
    while (!s.IsEmpty() && (s[s.GetLength() - 1] == '.' || s[s.GetLength() - 1] == ' '))
        s = s.Left(s.GetLength() - 1);
    return s;
}

// Up to `bytes` bytes of whole characters, in upper case.
CString Head(const CString& s, int bytes) {
    const std::string& b = s.str();
    const int n = static_cast<int>(b.size());
    int end = 0;
    while (end < n && end < bytes)
        end += fw::CharLen932(b.data(), end, n);
    CString head = s.Left(end);
    head.MakeUpper();
    return head;
}

} // namespace

// "~1" after six bytes of the base and three of the extension, as Windows
// names the first of its kind.
CString CWindowsLikeFileSystem::ShortName(const CString& strName) {
    const int dot = strName.ReverseFind('.');
    const CString base = dot >= 0 ? strName.Left(dot) : strName;
    const CString ext = dot >= 0 ? strName.Mid(dot + 1) : CString();
    if (!base.IsEmpty() && base.GetLength() <= 8 && ext.GetLength() <= 3 && base.Find('.') < 0 &&
        strName.Find(' ') < 0)
        return CString();
    return Head(base, 6) + "~1" + (ext.IsEmpty() ? CString() : "." + Head(ext, 3));
}

CString CWindowsLikeFileSystem::FindInFolder(const CString& strFolder,
                                             const CString& strComponent) {
    std::vector<CDirItem> items;
    if (!CMemFileSystem::ListDirectory(strFolder, items))
        return CString();
    for (const CDirItem& item : items)
        if (item.strName.CompareNoCase(strComponent) == 0 ||
            ShortName(item.strName).CompareNoCase(strComponent) == 0)
            return item.strName;
    return CString();
}

CString CWindowsLikeFileSystem::Resolve(const CString& strPath) {
    CString path;
    for (const CString& part : Components(strPath)) {
        const CString component = Stripped(part);
        const CString found = path.IsEmpty() ? CString() : FindInFolder(path, component);
        path += (path.IsEmpty() ? "" : "\\") + (found.IsEmpty() ? component : found);
    }
    return path;
}

CFsStatus CWindowsLikeFileSystem::GetStatus(const CString& strPath) {
    return CMemFileSystem::GetStatus(Resolve(strPath));
}

std::unique_ptr<CFsFile> CWindowsLikeFileSystem::OpenForReading(const CString& strPath,
                                                                CFsError& error) {
    return CMemFileSystem::OpenForReading(Resolve(strPath), error);
}

std::unique_ptr<CFsFile> CWindowsLikeFileSystem::CreateOrEmpty(const CString& strPath,
                                                               CFsError& error) {
    return CMemFileSystem::CreateOrEmpty(Resolve(strPath), error);
}

std::unique_ptr<CFsFile> CWindowsLikeFileSystem::CreateNew(const CString& strPath,
                                                           CFsError& error) {
    return CMemFileSystem::CreateNew(Resolve(strPath), error);
}

bool CWindowsLikeFileSystem::RemoveUnlessOpen(const CString& strPath) {
    return CMemFileSystem::RemoveUnlessOpen(Resolve(strPath));
}

bool CWindowsLikeFileSystem::MakeDirectory(const CString& strPath) {
    return CMemFileSystem::MakeDirectory(Resolve(strPath));
}

bool CWindowsLikeFileSystem::MoveOver(const CString& strFrom, const CString& strTo,
                                      CFsError& error) {
    return CMemFileSystem::MoveOver(Resolve(strFrom), Resolve(strTo), error);
}

bool CWindowsLikeFileSystem::RemoveFile(const CString& strPath) {
    return CMemFileSystem::RemoveFile(Resolve(strPath));
}

bool CWindowsLikeFileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    const size_t first = items.size();
    if (!CMemFileSystem::ListDirectory(Resolve(strDir), items))
        return false;
    for (size_t i = first; i < items.size(); ++i)
        items[i].strShortName = ShortName(items[i].strName);
    return true;
}

bool CWindowsLikeFileSystem::GetLongName(const CString& strPath, CString& strName) {
    const CString resolved = Resolve(strPath);
    if (!CMemFileSystem::GetStatus(resolved).bExists)
        return false;
    strName = resolved.Mid(resolved.ReverseFind('\\') + 1);
    return true;
}
