#include "ClearView.h"

#include <vector>

namespace uidriver {

namespace {

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lParam) {
    if (::IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// The visible top-level windows of every process, the topmost first.
std::vector<HWND> VisibleWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool Overlaps(HWND hwnd, const RECT& rect) {
    RECT window{};
    RECT overlap{};
    return ::GetWindowRect(hwnd, &window) && ::IntersectRect(&overlap, &window, &rect);
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

const UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

} // namespace

// One process stacks its own windows on the screen in the order it knows,
// so its windows below `root` cannot show over it.
bool MayBeCovered(HWND root, const RECT& rect) {
    bool above = true; // EnumWindows goes from the top down
    for (HWND hwnd : VisibleWindows()) {
        if (hwnd == root) {
            above = false;
            continue;
        }
        if (Overlaps(hwnd, rect) && (above || ProcessOf(hwnd) != ProcessOf(root)))
            return true;
    }
    return false;
}

std::optional<POINT> FreeSpot(HWND root) {
    RECT window{};
    ::GetWindowRect(root, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int right = ::GetSystemMetrics(SM_CXSCREEN) - width;
    const int bottom = ::GetSystemMetrics(SM_CYSCREEN) - height;
    const std::vector<HWND> others = VisibleWindows();
    for (POINT spot : {POINT{0, 0}, POINT{right, 0}, POINT{0, bottom}, POINT{right, bottom}}) {
        const RECT there{spot.x, spot.y, spot.x + width, spot.y + height};
        bool free = spot.x >= 0 && spot.y >= 0;
        for (HWND hwnd : others)
            free = free && (hwnd == root || !Overlaps(hwnd, there));
        if (free)
            return spot;
    }
    return std::nullopt;
}

MovedWhileReading::MovedWhileReading(HWND hwnd, POINT spot) : m_hwnd(hwnd), m_home{} {
    ::GetWindowRect(hwnd, &m_home);
    ::SetWindowPos(hwnd, nullptr, spot.x, spot.y, 0, 0, kMoveOnly);
}

MovedWhileReading::~MovedWhileReading() {
    ::SetWindowPos(m_hwnd, nullptr, m_home.left, m_home.top, 0, 0, kMoveOnly);
}

} // namespace uidriver
