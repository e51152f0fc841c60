// Fuzz target for the migration file reader over the in-memory file system:
// the structure check and a restore of the same bytes.  Any bytes either
// pass the check and restore without an error, or fail the check; a restore
// never creates anything outside its roots, nor more bytes than the file
// holds, and the check never writes.
#include "Archive.h"
#include "MemFile.h"
#include "MemFileSystem.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>

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

// Judged without the engine's own rules: Windows drops trailing dots and
// blanks, so any component that then is empty, "." or "..", and any colon,
// could leave the root.
bool ComponentEscapes(std::string component) {
    while (!component.empty() && (component.back() == '.' || component.back() == ' '))
        component.pop_back();
    return component.empty() || component.find(':') != std::string::npos;
}

bool StaysInsideARoot(const CString& path) {
    const std::string& s = path.str();
    const size_t slash = s.find('\\');
    const std::string root = s.substr(0, slash);
    if (root != "r0" && root != "r1" && root != "r2")
        return false;
    for (size_t at = slash; at != std::string::npos;) {
        const size_t next = s.find_first_of("\\/", at + 1);
        if (ComponentEscapes(s.substr(at + 1, next == std::string::npos ? next : next - at - 1)))
            return false;
        at = next;
    }
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
