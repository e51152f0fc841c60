#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A dialog template (DIALOGEX) as a module holds it, texts in code page 932:
// what a program's dialog must be made from, read without running it.
struct DialogTemplate {
    struct Item {
        int id = 0;
        std::string className; // "Button", "Edit", "Static", "ComboBox", ... or the name given
        DWORD style = 0;
        DWORD exStyle = 0;
        std::string text;
        RECT units{}; // x, y, width, height
    };
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{}; // x, y, width, height
    std::string caption;
    int points = 0;
    std::string font;
    std::vector<Item> items;

    const Item* Find(int id) const;
};

// Reads dialog `id` of the module file `path`; false when it has none or
// the template is not a DIALOGEX.
bool ReadDialogTemplate(const std::string& path, int id, DialogTemplate& out);
