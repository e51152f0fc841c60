#pragma once
#include "DataForExMap.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

// One control of a dialog template: the window class, the style bits that
// must be set and those that must not, the text (null: none in the template,
// not read from the live control) and the place in dialog units.
struct TemplateControl {
    int id;
    const char* className;
    DWORD styleSet;
    DWORD styleClear;
    const char* text;
    RECT units; // x, y, width, height
};

// A dialog as its template must describe it, in the font "ＭＳ Ｐゴシック" 9.
struct ExpectedDialog {
    const char* caption;
    SIZE units; // width, height
    int defaultId;
    std::vector<TemplateControl> controls; // in the template's order
};

// The template `id` of the program file `path`: caption, frame, size, font
// and every control in order.
void ExpectTemplate(const std::string& path, int id, const ExpectedDialog& want);
// The dialog of another process made from it: the client area and every
// control in pixels worked out from the template's font (of a drop-down
// combo box only what the closed field shows), texts, the default button.
void ExpectDialog(HWND dialog, const ExpectedDialog& want);

// Saves the dialog's window as test-output\<name>.bmp once it has painted
// its control `paintedId` (polled with a deadline); false when it did not.
bool SaveDialogShot(HWND dialog, int paintedId, const char* name);

// A book record as a test writes and reads "BookMNG.dat".
struct BookEntry {
    std::string key;
    int32_t order;
    std::string fileName;
    std::string note;
};
void WriteBookMap(const CString& path, const std::vector<BookEntry>& books);
// The records of the file, by key.
std::map<std::string, BookEntry> ReadBookMap(const CString& path);
// The keys in the order in which Quimbex's map walks them after loading.
std::vector<std::string> MapOrder(const CString& path);

// What a run leaves when it ends, whether it failed or not: every record of
// the list in "<productDir>\\Data\\MyData" names a workbook of excelDir that
// exists, in the extension the format marker tells (".xlsm" with
// "ExType2.dat", ".xls" with "ExType1.dat", never both).
testing::AssertionResult ListAgreesWithBooks(const CString& productDir, const CString& excelDir);

// Every file below dir (relative name -> bytes), to show that nothing changed.
std::map<std::string, std::string> Snapshot(const CString& dir);
// The names of the files of dir (not below) that begin with prefix.
std::vector<std::string> FilesStartingWith(const CString& dir, const std::string& prefix);
