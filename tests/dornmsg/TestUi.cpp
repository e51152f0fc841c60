#include "TestUi.h"

namespace {

// The tests run as an application of the framework: the wait dialog finds
// its owner through this object's main window.
CWinApp theApp("dornmsg_test");

const char kOwnerClass[] = "DornMsgTestOwner";

void RegisterOwnerClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassA(&wc); // fails harmlessly when already registered
}

} // namespace

COwnerWindow::COwnerWindow(const RECT& rect, bool enabled) {
    RegisterOwnerClass();
    m_hWnd =
        ::CreateWindowExA(0, kOwnerClass, "給与計算 - 表示テスト", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!enabled)
        ::EnableWindow(m_hWnd, FALSE);
    theApp.m_pMainWnd = this;
}

COwnerWindow::~COwnerWindow() {
    if (theApp.m_pMainWnd == this)
        theApp.m_pMainWnd = nullptr;
    CWnd::DestroyWindow();
}

void PumpMessages(int ms) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

std::string ControlText(HWND hDlg, int nID) {
    char buf[256] = {};
    ::GetDlgItemTextA(hDlg, nID, buf, sizeof buf);
    return buf;
}

RECT CentredRect(int width, int height) {
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {x, y, x + width, y + height};
}

HMODULE DornMsgModule() {
    return ::GetModuleHandleA("DORNMSG.dll");
}
