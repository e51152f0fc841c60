#include "ServerFixture.h"

#include "ExcelStandinControl.h"
#include "RegKey.h"
#include "ScopedHandle_win.h"
#include "StandinSetUp.h"

#include <set>

namespace {

const char kEnvKey[] = "SOFTWARE\\QZ\\Morvane\\Env";

BOOL CALLBACK CollectExcelWindow(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    if (::GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "XLMAIN") == 0) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        reinterpret_cast<std::vector<DWORD>*>(lParam)->push_back(pid);
    }
    return TRUE;
}

} // namespace

void ServerTest::SetUp() {
    ASSERT_TRUE(SetUpStandin(m_control.Path()));
    SaveProductEnvironment();
    for (const char* dir : {"\\Excel", "\\Data", "\\Data\\Org"})
        ASSERT_TRUE(::CreateDirectoryA(m_product.Path() + dir, nullptr));
    SaveBook(ConverterPath(), SampleConverter());
}

void ServerTest::TearDown() {
    m_converter.Reset();
    m_client.Release();
    TearDownStandin();
    RestoreProductEnvironment();
}

// The product's DataDir would redirect relative book names; the tests that
// want one set it themselves.
void ServerTest::SaveProductEnvironment() {
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kEnvKey, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    m_bHadDataDir = key.QueryString("DataDir", m_strDataDir) == ERROR_SUCCESS;
    if (m_bHadDataDir)
        key.DeleteValue("DataDir");
}

void ServerTest::RestoreProductEnvironment() {
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kEnvKey, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    if (m_bHadDataDir)
        key.SetString("DataDir", m_strDataDir);
    else
        key.DeleteValue("DataDir");
}

void ServerTest::StartWithConverter() {
    ASSERT_EQ(S_OK, m_client.Create());
    InvokeResult r;
    m_converter = m_client.Open(ConverterPath(), &r);
    ASSERT_TRUE(m_converter) << std::hex << r.hr << " " << r.description.GetString();
}

std::vector<CString> ServerTest::LogTexts() {
    std::vector<CString> texts;
    for (const auto& line : ExcelStandin::ReadLog())
        texts.push_back(line.text);
    return texts;
}

std::vector<CString> ServerTest::LogTextsStartingWith(const char* prefix) {
    std::vector<CString> texts;
    const CString p(prefix);
    for (const CString& text : LogTexts())
        if (text.Left(p.GetLength()) == p)
            texts.push_back(text);
    return texts;
}

DWORD ServerTest::LastStartedServer() {
    DWORD pid = 0;
    for (const auto& line : ExcelStandin::ReadLog())
        if (line.text == "Start")
            pid = line.pid;
    return pid;
}

CStandinWorkbook SamplePayroll(const char* company) {
    CStandinWorkbook book;
    book.Parse("[Book]\r\nKind=Payroll\r\nTemplate=2025.1\r\nProtected=0\r\nYear=2026\r\n"
               "[Company]\r\nName=" +
               std::string(company) +
               "\r\nCode=表示\r\n"
               "[Employees]\r\n0001,山田 太郎,0\r\n0002,ソフト 花子,1\r\n0003,能見 一郎,0\r\n"
               "[PayData]\r\n2026-04,0001,基本給=300000\r\n"
               "[Payslips]\r\n2026-04,0001,差引支給額=245000\r\n"
               "[BonusSlips]\r\n2026-06,0001,賞与=500000\r\n"
               "[Withholding]\r\n2025,0001,源泉徴収税額=120000\r\n"
               "[Attendance]\r\n2026-04,0001,出勤=20\r\n");
    return book;
}

CStandinWorkbook SampleTemplate() {
    CStandinWorkbook book;
    book.Parse("[Book]\r\nKind=Payroll\r\nTemplate=2026.1\r\nProtected=0\r\nYear=2026\r\n"
               "[Company]\r\n[Employees]\r\n[PayData]\r\n[Payslips]\r\n[BonusSlips]\r\n"
               "[Withholding]\r\n[Attendance]\r\n");
    return book;
}

CStandinWorkbook SampleConverter() {
    CStandinWorkbook book;
    book.Parse("[Book]\r\nKind=Converter\r\nTemplate=2026.1\r\n");
    return book;
}

void SaveBook(const CString& path, const CStandinWorkbook& book) {
    ASSERT_TRUE(book.Save(path)) << path.GetString();
}

CStandinWorkbook LoadBook(const CString& path) {
    CStandinWorkbook book;
    EXPECT_TRUE(book.Load(path)) << path.GetString();
    return book;
}

std::vector<CString> SectionOf(const CStandinWorkbook& book, const char* section) {
    const auto* s = book.FindSection(section);
    return s ? s->lines : std::vector<CString>{CString("(missing)")};
}

bool WaitForProcessEnd(DWORD pid, DWORD ms) {
    const CHandle h(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!h)
        return true;
    return ::WaitForSingleObject(h.Get(), ms) == WAIT_OBJECT_0;
}

std::vector<DWORD> ExcelWindowProcesses() {
    std::vector<DWORD> pids;
    ::EnumWindows(CollectExcelWindow, reinterpret_cast<LPARAM>(&pids));
    return pids;
}

bool HasExcelWindow(DWORD pid) {
    for (DWORD p : ExcelWindowProcesses())
        if (p == pid)
            return true;
    return false;
}

bool WaitForLog(const char* text, DWORD ms) {
    const DWORD start = ::GetTickCount();
    const CString t(text);
    for (;;) {
        for (const auto& line : ExcelStandin::ReadLog())
            if (line.text.Left(t.GetLength()) == t)
                return true;
        if (::GetTickCount() - start > ms)
            return false;
        ::Sleep(20);
    }
}
