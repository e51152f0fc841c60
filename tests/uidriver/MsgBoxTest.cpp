#include "Error.h"
#include "MsgBox.h"
#include "Screenshot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using uidriver::ButtonInfo;
using uidriver::IconKind;
using uidriver::MsgBox;

// The texts arrive as CP932 bytes through the command line and come back
// through WM_GETTEXT of another process: both ways must keep them exact.
TEST(MsgBox, ReadsJapaneseCaptionAndTextExactly) {
    const struct {
        const char* caption;
        const char* text;
        std::string expected;
    } cases[] = {
        {"Quimbex", "ﾊﾟﾗﾒｰﾀが不正です。", "ﾊﾟﾗﾒｰﾀが不正です。"},
        {"給与明細の表示", "表示.xlsを開けません。\\n終了します。",
         "表示.xlsを開けません。\n終了します。"},
        {"ソフト", "ソフト\\表", "ソフト\\表"},
    };
    std::vector<std::unique_ptr<uidriver::Process>> targets; // all at once: faster
    for (const auto& c : cases)
        targets.push_back(StartTarget(
            {std::string("caption:") + c.caption, std::string("text:") + c.text, "msgbox"}));
    for (size_t i = 0; i < targets.size(); ++i) {
        SCOPED_TRACE(cases[i].caption);
        const MsgBox box = MsgBox::WaitFor(targets[i]->Windows(), kWaitMs);
        EXPECT_EQ(cases[i].caption, box.Caption());
        EXPECT_EQ(cases[i].expected, box.Text());
        box.Press(IDOK);
        EXPECT_EQ(static_cast<DWORD>(IDOK), targets[i]->WaitForExit(kWaitMs));
    }
}

// All five boxes are up at once, one above the other, and the screen may
// stack them otherwise than Wine says: a box that others may cover is read
// elsewhere on the screen.
TEST(MsgBox, RecognisesEveryIconKindEvenOfACoveredBox) {
    const struct {
        const char* icon;
        IconKind expected;
    } cases[] = {
        {"none", IconKind::None},
        {"information", IconKind::Information},
        {"exclamation", IconKind::Exclamation},
        {"error", IconKind::Error},
        {"question", IconKind::Question},
    };
    std::vector<std::unique_ptr<uidriver::Process>> targets;
    for (const auto& c : cases)
        targets.push_back(StartTarget(
            {"caption:Quimbex", "text:アイコンの試験", std::string("icon:") + c.icon, "msgbox"}));
    for (size_t i = 0; i < targets.size(); ++i) {
        SCOPED_TRACE(cases[i].icon);
        const MsgBox box = MsgBox::WaitFor(targets[i]->Windows(), kWaitMs);
        EXPECT_EQ(std::string(uidriver::IconKindName(cases[i].expected)),
                  uidriver::IconKindName(box.Icon()));
        box.Press(IDOK);
        EXPECT_EQ(static_cast<DWORD>(IDOK), targets[i]->WaitForExit(kWaitMs));
    }
}

TEST(MsgBox, ListsButtonsAndPressesThemByIdOrText) {
    const struct {
        const char* buttons;
        const char* defaultButton;
        std::vector<int> ids;
        int defaultId;
        std::string press; // a text, or "" to press by id
        int pressId;
    } cases[] = {
        {"ok", "1", {IDOK}, IDOK, "OK", IDOK},
        {"okcancel", "2", {IDOK, IDCANCEL}, IDCANCEL, "キャンセル", IDCANCEL},
        {"yesno", "1", {IDYES, IDNO}, IDYES, "いいえ", IDNO},
        {"yesnocancel", "2", {IDYES, IDNO, IDCANCEL}, IDNO, "", IDYES},
        {"abortretryignore", "3", {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, "", IDRETRY},
    };
    std::vector<std::unique_ptr<uidriver::Process>> targets; // all at once: faster
    for (const auto& c : cases)
        targets.push_back(StartTarget({"text:ボタン", std::string("buttons:") + c.buttons,
                                       std::string("default:") + c.defaultButton, "msgbox"}));
    for (size_t i = 0; i < targets.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.buttons);
        const MsgBox box = MsgBox::WaitFor(targets[i]->Windows(), kWaitMs);
        std::vector<int> ids;
        for (const ButtonInfo& button : box.Buttons())
            ids.push_back(button.id);
        EXPECT_EQ(c.ids, ids) << box.Describe();
        EXPECT_EQ(c.defaultId, box.DefaultButton());
        if (c.press.empty())
            box.Press(c.pressId);
        else
            box.Press(c.press);
        EXPECT_EQ(static_cast<DWORD>(c.pressId), targets[i]->WaitForExit(kWaitMs));
    }
}

