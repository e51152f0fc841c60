#pragma once
#include "OtherSpellings.h"
#include "String.h"

#include <map>
#include <string>

// The protected files of the table in real folders below the product
// directory (root 0) and the data directory (root 1), for the Win32 tests
// and the end-to-end tests.
class ProtectedInstallation {
public:
    ProtectedInstallation(const CString& productDir, const CString& dataDir);
    // Writes every protected file with these bytes, making its folders.
    void Lay(const std::string& bytes) const;
    CString PathOf(const ProtectedFile& file) const;
    // The short names the system gives the laid files and their folders.
    ShortNameOf SystemShortNames() const;
    // Every protected file with its bytes now.
    std::map<std::string, std::string> Contents() const;

private:
    CString m_astrRoots[2];
};
