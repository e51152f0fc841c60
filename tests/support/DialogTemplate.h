#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A dialog template (DLGTEMPLATEEX) as a module's resources hold it, so a
// test can compare what was built with what was designed.  Texts are CP932.
struct DialogTemplateItem {
    int id;
    std::string className; // "Button", "Edit", ... for the predefined classes
    DWORD style;
    DWORD exStyle;
    std::string text;
    RECT units; // x, y, width, height in dialog units
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    RECT units; // x, y, width, height
    std::string caption;
    int pointSize;
    std::string face;
    std::vector<DialogTemplateItem> items;
};

// Dialog `id` of the program or library at `modulePath`; false when it has
// none or the template is not an extended one.
bool ReadDialogTemplate(const char* modulePath, int id, DialogTemplate& out);
