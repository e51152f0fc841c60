#include "BookDialogFixture.h"
#include "BookInitDlgRes.h"
#include "DialogTemplate.h"
#include "DialogUnits.h"
#include "YearUpdateDlgRes.h"

#include <windows.h>

#include <iterator>
#include <string>

namespace {

const char kFace[] = "ＭＳ Ｐゴシック";
const int kPoints = 10;

// A dialog as designed.
struct DesignedDialog {
    int id;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    RECT units; // x, y, width, height in dialog units
};

// A control as designed, in the template's order.
struct DesignedControl {
    int id;
    const char* className;
    DWORD style;
    const char* text;
    RECT units; // x, y, width, height in dialog units
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kLabel = kChild | WS_GROUP | SS_LEFT;
const DWORD kCheckBox = kChild | BS_AUTOCHECKBOX;
const DWORD kButton = kChild | WS_TABSTOP;
const DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd) {
    char text[512] = {};
    ::SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void ExpectUnits(const RECT& want, const RECT& got) {
    EXPECT_EQ(want.left, got.left);
    EXPECT_EQ(want.top, got.top);
    EXPECT_EQ(want.right, got.right);
    EXPECT_EQ(want.bottom, got.bottom);
}

class BookDialogLayout : public BookDialogFixture {
protected:
    // The template that Quimbex.exe holds, field by field.
    void ExpectTemplate(const DesignedDialog& d, const DesignedControl* controls, size_t count) {
        DialogTemplate t;
        ASSERT_TRUE(ReadDialogTemplate(BinDir() + "\\Quimbex.exe", d.id, t));
        EXPECT_EQ(d.caption, t.caption);
        EXPECT_EQ(d.style, t.style);
        EXPECT_EQ(d.exStyle, t.exStyle);
        ExpectUnits(d.units, t.units);
        EXPECT_EQ(kPoints, t.pointSize);
        EXPECT_EQ(kFace, t.face);
        ASSERT_EQ(count, t.items.size());
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(std::to_string(i) + ": " + controls[i].text);
            EXPECT_EQ(controls[i].id, t.items[i].id);
            EXPECT_EQ(controls[i].className, t.items[i].className);
            EXPECT_EQ(controls[i].style, t.items[i].style);
            EXPECT_EQ(0u, t.items[i].exStyle);
            EXPECT_EQ(controls[i].text, t.items[i].text);
            ExpectUnits(controls[i].units, t.items[i].units);
        }
    }

    // The dialog on the screen: each control where the designed dialog
    // units put it in the 10-point font, so a wrong font or size fails.
    void ExpectOnScreen(const DesignedDialog& d, const DesignedControl* controls, size_t count) {
        const HWND dlg = Dialog().Handle();
        const DialogFont font = MeasureDialogFont(kFace, kPoints);
        RECT client;
        ::GetClientRect(dlg, &client);
        const RECT size = DialogUnitsToPixels(font, {0, 0, d.units.right, d.units.bottom});
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);
        EXPECT_EQ(MAKELONG(IDCANCEL, DC_HASDEFID), ::SendMessageA(dlg, DM_GETDEFID, 0, 0));
        HWND child = ::GetWindow(dlg, GW_CHILD);
        for (size_t i = 0; i < count; ++i, child = ::GetWindow(child, GW_HWNDNEXT)) {
            SCOPED_TRACE(std::to_string(i) + ": " + controls[i].text);
            ASSERT_NE(nullptr, child);
            ExpectControl(font, child, controls[i]);
        }
        EXPECT_EQ(nullptr, child) << "more controls than designed";
    }

    // A drop-down list is as high as its closed part; it and the edit show
    // their values, the labels their texts.
    void ExpectControl(const DialogFont& font, HWND child, const DesignedControl& c) {
        const std::string cls = c.className;
        const bool dropDown = cls == "ComboBox";
        EXPECT_EQ(c.id, ::GetDlgCtrlID(child));
        EXPECT_EQ(cls, ClassOf(child));
        EXPECT_EQ((c.style & WS_VISIBLE) != 0, ::IsWindowVisible(child) != 0);
        if (cls == "Button" || cls == "Static") {
            EXPECT_EQ(c.text, TextOf(child));
        }
        const RECT& u = c.units; // x, y, width, height
        const RECT want =
            DialogUnitsToPixels(font, {u.left, u.top, u.left + u.right, u.top + u.bottom});
        const RECT got = ControlRectInDialog(Dialog().Handle(), child);
        EXPECT_EQ(want.left, got.left);
        EXPECT_EQ(want.top, got.top);
        EXPECT_EQ(want.right - want.left, got.right - got.left);
        if (!dropDown) {
            EXPECT_EQ(want.bottom - want.top, got.bottom - got.top);
        }
    }
};

} // namespace