TEST(MsgBox, RefusesAButtonItDoesNotHave) {
    const auto target = StartTarget({"text:ボタン", "buttons:yesno", "msgbox"});
    const MsgBox box = MsgBox::WaitFor(target->Windows(), kWaitMs);
    EXPECT_THROW(box.Press("OK"), uidriver::Error);
    EXPECT_THROW(box.Press(IDCANCEL), uidriver::Error);
    EXPECT_TRUE(target->IsRunning());
    box.Press("はい");
    EXPECT_EQ(static_cast<DWORD>(IDYES), target->WaitForExit(kWaitMs));
}

// Two programs show boxes with the same caption: each finder sees only its
// own program's box.
TEST(MsgBox, NeverMatchesTheBoxOfAnotherProcess) {
    const auto first = StartTarget({"caption:Quimbex", "text:一つ目", "msgbox"});
    MsgBox::WaitFor(first->Windows(), kWaitMs, std::string("Quimbex"));
    const auto second = StartTarget({"caption:Quimbex", "text:二つ目", "msgbox"});
    const MsgBox secondBox = MsgBox::WaitFor(second->Windows(), kWaitMs, std::string("Quimbex"));
    const MsgBox firstBox = MsgBox::WaitFor(first->Windows(), kWaitMs, std::string("Quimbex"));
    EXPECT_NE(firstBox.Handle(), secondBox.Handle());
    EXPECT_EQ("二つ目", secondBox.Text());
    EXPECT_EQ("一つ目", firstBox.Text());
    secondBox.Press(IDOK);
    EXPECT_EQ(static_cast<DWORD>(IDOK), second->WaitForExit(kWaitMs));
    EXPECT_TRUE(first->IsRunning());
    firstBox.Press(IDOK);
    EXPECT_EQ(static_cast<DWORD>(IDOK), first->WaitForExit(kWaitMs));
}

TEST(MsgBox, DescribesItselfOnOneLine) {
    const auto target = StartTarget(
        {"caption:Quimbex", "text:1行目\\n2行目", "icon:exclamation", "buttons:yesno", "msgbox"});
    const MsgBox box = MsgBox::WaitFor(target->Windows(), kWaitMs);
    EXPECT_EQ("caption=\"Quimbex\" text=\"1行目\\n2行目\" icon=exclamation buttons=はい|いいえ",
              box.Describe());
    box.Press(IDNO);
    EXPECT_EQ(static_cast<DWORD>(IDNO), target->WaitForExit(kWaitMs));
}

// For a person to look at: the Japanese text must render, not boxes.
TEST(MsgBox, ScreenshotOfAJapaneseBox) {
    const auto target =
        StartTarget({"caption:Quimbex", "text:ﾊﾟﾗﾒｰﾀが不正です。", "icon:exclamation", "msgbox"});
    const MsgBox box = MsgBox::WaitFor(target->Windows(), kWaitMs);
    ASSERT_EQ(IconKind::Exclamation, box.Icon()); // also waits for the box to paint
    const std::string path = uidriver::SaveScreenshot(OutputDir(), "uidriver-msgbox");
    const uidriver::ScreenImage shot = uidriver::CaptureWholeScreen();
    EXPECT_GT(shot.width, 0);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
    EXPECT_EQ(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) +
                  static_cast<size_t>((shot.width * 3 + 3) & ~3) * shot.height,
              data.nFileSizeLow);
    box.Press(IDOK);
    target->WaitForExit(kWaitMs);
}
