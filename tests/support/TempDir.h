#pragma once
#include "String.h"

#include <map>
#include <string>

// A fresh folder below the Windows temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const CString& Path() const { return m_path; }
    CString operator/(const char* name) const { return m_path + "\\" + name; }

private:
    CString m_path;
};

void WriteFileBytes(const CString& path, const std::string& bytes);
std::string ReadFileBytes(const CString& path);
bool FileExists(const CString& path);
// The folder of the running test program, where every binary of the build lies.
CString TestBinDir();
// build/win/test-output, beside the bin folder: what the tests leave for a
// look afterwards (screenshots, logs).  Made when missing.
std::string TestOutputDir();
// Removes a folder with everything in it, read-only files too.
void RemoveFolder(const CString& dir);
// Everything below dir by its relative name: each file ("a\\b.xls") with its
// bytes, each folder ("a\\") with none.
std::map<std::string, std::string> FolderContents(const CString& dir,
                                                  const std::string& prefix = "");
