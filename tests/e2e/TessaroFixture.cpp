#include "TessaroFixture.h"

#include "CommonFileDialog.h"
#include "MsgBox.h"
#include "MsgBoxAnswerer.h"
#include "Poll.h"
#include "Process.h"
#include "QuimbexRun.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"

#include <sddl.h>

#include <string>

const char kTessaroCaption[] = "Tessaro";
const char kMainDialogCaption[] = "Morvaneデータ移行ツール";
const int kCreateButton = 1000;
const int kRestoreButton = 1001;

uidriver::StartInfo TessaroFixture::TessaroStart(const std::string& tail) {
    uidriver::StartInfo info;
    info.application = (BinDir() + "\\Tessaro.exe").str();
    info.commandLine = "\"" + info.application + "\" " + tail;
    return info;
}

uidriver::DialogWindow TessaroFixture::WaitForMainDialog(const uidriver::Process& process) {
    return uidriver::DialogWindow::WaitFor(process.Windows(), kMainDialogCaption, 30000);
}

void TessaroFixture::CloseMainDialog(const uidriver::Process& process,
                                     const uidriver::DialogWindow& dlg) {
    dlg.Click(IDOK);
    EXPECT_EQ(0u, process.WaitForExit(30000));
}

void TessaroFixture::CopyProgramsIntoProduct() const {
    for (const char* name : {"Quimbex.exe", "DORNMSG.dll", "DornEnv.dll"})
        ASSERT_TRUE(::CopyFileA(BinDir() + "\\" + name, ProductDir() + "\\Exe\\" + name, FALSE))
            << name;
}

void AnswerBoxes(const uidriver::Process& process, const std::vector<ExpectedBox>& boxes) {
    const uidriver::WindowFinder windows = process.Windows();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const ExpectedBox& want = boxes[i];
        SCOPED_TRACE("box " + std::to_string(i + 1) + ": " + want.text.substr(0, 40));
        const uidriver::MsgBox box = uidriver::MsgBox::WaitFor(windows, 120000);
        if (want.shot)
            SaveWindowShot(box.Handle(), want.shot);
        EXPECT_EQ(want.caption, box.Caption());
        EXPECT_EQ(want.text, NormaliseLineBreaks(box.Text()));
        EXPECT_EQ(uidriver::IconKindName(want.icon),
                  std::string(uidriver::IconKindName(box.Icon())));
        if (want.press)
            box.Press(std::string(want.press));
        else
            box.Press(box.DefaultButton() ? box.DefaultButton() : IDOK);
        windows.WaitUntilGone(box.Handle(), 10000);
    }
}

void ChooseFile(const uidriver::Process& process, const uidriver::DialogWindow& dlg, int button,
                const CString& path) {
    dlg.Click(button);
    const char* caption = button == kRestoreButton ? "開く" : "名前を付けて保存";
    CommonFileDialog::WaitFor(process.Windows(), caption).Confirm(path.str());
}

// A box that came after the last expected one disables the dialog, and the
// click fails; one that comes later is answered and counted here.
void CloseExpectingNoMoreBoxes(uidriver::Process& process, const uidriver::DialogWindow& dlg) {
    try {
        dlg.Click(IDOK);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the main dialog does not take input: " << e.what();
    }
    QuimbexRun rest;
    FinishRun(process, rest, 30000);
    for (const QuimbexRun::Box& box : rest.boxes)
        ADD_FAILURE() << "one more box: " << box.caption << ": " << box.text;
    EXPECT_EQ(0u, rest.exitCode);
}

bool IsHidden(const CString& path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

ULONGLONG WriteTime(const CString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void SaveWindowShot(HWND hwnd, const std::string& name) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    uidriver::ScreenImage last;
    uidriver::PollUntil(
        [&] {
            const uidriver::ScreenImage now = uidriver::CaptureScreen(rect);
            const bool settled = now == last;
            last = now;
            return settled;
        },
        5000, 100);
    uidriver::SaveScreenshot(TestOutputDir(), name, &rect);
}

Holding HoldMutex(const char* name, const char* sddl) {
    CLocalMemory<PSECURITY_DESCRIPTOR> descriptor;
    if (sddl && !::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                    sddl, SDDL_REVISION_1, descriptor.Receive(), nullptr))
        ADD_FAILURE() << "SDDL " << sddl << ": error " << ::GetLastError();
    SECURITY_ATTRIBUTES sa{sizeof sa, descriptor.Get(), FALSE};
    const HANDLE mutex = ::CreateMutexA(&sa, FALSE, name);
    EXPECT_NE(nullptr, mutex) << name << ": error " << ::GetLastError();
    return HoldHandle(mutex);
}

CString WaitForRecord(const CString& folder, const std::string& title) {
    const CString pattern = folder + "\\" + (title + "_復元記録*.txt").c_str();
    CString found;
    const bool bFound = uidriver::PollUntil(
        [&] {
            WIN32_FIND_DATAA fd;
            const CFindHandle h(::FindFirstFileA(pattern, &fd));
            if (!h)
                return false;
            found = folder + "\\" + fd.cFileName;
            return true;
        },
        60000, 50);
    EXPECT_TRUE(bFound) << "no record " << pattern.GetString();
    return found;
}
