#include "MigrationWriter.h"

#include "Archive.h"
#include "MigrationEntry.h"
#include "MigrationReader.h"
#include "ProductPaths.h"

// The items of a migration file, in the order they are written.
const CMigrationWriter::Item CMigrationWriter::kItems[] = {
    {CProductPaths::kDefEruFolder, CMigrationRoots::product},
    {CProductPaths::kMyDataFolder, CMigrationRoots::product},
    {CProductPaths::kOrgFolder, CMigrationRoots::product},
    {CProductPaths::kOtherFolder, CMigrationRoots::product},
    {CProductPaths::kMsgMemoFolder, CMigrationRoots::product},
    {CProductPaths::kExcelFolder, CMigrationRoots::data},
    {"SettingShain.dat", CMigrationRoots::common},
    {"CodeShain2.dat", CMigrationRoots::common},
    {"CodeShain2_B.dat", CMigrationRoots::common},
};
const int CMigrationWriter::kItemCount = sizeof kItems / sizeof kItems[0];
const char CMigrationWriter::kTempSuffix[] = ".~tmp";

CMigrationWriter::CMigrationWriter(CMigrationContext& context, const CMigrationRoots& roots)
    : m_context(context), m_roots(roots) {}

CMigrationWriter::~CMigrationWriter() {
    DeleteEntries();
}

void CMigrationWriter::DeleteEntries() {
    for (POSITION pos = m_entries.GetHeadPosition(); pos;)
        delete m_entries.GetNext(pos);
    m_entries.RemoveAll();
}

// An item that does not exist, or a file that cannot be opened, is left out.
bool CMigrationWriter::BuildList() {
    DeleteEntries();
    for (const Item& item : kItems) {
        auto entry = std::make_unique<CMigrationEntry>(m_context);
        entry->SetRoots(m_roots);
        if (entry->Build(item.pszName, item.nRoot))
            m_entries.AddTail(entry.release());
    }
    return !m_entries.IsEmpty();
}

void CMigrationWriter::Write(CArchive& ar) {
    ar << static_cast<uint16_t>(m_entries.GetCount()) << CMigrationReader::kProductByte
       << uint8_t(0);
    for (POSITION pos = m_entries.GetHeadPosition(); pos;)
        static_cast<CMigrationEntry*>(m_entries.GetNext(pos))->Serialize(ar);
}

// A file that fails half-way never replaces the one that was there, and no
// cut file is left under the chosen name.
bool CMigrationWriter::WriteFile(const CString& strPath) {
    CFileSystem& fs = m_context.m_fs;
    const CString temp = strPath + kTempSuffix;
    CFsError error;
    std::unique_ptr<CFsFile> file = fs.CreateOrEmpty(temp, error);
    if (!file) {
        m_strError = error.strCause;
        return false;
    }
    try {
        WriteTemporary(*file);
    } catch (...) {
        file.reset();
        fs.RemoveFile(temp);
        throw;
    }
    file.reset();
    if (fs.MoveOver(temp, strPath, error))
        return true;
    m_strError = error.strCause;
    fs.RemoveFile(temp);
    return false;
}

void CMigrationWriter::WriteTemporary(CFsFile& file) {
    CArchive ar(&file, CArchive::store, CMigrationContext::kArchiveBufferSize);
    Write(ar);
    ar.Close();
    file.Close();
}
