#pragma once
#include "String.h"

// The command-line tail that a program's switches are read from: the whole
// command line without its first token (the program's name, quoted or not)
// and without the blanks after it.  A line that begins with a blank has an
// empty first token, so " /K:12" gives "/K:12".
CString CommandLineTail(const char* pszCommandLine);
