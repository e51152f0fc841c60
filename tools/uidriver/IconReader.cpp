#include "IconReader.h"

#include "ClearView.h"
#include "Poll.h"
#include "RemoteWindow.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"

#include <optional>

namespace uidriver {

namespace {

struct StandardIcon {
    IconKind kind;
    LPCSTR id;
};

const StandardIcon kStandardIcons[] = {
    {IconKind::Information, IDI_ASTERISK},
    {IconKind::Exclamation, IDI_EXCLAMATION},
    {IconKind::Error, IDI_HAND},
    {IconKind::Question, IDI_QUESTION},
};

// Screen images hold 0x00RRGGBB; GDI colours are 0x00BBGGRR.
COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint32_t FromColorRef(COLORREF colour) {
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

// `icon` drawn the way the static control draws it (DrawIconEx stretched
// to the client rectangle) on a solid background, in a bitmap of the
// screen's format, so that the edges blend exactly as on the screen.
ScreenImage DrawReference(HICON icon, int width, int height, uint32_t background) {
    const CClientDC screen(nullptr);
    const CMemoryDC mem(::CreateCompatibleDC(screen.Get()));
    const CGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    const CObjectSelection selected(mem.Get(), bitmap.Get());
    const CGdiObject<HBRUSH> brush(::CreateSolidBrush(ToColorRef(background)));
    const RECT all{0, 0, width, height};
    ::FillRect(mem.Get(), &all, brush.Get());
    ::DrawIconEx(mem.Get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return CaptureDC(mem.Get(), all);
}

// A standard icon's transparent corner shows the background; the dialog
// colour is tried as well in case the corner is opaque.
IconKind MatchStandardIcon(const ScreenImage& shot) {
    if (shot.pixels.empty())
        return IconKind::Unknown;
    const uint32_t backgrounds[] = {shot.pixels[0], FromColorRef(::GetSysColor(COLOR_3DFACE))};
    for (uint32_t background : backgrounds)
        for (const StandardIcon& icon : kStandardIcons)
            if (DrawReference(::LoadIconA(nullptr, icon.id), shot.width, shot.height, background) ==
                shot)
                return icon.kind;
    return IconKind::Unknown;
}

// How long a recognised icon must stay on the screen to count: what a
// window that has just gone or moved left there may stay for a moment.
const ULONGLONG kSteadyMs = 100;

// The icon kind seen in a row of looks, and whether it has held long enough.
class SteadyKind {
public:
    bool See(IconKind kind) {
        if (kind != m_kind) {
            m_kind = kind;
            m_since = ::GetTickCount64();
        }
        return m_kind != IconKind::Unknown && ::GetTickCount64() - m_since >= kSteadyMs;
    }
    IconKind Kind() const { return m_kind; }

private:
    IconKind m_kind = IconKind::Unknown;
    ULONGLONG m_since = 0;
};

RECT ScreenRectOf(HWND control) {
    RECT rect{};
    ::GetClientRect(control, &rect);
    POINT origin{0, 0};
    ::ClientToScreen(control, &origin);
    ::OffsetRect(&rect, origin.x, origin.y);
    return rect;
}

// Moves the window to a free corner of the screen, from where it was (it
// stays there, or at home when there is no free corner).
void MoveToFreeSpot(HWND root, std::optional<MovedWhileReading>& moved) {
    moved.reset();
    if (const std::optional<POINT> spot = FreeSpot(root))
        moved.emplace(root, *spot);
}

} // namespace

const char* IconKindName(IconKind kind) {
    switch (kind) {
    case IconKind::None:
        return "none";
    case IconKind::Information:
        return "information";
    case IconKind::Exclamation:
        return "exclamation";
    case IconKind::Error:
        return "error";
    case IconKind::Question:
        return "question";
    case IconKind::Unknown:
        break;
    }
    return "unknown";
}

// An icon handle of another process tells nothing about its picture (the
// handles of the standard icons differ between processes), but whether it
// is null does.  The picture is compared on the screen until a standard icon
// holds steady there, at moments when nothing may cover it (ClearView.h).
// Should something come to cover it (it may be a window that is only now
// appearing), the window is moved to a free corner of the screen for the
// moment.
IconKind RecogniseIcon(HWND control, DWORD timeoutMs) {
    if (!Query(control, STM_GETICON))
        return IconKind::None;
    const HWND root = ::GetAncestor(control, GA_ROOT);
    std::optional<MovedWhileReading> moved;
    SteadyKind steady;
    const bool found = PollUntil(
        [&] {
            const RECT rect = ScreenRectOf(control);
            if (!MayBeCovered(root, rect))
                return steady.See(MatchStandardIcon(CaptureScreen(rect)));
            MoveToFreeSpot(root, moved);
            return steady.See(IconKind::Unknown);
        },
        timeoutMs);
    return found ? steady.Kind() : IconKind::Unknown;
}

} // namespace uidriver
