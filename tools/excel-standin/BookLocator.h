#pragma once
#include "String.h"

// Where the product's macros look for a workbook named in their arguments:
// a name with a drive or a leading backslash is used as it is, any other
// name lies in the data directory's "Excel" folder.
class CBookLocator {
public:
    explicit CBookLocator(const CString& dataDir);
    CString Resolve(const CString& name) const;

    static bool IsAbsolute(const CString& name);
    // The product directory of a converter workbook in <product>\Data\Org.
    static CString ProductDirOf(const CString& converterPath);
    static CString WithoutTrailingBackslashes(const CString& dir);

private:
    CString m_strExcelDir;
};
