#pragma once
#include "Wnd.h"

// A push button, check box or radio button of a dialog.
class CButton : public CWnd {};
