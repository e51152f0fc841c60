#include "DataSetWriter.h"

#include "PosixOwners_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kPoolSize = 1 << 20;
} // namespace

CDataSetWriter::CDataSetWriter(uint64_t nSeed) : m_pool(kPoolSize * 2), m_random(nSeed ^ 0x5EED) {
    for (size_t i = 0; i < kPoolSize; i += 8) {
        const uint64_t v = m_random.Next();
        std::memcpy(&m_pool[i], &v, 8);
    }
    // The second half repeats the first, so any slice of up to kPoolSize
    // bytes is contiguous wherever it starts.
    std::memcpy(&m_pool[kPoolSize], &m_pool[0], kPoolSize);
}

bool CDataSetWriter::Write(const CDataSetPlan& plan, const std::string& strDir,
                           std::string& strError) {
    const std::string base = strDir + "/";
    for (const std::string& folder : plan.Folders())
        if (!MakeFolders(base + folder, strError))
            return false;
    for (const CDataSetPlan::File& file : plan.Files())
        if (!WriteFile(base + file.strPath, file.nSize, strError))
            return false;
    return true;
}

bool CDataSetWriter::MakeFolders(const std::string& strPath, std::string& strError) {
    for (size_t slash = strPath.find('/', 1);; slash = strPath.find('/', slash + 1)) {
        const std::string part = strPath.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            strError = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

bool CDataSetWriter::WriteFile(const std::string& strPath, uint64_t nSize, std::string& strError) {
    CFileDescriptor fd(::open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    bool ok = static_cast<bool>(fd);
    uint64_t nLeft = nSize;
    while (ok && nLeft > 0) {
        const size_t start = m_random.Next() % kPoolSize;
        const size_t piece = nLeft < kPoolSize ? static_cast<size_t>(nLeft) : kPoolSize;
        const ssize_t n = ::write(fd.Get(), &m_pool[start], piece);
        ok = n > 0;
        nLeft -= ok ? static_cast<uint64_t>(n) : 0;
    }
    if (!ok)
        strError = strPath + ": " + std::strerror(errno ? errno : ENOSPC);
    if (!fd.Close() && ok) {
        strError = strPath + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}
