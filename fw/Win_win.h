#pragma once
// The platform's headers as the framework wants them: winbase.h defines
// GetCurrentTime as a macro, which would rename CTime::GetCurrentTime.
#include <windows.h>
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif
