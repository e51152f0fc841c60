#include "Error.h"
#include "Screenshot.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const RECT kSmallArea{0, 0, 8, 4};

// The names in a folder, without "." and "..".
std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return names;
}

} // namespace

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
