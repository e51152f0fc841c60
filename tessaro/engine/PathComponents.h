#pragma once
#include "String.h"

#include <vector>

// The components of a path as Windows takes them: "\" and "/" separate,
// runs of them count as one, and the trailing dots and blanks of each
// component are dropped.  Split on character boundaries: the trail byte
// 0x5C of "表" is no separator.
std::vector<CString> PathComponents(const CString& strPath);
