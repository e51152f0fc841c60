#include "MigrationTestSupport.h"

#include "Archive.h"
#include "MemFile.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"

CMigrationRoots SourceRoots() {
    return CMigrationRoots("src0", "src1", "src2");
}

CMigrationRoots TargetRoots(bool bWithCommon) {
    return CMigrationRoots("dst0", "dst1", bWithCommon ? "dst2" : "");
}

std::string WriteMigration(CMemFileSystem& fs, const CMigrationRoots& roots,
                           const CString& strBookExt) {
    CMigrationContext context(fs, strBookExt);
    return WriteMigration(fs, roots, context.m_nNewFormat);
}

std::string WriteMigration(CMemFileSystem& fs, const CMigrationRoots& roots, int32_t nFormat) {
    CMigrationContext context(fs);
    context.m_nNewFormat = nFormat;
    CMigrationWriter writer(context, roots);
    if (!writer.BuildList())
        return std::string();
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    writer.Write(ar);
    ar.Close();
    return mem.Bytes();
}

void Restore(const std::string& bytes, CMemFileSystem& /*fs*/, const CMigrationRoots& roots,
             ReadResult& result) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    result.bOurs =
        CMigrationReader(result.context, roots, static_cast<int64_t>(bytes.size())).Restore(ar);
}

void Check(const std::string& bytes, CMigrationContext* pContext) {
    CMemFileSystem fs;
    CMigrationContext own(fs);
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(pContext ? *pContext : own, CMigrationRoots(),
                     static_cast<int64_t>(bytes.size()))
        .Check(ar);
}
