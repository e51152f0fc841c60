#include "DialogWindow.h"
#include "Error.h"
#include "MsgBox.h"
#include "TargetIds.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using uidriver::DialogWindow;
using uidriver::MsgBox;

namespace {

const char kCaption[] = "ドライバ試験";

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_target = StartTarget({"dialog"});
        m_dialog = std::make_unique<DialogWindow>(
            DialogWindow::WaitFor(m_target->Windows(), kCaption, kWaitMs));
    }

    std::unique_ptr<uidriver::Process> m_target;
    std::unique_ptr<DialogWindow> m_dialog;
};

} // namespace

TEST_F(DialogTest, ReadsEveryKindOfControl) {
    const DialogWindow& d = *m_dialog;
    EXPECT_EQ(kCaption, d.Caption());
    EXPECT_EQ("給与データを選んでください", d.Text(IDC_LABEL));
    EXPECT_EQ((std::vector<std::string>{"表示.xls", "給与", "賞与"}), d.ListItems(IDC_LIST));
    EXPECT_EQ(-1, d.ListSelection(IDC_LIST));
    EXPECT_EQ((std::vector<std::string>{"東京", "大阪", "ソフト\\"}), d.ComboItems(IDC_COMBO));
    EXPECT_EQ(0, d.ComboSelection(IDC_COMBO));
    EXPECT_EQ("東京", d.Text(IDC_COMBO));
    EXPECT_EQ(BST_UNCHECKED, d.CheckState(IDC_CHECK));
    EXPECT_EQ("控えを残す", d.Text(IDC_CHECK));
    EXPECT_EQ("", d.Text(IDC_EDIT));
    EXPECT_FALSE(d.IsEnabled(IDC_SWITCHED));
    EXPECT_TRUE(d.IsVisible(IDC_SWITCHED));
    EXPECT_FALSE(d.IsVisible(IDC_HIDDEN));
    EXPECT_TRUE(d.IsEnabled(IDOK));
    EXPECT_EQ("キャンセル", d.Text(IDCANCEL));
    EXPECT_EQ(11u, d.Controls().size());
    d.Click(IDCANCEL);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), m_target->WaitForExit(kWaitMs));
    EXPECT_EQ("", m_target->Stdout());
}

// The target prints every notification it gets with the state it sees at
// that moment: each action arrives once, after the control has changed.
TEST_F(DialogTest, ActionsReachTheProgramLikeAUsersOwn) {
    const DialogWindow& d = *m_dialog;
    d.SelectListItem(IDC_LIST, "賞与");
    EXPECT_EQ(2, d.ListSelection(IDC_LIST));
    d.SelectComboItem(IDC_COMBO, 2);
    EXPECT_EQ("ソフト\\", d.Text(IDC_COMBO));
    d.SelectComboItem(IDC_COMBO, "大阪");
    d.SetCheck(IDC_CHECK, true);
    EXPECT_TRUE(d.IsEnabled(IDC_SWITCHED)); // the program's handler has run
    d.SetCheck(IDC_CHECK, true);            // already checked: no click
    d.Click(IDC_SWITCHED);
    d.TypeText(IDC_EDIT, "山田 太郎");
    EXPECT_EQ("山田 太郎", d.Text(IDC_EDIT));
    d.TypeText(IDC_NOTES, "メモ");
    d.Click(IDOK);
    EXPECT_EQ(static_cast<DWORD>(IDOK), m_target->WaitForExit(kWaitMs));
    EXPECT_EQ((std::vector<std::string>{"list: 2 賞与", "combo: 2 ソフト\\", "combo: 1 大阪",
                                        "check: 1", "switched", "edit: 山田 太郎", "notes: メモ",
                                        "ok: list=2 combo=1 check=1 edit=山田 太郎"}),
              Lines(m_target->Stdout()));
}

TEST_F(DialogTest, RefusesWhatAUserCouldNotDo) {
    const DialogWindow& d = *m_dialog;
    const struct {
        const char* what;
        std::function<void()> action;
    } cases[] = {
        {"click a disabled button", [&] { d.Click(IDC_SWITCHED); }},
        {"type into a hidden control", [&] { d.TypeText(IDC_HIDDEN, "x"); }},
        {"type into a list", [&] { d.TypeText(IDC_LIST, "x"); }},
        {"pick a list item beyond the end", [&] { d.SelectListItem(IDC_LIST, 3); }},
        {"pick a list item before the start", [&] { d.SelectListItem(IDC_LIST, -1); }},
        {"pick a combo item that is not there", [&] { d.SelectComboItem(IDC_COMBO, "名古屋"); }},
        {"read a control that is not there", [&] { d.Text(9999); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(c.action(), uidriver::Error);
    }
    d.Click(IDCANCEL);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), m_target->WaitForExit(kWaitMs));
    EXPECT_EQ("", m_target->Stdout()); // nothing reached the program
}

// The button's handler opens a modal box and returns only when it closes;
// the click must come back at once so that the test can answer the box.
TEST_F(DialogTest, AClickThatOpensAModalBoxReturnsAtOnce) {
    const DialogWindow& d = *m_dialog;
    const ULONGLONG start = ::GetTickCount64();
    d.Click(IDC_ASK);
    EXPECT_LT(::GetTickCount64() - start, 3000u); // not the 5 s an unanswered click waits
    const MsgBox box = MsgBox::WaitFor(m_target->Windows(), kWaitMs, std::string("確認"));
    EXPECT_EQ("続けますか？", box.Text());
    EXPECT_EQ(uidriver::IconKind::Question, box.Icon());
    EXPECT_THROW(d.Click(IDOK), uidriver::Error); // the box disables its owner
    box.Press("はい");
    m_target->Windows().WaitUntilGone(box.Handle(), kWaitMs);
    d.Click(IDCANCEL);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), m_target->WaitForExit(kWaitMs));
    EXPECT_EQ("ask: 6\r\n", m_target->Stdout());
}
