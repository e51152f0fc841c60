#pragma once
#include "MemFileSystem.h"
#include "MigrationBytes.h"
#include "MigrationContext.h"
#include "MigrationRoots.h"

#include <cstdint>
#include <initializer_list>
#include <string>

// The source roots "src0".."src2" and the target roots "dst0".."dst2".
CMigrationRoots SourceRoots();
CMigrationRoots TargetRoots(bool bWithCommon = true);

// What CMigrationWriter writes for these roots ("" when nothing exists).
std::string WriteMigration(CMemFileSystem& fs, const CMigrationRoots& roots,
                           const CString& strBookExt = ".xlsm");
std::string WriteMigration(CMemFileSystem& fs, const CMigrationRoots& roots, int32_t nFormat);

// Reads bytes into fs below roots; the context tells what happened.
struct ReadResult {
    explicit ReadResult(CFileSystem& fs) : context(fs) {}
    CMigrationContext context;
    bool bOurs = false;
};
void Restore(const std::string& bytes, CMemFileSystem& fs, const CMigrationRoots& roots,
             ReadResult& result);
// The structure check; throws CMigrationFileException.
void Check(const std::string& bytes, CMigrationContext* pContext = nullptr);