TEST_F(BookDialogLayout, YearUpdateDialogIsBuiltAsDesigned) {
    const DesignedDialog dialog = {IDD_YEAR_UPDATE, "年度更新", kFrame, 0, {0, 0, 259, 238}};
    const DesignedControl controls[] = {
        {IDC_YEAR_BOOK_LIST,
         "ListBox",
         kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
             LBS_NOINTEGRALHEIGHT,
         "",
         {28, 36, 133, 46}},
        {IDC_YEAR_TARGET,
         "Edit",
         kChild | WS_TABSTOP | WS_BORDER | ES_NUMBER,
         "",
         {29, 110, 44, 12}},
        {IDC_YEAR_ALL_BOOKS,
         "Button",
         kCheckBox | WS_TABSTOP | BS_MULTILINE,
         "すべてのブックを更新\n\n（複数のブックの更新には時間がかかる場合があります。）",
         {166, 39, 81, 43}},
        {IDOK, "Button", kButton | BS_PUSHBUTTON, "更新", {118, 212, 59, 14}},
        {IDCANCEL, "Button", kButton | BS_DEFPUSHBUTTON, "ｷｬﾝｾﾙ", {183, 212, 59, 14}},
        {IDC_YEAR_SPARE_SCROLL, "ScrollBar", WS_CHILD | SBS_VERT, "", {14, 135, 10, 12}},
        {-1,
         "Static",
         kLabel,
         "現在の給与計算ブックに対して年度更新処理を行います。\n複数のブックをご利用の場合は、リ"
         "ストから年度更新を行うブックを\n１つ選択してください。",
         {14, 7, 230, 27}},
        {-1, "Static", kLabel, "年度用\n給与計算Excelブックに更新します。", {79, 112, 137, 20}},
        {-1,
         "Static",
         kLabel,
         "給与計算ブックに対してパスワード保護をかけている場合には\nあらかじめ "
         "パスワード保護を解除しておく必要があります。",
         {14, 87, 221, 19}},
        {-1,
         "Static",
         kChild | WS_GROUP | SS_CENTER,
         "※以下の「設定」と「データ」は更新後も持ち越されます。",
         {33, 139, 195, 11}},
        {-1,
         "Static",
         kLabel,
         "\t設定\t「会社情報設定」\n\t\t「支給・控除項目の設定」\n\t\t「市町村名および市町村コー"
         "ド」\n\tデータ\t「社員名簿シート」\n\t\t「給与明細入力シート」\n\t\t※ただし、退職者の"
         "データは削除されます。",
         {34, 155, 188, 51}},
    };
    ExpectTemplate(dialog, controls, std::size(controls));
    Open("/K:7", "年度更新");
    ScreenshotOfDialog("quimbex-year-update-dialog");
    ExpectOnScreen(dialog, controls, std::size(controls));
    Dialog().Click(IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(BookDialogLayout, BookInitDialogIsBuiltAsDesigned) {
    const DesignedDialog dialog = {
        IDD_BOOK_INIT, "ブックの初期化", kFrame | WS_VISIBLE, WS_EX_APPWINDOW, {0, 0, 259, 237}};
    const DesignedControl controls[] = {
        {IDC_INIT_BOOK,
         "ComboBox",
         kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
         "",
         {27, 38, 217, 71}},
        {IDC_INIT_KEEP_SETTINGS,
         "Button",
         kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON,
         "「設定」を持ち越す    ",
         {19, 81, 73, 10}},
        {IDC_INIT_INITIAL_STATE,
         "Button",
         kChild | BS_AUTORADIOBUTTON,
         "初期状態にする",
         {19, 201, 80, 11}},
        {-1, "Button", kChild | BS_GROUPBOX | BS_FLAT, "", {13, 81, 233, 116}},
        {-1, "Button", kChild | BS_GROUPBOX, "データを残す", {137, 89, 101, 102}},
        {IDC_INIT_EMPLOYEE_LIST,
         "Button",
         kCheckBox | WS_GROUP | WS_TABSTOP,
         "社員名簿シート",
         {146, 107, 69, 10}},
        {IDC_INIT_WAGE_LEDGER,
         "Button",
         kCheckBox | WS_TABSTOP,
         "賃金台帳シート",
         {146, 123, 69, 11}},
        {IDC_INIT_PAYSLIP_INPUT,
         "Button",
         kCheckBox | WS_GROUP | WS_TABSTOP,
         "給与明細入力シート",
         {146, 140, 88, 10}},
        {IDC_INIT_BONUS_INPUT,
         "Button",
         kCheckBox | WS_GROUP | WS_TABSTOP,
         "賞与明細入力シート",
         {146, 156, 89, 10}},
        {IDC_INIT_WITHHOLDING,
         "Button",
         kCheckBox | WS_GROUP | WS_TABSTOP,
         "源泉徴収票シート",
         {146, 172, 69, 10}},
        {IDOK, "Button", kButton | BS_PUSHBUTTON, "初期化", {129, 216, 60, 14}},
        {IDCANCEL, "Button", kButton | BS_DEFPUSHBUTTON, "ｷｬﾝｾﾙ", {193, 216, 60, 14}},
        {-1,
         "Static",
         kLabel,
         "現在の給与計算ブックを初期化します。\n複数のブックをご利用の場合は ▼の部分をクリックし"
         "て\n初期化するブックを選択してください。",
         {16, 7, 231, 25}},
        {-1,
         "Static",
         kLabel,
         "給与計算ブックに対してパスワード保護をかけている場合には\nあらかじめ "
         "パスワード保護を解除しておく必要があります。",
         {18, 59, 223, 18}},
        {-1,
         "Static",
         kLabel,
         "以下の設定が持ち越されます。\n\n「会社情報設定」\n「支給・控除項目の設定」\n「市町村名"
         "および市町村コード」",
         {20, 98, 101, 57}},
        {-1,
         "Static",
         kLabel,
         "作成したデータをクリアする\n場合には「データを残す」（→）\nのチェックをはずしてくださ"
         "い。",
         {34, 160, 100, 30}},
    };
    ExpectTemplate(dialog, controls, std::size(controls));
    Open("/K:8", "ブックの初期化");
    ScreenshotOfDialog("quimbex-book-init-dialog");
    ExpectOnScreen(dialog, controls, std::size(controls));
    Dialog().Click(IDCANCEL);
    ExpectEndsQuietly();
}
