// Workbooks.Open, Workbook.Close and Workbooks.Close, the errors Run raises,
// and the life of the server process.
#include "ExcelStandinControl.h"
#include "ServerFixture.h"

#include <algorithm>

namespace {

const SCODE kExcelError = static_cast<SCODE>(0x800A03EC);

void ExpectExcelError(const InvokeResult& r, const char* description) {
    EXPECT_EQ(DISP_E_EXCEPTION, r.hr) << std::hex << r.hr;
    EXPECT_EQ(kExcelError, r.scode) << std::hex << r.scode;
    EXPECT_EQ(CString("Microsoft Excel"), r.source);
    EXPECT_EQ(CString(description), r.description);
}

} // namespace

TEST_F(ServerTest, OpenRaisesExcelsErrorsWithTheirDescriptions) {
    ASSERT_EQ(S_OK, m_client.Create());
    WriteFileBytes(ExcelPath("binary.xls"), "\xD0\xCF\x11\xE0 not a stand-in book");
    const CString missing = ExcelPath("ない表.xls"), binary = ExcelPath("binary.xls");
    const struct {
        CString path;
        bool openFails;
        CString description;
    } cases[] = {
        {missing, false,
         "'" + missing +
             "' が見つかりません。ファイル名およびファイルの保存場所が正しいかどうかを確認してく"
             "ださい。"},
        {binary, false,
         "ファイル形式またはファイル拡張子が正しくないため、ファイル '" + binary +
             "' を開くことができません。"},
        {ConverterPath(), true,
         "Microsoft Excel はファイル '" + ConverterPath() + "' にアクセスできません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.GetString());
        CStandinFaults faults;
        faults.SetOpenFails(c.openFails);
        ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
        InvokeResult r;
        EXPECT_FALSE(m_client.Open(c.path, &r));
        ExpectExcelError(r, c.description);
        EXPECT_EQ("Open\t" + c.path + "\t=> ERROR:" + c.description, LogTexts().back());
    }
}

TEST_F(ServerTest, RunWithoutTheMacrosWorkbookRaises) {
    ASSERT_EQ(S_OK, m_client.Create());
    const char* const kNoMacro =
        "マクロ '%s' を実行できません。このブックでマクロが使用できないか、"
        "またはすべてのマクロが無効になっている可能性があります。";
    CString text;
    SCOPED_TRACE("no workbook open");
    text.Format(kNoMacro, "CheckProtect");
    ExpectExcelError(m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls"))), text);

    SCOPED_TRACE("only a payroll book open");
    SaveBook(ExcelPath("a.xls"), SamplePayroll());
    const ScopedDispatch payroll = m_client.Open(ExcelPath("a.xls"));
    ASSERT_TRUE(payroll);
    ExpectExcelError(m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls"))), text);

    SCOPED_TRACE("converter open, unknown macro");
    m_converter = m_client.Open(ConverterPath());
    ASSERT_TRUE(m_converter);
    text.Format(kNoMacro, "Quit");
    ExpectExcelError(m_client.Run("Quit"), text);

    SCOPED_TRACE("converter open, wrong argument count");
    ExpectExcelError(m_client.Run("CheckProtect",
                                  Args(ScopedVariant::Str("a.xls"), ScopedVariant::Str("b.xls"))),
                     "引数の数が一致していません。");
    EXPECT_EQ(CString("Unexpected\tApplication.Run: wrong number of arguments for CheckProtect"),
              LogTextsStartingWith("Unexpected").back());
}

TEST_F(ServerTest, BookCloseSavesOnlyWhenAskedAndWorkbooksCloseClosesTheRest) {
    StartWithConverter();
    // Written by hand: LF line ends and a blank line, which a save rewrites.
    const std::string original = "[Book]\nKind=Payroll\n\n[Company]\nName=表\n";
    const struct {
        const char* name;
        ScopedVariantMaker saveChanges;
        bool saved;
        const char* logged;
    } cases[] = {
        {"a.xls", [] { return ScopedVariant::I4(0); }, false, "I4:0"},
        {"b.xls", [] { return ScopedVariant::I4(1); }, true, "I4:1"},
        {"c.xls", [] { return ScopedVariant::Bool(true); }, true, "BOOL:-1"},
        {"d.xls", [] { return ScopedVariant::Bool(false); }, false, "BOOL:0"},
        {"e.xls", [] { return ScopedVariant::Missing(); }, false, "(none)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CString path = ExcelPath(c.name);
        WriteFileBytes(path, original);
        const ScopedDispatch book = m_client.Open(path);
        ASSERT_TRUE(book);
        ASSERT_TRUE(ExcelStandin::ClearLog());
        EXPECT_EQ(S_OK, StandinClient::CloseBook(book.Get(), c.saveChanges()).hr);
        EXPECT_EQ(c.saved ? std::string("[Book]\r\nKind=Payroll\r\n[Company]\r\nName=表\r\n")
                          : original,
                  ReadFileBytes(path));
        std::vector<CString> expected = {"BookClose\t" + path + "\tSaveChanges=" + c.logged};
        if (c.saved)
            expected.push_back("Saved\t" + path);
        EXPECT_EQ(expected, LogTexts());
    }
    SCOPED_TRACE("Workbooks.Close");
    WriteFileBytes(ExcelPath("f.xls"), original);
    const ScopedDispatch left = m_client.Open(ExcelPath("f.xls"));
    ASSERT_TRUE(ExcelStandin::ClearLog());
    EXPECT_EQ(S_OK, m_client.CloseAll().hr);
    EXPECT_EQ(original, ReadFileBytes(ExcelPath("f.xls")));
    EXPECT_EQ((std::vector<CString>{"Workbooks", "WorkbooksClose\t2"}), LogTexts());
    SCOPED_TRACE("closing a book that Workbooks.Close closed");
    EXPECT_EQ(RPC_E_DISCONNECTED, StandinClient::CloseBook(left.Get(), ScopedVariant::I4(0)).hr);
    EXPECT_EQ(CString("Unexpected\tWorkbook.Close: the workbook is no longer open: ") +
                  ExcelPath("f.xls"),
              LogTexts().back());
}

// REGCLS_SINGLEUSE, as real Excel: every creation starts its own process, and
// each ends when its last reference goes.
TEST_F(ServerTest, EachCreationStartsItsOwnServerThatEndsOnTheLastRelease) {
    StandinClient first, second;
    ASSERT_EQ(S_OK, first.Create());
    ASSERT_EQ(S_OK, second.Create());
    std::vector<DWORD> pids;
    for (const auto& line : ExcelStandin::ReadLog())
        if (line.text == "Start")
            pids.push_back(line.pid);
    ASSERT_EQ(2u, pids.size());
    EXPECT_NE(pids[0], pids[1]);
    for (DWORD pid : pids)
        EXPECT_TRUE(HasExcelWindow(pid)) << pid;
    ScopedDispatch books = first.Workbooks();
    first.Release();
    ::Sleep(200);
    EXPECT_TRUE(HasExcelWindow(pids[0])) << "the collection still holds the server";
    books.Reset();
    second.Release();
    for (DWORD pid : pids) {
        EXPECT_TRUE(WaitForProcessEnd(pid, 5000)) << pid;
        EXPECT_FALSE(HasExcelWindow(pid)) << pid;
    }
    const auto texts = LogTexts();
    EXPECT_EQ(2, std::count(texts.begin(), texts.end(), CString("Exit")));
}

TEST_F(ServerTest, StrayServersAreEnded) {
    ASSERT_EQ(S_OK, m_client.Create());
    const DWORD pid = LastStartedServer();
    ASSERT_TRUE(HasExcelWindow(pid));
    EXPECT_EQ(1, ExcelStandin::KillStrayServers());
    EXPECT_TRUE(WaitForProcessEnd(pid, 1000));
    EXPECT_FALSE(HasExcelWindow(pid));
    EXPECT_EQ(0, ExcelStandin::KillStrayServers());
}
