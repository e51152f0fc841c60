#include "MigrationFiles.h"

#include "Archive.h"
#include "File_win.h"
#include "MigrationFileException.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"
#include "TempDir.h"
#include "Win32FileSystem.h"

namespace migration_files {

bool Write(const CString& productDir, int32_t format, const CString& path) {
    CWin32FileSystem fs;
    CMigrationContext context(fs);
    context.m_nNewFormat = format;
    CMigrationWriter writer(context, CMigrationRoots(productDir, productDir, ""));
    return writer.BuildList() && writer.WriteFile(path);
}

int64_t FaultOffset(const CString& path) {
    CFile file(path, CFile::modeRead | CFile::shareDenyNone);
    CWin32FileSystem fs;
    CMigrationContext context(fs);
    try {
        CArchive ar(&file, CArchive::load, 4096);
        CMigrationReader(context, CMigrationRoots(), static_cast<int64_t>(file.GetLength()))
            .Check(ar);
    } catch (const CMigrationFileException& e) {
        return static_cast<int64_t>(e.m_nOffset);
    }
    return -1;
}

void Patch(const CString& path, size_t offset, const std::string& bytes) {
    std::string content = ReadFileBytes(path);
    content.replace(offset, bytes.size(), bytes);
    WriteFileBytes(path, content);
}

void Cut(const CString& path, size_t length) {
    WriteFileBytes(path, ReadFileBytes(path).substr(0, length));
}

} // namespace migration_files
