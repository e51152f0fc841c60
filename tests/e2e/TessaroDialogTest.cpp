#include "CommonFileDialog.h"
#include "DialogUnits.h"
#include "Poll.h"
#include "QuimbexRun.h"
#include "RemoteWindow.h"
#include "Screenshot.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <set>
#include <vector>

namespace {

const char kCreateNote[] =
    "【作成】ボタンを押すと、このパソコンのMorvane設定データ、オリジナルフォームデータ、台帳データ"
    "、"
    "Excelブックを１つのファイルにまとめます。\n\n！！ご注意！！\n"
    "※ お客様作成のデータファイル(*.drq)は含まれません。\n"
    "※ パスワードを設定していた場合、データ移行先にパスワードも引き継がれます。\n"
    "※ 源泉徴収票など年度の古いフォームを元に作成したオリジナルフォームは正しく移行されません。";
const char kRestoreNote[] =
    "【復元】ボタンを押して、データ移行元で作成したファイルを指定してください。\n"
    "このパソコンのMorvaneに移行元パソコンのMorvane設定データ、オリジナルフォームデータ、台帳データ"
    "、"
    "Excelブックを復元します。\n\n！！ご注意！！\n"
    "※ このパソコンのMorvaneで変更した設定や入力されたデータは、移行元のデータで上書きされます。\n"
    "※ データ移行元でパスワードを設定していた場合、パスワードも引き継がれます。\n"
    "※ 源泉徴収票など年度の古いフォームを元に作成したオリジナルフォームは正しく移行されません。";
const char kAboutCaption[] = "Tessaroのﾊﾞｰｼﾞｮﾝ情報";
const char kMigrationFileType[] = "Morvane／移行データﾌｧｲﾙ(*.iko)";
const UINT kAboutCommand = 0x0010;

using TessaroDialog = TessaroFixture;

LONG StyleOf(HWND hwnd) {
    return ::GetWindowLongA(hwnd, GWL_STYLE);
}

RECT WindowRect(HWND hwnd) {
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

// The About dialog of the program, checked and closed with its OK button.
void ExpectAboutDialogAndClose(const uidriver::Process& tessaro, const char* shot) {
    const uidriver::DialogWindow about =
        uidriver::DialogWindow::WaitFor(tessaro.Windows(), kAboutCaption, 30000);
    if (shot)
        SaveWindowShot(about.Handle(), shot);
    const std::vector<HWND> controls = uidriver::ChildrenOf(about.Handle());
    ASSERT_EQ(3u, controls.size());
    EXPECT_EQ(SS_ICON, StyleOf(controls[0]) & SS_TYPEMASK);
    EXPECT_NE(0, uidriver::Query(controls[0], STM_GETICON));
    EXPECT_EQ("Tessaro Version 1.0", uidriver::ReadText(controls[1]));
    EXPECT_EQ(IDOK, ::GetDlgCtrlID(controls[2]));
    EXPECT_EQ("OK", uidriver::ReadText(controls[2]));
    about.Click(IDOK);
    tessaro.Windows().WaitUntilGone(about.Handle(), 10000);
}

// Windows draws a popup menu after showing it: wait until its pixels hold
// more than the background and the frame.
void WaitUntilPainted(HWND popup) {
    const bool painted = uidriver::PollUntil(
        [popup] {
            const uidriver::ScreenImage image = uidriver::CaptureScreen(WindowRect(popup));
            return std::set<uint32_t>(image.pixels.begin(), image.pixels.end()).size() > 3;
        },
        10000);
    EXPECT_TRUE(painted);
}

} // namespace

// Every control where the template puts it, measured in the template's font:
// a dialog made with another font or size fails.
TEST_F(TessaroDialog, MainDialogIsLaidOutAsItsTemplate) {
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    const HWND hDlg = dlg.Handle();
    SaveWindowShot(hDlg, "tessaro-main");

    const struct {
        int id;
        LONG kind; // button type, or -1 for a static text
        const char* text;
        RECT units; // x, y, width, height (not right, bottom)
    } expected[] = {
        {-1, BS_GROUPBOX, "データ移行元パソコンの操作", {7, 7, 305, 119}},
        {-1, -1, kCreateNote, {17, 26, 232, 89}},
        {kCreateButton, BS_PUSHBUTTON, "作成", {263, 27, 39, 20}},
        {-1, BS_GROUPBOX, "データ移行先パソコンの操作", {7, 133, 305, 133}},
        {kRestoreButton, BS_PUSHBUTTON, "復元", {262, 153, 39, 20}},
        {-1, -1, kRestoreNote, {17, 149, 229, 108}},
        {IDOK, BS_DEFPUSHBUTTON, "閉じる", {135, 276, 50, 18}},
    };
    const DialogFont font = MeasureDialogFont("ＭＳ Ｐゴシック", 9);
    const std::vector<HWND> controls = uidriver::ChildrenOf(hDlg);
    ASSERT_EQ(std::size(expected), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.text);
        const HWND hCtl = controls[i];
        EXPECT_EQ(e.id, ::GetDlgCtrlID(hCtl) == 0xFFFF ? -1 : ::GetDlgCtrlID(hCtl));
        EXPECT_EQ(e.kind == -1 ? "Static" : "Button", uidriver::ReadClass(hCtl));
        if (e.kind == BS_GROUPBOX) {
            EXPECT_EQ(BS_GROUPBOX, StyleOf(hCtl) & BS_TYPEMASK);
        }
        EXPECT_EQ(e.text, uidriver::ReadText(hCtl));
        const RECT& u = e.units; // x, y, width, height
        const RECT want =
            DialogUnitsToPixels(font, {u.left, u.top, u.left + u.right, u.top + u.bottom});
        const RECT got = ControlRectInDialog(hDlg, hCtl);
        EXPECT_EQ(want.left, got.left);
        EXPECT_EQ(want.top, got.top);
        EXPECT_EQ(want.right - want.left, got.right - got.left);
        EXPECT_EQ(want.bottom - want.top, got.bottom - got.top);
    }
    RECT client;
    ::GetClientRect(hDlg, &client);
    const RECT size = DialogUnitsToPixels(font, {0, 0, 319, 301});
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);

    // "閉じる" is the default button; the window has no owner, shows in the
    // task bar and can be minimised.  Its icons are checked in-process: Wine
    // answers icon queries from another process with none.
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), uidriver::Query(hDlg, DM_GETDEFID));
    EXPECT_EQ(nullptr, ::GetWindow(hDlg, GW_OWNER));
    EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(StyleOf(hDlg) & WS_MINIMIZEBOX);
    EXPECT_TRUE(StyleOf(hDlg) & WS_SYSMENU);
    CloseMainDialog(tessaro, dlg);
}

