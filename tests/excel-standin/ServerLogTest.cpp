// calls.log: every call in order, arguments with their types, and every call
// that real Excel would not get from a correct client.
#include "ExcelStandinControl.h"
#include "ServerFixture.h"

#include <fstream>
#include <string>

namespace {

// An Invoke with full control over the fields the stand-in checks.
HRESULT RawInvoke(IDispatch* object, DISPID dispid, REFIID riid, WORD flags, UINT nArgs,
                  bool named) {
    std::vector<VARIANTARG> args(nArgs);
    for (auto& a : args) {
        ::VariantInit(&a);
        a.vt = VT_I4;
        a.lVal = 3;
    }
    DISPID namedId = 0;
    DISPPARAMS params{args.empty() ? nullptr : args.data(), named ? &namedId : nullptr, nArgs,
                      named ? 1u : 0u};
    COleVariant result;
    CExcepInfo info;
    UINT argErr = 0;
    return object->Invoke(dispid, riid, LOCALE_USER_DEFAULT, flags, &params, &result, &info,
                          &argErr);
}

} // namespace

TEST_F(ServerTest, TheLogRecordsOneMacroCallOfTheProductInOrder) {
    SaveBook(ExcelPath("old.xls"), SamplePayroll());
    SaveBook(ExcelPath("new.xls"), SampleTemplate());
    StartWithConverter();
    EXPECT_EQ(S_OK, m_client
                        .Run("社員名簿コンバート",
                             Args(ScopedVariant::Str("old.xls"), ScopedVariant::I4(0),
                                  ScopedVariant::Str("new.xls")))
                        .hr);
    EXPECT_EQ(S_OK, StandinClient::CloseBook(m_converter.Get(), ScopedVariant::I4(0)).hr);
    EXPECT_EQ(S_OK, m_client.CloseAll().hr);
    const DWORD pid = LastStartedServer();
    m_converter.Reset();
    m_client.Release();
    ASSERT_TRUE(WaitForProcessEnd(pid, 5000));
    const std::vector<CString> expected = {
        "Start",
        "Workbooks",
        "Open\t" + ConverterPath(),
        "Run\t社員名簿コンバート\tBSTR:old.xls\tI4:0\tBSTR:new.xls\t=> BOOL:-1",
        "BookClose\t" + ConverterPath() + "\tSaveChanges=I4:0",
        "Workbooks",
        "WorkbooksClose\t0",
        "Exit",
    };
    EXPECT_EQ(expected, LogTexts());
    for (const auto& line : ExcelStandin::ReadLog())
        EXPECT_EQ(pid, line.pid) << line.text.GetString();
}

TEST_F(ServerTest, RunLogsEveryArgumentWithItsTypeInTheCallersOrder) {
    StartWithConverter();
    const InvokeResult r = m_client.Run(
        "NoSuchMacro", Args(ScopedVariant::I2(5), ScopedVariant::Bool(true), ScopedVariant::R8(1.5),
                            ScopedVariant::Missing(), ScopedVariant(),
                            ScopedVariant::Str("表\tソ\r\n"), ScopedVariant::I4(-7)));
    EXPECT_EQ(DISP_E_EXCEPTION, r.hr);
    EXPECT_EQ("Run\tNoSuchMacro\tI2:5\tBOOL:-1\tR8:1.5\tERROR:0x80020004\tEMPTY\t"
              "BSTR:表<09>ソ<0D><0A>\tI4:-7\t=> ERROR:" +
                  r.description,
              LogTexts().back());
}

TEST_F(ServerTest, UnexpectedCallsFailAndAreLogged) {
    StartWithConverter();
    ScopedDispatch books = m_client.Workbooks();
    ASSERT_TRUE(books);
    IDispatch* const app = m_client.App();
    IDispatch* const book = m_converter.Get();
    const struct {
        const char* object;
        DISPID dispid;
        bool nullRiid;
        WORD flags;
        UINT nArgs;
        bool named;
        HRESULT hr;
        const char* logged;
    } cases[] = {
        {"app", 0x999, true, DISPATCH_METHOD, 0, false, DISP_E_MEMBERNOTFOUND,
         "member 0x999 of Application"},
        {"app", 0x103, true, DISPATCH_PROPERTYPUT, 1, false, DISP_E_MEMBERNOTFOUND,
         "Application.Run: wFlags 0x4"},
        {"app", 0x23C, true, DISPATCH_METHOD, 0, false, DISP_E_MEMBERNOTFOUND,
         "Application.Workbooks: wFlags 0x1"},
        {"app", 0x23C, false, DISPATCH_PROPERTYGET, 0, false, DISP_E_UNKNOWNINTERFACE,
         "Application.Workbooks: riid is not IID_NULL"},
        {"app", 0x103, true, DISPATCH_METHOD, 0, false, DISP_E_BADPARAMCOUNT,
         "Application.Run: cArgs 0"},
        {"books", 0x2AA, true, DISPATCH_METHOD, 1, true, DISP_E_NONAMEDARGS,
         "Workbooks.Open: named arguments"},
        {"books", 0x2AA, true, DISPATCH_METHOD, 1, false, DISP_E_TYPEMISMATCH,
         "Workbooks.Open: file name is I4:3"},
        {"books", 0x115, true, DISPATCH_METHOD, 1, false, DISP_E_BADPARAMCOUNT,
         "Workbooks.Close: cArgs 1"},
        {"book", 0x115, true, DISPATCH_METHOD, 2, false, DISP_E_BADPARAMCOUNT,
         "Workbook.Close: cArgs 2"},
        {"book", 0x103, true, DISPATCH_METHOD, 1, false, DISP_E_MEMBERNOTFOUND,
         "member 0x103 of Workbook"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged);
        IDispatch* const object =
            CString(c.object) == "app" ? app : (CString(c.object) == "books" ? books.Get() : book);
        const HRESULT hr = RawInvoke(object, c.dispid, c.nullRiid ? IID_NULL : IID_IDispatch,
                                     c.flags, c.nArgs, c.named);
        EXPECT_EQ(c.hr, hr) << std::hex << hr;
        EXPECT_EQ(CString("Unexpected\t") + c.logged, LogTexts().back());
    }
}

