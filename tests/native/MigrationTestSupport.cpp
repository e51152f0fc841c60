#include "MigrationTestSupport.h"

#include "Archive.h"
#include "MemFile.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

std::string Le32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return Bytes({static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF), static_cast<int>(u >> 24)});
}

std::string Le64(int64_t v) {
    const auto u = static_cast<uint64_t>(v);
    return Le32(static_cast<int32_t>(u)) + Le32(static_cast<int32_t>(u >> 32));
}

std::string Str(const std::string& text) {
    return static_cast<char>(text.size()) + text;
}

std::string Record(int32_t format, int32_t root, const std::string& relDir, const std::string& name,
                   const std::string& content, int32_t children) {
    return Le32(format) + Le32(root) + Str(relDir) + Str(name) +
           Le64(static_cast<int64_t>(content.size())) + content + Le32(children);
}

std::string Header(uint16_t count) {
    return Bytes({count & 0xFF, count >> 8, 0x04, 0x00});
}

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
