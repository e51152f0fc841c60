#pragma once
#include "String.h"

#include <oaidl.h>

// CP932 text of a BSTR; characters without a CP932 form become '?'.
CString NarrowFromBstr(BSTR bstr);
// The same for a zero-terminated string that is no BSTR (a member name).
CString NarrowFromWide(const wchar_t* text);
BSTR BstrFromNarrow(const char* text);

// The variant's type name as the call log writes it: "BSTR", "I4", "BOOL",
// "BYREF|I4" ...
CString VariantTypeName(VARTYPE vt);
// Control characters as <XX>, so that a text never breaks the log's
// tab-separated line.
CString EscapeControls(const CString& text);
// "TYPE:value" ("BSTR:a.xls", "BOOL:-1", "EMPTY"), text escaped.
CString DescribeVariant(const VARIANT& v);
