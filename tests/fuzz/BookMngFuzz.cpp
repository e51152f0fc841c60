// Fuzz target for the "BookMNG.dat" reader: any bytes either load or end in
// the archive's exception; what loads stores and loads again to the same
// books (the entries' byte order may differ: a bucket's chain turns round).
// The names a loaded book gives the operations' path rules stay whole.
#include "Archive.h"
#include "BookNames.h"
#include "ExcelFileMap.h"
#include "MemFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Store(CExcelFileMap& map) {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    map.Serialize(ar);
    ar.Close();
    return mem.Bytes();
}

// A workbook's file name from the list, as the commands compose paths of it.
void CheckNameRules(const CString& name) {
    const std::string& n = name.str();
    const std::string part = FileNamePart(name).str();
    if (part.size() > n.size() || n.compare(n.size() - part.size(), part.size(), part) != 0)
        std::abort();
    for (const char* ext : {".xls", ".xlsm"}) {
        const std::string stem = StripExtensionNoCase(name, ext).str();
        if (n.compare(0, stem.size(), stem) != 0)
            std::abort();
        AttendanceBookPathIn("C:\\表", ext, "勤怠_" + name);
    }
    if (WithExtensionReplaced(name, ".xls", ".xls") != name)
        std::abort();
    WithExtensionReplaced(name, ".xls", ".xlsm");
    InsertBeforeExtension(name, "123456");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CExcelFileMap map("fuzz");
    try {
        CMemFile mem(std::string(reinterpret_cast<const char*>(data), size));
        CArchive ar(&mem, CArchive::load);
        map.Serialize(ar);
    } catch (const CArchiveException&) {
        return 0;
    }
    const std::string once = Store(map);
    CExcelFileMap again("fuzz");
    CMemFile mem(once);
    CArchive ar(&mem, CArchive::load);
    again.Serialize(ar);
    if (again.m_mapBooks.GetCount() != map.m_mapBooks.GetCount())
        std::abort();
    for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap want, got;
        map.m_mapBooks.GetNextAssoc(pos, key, want);
        CheckNameRules(want.m_strFileName);
        if (!again.m_mapBooks.Lookup(key, got) || got.m_nOrder != want.m_nOrder ||
            got.m_strFileName != want.m_strFileName || got.m_strNote != want.m_strNote)
            std::abort();
    }
    return 0;
}
