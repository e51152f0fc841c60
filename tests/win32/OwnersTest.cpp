#include "OleOwners_win.h"
#include "ScopedHandle_win.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpenHandle(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

HANDLE NewEvent() {
    return ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

} // namespace

// Each way a handle changes hands closes it exactly once: the one given up
// is closed, the one taken over stays open, and the moved-from owner holds
// none.
TEST(CScopedHandle, ClosesWhatItGivesUpAndNothingTwice) {
    const HANDLE first = NewEvent();
    const HANDLE second = NewEvent();
    ASSERT_TRUE(first && second);
    {
        CHandle owner(first);
        owner.Attach(second);
        EXPECT_FALSE(IsOpenHandle(first)) << "Attach leaves the earlier handle open";
        CHandle other(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(second, other.Get());
        EXPECT_TRUE(IsOpenHandle(second));
        EXPECT_TRUE(other.Close());
        EXPECT_FALSE(IsOpenHandle(second));
        EXPECT_TRUE(other.Close()) << "a second close of nothing";
    }
    const HANDLE kept = NewEvent();
    HANDLE detached = nullptr;
    {
        CHandle owner(kept);
        detached = owner.Detach();
    }
    EXPECT_EQ(kept, detached);
    EXPECT_TRUE(IsOpenHandle(kept)) << "Detach gives the handle back open";
    const CHandle closer(detached);
}

// CreateFile's failure is no handle to close, nor is a null one.
TEST(CScopedHandle, FailureValuesAreNone) {
    EXPECT_FALSE(CFileHandle());
    EXPECT_FALSE(CFileHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CHandle(nullptr));
    EXPECT_FALSE(CFindHandle(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(CFileHandle(INVALID_HANDLE_VALUE).Close());
}

// A font selected for a measurement is deselected when the selection goes,
// so that the font can be deleted after it.
TEST(CObjectSelection, PutsBackWhatTheContextHeld) {
    const CClientDC screen(nullptr);
    ASSERT_TRUE(screen);
    const CMemoryDC dc(::CreateCompatibleDC(screen.Get()));
    ASSERT_TRUE(dc);
    const HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    const CGdiObject<HFONT> font(::CreateFontIndirectA(&lf));
    ASSERT_TRUE(font);
    {
        const CObjectSelection selected(dc.Get(), font.Get());
        EXPECT_EQ(font.Get(), ::GetCurrentObject(dc.Get(), OBJ_FONT));
    }
    EXPECT_EQ(before, ::GetCurrentObject(dc.Get(), OBJ_FONT));
    const CObjectSelection nothing(dc.Get(), nullptr); // no font: nothing to select
    EXPECT_EQ(before, ::GetCurrentObject(dc.Get(), OBJ_FONT));
}

// A moved variant hands its string over: the source is left empty, so that
// the string is freed once, and a variant moved onto frees what it held.
TEST(COleVariant, MoveHandsTheStringOverOnce) {
    COleVariant text("表示ソ");
    ASSERT_EQ(VT_BSTR, text.vt);
    const BSTR bstr = text.bstrVal;
    COleVariant taken(std::move(text));
    EXPECT_EQ(VT_EMPTY, text.vt);
    EXPECT_EQ(VT_BSTR, taken.vt);
    EXPECT_EQ(bstr, taken.bstrVal);
    COleVariant number(42L);
    number = std::move(taken);
    EXPECT_EQ(VT_EMPTY, taken.vt);
    EXPECT_EQ(bstr, number.bstrVal);
    EXPECT_EQ(3u, ::SysStringLen(number.bstrVal));
}