TEST_F(ServerTest, NamesMapToTheMemberIdentifiersOfExcel) {
    StartWithConverter();
    ScopedDispatch books = m_client.Workbooks();
    ASSERT_TRUE(books);
    const struct {
        IDispatch* object;
        const wchar_t* name;
        HRESULT hr;
        DISPID dispid;
    } cases[] = {
        {m_client.App(), L"Run", S_OK, 0x103},
        {m_client.App(), L"WORKBOOKS", S_OK, 0x23C},
        {m_client.App(), L"Quit", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {books.Get(), L"open", S_OK, 0x2AA},
        {books.Get(), L"Close", S_OK, 0x115},
        {m_converter.Get(), L"Close", S_OK, 0x115},
        {m_converter.Get(), L"Run", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name).GetString());
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID dispid = static_cast<DISPID>(0xDEADBEEF);
        EXPECT_EQ(c.hr, c.object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid));
        EXPECT_EQ(c.dispid, dispid);
    }
    LPOLESTR run = const_cast<LPOLESTR>(L"Run");
    DISPID dispid = 0;
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              m_client.App()->GetIDsOfNames(IID_IDispatch, &run, 1, LOCALE_USER_DEFAULT, &dispid));
    EXPECT_EQ(
        (std::vector<CString>{"Unexpected\tGetIDsOfNames of Application: Quit",
                              "Unexpected\tGetIDsOfNames of Workbook: Run",
                              "Unexpected\tGetIDsOfNames of Application: riid is not IID_NULL"}),
        LogTextsStartingWith("Unexpected"));
}

namespace {

std::vector<std::vector<CString>> TimingLines(const CString& path) {
    std::vector<std::vector<CString>> lines;
    std::ifstream in(path.GetString(), std::ios::binary);
    for (std::string text; std::getline(in, text);) {
        std::vector<CString> fields;
        CString line(text.c_str());
        line.TrimRight();
        for (int tab; (tab = line.Find('\t')) >= 0; line = line.Mid(tab + 1))
            fields.push_back(line.Left(tab));
        fields.push_back(line);
        lines.push_back(fields);
    }
    return lines;
}

} // namespace

// The benchmarks' timing: only when timing.log exists as the server starts,
// one line per call with when it came in and went out, calls.log unchanged.
TEST_F(ServerTest, TimingLogTimesEveryCallOnlyWhenItsFileExists) {
    const CString timing = ExcelStandin::ControlDir() + "\\timing.log";
    for (bool wanted : {false, true}) {
        SCOPED_TRACE(wanted ? "timing.log present" : "timing.log absent");
        ::DeleteFileA(timing);
        if (wanted) {
            std::ofstream made(timing.GetString(), std::ios::binary);
            made.close();
            ASSERT_TRUE(made.good()) << timing;
        }
        ExcelStandin::ClearLog();
        StartWithConverter();
        EXPECT_EQ(S_OK, m_client.Run("CheckProtect", Args(ScopedVariant::Str("none.xls"))).hr);
        EXPECT_EQ(S_OK, m_client.CloseAll().hr);
        const DWORD pid = LastStartedServer();
        m_converter.Reset();
        m_client.Release();
        ASSERT_TRUE(WaitForProcessEnd(pid, 5000));
        EXPECT_EQ(LogTextsStartingWith("Start").size(), 1u);
        EXPECT_TRUE(LogTextsStartingWith("Call").empty());
        if (!wanted) {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(timing));
            continue;
        }
        const std::vector<std::vector<CString>> lines = TimingLines(timing);
        const std::vector<CString> expected = {"Server",
                                               "Call\tApplication.Workbooks",
                                               "Call\tWorkbooks.Open",
                                               "Call\tApplication.Run\tCheckProtect",
                                               "Call\tApplication.Workbooks",
                                               "Call\tWorkbooks.Close",
                                               "Exit"};
        ASSERT_EQ(expected.size(), lines.size());
        long long last = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::vector<CString>& f = lines[i];
            SCOPED_TRACE(i);
            ASSERT_GE(f.size(), 4u);
            CString what = f[1];
            for (size_t k = 4; k < f.size(); ++k)
                what += "\t" + f[k];
            EXPECT_EQ(expected[i], what.TrimRight());
            EXPECT_EQ(pid, std::strtoul(f[0], nullptr, 10));
            const long long begin = std::strtoll(f[2], nullptr, 10),
                            end = std::strtoll(f[3], nullptr, 10);
            EXPECT_LE(begin, end);
            if (i > 0) { // the server line begins with the process's creation
                EXPECT_LE(last, begin);
            }
            last = end;
        }
    }
    ::DeleteFileA(timing);
}
