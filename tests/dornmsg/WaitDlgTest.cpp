#include "TestUi.h"
#include "WaitDlgRes.h"

#include "DialogUnits.h"
#include "Screenshot.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>

namespace {

const char kWaitText[] = "しばらくお待ちください…";

HWND AnimateControl(const CWaitDlg& dlg) {
    return dlg.GetDlgItem(IDC_WAIT_ANIMATE);
}

// The clip area without the control's border, in screen coordinates.
RECT ClipRect(HWND hAnimate) {
    RECT rc;
    ::GetClientRect(hAnimate, &rc);
    ::MapWindowPoints(hAnimate, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool HasSeveralColours(const uidriver::ScreenImage& image) {
    for (uint32_t p : image.pixels)
        if (p != image.pixels.front())
            return true;
    return false;
}

// Polls the clip's picture for up to three seconds until done(picture).
template <typename Done> bool PollClip(const RECT& rc, Done done) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done(uidriver::CaptureScreen(rc)))
            return true;
        if (::GetTickCount() - start > 3000)
            return false;
        ::Sleep(25);
    }
}

// The clip shows a picture, and then another, while this thread does not
// handle any message: the control must draw on its own.
void ExpectClipMoves(HWND hAnimate) {
    const RECT rc = ClipRect(hAnimate);
    uidriver::ScreenImage first;
    ASSERT_TRUE(PollClip(rc, [&](const uidriver::ScreenImage& image) {
        first = image;
        return HasSeveralColours(image);
    })) << "the clip area is blank";
    EXPECT_TRUE(PollClip(rc, [&](const uidriver::ScreenImage& image) { return !(image == first); }))
        << "the clip did not move";
}

int CountThreadDialogs() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM counter) {
            char cls[16] = {};
            ::GetClassNameA(hWnd, cls, sizeof cls);
            if (std::string(cls) == "#32770")
                ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST(CWaitDlg, ShowsCentredCaptionlessToolWindowWithTheWaitText) {
    CWaitDlgProbe dlg;
    ASSERT_TRUE(dlg.IsWindow());
    const HWND hWnd = dlg.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(hWnd));
    EXPECT_NE(static_cast<LONG>(WS_CAPTION), ::GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    const RECT centred = CentredRect(rc.right - rc.left, rc.bottom - rc.top);
    EXPECT_EQ(centred.left, rc.left);
    EXPECT_EQ(centred.top, rc.top);
    EXPECT_EQ(kWaitText, ControlText(hWnd, IDC_WAIT_MESSAGE));
}

// The pixel sizes come from 9-point ＭＳ Ｐゴシック measured on its own, so a
// template with another font or size fails; the clip control alone is
// resized to the clips' 80 pixels.
TEST(CWaitDlg, TemplateLayoutAndFontAreKept) {
    CWaitDlgProbe dlg;
    const HWND hWnd = dlg.GetSafeHwnd();
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    EXPECT_STREQ("ＭＳ Ｐゴシック", font.lfFaceName);
    const DialogFont nine = MeasureDialogFont("ＭＳ Ｐゴシック", 9);
    const struct {
        HWND hWnd;
        RECT units; // left, top, right, bottom in dialog units
        int width, height;
    } cases[] = {
        {hWnd, {0, 0, 158, 74}, 0, 0},
        {AnimateControl(dlg), {7, 7, 0, 0}, 80, 80},
        {::GetDlgItem(hWnd, IDC_WAIT_MESSAGE), {73, 26, 73 + 76, 26 + 30}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::GetDlgCtrlID(c.hWnd));
        const RECT expected = DialogUnitsToPixels(nine, c.units);
        RECT actual;
        if (c.hWnd == hWnd)
            ::GetClientRect(hWnd, &actual);
        else
            actual = ControlRectInDialog(hWnd, c.hWnd);
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        EXPECT_EQ(c.width ? c.width : expected.right - expected.left, actual.right - actual.left);
        EXPECT_EQ(c.height ? c.height : expected.bottom - expected.top, actual.bottom - actual.top);
    }
}

// This program holds a dialog 151 of its own; the library uses its own.
TEST(CWaitDlg, TemplateComesFromTheLibraryNotFromTheProgram) {
    ASSERT_NE(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(151), MAKEINTRESOURCEA(5)));
    CWaitDlgProbe dlg;
    char caption[64] = {};
    ::GetWindowTextA(dlg.GetSafeHwnd(), caption, sizeof caption);
    EXPECT_STREQ("", caption);
    EXPECT_NE(nullptr, AnimateControl(dlg));
}

TEST(CWaitDlg, SetTextShowsTheTextAtOnce) {
    CWaitDlgProbe dlg;
    const char* texts[] = {"表示.xls コンバート中...", "ソフト\\kyuyo.xlsm コンバート中...", ""};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        dlg.SetText(text);
        EXPECT_EQ(text, ControlText(dlg.GetSafeHwnd(), IDC_WAIT_MESSAGE));
    }
}

TEST(CWaitDlg, AnimationMovesWhileTheCallerDoesNotPump) {
    CWaitDlgProbe dlg;
    EXPECT_TRUE(dlg.m_nAviId == 205 || dlg.m_nAviId == 207 || dlg.m_nAviId == 210) << dlg.m_nAviId;
    PumpMessages(300); // the dialog itself paints once
    ExpectClipMoves(AnimateControl(dlg));
}

