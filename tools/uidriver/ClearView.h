#pragma once
#include <windows.h>

#include <optional>

namespace uidriver {

// Whether the screen can be trusted to show a window's own pixels.  Wine
// draws its windows as unmanaged X windows, and the X stacking may differ
// from the Z order that Wine reports: a window of another process, even one
// that Wine puts below, may show on top, for instance when it is activated
// late.  Only a place that no other process's window overlaps (nor one of
// the same process that lies above) is sure to show the window itself.

// True when some other visible top-level window may show over `rect` (screen
// coordinates) of the top-level window `root`.
bool MayBeCovered(HWND root, const RECT& rect);

// A position for `root`'s top-left corner (a corner of the screen) where no
// other visible top-level window overlaps it, if there is one.
std::optional<POINT> FreeSpot(HWND root);

// Moves a window to `spot` and back to where it was when it goes.
class MovedWhileReading {
public:
    MovedWhileReading(HWND hwnd, POINT spot);
    ~MovedWhileReading();
    MovedWhileReading(const MovedWhileReading&) = delete;
    MovedWhileReading& operator=(const MovedWhileReading&) = delete;

private:
    HWND m_hwnd;
    RECT m_home;
};

} // namespace uidriver
