// Application.DisplayAlerts, the save prompt of a changed workbook that
// closes without being told whether to save, Workbooks.Open's optional
// arguments and the result kinds that Run can be made to answer.
#include "ExcelStandinControl.h"
#include "MsgBox.h"
#include "ServerFixture.h"

#include <atomic>
#include <thread>

namespace {

constexpr DISPID kDisplayAlerts = 0x157;

InvokeResult Put(IDispatch* object, DISPID dispid, ScopedVariant value, bool named = true) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value.v, named ? &put : nullptr, 1, named ? 1u : 0u};
    InvokeResult r;
    CExcepInfo info;
    r.hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, &info, nullptr);
    if (r.hr == DISP_E_EXCEPTION)
        r.description = Narrow(info.bstrDescription);
    return r;
}

HRESULT IdOfName(IDispatch* object, const wchar_t* name, DISPID& dispid) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
}

// What a worker thread saw of the stand-in's save prompt while the test's
// thread waited in the call that showed it.
struct SeenPrompt {
    std::string caption;
    std::string text;
    bool callStillWaiting = false;
    std::string failure; // the prompt never showed
};

// Finds the server's message box and presses `button`.  Without a box by
// the deadline the server is ended, so that the waiting call comes back and
// the test fails instead of hanging.
class PromptAnswerer {
public:
    PromptAnswerer(DWORD serverPid, int button, const std::atomic<bool>& returned)
        : m_thread([this, serverPid, button, &returned] { Answer(serverPid, button, returned); }) {}
    ~PromptAnswerer() {
        if (m_thread.joinable())
            m_thread.join();
    }
    PromptAnswerer(const PromptAnswerer&) = delete;
    PromptAnswerer& operator=(const PromptAnswerer&) = delete;
    const SeenPrompt& Seen() {
        m_thread.join();
        return m_seen;
    }

private:
    void Answer(DWORD pid, int button, const std::atomic<bool>& returned) {
        try {
            const uidriver::MsgBox box =
                uidriver::MsgBox::WaitFor(uidriver::WindowFinder(pid), 30000);
            m_seen.callStillWaiting = !returned;
            m_seen.caption = box.Caption();
            m_seen.text = box.Text();
            box.Press(button);
        } catch (const std::exception& e) {
            m_seen.failure = e.what();
            ExcelStandin::KillStrayServers();
        }
    }

    SeenPrompt m_seen;
    std::thread m_thread;
};

// The log after the server's "Start".
std::vector<CString> AfterStart() {
    std::vector<CString> texts;
    for (const auto& line : ExcelStandin::ReadLog())
        if (line.text != "Start")
            texts.push_back(line.text);
    return texts;
}

} // namespace

// Excel's property, found by name; True until it is set, and the instance
// keeps what a client set.  A put must name its value DISPID_PROPERTYPUT.
TEST_F(ServerTest, DisplayAlertsIsFoundByNameAndKeepsWhatWasSet) {
    ASSERT_EQ(S_OK, m_client.Create());
    IDispatch* app = m_client.App();
    DISPID dispid = 0;
    ASSERT_EQ(S_OK, IdOfName(app, L"displayALERTS", dispid));
    EXPECT_EQ(kDisplayAlerts, dispid);
    const struct {
        const char* what;
        ScopedVariantMaker value;
        HRESULT hr;
        bool after;
    } cases[] = {
        {"False", [] { return ScopedVariant::Bool(false); }, S_OK, false},
        {"an integer converts", [] { return ScopedVariant::I4(1); }, S_OK, true},
        {"a text that is no Boolean", [] { return ScopedVariant::Str("表示"); },
         DISP_E_TYPEMISMATCH, true},
    };
    EXPECT_EQ(VARIANT_TRUE,
              StandinClient::Invoke(app, dispid, DISPATCH_PROPERTYGET).value.v.boolVal);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.hr, Put(app, dispid, c.value()).hr);
        const InvokeResult get = StandinClient::Invoke(app, dispid, DISPATCH_PROPERTYGET);
        EXPECT_EQ(VT_BOOL, get.value.v.vt);
        EXPECT_EQ(c.after ? VARIANT_TRUE : VARIANT_FALSE, get.value.v.boolVal);
    }
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, Put(app, dispid, ScopedVariant::Bool(false), false).hr);
    EXPECT_EQ((std::vector<CString>{
                  "DisplayAlerts\tget\t=> BOOL:-1",
                  "DisplayAlerts\tput\tBOOL:0",
                  "DisplayAlerts\tget\t=> BOOL:0",
                  "DisplayAlerts\tput\tI4:1",
                  "DisplayAlerts\tget\t=> BOOL:-1",
                  "Unexpected\tApplication.DisplayAlerts: put of BSTR:表示",
                  "DisplayAlerts\tget\t=> BOOL:-1",
                  "Unexpected\tApplication.DisplayAlerts: put without DISPID_PROPERTYPUT",
              }),
              AfterStart());
}

