#include "MigrationWriter.h"

#include "Archive.h"
#include "MigrationEntry.h"
#include "MigrationReader.h"
#include "RunJournal.h"
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

CString CMigrationWriter::TemporaryPath(const CString& strPath, int nIndex) {
    CString path = strPath + kTempSuffix;
    if (nIndex > 0)
        path += static_cast<char>('0' + nIndex);
    return path;
}

// A file that fails half-way never replaces the one that was there, and no
// cut file is left under the chosen name.  The older file is looked at
// again before the rename: it may have been made read-only meanwhile.
bool CMigrationWriter::WriteFile(const CString& strPath) {
    CFileSystem& fs = m_context.m_fs;
    CFsError error;
    CString temp;
    std::unique_ptr<CFsFile> file;
    if (MayReplace(strPath, error))
        file = CreateTemporary(strPath, temp, error);
    if (!file) {
        m_strError = error.strCause;
        return false;
    }
    try {
        WriteTemporary(*file);
    } catch (...) {
        Discard(std::move(file), temp);
        throw;
    }
    if (!MayReplace(strPath, error)) {
        m_strError = error.strCause;
        Discard(std::move(file), temp);
        return false;
    }
    const bool bTransient = file->IsTransient();
    bool bMoved = false;
    try {
        bMoved = fs.CloseOver(std::move(file), temp, strPath, error);
    } catch (...) {
        if (!bTransient)
            fs.RemoveFile(temp);
        throw;
    }
    if (bMoved)
        return true;
    m_strError = error.strCause;
    if (!bTransient && !error.bExists)
        fs.RemoveFile(temp);
    return false;
}

// Writing over a read-only, hidden or system file fails on Windows, and
// the new file would not keep those attributes: such a file stays as it
// is, and the user is told as an opening for writing tells it.
bool CMigrationWriter::MayReplace(const CString& strPath, CFsError& error) {
    CFileSystem& fs = m_context.m_fs;
    return !fs.GetStatus(strPath).bExists ||
           (fs.CheckReplace(strPath, error) && fs.CheckWriteOver(strPath, error));
}

// Made anew, never opened as it stands: a file of the name is the user's
// own or another run's, and is neither written nor removed.  A name is
// taken when it exists, or when its making fails as if it did.
std::unique_ptr<CFsFile> CMigrationWriter::CreateTemporary(const CString& strPath,
                                                           CString& strTemporary, CFsError& error) {
    CFileSystem& fs = m_context.m_fs;
    for (int i = 0; i < kTemporaryNames; ++i) {
        error = CFsError();
        strTemporary = TemporaryPath(strPath, i);
        if (m_context.m_pJournal)
            m_context.m_pJournal->Note(strTemporary);
        std::unique_ptr<CFsFile> file = fs.CreateTransient(strTemporary, error);
        if (file)
            return file;
        if (!error.bExists && !fs.GetStatus(strTemporary).bExists)
            return nullptr;
    }
    error = CFsError();
    error.strCause = "every temporary name beside it (" + TemporaryPath(strPath, 0) + " to " +
                     TemporaryPath(strPath, kTemporaryNames - 1) + ") is taken by other files";
    return nullptr;
}

// Its bytes reach the disk before it replaces an older file, so that not
// even a power cut leaves a cut file under the chosen name.
void CMigrationWriter::WriteTemporary(CFsFile& file) {
    CArchive ar(&file, CArchive::store, CMigrationContext::kArchiveBufferSize);
    Write(ar);
    ar.Close();
    file.Flush();
}

// A transient file goes when it is closed; one of CreateNew was made by
// this run and is removed.
void CMigrationWriter::Discard(std::unique_ptr<CFsFile> pFile, const CString& strTemporary) {
    const bool bTransient = pFile->IsTransient();
    pFile.reset();
    if (!bTransient)
        m_context.m_fs.RemoveFile(strTemporary);
}
