#include "DialogUnits.h"

#include "ScopedHandle_win.h"

namespace {

// The font as a dialog template makes it, for the screen.
HFONT CreateTemplateFont(HDC dc, const char* face, int points) {
    LOGFONTA lf{};
    lf.lfHeight = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectA(&lf);
}

} // namespace

// The platform's rule: the average width of the Latin letters, rounded, and
// the font's height.
DialogFont MeasureDialogFont(const char* face, int points) {
    const CClientDC screen(nullptr);
    const HDC dc = screen.Get();
    const CGdiObject<HFONT> font(CreateTemplateFont(dc, face, points));
    const CObjectSelection selected(dc, font.Get());
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32A(dc, letters, 52, &size);
    return {(size.cx / 26 + 1) / 2, tm.tmHeight};
}

int TextWidthInFont(const char* face, int points, const char* text) {
    const CClientDC screen(nullptr);
    const HDC dc = screen.Get();
    const CGdiObject<HFONT> font(CreateTemplateFont(dc, face, points));
    const CObjectSelection selected(dc, font.Get());
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

// A template gives origin and size; the platform converts each on its own,
// so the far edges are origin + size, not the far edge converted.
RECT DialogUnitsToPixels(const DialogFont& font, const RECT& units) {
    const int x = ::MulDiv(units.left, font.baseX, 4);
    const int y = ::MulDiv(units.top, font.baseY, 8);
    return {x, y, x + ::MulDiv(units.right - units.left, font.baseX, 4),
            y + ::MulDiv(units.bottom - units.top, font.baseY, 8)};
}

RECT ControlRectInDialog(HWND hDlg, HWND hCtl) {
    RECT rc;
    ::GetWindowRect(hCtl, &rc);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