TEST_F(ServerTest, DisplayAlertsFaultsHideTheNameOrRefuseThePut) {
    ASSERT_EQ(S_OK, m_client.Create());
    CStandinFaults faults;
    faults.SetAlertsFault(CStandinFaults::alertsUnknown);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    DISPID dispid = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, IdOfName(m_client.App(), L"DisplayAlerts", dispid));
    EXPECT_EQ(DISPID_UNKNOWN, dispid);

    faults.SetAlertsFault(CStandinFaults::alertsRaise);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    ASSERT_EQ(S_OK, IdOfName(m_client.App(), L"DisplayAlerts", dispid));
    const char kRefused[] = "Application クラスの DisplayAlerts プロパティを設定できません。";
    const InvokeResult r = Put(m_client.App(), dispid, ScopedVariant::Bool(false));
    EXPECT_EQ(DISP_E_EXCEPTION, r.hr);
    EXPECT_EQ(CString(kRefused), r.description);
    EXPECT_EQ(VARIANT_TRUE,
              StandinClient::Invoke(m_client.App(), dispid, DISPATCH_PROPERTYGET).value.v.boolVal);
    EXPECT_EQ((std::vector<CString>{"GetIDsOfNames\tDisplayAlerts\t=> unknown",
                                    CString("DisplayAlerts\tput\tBOOL:0\t=> ERROR:") + kRefused,
                                    "DisplayAlerts\tget\t=> BOOL:-1"}),
              AfterStart());
}

