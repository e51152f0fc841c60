#include "MemFileSystem.h"

#include "Exception.h"
#include "Mbcs.h"

#include <algorithm>
#include <cstring>

// An open file shares its bytes with the node, as a real handle would.
class CMemFileSystem::File : public CFsFile {
public:
    File(std::shared_ptr<std::string> pBytes, CString strPath, int64_t* pFreeSpace)
        : m_pBytes(std::move(pBytes)), m_strPath(std::move(strPath)), m_pFreeSpace(pFreeSpace) {}

    unsigned Read(void* pBuf, unsigned nCount) override {
        const size_t n =
            m_pos < m_pBytes->size() ? std::min<size_t>(nCount, m_pBytes->size() - m_pos) : 0;
        std::memcpy(pBuf, m_pBytes->data() + m_pos, n);
        m_pos += n;
        return static_cast<unsigned>(n);
    }

    void Write(const void* pBuf, unsigned nCount) override {
        if (static_cast<int64_t>(nCount) > *m_pFreeSpace)
            throw CFileException(CFileException::diskFull, 112, m_strPath);
        *m_pFreeSpace -= nCount;
        m_pBytes->append(static_cast<const char*>(pBuf), nCount);
    }

    void WriteAt(int64_t nOffset, const void* pBuf, unsigned nCount) override {
        const auto at = static_cast<size_t>(nOffset);
        if (at + nCount > m_pBytes->size())
            m_pBytes->resize(at + nCount);
        m_pBytes->replace(at, nCount, static_cast<const char*>(pBuf), nCount);
    }

    void SetLength(int64_t nLength) override { m_pBytes->resize(static_cast<size_t>(nLength)); }

    int64_t GetLength() override { return static_cast<int64_t>(m_pBytes->size()); }
    bool Holds(const Node* node) const { return node && node->pBytes == m_pBytes; }
    void Close() override {}
    CString GetFilePath() const override { return m_strPath; }

private:
    std::shared_ptr<std::string> m_pBytes;
    CString m_strPath;
    int64_t* m_pFreeSpace;
    size_t m_pos = 0;
};

CString CMemFileSystem::Normalize(const CString& strPath) {
    const std::string& s = strPath.str();
    const int n = static_cast<int>(s.size());
    std::string out;
    bool bAfterSeparator = false;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        const bool bSep =
            len == 1 && (s[static_cast<size_t>(i)] == '\\' || s[static_cast<size_t>(i)] == '/');
        if (!bSep)
            out.append(s, static_cast<size_t>(i), static_cast<size_t>(len));
        else if (!bAfterSeparator && !out.empty())
            out += '\\';
        bAfterSeparator = bSep;
        i += len;
    }
    if (bAfterSeparator && !out.empty())
        out.pop_back();
    return CString(std::move(out));
}

// The key up to its last backslash; the root level is "".  Keys are
// normalised, so each backslash found on a character boundary separates.
CString CMemFileSystem::ParentKey(const CString& strKey) {
    const int cut = strKey.ReverseFind('\\');
    return cut > 0 ? strKey.Left(cut) : CString();
}

const CMemFileSystem::Node* CMemFileSystem::Find(const CString& strKey) const {
    const auto it = m_nodes.find(strKey);
    return it == m_nodes.end() ? nullptr : &it->second;
}

bool CMemFileSystem::ParentIsDirectory(const CString& strKey) const {
    const CString parent = ParentKey(strKey);
    if (parent.IsEmpty())
        return true;
    const Node* node = Find(parent);
    return node && node->bDirectory;
}

void CMemFileSystem::AddDirectory(const CString& strPath) {
    const CString key = Normalize(strPath);
    if (key.IsEmpty())
        return;
    AddDirectory(ParentKey(key));
    m_nodes[key].bDirectory = true;
}

void CMemFileSystem::AddFile(const CString& strPath, std::string bytes) {
    const CString key = Normalize(strPath);
    AddDirectory(ParentKey(key));
    Node& node = m_nodes[key];
    node.bDirectory = false;
    node.pBytes = std::make_shared<std::string>(std::move(bytes));
}

void CMemFileSystem::SetLocked(const CString& strPath) {
    m_nodes[Normalize(strPath)].bLocked = true;
}

std::string CMemFileSystem::FileBytes(const CString& strPath) const {
    const Node* node = Find(Normalize(strPath));
    return node && node->pBytes ? *node->pBytes : std::string();
}

bool CMemFileSystem::IsFile(const CString& strPath) const {
    const Node* node = Find(Normalize(strPath));
    return node && !node->bDirectory;
}

bool CMemFileSystem::IsDirectory(const CString& strPath) const {
    const Node* node = Find(Normalize(strPath));
    return node && node->bDirectory;
}

