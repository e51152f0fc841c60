#include "MorvaneVersion.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

class VersionBlock {
public:
    explicit VersionBlock(const CString& path) {
        DWORD handle = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
        m_data.resize(size);
        m_ok = size && ::GetFileVersionInfoA(path, 0, size, m_data.data());
    }
    bool Ok() const { return m_ok; }
    DWORD Translation() {
        void* p = nullptr;
        UINT len = 0;
        if (!::VerQueryValueA(m_data.data(), "\\VarFileInfo\\Translation", &p, &len) || len < 4)
            return 0;
        const WORD* w = static_cast<const WORD*>(p);
        return MAKELONG(w[1], w[0]); // language in the high word, code page in the low
    }
    std::string Value(const char* name) {
        void* p = nullptr;
        UINT len = 0;
        const std::string key = std::string("\\StringFileInfo\\041103a4\\") + name;
        if (!::VerQueryValueA(m_data.data(), key.c_str(), &p, &len) || !len)
            return "(none)";
        return static_cast<const char*>(p);
    }
    VS_FIXEDFILEINFO Fixed() {
        void* p = nullptr;
        UINT len = 0;
        VS_FIXEDFILEINFO info{};
        if (::VerQueryValueA(m_data.data(), "\\", &p, &len) && len >= sizeof info)
            info = *static_cast<VS_FIXEDFILEINFO*>(p);
        return info;
    }

private:
    std::vector<char> m_data;
    bool m_ok = false;
};

} // namespace

// Explorer's properties read these blocks: the Japanese block, the product
// name, and the version from the build's one place.
TEST(VersionResources, EveryBinaryCarriesTheJapaneseBlockAndTheBuildVersion) {
    const struct {
        const char* file;
        const char* description;
        DWORD type;
    } cases[] = {
        {"Quimbex.exe", "Morvane Excel ブック管理", VFT_APP},
        {"Tessaro.exe", "Morvaneデータ移行ツール", VFT_APP},
        {"DORNMSG.dll", "Morvane 処理中表示ライブラリ", VFT_DLL},
        {"DornEnv.dll", "Morvane 環境ライブラリ (テスト用代替)", VFT_DLL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        VersionBlock block(TestBinDir() + "\\" + c.file);
        ASSERT_TRUE(block.Ok());
        EXPECT_EQ(MAKELONG(932, 0x411), block.Translation());
        EXPECT_EQ(c.description, block.Value("FileDescription"));
        EXPECT_EQ("Morvane", block.Value("ProductName"));
        EXPECT_EQ(MORVANE_VERSION_TEXT, block.Value("FileVersion"));
        EXPECT_EQ(MORVANE_VERSION_TEXT, block.Value("ProductVersion"));
        EXPECT_EQ(c.file, block.Value("OriginalFilename"));
        EXPECT_NE("(none)", block.Value("LegalCopyright"));
        const VS_FIXEDFILEINFO fixed = block.Fixed();
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(MORVANE_VERSION_MINOR, MORVANE_VERSION_MAJOR)),
                  fixed.dwFileVersionMS);
        EXPECT_EQ(c.type, fixed.dwFileType);
    }
}
