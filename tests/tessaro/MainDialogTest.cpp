#include "MainDlgRes.h"
#include "ScopedHandle_win.h"
#include "TessaroDlg_win.h"

#include <gtest/gtest.h>

namespace {

// The main dialog, modeless, in this process: its menu and icons can be
// read here, which another process cannot do.
class CMainDialogProbe : public CTessaroDlg {
public:
    CMainDialogProbe() { Create(IDD_TESSARO_DIALOG); }
    ~CMainDialogProbe() override { DestroyWindow(); }
    HICON BigIcon() const { return m_hIcon; }
};

std::string MenuText(HMENU menu, int index) {
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

} // namespace

TEST(CTessaroDlg, AboutEntryEndsTheSystemMenuAfterASeparator) {
    CMainDialogProbe dlg;
    ASSERT_TRUE(dlg.IsWindow());
    const HMENU menu = ::GetSystemMenu(dlg.GetSafeHwnd(), FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUT), ::GetMenuItemID(menu, count - 1));
    EXPECT_EQ("Tessaro のﾊﾞｰｼﾞｮﾝ情報(&A)...", MenuText(menu, count - 1));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR),
              ::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
}

TEST(CTessaroDlg, IconShowsInBothSizesAndAnswersTheDragQuery) {
    CMainDialogProbe dlg;
    const HWND hWnd = dlg.GetSafeHwnd();
    const HICON big = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0));
    const HICON small = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(dlg.BigIcon(), big);
    EXPECT_EQ(big, reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_QUERYDRAGICON, 0, 0)));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(small, &info));
    const CGdiObject<HBITMAP> colour(info.hbmColor);
    const CGdiObject<HBITMAP> mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectA(colour.Get(), sizeof bm, &bm);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSMICON), bm.bmWidth);
}
