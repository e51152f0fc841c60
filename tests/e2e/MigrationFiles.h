#pragma once
#include "String.h"

#include <cstdint>
#include <string>

// Migration files for the tests, written by Tessaro's own engine from an
// installation's folders, and bent where a test needs a damaged or foreign
// one.
namespace migration_files {

// The nine items below productDir (the data folder too) with format code
// `format`, as "作成" writes them; false when nothing could be written.
bool Write(const CString& productDir, int32_t format, const CString& path);
// The offset of the first fault that the structure check finds, or -1 when
// the file is whole.
int64_t FaultOffset(const CString& path);
// Overwrites bytes of the file at offset.
void Patch(const CString& path, size_t offset, const std::string& bytes);
// Keeps the first `length` bytes.
void Cut(const CString& path, size_t length);

} // namespace migration_files
