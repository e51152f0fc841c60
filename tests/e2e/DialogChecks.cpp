#include "DialogChecks.h"

#include "DialogTemplate.h"
#include "DialogUnits.h"
#include "DialogWindow.h"
#include "ExcelFileMap.h"
#include "Poll.h"
#include "QuimbexRun.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"
#include "TempDir.h"

namespace {

const char kFont[] = "ＭＳ Ｐゴシック";
const int kPoints = 9;
const DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU;

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

bool IsDropDown(const TemplateControl& c) {
    return c.className == std::string("ComboBox");
}

void ExpectStyle(DWORD style, const TemplateControl& c, DWORD ignored) {
    const DWORD set = c.styleSet & ~ignored;
    EXPECT_EQ(set, style & set) << std::hex << style;
    EXPECT_EQ(0u, style & c.styleClear) << std::hex << style;
}

void ExpectItem(const DialogTemplateItem& item, const TemplateControl& c) {
    SCOPED_TRACE(testing::Message() << "template control " << c.id);
    EXPECT_EQ(c.id, item.id);
    // Window class names are compared without regard to case.
    EXPECT_EQ(0, ::lstrcmpiA(c.className, item.className.c_str())) << item.className;
    ExpectStyle(item.style, c, 0);
    EXPECT_EQ(c.text ? c.text : "", item.text);
    EXPECT_EQ(c.units.left, item.units.left);
    EXPECT_EQ(c.units.top, item.units.top);
    EXPECT_EQ(c.units.right, item.units.right);
    EXPECT_EQ(c.units.bottom, item.units.bottom);
}

// Places and sizes in pixels are worked out separately, as the dialog
// manager does, so that rounding cannot differ.  A drop-down combo box
// shows its closed field only; its list's height and scroll bar are the
// template's business (Wine keeps neither where it can be read).
void ExpectControl(HWND dialog, const DialogFont& font, const TemplateControl& c) {
    SCOPED_TRACE(testing::Message() << "control " << c.id);
    const uidriver::DialogWindow dlg(dialog);
    const HWND ctl = dlg.Control(c.id);
    EXPECT_EQ(c.className, ClassOf(ctl));
    ExpectStyle(static_cast<DWORD>(::GetWindowLongA(ctl, GWL_STYLE)), c,
                IsDropDown(c) ? WS_VSCROLL : 0);
    if (c.text) {
        EXPECT_EQ(c.text, dlg.Text(c.id));
    }
    const RECT place = DialogUnitsToPixels(font, {c.units.left, c.units.top, 0, 0});
    const RECT size = DialogUnitsToPixels(font, {0, 0, c.units.right, c.units.bottom});
    const RECT got = ControlRectInDialog(dialog, ctl);
    EXPECT_EQ(place.left, got.left);
    EXPECT_EQ(place.top, got.top);
    EXPECT_EQ(size.right, got.right - got.left);
    if (!IsDropDown(c)) {
        EXPECT_EQ(size.bottom, got.bottom - got.top);
    }
}

} // namespace

void ExpectTemplate(const std::string& path, int id, const ExpectedDialog& want) {
    DialogTemplate tpl;
    ASSERT_TRUE(ReadDialogTemplate(path.c_str(), id, tpl)) << path << " has no dialog " << id;
    EXPECT_EQ(want.caption, tpl.caption);
    EXPECT_EQ(kFrame | DS_MODALFRAME, tpl.style & (kFrame | DS_MODALFRAME))
        << std::hex << tpl.style;
    EXPECT_EQ(want.units.cx, tpl.units.right);
    EXPECT_EQ(want.units.cy, tpl.units.bottom);
    EXPECT_EQ(kFont, tpl.face);
    EXPECT_EQ(kPoints, tpl.pointSize);
    ASSERT_EQ(want.controls.size(), tpl.items.size());
    for (size_t i = 0; i < want.controls.size(); ++i)
        ExpectItem(tpl.items[i], want.controls[i]);
}

void ExpectDialog(HWND dialog, const ExpectedDialog& want) {
    const DialogFont font = MeasureDialogFont(kFont, kPoints);
    EXPECT_EQ(want.caption, uidriver::DialogWindow(dialog).Caption());
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(kFrame, style & kFrame) << std::hex << style;
    EXPECT_TRUE(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    const RECT size = DialogUnitsToPixels(font, {0, 0, want.units.cx, want.units.cy});
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);
    for (const TemplateControl& c : want.controls)
        ExpectControl(dialog, font, c);
    EXPECT_EQ(want.defaultId, LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)));
    const HWND def = ::GetDlgItem(dialog, want.defaultId);
    EXPECT_EQ(static_cast<LONG>(BS_DEFPUSHBUTTON), ::GetWindowLongA(def, GWL_STYLE) & BS_TYPEMASK);
}

