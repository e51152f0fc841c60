#pragma once
#include "String.h"

// The text of path with suffix put before its extension (the part from the
// last "." of the file name on); at the end when the name has none.
CString InsertBeforeExtension(const CString& path, const CString& suffix);

// The part after the last "\"; the whole text when there is none.
CString FileNamePart(const CString& path);
