#include "BookDialogFixture.h"

#include "ExcelFileMap.h"
#include "MsgBox.h"
#include "MsgBoxAnswerer.h"
#include "Poll.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>

namespace {

const DWORD kWaitMs = 60000;

uidriver::WindowQuery MsgBoxQuery() {
    uidriver::WindowQuery query("#32770");
    query.accept = [](HWND hwnd) { return uidriver::MsgBox::IsMsgBox(hwnd); };
    return query;
}

// The wait dialog: a caption-less dialog that is no message box.
bool IsWaitDialogShowing(const uidriver::WindowFinder& windows) {
    for (const uidriver::WindowInfo& w : windows.List())
        if (w.visible && w.className == "#32770" && w.caption.empty() &&
            !uidriver::MsgBox::IsMsgBox(w.hwnd))
            return true;
    return false;
}

} // namespace

void BookDialogFixture::TearDown() {
    m_dialog.reset();
    m_program.reset(); // ends a program that a failed test left running
    ProductFixture::TearDown();
}

const uidriver::DialogWindow& BookDialogFixture::Open(const char* tail, const char* caption) {
    m_dates = {TodayText()};
    m_program = std::make_unique<uidriver::Process>(QuimbexStart(tail));
    m_dialog = std::make_unique<uidriver::DialogWindow>(
        uidriver::DialogWindow::WaitFor(m_program->Windows(), caption, kWaitMs));
    return *m_dialog;
}

BookDialogFixture::Box BookDialogFixture::NextBox(const char* button) {
    const uidriver::WindowFinder windows = m_program->Windows();
    const uidriver::MsgBox box(windows.WaitFor(MsgBoxQuery(), kWaitMs));
    Box seen{box.Caption(),
             NormaliseLineBreaks(box.Text()),
             box.Icon(),
             m_dialog && ::GetWindow(box.Handle(), GW_OWNER) == m_dialog->Handle(),
             IsWaitDialogShowing(windows),
             m_dialog && ::IsWindowEnabled(m_dialog->Handle())};
    if (button)
        box.Press(std::string(button));
    else
        box.Press(box.DefaultButton() ? box.DefaultButton() : IDOK);
    windows.WaitUntilGone(box.Handle(), 10000);
    if (TodayText() != m_dates.back())
        m_dates.push_back(TodayText());
    return seen;
}

void BookDialogFixture::ExpectResultBox(const Box& box, const char* caption) {
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(uidriver::IconKind::Information, box.icon);
    EXPECT_TRUE(box.fromDialog);
    EXPECT_FALSE(box.waitShowing);
}

void BookDialogFixture::ExpectPlainBox(const Box& box, const char* text) {
    EXPECT_EQ("Quimbex", box.caption);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(uidriver::IconKind::Exclamation, box.icon);
}

void BookDialogFixture::ExpectEndsQuietly() {
    QuimbexRun run;
    FinishRun(*m_program, run, kWaitMs);
    for (const QuimbexRun::Box& box : run.boxes)
        ADD_FAILURE() << "unexpected message box: " << box.caption << ": " << box.text;
    if (TodayText() != m_dates.back())
        m_dates.push_back(TodayText());
}

// A message sent now is handled only when the program's thread is back in
// the dialog's message loop; a dialog that is ending is destroyed first.
bool BookDialogFixture::DialogStaysOpen() const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(m_dialog->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs,
                                 &result) != 0 &&
           ::IsWindow(m_dialog->Handle()) && m_program->IsRunning();
}

namespace {

// Dark pixels are text: a dialog that has not painted yet shows none.
bool ShowsText(const uidriver::ScreenImage& image) {
    int dark = 0;
    for (uint32_t pixel : image.pixels)
        if ((pixel & 0xFF) < 0x40 && ((pixel >> 8) & 0xFF) < 0x40 && ((pixel >> 16) & 0xFF) < 0x40)
            ++dark;
    return dark > 200;
}

} // namespace

void BookDialogFixture::ScreenshotOfDialog(const char* name) const {
    RECT area;
    ::GetWindowRect(m_dialog->Handle(), &area);
    uidriver::ScreenImage last;
    const bool painted = uidriver::PollUntil(
        [&] {
            const uidriver::ScreenImage now = uidriver::CaptureScreen(area);
            const bool done = ShowsText(now) && now == last;
            last = now;
            return done;
        },
        10000, 100);
    EXPECT_TRUE(painted) << name << " never showed its texts";
    uidriver::SaveScreenshot(TestOutputDir(), name, &area);
}

bool BookDialogFixture::IsTodaysBackupName(const std::string& name, const std::string& key) const {
    const std::string ext = Ext().str();
    return std::any_of(m_dates.begin(), m_dates.end(),
                       [&](const std::string& date) { return name == key + date + ext; });
}

void BookDialogFixture::WriteBookMap(const std::vector<Book>& books) {
    CExcelFileMap map(MyDataDir() + "\\BookMNG.dat");
    for (const Book& b : books) {
        CDataForExMap record;
        record.m_nOrder = b.order;
        record.m_strFileName = b.file;
        map.m_mapBooks.SetAt(b.key, record);
    }
    ASSERT_TRUE(map.Save());
}

std::vector<CString> BookDialogFixture::MapOrder() const {
    CExcelFileMap map(MyDataDir() + "\\BookMNG.dat");
    EXPECT_EQ(1, map.Load());
    std::vector<CString> keys;
    for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap record;
        map.m_mapBooks.GetNextAssoc(pos, key, record);
        keys.push_back(key);
    }
    return keys;
}

void BookDialogFixture::RemoveBackups() {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(ExcelDir() + "\\*年*月*日*", &fd));
    if (!h)
        return;
    do {
        ::DeleteFileA(ExcelDir() + "\\" + fd.cFileName);
    } while (::FindNextFileA(h.Get(), &fd));
}

std::string Between(const std::string& text, const std::string& before, const std::string& after) {
    const size_t start = text.find(before);
    if (start == std::string::npos)
        return "";
    const size_t from = start + before.size();
    const size_t end = text.find(after, from);
    return end == std::string::npos ? "" : text.substr(from, end - from);
}
