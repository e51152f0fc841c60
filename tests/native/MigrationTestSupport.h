#pragma once
#include "MemFileSystem.h"
#include "MigrationContext.h"
#include "MigrationRoots.h"

#include <cstdint>
#include <initializer_list>
#include <string>

// Bytes from a list of byte values.
std::string Bytes(std::initializer_list<int> bytes);
std::string Le32(int32_t v);
std::string Le64(int64_t v);
// A string with its one-byte length prefix (texts below 255 bytes).
std::string Str(const std::string& text);

// One entry record of a hand-made migration file; children follow it.
std::string Record(int32_t format, int32_t root, const std::string& relDir, const std::string& name,
                   const std::string& content, int32_t children);
std::string Header(uint16_t count);

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
