#pragma once
#include <windows.h>

// Dialog units in pixels, worked out from the font a template names, not
// from the dialog itself: a dialog created with the wrong font or point size
// then fails the comparison.
struct DialogFont {
    int baseX; // average character width in pixels
    int baseY; // character height in pixels
};

DialogFont MeasureDialogFont(const char* face, int points);
// The width in pixels of a text (CP932) in that font.
int TextWidthInFont(const char* face, int points, const char* text);
// A template's rectangle (x, y, x + width, y + height) in dialog units as
// pixels.
RECT DialogUnitsToPixels(const DialogFont& font, const RECT& units);
// A control's rectangle in the client coordinates of its dialog (also for a
// dialog of another process).
RECT ControlRectInDialog(HWND hDlg, HWND hCtl);