// A macro left a book changed and open.  With alerts on, closing it without
// saying whether to save shows Excel's question, and the call waits for the
// answer; the answer decides.  Without an answer the call never returns.
TEST_F(ServerTest, ChangedBookClosedUntoldAsksWhetherToSaveAndWaits) {
    StartWithConverter();
    const DWORD pid = LastStartedServer();
    CStandinFaults faults;
    faults.SetLeaveChanged("CheckProtect");
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const struct {
        const char* name;
        bool wholeCollection; // Workbooks.Close, else Workbook.Close without SaveChanges
        int button;
        bool saved;
        std::vector<CString> after; // the log after the prompt
    } cases[] = {
        {"a.xls", true, IDYES, true, {"PromptAnswer\tSave", "Saved\t", "WorkbooksClose\t2"}},
        {"b.xls",
         true,
         IDNO,
         false,
         {"PromptAnswer\tDontSave", "Discarded\t", "WorkbooksClose\t2"}},
        {"c.xls", false, IDNO, false, {"PromptAnswer\tDontSave", "Discarded\t"}},
        // Cancel stops the closing: the book stays open (the last case).
        {"d.xls", true, IDCANCEL, false, {"PromptAnswer\tCancel", "WorkbooksClose\t1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CString path = ExcelPath(c.name);
        SaveBook(path, SamplePayroll());
        const std::string original = ReadFileBytes(path);
        m_converter = m_client.Open(ConverterPath());
        ASSERT_EQ(S_OK, m_client.Run("CheckProtect", Args(ScopedVariant::Str(c.name))).hr);
        const ScopedDispatch book = c.wholeCollection ? ScopedDispatch() : m_client.Open(path);
        ASSERT_TRUE(ExcelStandin::ClearLog());

        std::atomic<bool> returned{false};
        PromptAnswerer answerer(pid, c.button, returned);
        const HRESULT hr = c.wholeCollection
                               ? m_client.CloseAll().hr
                               : StandinClient::CloseBook(book.Get(), ScopedVariant::Missing()).hr;
        returned = true;
        const SeenPrompt& seen = answerer.Seen();
        ASSERT_EQ("", seen.failure);
        EXPECT_EQ(S_OK, hr) << std::hex << hr;
        EXPECT_TRUE(seen.callStillWaiting);
        EXPECT_EQ("Microsoft Excel", seen.caption);
        EXPECT_EQ("'" + std::string(c.name) + "' への変更を保存しますか?", seen.text);
        EXPECT_EQ(c.saved, original != ReadFileBytes(path));
        if (c.saved) {
            EXPECT_EQ(CString("1"), LoadBook(path).GetValue("Book", "UnsavedChange"));
        }
        std::vector<CString> expected = {"Prompt\tSave\t" + path};
        for (const CString& line : c.after)
            expected.push_back(line.Right(1) == "\t" ? line + path : line);
        if (c.wholeCollection)
            expected.insert(expected.begin(), "Workbooks");
        else
            expected.insert(expected.begin(), "BookClose\t" + path + "\tSaveChanges=(none)");
        EXPECT_EQ(expected, LogTexts());
    }
}

// With alerts off Excel takes the default answer: a changed book closed
// without being told is closed unsaved.  Told, it does as it is told.
TEST_F(ServerTest, ChangedBookClosesUnsavedWithAlertsOff) {
    StartWithConverter();
    DISPID dispid = 0;
    ASSERT_EQ(S_OK, IdOfName(m_client.App(), L"DisplayAlerts", dispid));
    ASSERT_EQ(S_OK, Put(m_client.App(), dispid, ScopedVariant::Bool(false)).hr);
    CStandinFaults faults;
    faults.SetLeaveChanged("*");
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const struct {
        const char* name;
        ScopedVariantMaker saveChanges; // null: Workbooks.Close
        bool saved;
        std::vector<const char*> log; // a line ending in a tab goes on with the path
    } cases[] = {
        {"a.xls", nullptr, false, {"Workbooks", "Discarded\t", "WorkbooksClose\t2"}},
        {"b.xls", [] { return ScopedVariant::Missing(); }, false, {"BookClose\t", "Discarded\t"}},
        {"c.xls", [] { return ScopedVariant::I4(1); }, true, {"BookClose\t", "Saved\t"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CString path = ExcelPath(c.name);
        SaveBook(path, SamplePayroll());
        SaveBook(ExcelPath("new.xls"), SampleTemplate());
        const std::string original = ReadFileBytes(path);
        m_converter = m_client.Open(ConverterPath());
        ASSERT_EQ(S_OK, m_client
                            .Run("給与データコンバート",
                                 Args(ScopedVariant::Str(c.name), ScopedVariant::Str("KARVINE"),
                                      ScopedVariant::Str("new.xls")))
                            .hr);
        ASSERT_EQ(1u, LogTextsStartingWith("LeftChanged\t" + path).size());
        const ScopedDispatch book = c.saveChanges ? m_client.Open(path) : ScopedDispatch();
        ASSERT_TRUE(ExcelStandin::ClearLog());
        EXPECT_EQ(S_OK, c.saveChanges ? StandinClient::CloseBook(book.Get(), c.saveChanges()).hr
                                      : m_client.CloseAll().hr);
        EXPECT_EQ(c.saved, original != ReadFileBytes(path));
        std::vector<CString> expected;
        for (const CString line : c.log)
            expected.push_back(line.Right(1) == "\t" ? line + path : line);
        if (c.saveChanges)
            expected[0] += "\tSaveChanges=" + CString(c.saved ? "I4:1" : "(none)");
        EXPECT_EQ(expected, LogTexts());
        m_client.CloseAll(); // the converter
    }
}

// A macro may switch the alerts on at its end (or leave them off for its
// own work, which Excel undoes when it ends): what the client set is gone,
// after a macro that raised as well.
TEST_F(ServerTest, AMacroCanTakeBackTheAlertsThatAClientSwitchedOff) {
    StartWithConverter();
    DISPID dispid = 0;
    ASSERT_EQ(S_OK, IdOfName(m_client.App(), L"DisplayAlerts", dispid));
    const struct {
        const char* faults;
        HRESULT hr;
    } cases[] = {
        {"AlertsOnAfter=CheckProtect", S_OK},
        {"AlertsOnAfter=*\r\nRaise=CheckProtect", DISP_E_EXCEPTION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        ASSERT_EQ(S_OK, Put(m_client.App(), dispid, ScopedVariant::Bool(false)).hr);
        WriteFileBytes(ExcelStandin::ControlDir() + "\\faults.ini", c.faults);
        ASSERT_TRUE(ExcelStandin::ClearLog());
        EXPECT_EQ(c.hr, m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls"))).hr);
        const InvokeResult get =
            StandinClient::Invoke(m_client.App(), dispid, DISPATCH_PROPERTYGET);
        EXPECT_EQ(VARIANT_TRUE, get.value.v.boolVal);
        const std::vector<CString> log = LogTexts();
        ASSERT_LE(3u, log.size());
        EXPECT_EQ(CString("DisplayAlerts\tmacro\tBOOL:-1"), log[log.size() - 3]);
        EXPECT_EQ(0, log[log.size() - 2].Find("Run\tCheckProtect\t"));
    }
}

// FileName and the 14 optional arguments of Excel's Workbooks.Open are taken
// (and logged); a 16th is refused.
TEST_F(ServerTest, OpenTakesTheDocumentedOptionalArgumentsAndNoMore) {
    ASSERT_EQ(S_OK, m_client.Create());
    const ScopedDispatch books = m_client.Workbooks();
    ASSERT_TRUE(books);
    std::vector<ScopedVariant> args;
    args.push_back(ScopedVariant::Str(ConverterPath()));
    args.push_back(ScopedVariant::I4(0));      // UpdateLinks
    args.push_back(ScopedVariant::Bool(true)); // ReadOnly
    CString logged = "Open\t" + ConverterPath() + "\tI4:0\tBOOL:-1";
    for (int i = 3; i < 15; ++i) {
        args.push_back(ScopedVariant::Missing());
        logged += "\tERROR:0x80020004";
    }
    InvokeResult r = StandinClient::Invoke(books.Get(), StandinClient::dispidOpen, DISPATCH_METHOD,
                                           std::move(args));
    EXPECT_EQ(S_OK, r.hr) << std::hex << r.hr;
    EXPECT_EQ(VT_DISPATCH, r.value.v.vt);
    EXPECT_EQ(logged, LogTexts().back());

    std::vector<ScopedVariant> tooMany;
    tooMany.push_back(ScopedVariant::Str(ConverterPath()));
    for (int i = 1; i < 16; ++i)
        tooMany.push_back(ScopedVariant::Missing());
    r = StandinClient::Invoke(books.Get(), StandinClient::dispidOpen, DISPATCH_METHOD,
                              std::move(tooMany));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, r.hr) << std::hex << r.hr;
    EXPECT_EQ(CString("Unexpected\tWorkbooks.Open: cArgs 16"), LogTexts().back());
}

// A Sub answers Empty; a Function may answer any type, an error value too.
TEST_F(ServerTest, RunAnswersTheResultKindsOfItsFaults) {
    StartWithConverter();
    const struct {
        const char* line;
        VARTYPE vt;
        const char* logged;
    } cases[] = {
        {"Return=CheckProtect:Empty", VT_EMPTY, "EMPTY"},
        {"Return=CheckProtect:Double:0.1", VT_R8, "R8:0.1"},
        {"Return=CheckProtect:String:はい", VT_BSTR, "BSTR:はい"},
        {"Return=CheckProtect:Error:2042", VT_ERROR, "ERROR:0x800A07FA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        WriteFileBytes(ExcelStandin::ControlDir() + "\\faults.ini", c.line);
        const InvokeResult r = m_client.Run("CheckProtect", Args(ScopedVariant::Str("a.xls")));
        EXPECT_EQ(S_OK, r.hr) << std::hex << r.hr;
        EXPECT_EQ(c.vt, r.value.v.vt);
        const CString line = LogTexts().back();
        EXPECT_EQ(CString("=> ") + c.logged, line.Mid(line.Find("=> ")));
    }
}
