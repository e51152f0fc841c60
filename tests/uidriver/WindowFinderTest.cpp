#include "Error.h"
#include "MsgBox.h"
#include "RemoteWindow.h"
#include "ScopedHandle_win.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using uidriver::WindowInfo;
using uidriver::WindowQuery;

TEST(WindowFinder, ListsTheProgramsWindowsWithTheirState) {
    const auto target = StartTarget({"caption:一覧の試験", "text:x", "msgbox"});
    const HWND box = target->Windows().WaitFor({"#32770", std::string("一覧の試験")}, kWaitMs);
    bool listed = false;
    for (const WindowInfo& info : target->Windows().List()) {
        if (info.hwnd != box)
            continue;
        listed = true;
        EXPECT_EQ("#32770", info.className);
        EXPECT_EQ("一覧の試験", info.caption);
        EXPECT_TRUE(info.visible);
        EXPECT_TRUE(info.enabled);
    }
    EXPECT_TRUE(listed) << target->Windows().Describe();
    EXPECT_NE(std::string::npos, target->Windows().Describe().find("caption=\"一覧の試験\""));
}

namespace {

WindowQuery Refusing(WindowQuery query) {
    query.accept = [](HWND) { return false; };
    return query;
}

} // namespace

TEST(WindowFinder, MatchesCaptionAndClassExactly) {
    const auto target = StartTarget({"caption:給与明細", "text:x", "msgbox"});
    const uidriver::WindowFinder windows = target->Windows();
    windows.WaitFor({"#32770"}, kWaitMs);
    const struct {
        WindowQuery query;
        bool found;
    } cases[] = {
        {{"#32770", std::string("給与明細")}, true},  {{"", std::string("給与明細")}, true},
        {{"#32770", std::string("給与")}, false},     {{"#32770", std::string("給与明細 ")}, false},
        {{"Static", std::string("給与明細")}, false}, {Refusing({"#32770"}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(uidriver::Describe(c.query));
        EXPECT_EQ(c.found, windows.Find(c.query) != nullptr);
    }
}

TEST(WindowFinder, TellsARunWithoutWindowsFromOneWithAWindow) {
    const struct {
        std::vector<std::string> words;
        bool windowless;
    } cases[] = {
        {{"out:窓なし", "exit:3"}, true},
        {{"text:窓あり", "msgbox"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.front());
        const auto target = StartTarget(c.words);
        EXPECT_EQ(c.windowless, target->Windows().NoWindowWithin(3000));
    }
}

TEST(WindowFinder, StopsWaitingWhenTheProgramEnds) {
    const auto target = StartTarget({"exit:5"});
    const ULONGLONG start = ::GetTickCount64();
    try {
        target->Windows().WaitFor({"#32770"}, kWaitMs);
        ADD_FAILURE() << "a window was found";
    } catch (const uidriver::Error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("before it ended")) << e.what();
    }
    EXPECT_LT(::GetTickCount64() - start, 3000u);
    EXPECT_EQ(5u, target->WaitForExit(kWaitMs));
}

TEST(WindowFinder, WaitsUntilAWindowIsGone) {
    const auto target = StartTarget({"msgbox"});
    const uidriver::MsgBox box = uidriver::MsgBox::WaitFor(target->Windows(), kWaitMs);
    EXPECT_THROW(target->Windows().WaitUntilGone(box.Handle(), 100), uidriver::Error);
    box.Press(IDOK);
    target->Windows().WaitUntilGone(box.Handle(), kWaitMs);
    EXPECT_EQ(static_cast<DWORD>(IDOK), target->WaitForExit(kWaitMs));
}

// A handle whose window has gone: every read says so by its own type, which
// the watchers of windows that come and go take for "gone", and an action
// on it ends as gone.  Any other failure stays a plain error.
TEST(WindowFinder, AWindowGoneWhileReadIsToldApart) {
    CWindowHandle window(
        ::CreateWindowExA(0, "STATIC", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    const HWND hwnd = window.Get();
    ASSERT_NE(nullptr, hwnd);
    ASSERT_TRUE(window.Close());
    EXPECT_THROW(uidriver::ReadText(hwnd), uidriver::WindowGone);
    EXPECT_THROW(uidriver::Query(hwnd, WM_GETTEXTLENGTH), uidriver::WindowGone);
    EXPECT_EQ(uidriver::ActResult::Gone, uidriver::Act(hwnd, WM_NULL, 0, 0));
    ::SetLastError(ERROR_ACCESS_DENIED);
    try {
        uidriver::ThrowLastError("reading");
        FAIL();
    } catch (const uidriver::WindowGone&) {
        ADD_FAILURE() << "access denied is no window gone";
    } catch (const uidriver::Error&) {
    }
}
