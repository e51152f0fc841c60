// Fuzz target for the migration file reader over the in-memory file system:
// the structure check and a restore of the same bytes.  Any bytes either
// pass the check and restore without an error, or fail the check; a restore
// never creates anything outside its roots, nor more bytes than the file
// holds, and the check never writes.
#include "Archive.h"
#include "MemFile.h"
#include "Mbcs.h"
#include "MemFileSystem.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kRoots[] = {"r0", "r1", "r2"};

bool CheckPasses(const std::string& bytes) {
    CMemFileSystem fs;
    CMigrationContext context(fs);
    try {
        CMemFile mem(bytes);
        CArchive ar(&mem, CArchive::load);
        CMigrationReader(context, CMigrationRoots(), static_cast<int64_t>(bytes.size())).Check(ar);
    } catch (const CMigrationFileException&) {
        return false;
    }
    if (!fs.Paths().empty())
        std::abort();
    return true;
}

// Split on character boundaries as Windows splits: the trail byte of "表"
// is 0x5C and separates nothing.
std::vector<std::string> Components(const std::string& s) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (fw::IsLeadByte932(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            parts.back() += s.substr(i++, 2);
        } else if (s[i] == '\\' || s[i] == '/') {
            parts.emplace_back();
        } else {
            parts.back() += s[i];
        }
    }
    return parts;
}

// Judged without the engine's own rules: Windows drops trailing dots and
// blanks, so a name that then is empty (".", "..", "...", ". ."), and any
// colon, could leave the root.
bool ComponentEscapes(std::string component) {
    if (component.empty()) // a run of separators
        return false;
    if (component.find(':') != std::string::npos)
        return true;
    while (!component.empty() && (component.back() == '.' || component.back() == ' '))
        component.pop_back();
    return component.empty();
}

bool StaysInsideARoot(const CString& path) {
    const std::vector<std::string> parts = Components(path.str());
    if (parts[0] != "r0" && parts[0] != "r1" && parts[0] != "r2")
        return false;
    for (const std::string& part : parts)
        if (ComponentEscapes(part))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool bSound = CheckPasses(bytes);
    CMemFileSystem fs;
    for (const char* root : kRoots)
        fs.AddDirectory(root);
    CMigrationContext context(fs);
    try {
        CMemFile mem(bytes);
        CArchive ar(&mem, CArchive::load);
        CMigrationReader(context, CMigrationRoots("r0", "r1", size % 2 ? "r2" : ""),
                         static_cast<int64_t>(size))
            .Restore(ar);
    } catch (const CArchiveException&) {
        if (bSound)
            std::abort();
    }
    size_t written = 0;
    for (const CString& path : fs.Paths()) {
        if (!StaysInsideARoot(path))
            std::abort();
        written += fs.FileBytes(path).size();
    }
    if (written > size)
        std::abort();
    return 0;
}
