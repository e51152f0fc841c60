#pragma once
#include "String.h"

#include "Win_win.h"

#include <cstdint>

// Puts a book's name into a list or combo box so that the books stand by
// ascending m_nOrder (kept as the item's data): before the first item with
// a greater order, else at the end, so that equal orders keep the order in
// which the books were met.  The orders compare as signed numbers.
template <typename TBox> int InsertBookByOrder(TBox& box, const CString& name, int32_t order) {
    const int count = box.GetCount();
    int index = 0;
    while (index < count && static_cast<int32_t>(box.GetItemData(index)) <= order)
        ++index;
    index = box.InsertString(index < count ? index : -1, name);
    if (index >= 0)
        box.SetItemData(index, static_cast<DWORD_PTR>(static_cast<intptr_t>(order)));
    return index;
}