// Every clip of the library plays in the dialog's control, opened from the
// library's own resources.
TEST(CWaitDlg, EveryClipPlaysInTheAnimationControl) {
    CWaitDlgProbe dlg;
    const HWND hAnimate = AnimateControl(dlg);
    PumpMessages(200);
    for (int id : {IDR_AVI_BALL, IDR_AVI_WHEEL, IDR_AVI_WALKER}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(::SendMessageA(hAnimate, ACM_OPENA, reinterpret_cast<WPARAM>(DornMsgModule()),
                                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id))));
        ASSERT_TRUE(
            ::SendMessageA(hAnimate, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)));
        ExpectClipMoves(hAnimate);
    }
}

// Owner states: none, enabled, already disabled by someone else.  Only an
// owner that this dialog disabled is enabled again, and every way of
// closing the dialog does so.
TEST(CWaitDlg, DisablesOnlyAnEnabledOwnerAndGivesItBackOnEveryClose) {
    enum Close { kDestroyWindow, kEndMessage, kDelete };
    const struct {
        bool owner, ownerEnabled;
        Close close;
    } cases[] = {
        {true, true, kDestroyWindow},   {true, true, kEndMessage},   {true, true, kDelete},
        {true, false, kDestroyWindow},  {true, false, kEndMessage},  {true, false, kDelete},
        {false, false, kDestroyWindow}, {false, false, kEndMessage}, {false, false, kDelete},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "owner " << c.owner << " enabled " << c.ownerEnabled
                                        << " close " << c.close);
        std::unique_ptr<COwnerWindow> owner;
        if (c.owner)
            owner = std::make_unique<COwnerWindow>(CentredRect(400, 300), c.ownerEnabled);
        auto dlg = std::make_unique<CWaitDlgProbe>();
        const HWND hDlg = dlg->GetSafeHwnd();
        ASSERT_TRUE(::IsWindow(hDlg));
        EXPECT_EQ(owner ? owner->m_hWnd : nullptr, ::GetWindow(hDlg, GW_OWNER));
        EXPECT_EQ(c.ownerEnabled ? 1 : 0, dlg->m_bParentDisabled);
        if (owner) {
            EXPECT_FALSE(owner->IsWindowEnabled());
        }
        if (c.close == kDestroyWindow) {
            EXPECT_TRUE(dlg->DestroyWindow());
        } else if (c.close == kEndMessage) {
            EXPECT_EQ(0, ::SendMessageA(hDlg, CWaitDlg::WM_END_INFO_DLG, 0, 0));
        }
        if (c.close != kDelete) {
            EXPECT_EQ(nullptr, dlg->GetSafeHwnd());
            EXPECT_EQ(0, dlg->m_bParentDisabled);
        }
        dlg.reset();
        EXPECT_FALSE(::IsWindow(hDlg));
        if (owner) {
            EXPECT_EQ(c.ownerEnabled, owner->IsWindowEnabled() != FALSE);
        }
    }
}

// After DestroyWindow the object has nothing left to undo: neither a second
// DestroyWindow nor the destructor touches the owner again.
TEST(CWaitDlg, DestroyingTwiceLeavesTheOwnerAlone) {
    COwnerWindow owner(CentredRect(400, 300));
    auto dlg = std::make_unique<CWaitDlgProbe>();
    EXPECT_TRUE(dlg->DestroyWindow());
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.EnableWindow(FALSE); // the application disables it for reasons of its own
    EXPECT_FALSE(dlg->DestroyWindow());
    dlg.reset();
    EXPECT_FALSE(owner.IsWindowEnabled());
}

// The constructor has made the window; a second Create would leave the
// first one on the screen for ever.
TEST(CWaitDlg, CreateOnAnObjectThatHasItsWindowIsRefused) {
    COwnerWindow owner(CentredRect(400, 300));
    CWaitDlgProbe dlg;
    const HWND first = dlg.GetSafeHwnd();
    EXPECT_FALSE(dlg.Create(nullptr));
    EXPECT_EQ(first, dlg.GetSafeHwnd());
    EXPECT_EQ(1, CountThreadDialogs());
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(0, CountThreadDialogs());
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(CWaitDlg, DialogsMadeInTheSameSecondShowTheSameClip) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const time_t start = std::time(nullptr);
        CWaitDlgProbe first;
        const int firstClip = first.m_nAviId;
        first.DestroyWindow();
        CWaitDlgProbe second;
        if (std::time(nullptr) != start)
            continue; // a second boundary fell between them
        EXPECT_EQ(firstClip, second.m_nAviId);
        return;
    }
    FAIL() << "could not make two dialogs within one second";
}

TEST(CWaitDlg, CentredOriginPlacesAWindowThatDoesNotFitAtZero) {
    const struct {
        UINT screen, window, origin;
    } cases[] = {
        {1280, 316, 482}, {1281, 316, 482}, // halves round down
        {1024, 1023, 0},  {1024, 1024, 0},  {1024, 1025, 0}, {800, 4000, 0}, {0, 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen << " / " << c.window);
        EXPECT_EQ(c.origin, CWaitDlgProbe::CentredOrigin(c.screen, c.window));
    }
}

TEST(CWaitDlg, LibraryStringTableHoldsThePreparationText) {
    char buf[64] = {};
    ASSERT_GT(::LoadStringA(DornMsgModule(), IDS_PREPARING, buf, sizeof buf), 0);
    EXPECT_STREQ("表示準備中です", buf);
}

// A picture for the reviewer: the wait dialog over its disabled owner.
TEST(CWaitDlg, ScreenshotOverADisabledOwner) {
    COwnerWindow owner(CentredRect(520, 360));
    PumpMessages(200);
    CWaitDlgProbe dlg;
    PumpMessages(600);
    RECT area;
    ::GetWindowRect(owner.m_hWnd, &area);
    ::InflateRect(&area, 20, 20);
    EXPECT_TRUE(
        uidriver::SaveBmp(uidriver::CaptureScreen(area), TestOutputDir() + "\\dornmsg_wait.bmp"));
}
