#include "ListBox_win.h"

int CListBox::InsertString(int nIndex, const char* psz) {
    return static_cast<int>(
        SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(psz)));
}

CString CListBox::GetText(int nIndex) const {
    const int len = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
    if (len < 0)
        return CString();
    CString text;
    SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex),
                reinterpret_cast<LPARAM>(text.GetBuffer(len + 1)));
    text.ReleaseBuffer();
    return text;
}
