#include "Process.h"
#include "SampleProduct.h"
#include "ScopedHandle_win.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char kEnvKey[] = "SOFTWARE\\QZ\\Morvane\\Env";

void SetValue(HKEY key, const char* name, const char* value) {
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>(CString(value).GetLength()) + 1);
}

// The environment library and the probe installed as "<program>\Exe".
class DornEnvRecord : public testing::Test {
protected:
    void SetUp() override {
        RemoveEnvRegistry();
        m_program = m_dir / "ソフト表";
        ::CreateDirectoryA(m_program, nullptr);
        ::CreateDirectoryA(m_program + "\\Exe", nullptr);
        for (const char* name : {"DornEnv.dll", "dornenv_probe.exe"})
            ASSERT_TRUE(
                ::CopyFileA(TestBinDir() + "\\" + name, m_program + "\\Exe\\" + name, FALSE));
    }
    void TearDown() override { RemoveEnvRegistry(); }

    // The two lines the probe prints, without their labels.
    std::pair<std::string, std::string> Probe(const std::string& args = "") {
        uidriver::Process probe("\"" + (m_program + "\\Exe\\dornenv_probe.exe").str() + "\" " +
                                args);
        EXPECT_EQ(0u, probe.WaitForExit(30000));
        const std::string out = probe.Stdout();
        const size_t second = out.find("second ");
        const std::string first = out.substr(6, out.find('\n') - 6);
        const std::string last = out.substr(second + 7, out.find('\n', second) - second - 7);
        auto trim = [](std::string s) {
            while (!s.empty() && (s.back() == '\r' || s.back() == '\n'))
                s.pop_back();
            return s;
        };
        return {trim(first), trim(last)};
    }
    void MakeMyData() {
        ::CreateDirectoryA(m_program + "\\Data", nullptr);
        ::CreateDirectoryA(m_program + "\\Data\\MyData", nullptr);
    }

    TempDir m_dir;
    CString m_program;
};

} // namespace

TEST_F(DornEnvRecord, ValuesComeFromTheRegistry) {
    CRegKeyHandle owner;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEnvKey, 0, nullptr, 0,
                                               KEY_WRITE, nullptr, owner.Receive(), nullptr));
    const HKEY key = owner.Get();
    SetValue(key, "InstallDir", "C:\\Product\\");
    SetValue(key, "ProgramDir", "D:\\Programs");
    SetValue(key, "DataDir", "E:\\ソ\\"); // a trail byte 0x5C before the last backslash
    SetValue(key, "ProductName", "給与ソフト");
    const DWORD installed = 0;
    ::RegSetValueExA(key, "Installed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed),
                     sizeof installed);
    owner.Close();
    EXPECT_EQ("InstallDir=C:\\Product|ProgramDir=D:\\Programs|DataDir=E:\\ソ|"
              "ProductName=給与ソフト|ExcelExt=.xls|Installed=0",
              Probe().first);
}

TEST_F(DornEnvRecord, MissingValuesComeFromTheLibrarysLocation) {
    const std::string dir = m_program.str();
    const std::string derived = "InstallDir=" + dir + "|ProgramDir=" + dir + "|DataDir=" + dir +
                                "|ProductName=Morvane|ExcelExt=.xls|Installed=";
    EXPECT_EQ(derived + "0", Probe().first); // no "Data" folder: not installed
    MakeMyData();
    EXPECT_EQ(derived + "1", Probe().first);
}

TEST_F(DornEnvRecord, ExtensionFollowsTheFormatMarker) {
    MakeMyData();
    const CString myData = m_program + "\\Data\\MyData\\";
    const struct {
        bool type1, type2;
        const char* ext;
    } cases[] = {{true, false, ".xls"},
                 {false, true, ".xlsm"},
                 {true, true, ".xls"},
                 {false, false, ".xls"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type1 << c.type2);
        ::DeleteFileA(myData + "ExType1.dat");
        ::DeleteFileA(myData + "ExType2.dat");
        if (c.type1)
            WriteFileBytes(myData + "ExType1.dat", "");
        if (c.type2)
            WriteFileBytes(myData + "ExType2.dat", "");
        const std::string line = Probe().first;
        EXPECT_NE(std::string::npos, line.find(std::string("ExcelExt=") + c.ext + "|")) << line;
    }
}

TEST_F(DornEnvRecord, EveryConstructionInARunGivesTheSameValues) {
    MakeMyData();
    const CString myData = m_program + "\\Data\\MyData\\";
    WriteFileBytes(myData + "ExType2.dat", "");
    const auto lines = Probe("\"" + (myData + "ExType2.dat").str() + "\" \"" +
                             (myData + "ExType1.dat").str() + "\"");
    EXPECT_NE(std::string::npos, lines.first.find("ExcelExt=.xlsm"));
    EXPECT_EQ(lines.first, lines.second);
    EXPECT_TRUE(FileExists(myData + "ExType1.dat")); // the rename happened
}
