#pragma once
#include "String.h"

#include <vector>

// Decides whether a relative path read from a migration file stays below
// its root directory on every platform that may restore it.
class CRestorePath {
public:
    // Empty when the path is safe; otherwise what makes it unsafe.
    static CString Refusal(const CString& strRelPath);
    // The same judgement, and the components of a safe path as Windows
    // names them (appended to parts).
    static CString Split(const CString& strRelPath, std::vector<CString>& parts);
    // The path without the runs of separators the format writes, for showing.
    static CString Collapse(const CString& strRelPath);
    // Empty when a file or folder may have this name on Windows; otherwise
    // why not.
    static CString WindowsNameRefusal(const CString& strName);

private:
    static CString ComponentRefusal(const CString& strComponent);
    static bool IsDeviceName(const CString& strComponent);
    static CString WithoutTrailingDotsAndBlanks(const CString& strComponent);
    static bool HasReservedCharacter(const CString& strName);
};