// The system menu is opened from the keyboard, and "up" with nothing chosen
// goes to its last entry, which opens dialog 100.  Another process cannot
// read the menu (the in-process test does); the screenshot shows it.
TEST_F(TessaroDialog, AboutEntryEndsTheSystemMenuAndOpensDialog100) {
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ::PostMessageA(dlg.Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    const HWND popup = tessaro.Windows().WaitFor(uidriver::WindowQuery("#32768"), 10000);
    WaitUntilPainted(popup);
    SaveWindowShot(popup, "tessaro-system-menu");
    ::PostMessageA(popup, WM_KEYDOWN, VK_UP, 0);
    ::PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    ExpectAboutDialogAndClose(tessaro, "tessaro-about");
    EXPECT_TRUE(dlg.IsEnabled(IDOK));

    // The low four bits of a system command belong to the system.
    ::PostMessageA(dlg.Handle(), WM_SYSCOMMAND, kAboutCommand | 0x3, 0);
    ExpectAboutDialogAndClose(tessaro, nullptr);
    CloseMainDialog(tessaro, dlg);
}

// Each button opens its file dialog, owned by the main dialog; cancelling
// leaves everything as it was, and a chosen file reaches the work behind the
// button: "作成" writes it, "復元" finds the empty file damaged.
TEST_F(TessaroDialog, ButtonsOpenTheirFileDialogs) {
    TempDir files;
    WriteFileBytes(files / "移行表.iko", "");
    const struct {
        int button;
        const char* caption;
        const char* proposed;
        const char* chosen;
        const char* outcome; // the text of the box after "ファイル名：<path>\n"
    } cases[] = {
        {kCreateButton, "名前を付けて保存", "", "新規ソ表.iko",
         "Morvaneデータ移行用ファイルを作成しました。"},
        {kRestoreButton, "開く", "*.iko", "移行表.iko",
         "この移行データは壊れているため、復元できません。\n\n"
         "復元を中止します。このパソコンのデータは変更していません。"},
    };
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        dlg.Click(c.button);
        const CommonFileDialog cancelled = CommonFileDialog::WaitFor(tessaro.Windows(), c.caption);
        EXPECT_EQ(dlg.Handle(), cancelled.Owner());
        EXPECT_EQ(std::vector<std::string>{kMigrationFileType}, cancelled.FileTypes());
        EXPECT_EQ(0, cancelled.FileTypeSelection());
        EXPECT_EQ(c.proposed, cancelled.FileName());
        SaveWindowShot(cancelled.Handle(), "tessaro-file-dialog-" + std::to_string(c.button));
        cancelled.Cancel();
        tessaro.Windows().WaitUntilGone(cancelled.Handle(), 10000);

        // A box after the cancel would disable the dialog and fail the click.
        dlg.Click(c.button);
        const CString chosen = files / c.chosen;
        CommonFileDialog::WaitFor(tessaro.Windows(), c.caption).Confirm(chosen.str());
        const QuimbexRun::Box box = AnswerNextBox(tessaro.Windows());
        EXPECT_EQ(kTessaroCaption, box.caption);
        EXPECT_EQ("ファイル名：" + chosen.str() + "\n" + c.outcome, box.text);
        EXPECT_TRUE(dlg.IsEnabled(IDOK));
    }
    EXPECT_TRUE(FileExists(files / "新規ソ表.iko"));
    EXPECT_EQ("", ReadFileBytes(files / "移行表.iko"));
    CloseMainDialog(tessaro, dlg);
}
