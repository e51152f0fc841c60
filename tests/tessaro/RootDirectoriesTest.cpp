#include "DornEnv.h"
#include "ScopedHandle_win.h"
#include "TessaroApp_win.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kTestKey[] = "Software\\QZTest\\TessaroRegistry";
const char kCommonKey[] = "SOFTWARE\\QZ\\SorvikV\\CommonV";

// A key of this test below HKEY_CURRENT_USER, removed when the object goes.
class TestKey {
public:
    TestKey() {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, m_key.Receive(), nullptr));
    }
    ~TestKey() {
        m_key.Close();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    // `size` bytes of `data`; -1: the string with its terminating NUL.
    void Set(const char* name, DWORD type, const std::string& data, int size = -1) const {
        const DWORD n = size < 0 ? static_cast<DWORD>(data.size() + 1) : static_cast<DWORD>(size);
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExA(m_key.Get(), name, 0, type,
                                                  reinterpret_cast<const BYTE*>(data.c_str()), n));
    }
    // Leaves everyone only reading (and deleting, so that the test can
    // remove the key again).
    void GrantOnlyReading() const {
        CLocalMemory<PSECURITY_DESCRIPTOR> sd;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:(A;;KRSD;;;WD)", SDDL_REVISION_1, sd.Receive(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegSetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, sd.Get()));
    }

private:
    CRegKeyHandle m_key;
};

} // namespace

TEST(ReadRegistryString, OnlyAStringValueIsRead) {
    const TestKey key;
    key.Set("CommonDir", REG_SZ, "C:\\共通\\ソ表"); // trail bytes 0x5C
    key.Set("Empty", REG_SZ, "");
    key.Set("Unterminated", REG_SZ, "abc", 3);
    key.Set("Expand", REG_EXPAND_SZ, "%TEMP%");
    key.Set("Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4), 4);
    const struct {
        const char* subKey;
        const char* name;
        bool found;
        const char* value;
    } cases[] = {
        {kTestKey, "CommonDir", true, "C:\\共通\\ソ表"},
        {kTestKey, "commondir", true, "C:\\共通\\ソ表"}, // names ignore case
        {kTestKey, "Empty", true, ""},
        {kTestKey, "Unterminated", true, "abc"},
        {kTestKey, "Expand", false, nullptr},
        {kTestKey, "Number", false, nullptr},
        {kTestKey, "Missing", false, nullptr},
        {kTestKey, "AValueNameLongerThanEveryNameOfTheKey", false, nullptr},
        {"Software\\QZTest\\NoSuchKey", "CommonDir", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CString value = "untouched";
        EXPECT_EQ(c.found,
                  CTessaroApp::ReadRegistryString(HKEY_CURRENT_USER, c.subKey, c.name, value));
        EXPECT_EQ(c.found ? c.value : "untouched", value);
    }
}

// A standard user may read the common key but not change it: asking for
// full access would fail there and leave the common files out.
TEST(ReadRegistryString, KeyThatGrantsOnlyReadingIsRead) {
    const TestKey key;
    key.Set("CommonDir", REG_SZ, "C:\\Common");
    key.GrantOnlyReading();
    CRegKeyHandle full;
    ASSERT_EQ(ERROR_ACCESS_DENIED,
              ::RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, full.Receive()));
    CString value;
    EXPECT_TRUE(CTessaroApp::ReadRegistryString(HKEY_CURRENT_USER, kTestKey, "CommonDir", value));
    EXPECT_EQ("C:\\Common", value);
}

TEST(SetRootDirectories, CommonRootComesFromTheRegistryOrStaysEmpty) {
    const CDornEnv env;
    for (const char* common : {"D:\\共通ソ", ""}) {
        SCOPED_TRACE(common);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCommonKey);
        if (*common) {
            CRegKeyHandle key;
            ASSERT_EQ(ERROR_SUCCESS,
                      ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCommonKey, 0, nullptr, 0, KEY_WRITE,
                                        nullptr, key.Receive(), nullptr));
            ::RegSetValueExA(key.Get(), "CommonDir", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(common),
                             static_cast<DWORD>(std::strlen(common) + 1));
        }
        CTessaroApp& app = theApp;
        for (CString& root : app.m_astrRoots)
            root = "stale";
        app.m_astrRoots[2].Empty();
        app.SetRootDirectories();
        EXPECT_EQ(env.m_strInstallDir, app.m_astrRoots[0]);
        EXPECT_EQ(env.m_strDataDir, app.m_astrRoots[1]);
        EXPECT_EQ(common, app.m_astrRoots[2]);
        EXPECT_EQ(env.m_strInstallDir, app.m_astrRoots[3]);
        EXPECT_EQ(env.m_strInstallDir, app.m_astrRoots[4]);
    }
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCommonKey);
}