std::vector<CString> CMemFileSystem::Paths() const {
    std::vector<CString> paths;
    for (const auto& node : m_nodes)
        paths.push_back(node.first);
    return paths;
}

// Children sort right after their directory's key and a backslash.
bool CMemFileSystem::ListDirectory(const CString& strDir, std::vector<CDirItem>& items) {
    const CString key = Normalize(strDir);
    const Node* dir = Find(key);
    if (!dir || !dir->bDirectory || dir->bLocked)
        return false;
    const CString prefix = key + "\\";
    for (auto it = m_nodes.lower_bound(prefix); it != m_nodes.end(); ++it) {
        if (it->first.str().compare(0, prefix.str().size(), prefix.str()) != 0)
            break;
        if (ParentKey(it->first) != key)
            continue;
        CDirItem item;
        item.strName = it->first.Mid(prefix.GetLength());
        item.bDirectory = it->second.bDirectory;
        items.push_back(item);
    }
    return true;
}

CFsStatus CMemFileSystem::GetStatus(const CString& strPath) {
    CFsStatus status;
    if (const Node* node = Find(Normalize(strPath))) {
        status.bExists = true;
        status.bDirectory = node->bDirectory;
        status.nSize = node->pBytes ? static_cast<int64_t>(node->pBytes->size()) : 0;
    }
    return status;
}

std::unique_ptr<CFsFile> CMemFileSystem::OpenForReading(const CString& strPath, CFsError& error) {
    const Node* node = Find(Normalize(strPath));
    if (!node || node->bDirectory || node->bLocked) {
        error.strCause = node ? "locked" : "not found";
        return nullptr;
    }
    return std::make_unique<File>(node->pBytes, strPath, &m_nFreeSpace);
}

std::unique_ptr<CFsFile> CMemFileSystem::CreateOrEmpty(const CString& strPath, CFsError& error) {
    const CString key = Normalize(strPath);
    const Node* node = Find(key);
    if (key.IsEmpty() || key.GetLength() >= kMaxPath || !ParentIsDirectory(key) ||
        (node && (node->bDirectory || node->bLocked))) {
        error.strCause = "cannot be created";
        return nullptr;
    }
    Node& target = m_nodes[key];
    target.pBytes = std::make_shared<std::string>();
    return std::make_unique<File>(target.pBytes, strPath, &m_nFreeSpace);
}

std::unique_ptr<CFsFile> CMemFileSystem::CreateNew(const CString& strPath, CFsError& error) {
    if (Find(Normalize(strPath))) {
        error.bExists = true;
        error.strCause = "exists";
        return nullptr;
    }
    return CreateOrEmpty(strPath, error);
}

// The name must still hold the bytes of this file, as on a real disk.
bool CMemFileSystem::CloseOver(std::unique_ptr<CFsFile> pFile, const CString& strFrom,
                               const CString& strTo, CFsError& error) {
    const auto* file = dynamic_cast<const File*>(pFile.get());
    if (file && !file->Holds(Find(Normalize(strFrom)))) {
        error.bExists = true;
        error.strCause = "its temporary file was replaced by another program";
        return false;
    }
    return CFileSystem::CloseOver(std::move(pFile), strFrom, strTo, error);
}

// A file open for writing shares its bytes with the node.
bool CMemFileSystem::RemoveUnlessOpen(const CString& strPath) {
    const Node* node = Find(Normalize(strPath));
    if (node && node->pBytes && node->pBytes.use_count() > 1)
        return false;
    return RemoveFile(strPath);
}

bool CMemFileSystem::MakeDirectory(const CString& strPath) {
    const CString key = Normalize(strPath);
    if (key.IsEmpty() || key.GetLength() >= kMaxPath || Find(key) || !ParentIsDirectory(key))
        return false;
    m_nodes[key].bDirectory = true;
    return true;
}

bool CMemFileSystem::MoveOver(const CString& strFrom, const CString& strTo, CFsError& error) {
    const CString from = Normalize(strFrom), to = Normalize(strTo);
    const Node* source = Find(from);
    const Node* target = Find(to);
    if (!source || source->bDirectory || (target && (target->bDirectory || target->bLocked))) {
        error.strCause = "cannot be renamed";
        return false;
    }
    m_nodes[to] = *source;
    m_nodes.erase(from);
    return true;
}

bool CMemFileSystem::RemoveFile(const CString& strPath) {
    const auto it = m_nodes.find(Normalize(strPath));
    if (it == m_nodes.end() || it->second.bDirectory || it->second.bLocked)
        return false;
    m_nodes.erase(it);
    return true;
}
