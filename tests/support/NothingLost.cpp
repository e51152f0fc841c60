#include "NothingLost.h"

#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <windows.h>

#include <cstdint>
#include <map>

namespace {

// FNV-1a over the bytes, with the size: two workbooks alike in both are the
// same workbook for this check.
std::string Fingerprint(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return std::to_string(bytes.size()) + ":" + std::to_string(hash);
}

// Calls visit(name, path) for each file of dir, and with `below` for each
// file of its folders too.  Names are not split: the trail byte of "表" is
// 0x5C.
template <typename Visit> void EachFile(const CString& dir, bool below, Visit visit) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*", &fd));
    if (!h)
        return;
    do {
        const CString name(fd.cFileName);
        const CString path = dir + "\\" + name;
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            visit(name, path);
        else if (below && name != "." && name != "..")
            EachFile(path, below, visit);
    } while (::FindNextFileA(h.Get(), &fd));
}

} // namespace

// The files of the folder itself; what lies below (the safety folders of
// earlier runs) is where a workbook may be found again, not one to keep.
NothingLost::NothingLost(const CString& excelDir) : m_dir(excelDir) {
    EachFile(excelDir, false, [this](const CString& name, const CString& path) {
        m_books.emplace_back(Fingerprint(ReadFileBytes(path)), name.str());
    });
}

NothingLost::~NothingLost() {
    EXPECT_TRUE(Check());
}

// Each workbook needs a file of its own: two alike need two files alike.
testing::AssertionResult NothingLost::Check() const {
    std::map<std::string, int> held;
    EachFile(m_dir, true, [&held](const CString&, const CString& path) {
        ++held[Fingerprint(ReadFileBytes(path))];
    });
    std::string lost;
    for (const auto& [fingerprint, name] : m_books)
        if (held[fingerprint]-- <= 0)
            lost += " " + name;
    if (lost.empty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "workbooks lost from " << m_dir.GetString() << ":" << lost;
}
