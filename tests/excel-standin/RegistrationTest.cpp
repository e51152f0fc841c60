// Registration as "Excel.Application": what COM and the product read from it.
#include "ExcelStandinControl.h"
#include "RegKey.h"
#include "ScopedHandle_win.h"
#include "ServerFixture.h"

namespace {

// CLSIDFromProgID of a CP932 name; the failure status when it fails.
HRESULT ClsidOf(const char* progId, CLSID& clsid) {
    wchar_t wide[64] = {};
    ::MultiByteToWideChar(932, 0, progId, -1, wide, 64);
    return ::CLSIDFromProgID(wide, &clsid);
}

bool MapsToStandin(const char* progId) {
    CLSID clsid{};
    return SUCCEEDED(ClsidOf(progId, clsid)) && clsid == ExcelStandin::kClsid;
}

CString LocalServer() {
    CRegKey key;
    CString value;
    key.Open(HKEY_LOCAL_MACHINE,
             CString("Software\\Classes\\CLSID\\") + ExcelStandin::kClsidText + "\\LocalServer32");
    key.QueryString("", value);
    return value;
}

// Runs the stand-in with a command line and returns its exit code.
DWORD RunServerExe(const char* args) {
    CString cmd = "\"" + ExcelStandin::ServerPathBeside() + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.GetBuffer(cmd.GetLength() + 1), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    const CProcessHandles process(pi);
    ::WaitForSingleObject(process.hProcess.Get(), 30000);
    DWORD code = 0xFFFFFFFF;
    ::GetExitCodeProcess(process.hProcess.Get(), &code);
    return code;
}

} // namespace

TEST_F(ServerTest, UnregisteredExcelCannotBeCreated) {
    ASSERT_TRUE(ExcelStandin::Unregister());
    CLSID clsid{};
    EXPECT_EQ(CO_E_CLASSSTRING, ClsidOf("Excel.Application", clsid));
    IDispatch* app = reinterpret_cast<IDispatch*>(0xDEADBEEF);
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              ::CoCreateInstance(ExcelStandin::kClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                 reinterpret_cast<void**>(&app)));
    EXPECT_EQ(CString(), ExcelStandin::ReadCurVer());
    EXPECT_TRUE(ExcelStandin::Unregister()) << "a second unregistration is no failure";
    EXPECT_TRUE(ExcelWindowProcesses().empty());
}

TEST_F(ServerTest, CurVerFollowsTheRegistration) {
    EXPECT_EQ(CString("Excel.Application.16"), ExcelStandin::ReadCurVer());
    EXPECT_TRUE(MapsToStandin("Excel.Application.16"));

    ASSERT_TRUE(ExcelStandin::SetCurVer(14));
    EXPECT_EQ(CString("Excel.Application.14"), ExcelStandin::ReadCurVer());
    EXPECT_TRUE(MapsToStandin("Excel.Application.14"));

    ASSERT_TRUE(ExcelStandin::RemoveCurVer());
    EXPECT_EQ(CString(), ExcelStandin::ReadCurVer());
    EXPECT_TRUE(MapsToStandin("Excel.Application")) << "the class stays without CurVer";

    ASSERT_TRUE(ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 12));
    EXPECT_EQ(CString("Excel.Application.12"), ExcelStandin::ReadCurVer());
    EXPECT_FALSE(MapsToStandin("Excel.Application.14")) << "a new registration starts afresh";

    ASSERT_TRUE(ExcelStandin::Unregister());
    EXPECT_FALSE(ExcelStandin::SetCurVer(15));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), ::GetLastError());
    EXPECT_EQ(CString(), ExcelStandin::ReadCurVer());
}

TEST_F(ServerTest, CommandLineSwitchesRegisterAndUnregister) {
    ASSERT_TRUE(ExcelStandin::Unregister());
    const struct {
        const char* args;
        DWORD exitCode;
        const char* curVer;
        bool registered;
    } steps[] = {
        {"/curver 11", 1, "", false},
        {"/regserver", 0, "Excel.Application.16", true},
        {"-RegServer 12", 0, "Excel.Application.12", true},
        {"/curver 11", 0, "Excel.Application.11", true},
        {"/nocurver", 0, "", true},
        {"/regserver twelve", 2, "", true},
        {"", 2, "", true},
        {"/unregserver", 0, "", false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.args);
        EXPECT_EQ(s.exitCode, RunServerExe(s.args));
        EXPECT_EQ(CString(s.curVer), ExcelStandin::ReadCurVer());
        EXPECT_EQ(s.registered, MapsToStandin("Excel.Application"));
        if (s.registered) {
            EXPECT_EQ(ExcelStandin::ServerPathBeside(), LocalServer());
        }
    }
}
