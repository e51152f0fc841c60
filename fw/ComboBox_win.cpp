#include "ComboBox_win.h"

int CComboBox::InsertString(int nIndex, const char* psz) {
    return static_cast<int>(
        SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(psz)));
}

CString CComboBox::GetLBText(int nIndex) const {
    const int len = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
    if (len < 0)
        return CString();
    CString text;
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex),
                reinterpret_cast<LPARAM>(text.GetBuffer(len + 1)));
    text.ReleaseBuffer();
    return text;
}
