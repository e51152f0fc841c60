#pragma once
#include "Win.h"

// The instance of DORNMSG.dll, recorded when the process attaches it: the
// module that the wait dialog's template and clips are loaded from.
HINSTANCE DornMsgInstance();
