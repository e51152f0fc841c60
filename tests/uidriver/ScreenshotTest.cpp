#include "Error.h"
#include "Poll.h"
#include "ScopedHandle_win.h"
#include "Screenshot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace {

const RECT kSmallArea{0, 0, 8, 4};

// The names in a folder, without "." and "..".
std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    const CFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (::FindNextFileA(find.Get(), &data));
    return names;
}

// A topmost window in four colours, one to a quarter: red, green above;
// blue, white below.  Its odd width makes each row of a 24-bit BMP end in a
// padding byte.
class ColourWindow {
public:
    static constexpr int kWidth = 13;
    static constexpr int kHeight = 10;
    static constexpr COLORREF kColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                             RGB(255, 255, 255)};

    ColourWindow(int x, int y) : m_rect{x, y, x + kWidth, y + kHeight} {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "ScreenshotColours";
        ::RegisterClassA(&wc);
        m_window.Attach(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "",
                                          WS_POPUP | WS_VISIBLE, x, y, kWidth, kHeight, nullptr,
                                          nullptr, wc.hInstance, nullptr));
    }
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;

    const RECT& Rect() const { return m_rect; }
    // The colour of a pixel of the window, as 0x00RRGGBB.
    static uint32_t Expected(int x, int y) {
        const COLORREF c = kColours[(y < kHeight / 2 ? 0 : 2) + (x < kWidth / 2 ? 0 : 1)];
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // Pumps this thread's messages until the screen shows the window.
    bool WaitUntilShown() const {
        return uidriver::PollUntil(
            [this] {
                MSG msg;
                while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                    ::DispatchMessageA(&msg);
                return ShowsIn(uidriver::CaptureScreen(m_rect), 0, 0);
            },
            kWaitMs);
    }
    // Whether `image` holds the window with its top left corner at (x, y).
    static bool ShowsIn(const uidriver::ScreenImage& image, int x, int y) {
        for (int row = 0; row < kHeight; ++row)
            for (int col = 0; col < kWidth; ++col) {
                const int ix = x + col, iy = y + row;
                if (ix >= image.width || iy >= image.height ||
                    image.pixels[static_cast<size_t>(iy) * image.width + ix] != Expected(col, row))
                    return false;
            }
        return true;
    }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT)
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(hwnd, &ps);
        for (int q = 0; q < 4; ++q) {
            const RECT r{q % 2 ? kWidth / 2 : 0, q / 2 ? kHeight / 2 : 0,
                         q % 2 ? kWidth : kWidth / 2, q / 2 ? kHeight : kHeight / 2};
            const CGdiObject<HBRUSH> brush(::CreateSolidBrush(kColours[q]));
            ::FillRect(dc, &r, brush.Get());
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }

    RECT m_rect;
    CWindowHandle m_window;
};

// Reads back a 24-bit BMP as SaveBmp writes it (rows bottom up, each padded
// to four bytes); an empty image when the file is not one.
uidriver::ScreenImage ReadBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    if (bytes.size() < sizeof fh + sizeof ih)
        return {};
    std::memcpy(&fh, bytes.data(), sizeof fh);
    std::memcpy(&ih, bytes.data() + sizeof fh, sizeof ih);
    const int stride = (ih.biWidth * 3 + 3) & ~3;
    if (fh.bfType != 0x4D42 || ih.biBitCount != 24 || ih.biHeight <= 0 ||
        bytes.size() < fh.bfOffBits + static_cast<size_t>(stride) * ih.biHeight)
        return {};
    uidriver::ScreenImage image;
    image.width = ih.biWidth;
    image.height = ih.biHeight;
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(bytes.data()) + fh.bfOffBits +
                          static_cast<size_t>(image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = row + static_cast<ptrdiff_t>(x) * 3;
            image.pixels.push_back((p[2] << 16) | (p[1] << 8) | p[0]);
        }
    }
    return image;
}

} // namespace

// What the screen shows of a window lands in the file at the same place,
// pixel for pixel, for a part of the screen and for the whole of it.
TEST(Screenshot, FileHoldsTheWindowsPixelsWhereTheScreenShowsThem) {
    const ColourWindow window(203, 151);
    ASSERT_TRUE(window.WaitUntilShown());
    const RECT& w = window.Rect();
    const RECT area{w.left - 3, w.top - 2, w.right + 4, w.bottom + 5};

    const uidriver::ScreenImage part =
        ReadBmp(uidriver::SaveScreenshot(OutputDir(), "colours-part", &area));
    EXPECT_EQ(area.right - area.left, part.width);
    EXPECT_EQ(area.bottom - area.top, part.height);
    EXPECT_TRUE(ColourWindow::ShowsIn(part, 3, 2));

    const uidriver::ScreenImage whole =
        ReadBmp(uidriver::SaveScreenshot(OutputDir(), "colours-screen"));
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), whole.width);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), whole.height);
    EXPECT_TRUE(ColourWindow::ShowsIn(whole, w.left, w.top));
}

// ソ (83 5C) and 表 (95 5C) end in the byte of '\\': taken for a separator,
// it would make folders named after the lead byte alone.
TEST(Screenshot, CreatesNestedJapaneseFoldersWhole) {
    const std::string top = OutputDir() + "\\ソフト";
    const std::string path = uidriver::SaveScreenshot(top + "\\表示", "画面", &kSmallArea);
    EXPECT_EQ(top + "\\表示\\画面.bmp", path);
    EXPECT_EQ(std::set<std::string>{"表示"}, Entries(top));
    EXPECT_EQ(std::set<std::string>{"画面.bmp"}, Entries(top + "\\表示"));
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA((top + "\\表示").c_str());
    ::RemoveDirectoryA(top.c_str());
}

TEST(Screenshot, JoinsFolderAndNameWithOneSeparator) {
    const struct {
        std::string folder;
        const char* name;
        std::string path;
    } cases[] = {
        {OutputDir() + "\\ソ\\", "a.bmp", OutputDir() + "\\ソ\\a.bmp"},
        {OutputDir() + "/ソ/", "b", OutputDir() + "/ソ/b.bmp"},
        {OutputDir() + "\\ソ", "c", OutputDir() + "\\ソ\\c.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.path, uidriver::SaveScreenshot(c.folder, c.name, &kSmallArea));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(c.path.c_str()));
        ::DeleteFileA(c.path.c_str());
    }
    ::RemoveDirectoryA((OutputDir() + "\\ソ").c_str());
}

TEST(Screenshot, ReportsAFolderThatCannotBeMade) {
    EXPECT_THROW(uidriver::SaveScreenshot("Q:\\no-such-drive\\x", "x", &kSmallArea),
                 uidriver::Error);
}

// A capture larger than any bitmap the system makes fails by its name, and
// leaves no file behind.
TEST(Screenshot, ReportsACaptureTooLargeForABitmap) {
    const RECT huge{0, 0, 100000, 100000};
    EXPECT_THROW(uidriver::CaptureScreen(huge), uidriver::Error);
    EXPECT_THROW(uidriver::SaveScreenshot(OutputDir(), "too-large", &huge), uidriver::Error);
    EXPECT_EQ(0u, Entries(OutputDir()).count("too-large.bmp"));
}