namespace {

bool HasPainted(HWND control) {
    RECT rc{};
    ::GetWindowRect(control, &rc);
    const uidriver::ScreenImage image = uidriver::CaptureScreen(rc);
    for (uint32_t p : image.pixels)
        if (p != image.pixels.front())
            return true;
    return false;
}

} // namespace

bool SaveDialogShot(HWND dialog, int paintedId, const char* name) {
    const HWND control = ::GetDlgItem(dialog, paintedId);
    if (!uidriver::PollUntil([&] { return HasPainted(control); }, 5000))
        return false;
    RECT rc{};
    ::GetWindowRect(dialog, &rc);
    uidriver::SaveScreenshot(TestOutputDir(), name, &rc);
    return true;
}

void WriteBookMap(const CString& path, const std::vector<BookEntry>& books) {
    CExcelFileMap map(path);
    for (const BookEntry& b : books) {
        CDataForExMap record;
        record.m_nOrder = b.order;
        record.m_strFileName = b.fileName.c_str();
        record.m_strNote = b.note.c_str();
        map.m_mapBooks.SetAt(b.key.c_str(), record);
    }
    ASSERT_EQ(1, map.Save()) << path.GetString();
}

std::map<std::string, BookEntry> ReadBookMap(const CString& path) {
    CExcelFileMap map(path);
    EXPECT_EQ(1, map.Load()) << path.GetString();
    std::map<std::string, BookEntry> books;
    for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap record;
        map.m_mapBooks.GetNextAssoc(pos, key, record);
        books[key.str()] = {key.str(), record.m_nOrder, record.m_strFileName.str(),
                            record.m_strNote.str()};
    }
    return books;
}

namespace {

bool IsFile(const CString& path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    const CString end = text.size() >= suffix.size()
                            ? CString(text.substr(text.size() - suffix.size()).c_str())
                            : CString();
    return !end.IsEmpty() && end.CompareNoCase(suffix.c_str()) == 0;
}

} // namespace

testing::AssertionResult ListAgreesWithBooks(const CString& productDir, const CString& excelDir) {
    const CString myData = productDir + "\\Data\\MyData";
    const bool xlsm = IsFile(myData + "\\ExType2.dat");
    if (xlsm == IsFile(myData + "\\ExType1.dat"))
        return testing::AssertionFailure() << "both format markers or none";
    const std::string ext = xlsm ? ".xlsm" : ".xls";
    for (const auto& record : ReadBookMap(myData + "\\BookMNG.dat")) {
        const std::string& name = record.second.fileName;
        if (!IsFile(excelDir + "\\" + name.c_str()))
            return testing::AssertionFailure() << "the list names " << name << ", which is gone";
        if (!EndsWithNoCase(name, ext))
            return testing::AssertionFailure()
                   << name << " is not " << ext << " as the marker says";
    }
    return testing::AssertionSuccess();
}

std::vector<std::string> MapOrder(const CString& path) {
    CExcelFileMap map(path);
    map.Load();
    std::vector<std::string> keys;
    for (POSITION pos = map.m_mapBooks.GetStartPosition(); pos;) {
        CString key;
        CDataForExMap record;
        map.m_mapBooks.GetNextAssoc(pos, key, record);
        keys.push_back(key.str());
    }
    return keys;
}

namespace {

void AddFiles(const CString& dir, const std::string& prefix,
              std::map<std::string, std::string>& files) {
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*", &fd));
    if (!h)
        return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        const CString path = dir + "\\" + name.c_str();
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddFiles(path, prefix + name + "\\", files);
        else
            files[prefix + name] = ReadFileBytes(path);
    } while (::FindNextFileA(h.Get(), &fd));
}

} // namespace

std::map<std::string, std::string> Snapshot(const CString& dir) {
    std::map<std::string, std::string> files;
    AddFiles(dir, "", files);
    return files;
}

std::vector<std::string> FilesStartingWith(const CString& dir, const std::string& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    const CFindHandle h(::FindFirstFileA(dir + "\\*", &fd));
    if (!h)
        return names;
    do {
        const std::string name = fd.cFileName;
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.rfind(prefix, 0) == 0)
            names.push_back(name);
    } while (::FindNextFileA(h.Get(), &fd));
    return names;
}
