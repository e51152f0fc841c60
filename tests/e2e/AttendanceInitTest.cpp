#include "AttendInitDlgRes.h"
#include "DialogTemplate.h"
#include "BookChecks.h"
#include "DialogChecks.h"
#include "DialogWindow.h"
#include "FullDisk.h"
#include "HeldFiles.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"
#include "SampleWorkbooks.h"
#include "Screenshot.h"
#include "StandinWorkbook.h"
#include "TempDir.h"
#include "Time.h"

#include <windows.h>

#include <memory>

using uidriver::IconKind;

namespace {

const char kCaption[] = "ブックの初期化";
const char kFailed[] = "ブックの初期化に失敗しました。";

class AttendanceInit : public ProductFixture {
protected:
    CString BookMng() const { return MyDataDir() + "\\BookMNG.dat"; }

    // Starts command 10 and waits for its dialog.
    uidriver::DialogWindow Start() {
        m_dates = {TodayText()};
        m_process = std::make_unique<uidriver::Process>(QuimbexStart("/K:10"));
        return uidriver::DialogWindow::WaitFor(m_process->Windows(), kCaption, 60000);
    }
    // Answers every further box and waits for the end.
    QuimbexRun Finish() {
        QuimbexRun run;
        FinishRun(*m_process, run);
        if (TodayText() != m_dates[0])
            m_dates.push_back(TodayText());
        return run;
    }
    QuimbexRun Initialise(bool keepData) {
        const uidriver::DialogWindow dlg = Start();
        if (!keepData)
            dlg.SetCheck(IDC_ATTEND_INITIAL, true);
        dlg.Click(IDOK);
        return Finish();
    }
    // The dated backup of a stem that the run made.
    std::string DatedBackup(const std::string& stem, const std::string& ext) const {
        for (const std::string& date : m_dates)
            if (FileExists(Excel(stem + "_" + date + ext)))
                return stem + "_" + date + ext;
        return stem + "_" + m_dates[0] + ext;
    }
    std::string Completion(const std::string& backupFile) const {
        return "初期化が完了しました。\n以前の勤怠ブックは「" + backupFile +
               "」として保存されています。\n保存場所は " + ExcelDir().str() + " です。";
    }

    std::unique_ptr<uidriver::Process> m_process;
    std::vector<std::string> m_dates;
};

} // namespace

const ExpectedDialog kTemplate130 = {
    kCaption,
    {255, 118},
    IDCANCEL,
    {
        {-1,
         "Static",
         0,
         SS_TYPEMASK,
         "勤怠ブックを初期化します。\n複数ブックをご利用の場合には▼部分をクリックして\n"
         "初期化するブックを選択してください。",
         {7, 7, 174, 33}},
        {IDC_ATTEND_BOOKS,
         "ComboBox",
         CBS_DROPDOWNLIST | WS_VSCROLL,
         CBS_SORT,
         nullptr,
         {7, 45, 241, 108}},
        {IDC_ATTEND_KEEP_DATA,
         "Button",
         BS_AUTORADIOBUTTON | WS_GROUP,
         0,
         "勤怠データを残す    ",
         {7, 70, 73, 11}},
        {IDC_ATTEND_INITIAL,
         "Button",
         BS_AUTORADIOBUTTON,
         WS_GROUP,
         "初期状態にする",
         {7, 85, 80, 12}},
        {IDOK, "Button", 0, BS_DEFPUSHBUTTON, "初期化", {139, 97, 50, 14}},
        {IDCANCEL, "Button", BS_DEFPUSHBUTTON, 0, "ｷｬﾝｾﾙ", {198, 97, 50, 14}},
    }};

TEST_F(AttendanceInit, DialogMatchesTemplate130) {
    ExpectTemplate((BinDir() + "\\Quimbex.exe").str(), IDD_ATTEND_INIT, kTemplate130);
    const uidriver::DialogWindow dlg = Start();
    EXPECT_TRUE(SaveDialogShot(dlg.Handle(), IDCANCEL, "quimbex-attend-init-dialog"));
    ExpectDialog(dlg.Handle(), kTemplate130);
    EXPECT_EQ(BST_CHECKED, dlg.CheckState(IDC_ATTEND_KEEP_DATA));
    EXPECT_EQ(BST_UNCHECKED, dlg.CheckState(IDC_ATTEND_INITIAL));
    dlg.Click(IDCANCEL);
    const QuimbexRun run = Finish();
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(0, ServerStarts());
}

// The list follows m_nOrder, equal orders in the map's own order; each item
// carries its order and names the book by its key, "(未作成)" when the
// attendance workbook of its file name is missing.
TEST_F(AttendanceInit, ListsBooksByOrderUnderTheirKeys) {
    const std::vector<std::string> keys = {"本社", "支店", "表参道店", "倉庫"};
    WriteBookMap(BookMng(), {{keys[0], 0, "kyuyo.xls", ""},
                             {keys[1], 0, "shiten.xls", ""},
                             {keys[2], 0, "表参道店.xls", ""},
                             {keys[3], 0, "soko.xls", ""}});
    // Orders 2, 0, 1, 1 in the map's walking order.
    const std::vector<std::string> walk = MapOrder(BookMng());
    ASSERT_EQ(4u, walk.size());
    const std::map<std::string, std::string> files = {{"本社", "kyuyo.xls"},
                                                      {"支店", "shiten.xls"},
                                                      {"表参道店", "表参道店.xls"},
                                                      {"倉庫", "soko.xls"}};
    const int orders[] = {2, 0, 1, 1};
    std::vector<BookEntry> books;
    for (size_t i = 0; i < walk.size(); ++i)
        books.push_back({walk[i], orders[i], files.at(walk[i]), ""});
    WriteBookMap(BookMng(), books);
    ASSERT_EQ(walk, MapOrder(BookMng()));
    WriteFileBytes(Excel("勤怠_soko.xls"), ReadFileBytes(Excel("勤怠_kyuyo.xls")));

    const uidriver::DialogWindow dlg = Start();
    const auto text = [&](const std::string& key) {
        const bool made = key == "本社" || key == "倉庫";
        return "勤怠_" + key + (made ? "" : "(未作成)");
    };
    const std::vector<std::string> expected = {text(walk[1]), text(walk[2]), text(walk[3]),
                                               text(walk[0])};
    EXPECT_EQ(expected, dlg.ComboItems(IDC_ATTEND_BOOKS));
    const long wantData[] = {0, 1, 1, 2};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(wantData[i], ::SendMessageA(dlg.Control(IDC_ATTEND_BOOKS), CB_GETITEMDATA, i, 0))
            << i;
    EXPECT_EQ(0, dlg.ComboSelection(IDC_ATTEND_BOOKS));
    EXPECT_TRUE(dlg.IsEnabled(IDOK));
    dlg.Click(IDCANCEL);
    EXPECT_TRUE(Finish().boxes.empty());
}

// A book without an attendance workbook cannot be chosen: the dialog says
// so and stays open, and nothing changes.
TEST_F(AttendanceInit, RefusesBookWithoutAttendanceWorkbook) {
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    const uidriver::DialogWindow dlg = Start();
    dlg.SelectComboItem(IDC_ATTEND_BOOKS, "勤怠_表参道店(未作成)");
    dlg.Click(IDOK);
    const QuimbexRun::Box box = AnswerNextBox(m_process->Windows());
    EXPECT_EQ("Quimbex", box.caption);
    EXPECT_EQ("未作成の勤怠ブックは初期化できません。", box.text);
    EXPECT_EQ(IconKind::Exclamation, box.icon);
    EXPECT_TRUE(::IsWindowVisible(dlg.Handle()));
    dlg.Click(IDCANCEL);
    EXPECT_TRUE(Finish().boxes.empty());
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(AttendanceInit, EmptyBookListLeavesOnlyCancel) {
    const struct {
        const char* what;
        bool fileExists;
    } cases[] = {{"no book in the file", true}, {"no file", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fileExists)
            WriteBookMap(BookMng(), {});
        else
            ::DeleteFileA(BookMng());
        const uidriver::DialogWindow dlg = Start();
        EXPECT_TRUE(dlg.ComboItems(IDC_ATTEND_BOOKS).empty());
        EXPECT_FALSE(dlg.IsEnabled(IDOK));
        EXPECT_TRUE(dlg.IsEnabled(IDCANCEL));
        dlg.Click(IDCANCEL);
        EXPECT_TRUE(Finish().boxes.empty());
    }
}

// The book's key differs from its file name: the list shows the key, the
// workbook initialised is the one of the file name.
TEST_F(AttendanceInit, KeepingDataCarriesTheAttendanceOver) {
    WriteBookMap(BookMng(), {{"本社", 0, "kyuyo.xls", ""}});
    const std::string old = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    const std::string payroll = ReadFileBytes(Excel("kyuyo.xls"));
    {
        const uidriver::DialogWindow dlg = Start();
        EXPECT_EQ(std::vector<std::string>{"勤怠_本社"}, dlg.ComboItems(IDC_ATTEND_BOOKS));
        dlg.Click(IDOK);
    }
    const QuimbexRun run = Finish();
    const std::string backup = DatedBackup("勤怠_kyuyo", ".xls");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Quimbex", run.boxes[0].caption);
    EXPECT_EQ(Completion(backup), run.boxes[0].text);
    EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
    EXPECT_EQ(old, ReadFileBytes(Excel(backup)));
    EXPECT_TRUE(IsRebuiltFrom(Excel("勤怠_kyuyo.xls"), Excel(backup), kAttendanceSections));
    EXPECT_EQ(payroll, ReadFileBytes(Excel("kyuyo.xls")));
    EXPECT_EQ((std::vector<std::string>{"Run\tCheckProtect\tBSTR:勤怠_kyuyo.xls\t=> BOOL:0",
                                        "Run\t勤怠コンバート\tBSTR:" + backup +
                                            "\tBSTR:KARVINE\tBSTR:勤怠_kyuyo.xls\t=> BOOL:-1"}),
              RunLines());
}

TEST_F(AttendanceInit, InitialStateRunsNoMacroAndStillReportsCompletion) {
    const std::string old = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    const QuimbexRun run = Initialise(false);
    const std::string backup = DatedBackup("勤怠_kyuyo", ".xls");
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(Completion(backup), run.boxes[0].text);
    EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
    EXPECT_EQ(old, ReadFileBytes(Excel(backup)));
    EXPECT_EQ(ReadFileBytes(OrgDir() + "\\勤怠_kyuyo.xls"), ReadFileBytes(Excel("勤怠_kyuyo.xls")));
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(AttendanceInit, FailingMacroIsReported) {
    CStandinFaults faults;
    faults.SetReturn("勤怠コンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const std::string old = ReadFileBytes(Excel("勤怠_kyuyo.xls"));
    const NothingLost kept(ExcelDir());
    const QuimbexRun run = Initialise(true);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kFailed, run.boxes[0].text);
    EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
    // The data live on in the backup only.
    EXPECT_EQ(old, ReadFileBytes(Excel(DatedBackup("勤怠_kyuyo", ".xls"))));
    EXPECT_EQ(ReadFileBytes(OrgDir() + "\\勤怠_kyuyo.xls"), ReadFileBytes(Excel("勤怠_kyuyo.xls")));
}

// The second backup of a day finds the dated name taken and gets the time
// of day before its extension.
TEST_F(AttendanceInit, SecondInitialisationOfADayGetsTheTime) {
    Initialise(false);
    const std::string first = DatedBackup("勤怠_kyuyo", ".xls");
    const QuimbexRun run = Initialise(false);
    std::vector<std::string> backups = FilesStartingWith(ExcelDir(), "勤怠_kyuyo_");
    ASSERT_EQ(2u, backups.size());
    const std::string second = backups[0] == first ? backups[1] : backups[0];
    const std::string stem = first.substr(0, first.size() - 4);
    ASSERT_EQ(stem.size() + 6 + 4, second.size()) << second;
    EXPECT_EQ(stem, second.substr(0, stem.size()));
    EXPECT_EQ(".xls", second.substr(second.size() - 4));
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(Completion(second), run.boxes[0].text);
}

// The backup copy never overwrites a file: with the dated name and every
// timed name of the next minute taken, the run fails and changes nothing.
TEST_F(AttendanceInit, TakenBackupNameFailsWithoutChange) {
    const uidriver::DialogWindow dlg = Start();
    const std::time_t now = std::time(nullptr);
    for (const std::string& date : {TodayText(), CTime(now + 120).Format("%Y年%m月%d日").str()}) {
        WriteFileBytes(Excel("勤怠_kyuyo_" + date + ".xls"), "taken");
        for (std::time_t t = now - 2; t <= now + 120; ++t)
            WriteFileBytes(Excel("勤怠_kyuyo_" + date + CTime(t).Format("%H%M%S").str() + ".xls"),
                           "taken");
    }
    const auto before = Snapshot(ExcelDir());
    const NothingLost kept(ExcelDir());
    dlg.Click(IDOK);
    const QuimbexRun run = Finish();
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kFailed, run.boxes[0].text);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_EQ(std::vector<std::string>{"Run\tCheckProtect\tBSTR:勤怠_kyuyo.xls\t=> BOOL:0"},
              RunLines());
}

// Whatever would stop the initialisation after the template has replaced
// the workbook is found before the backup copy is made: Excel holds the
// workbook, the template is missing, or the workbook whose data are kept is
// protected.  The message names it and nothing changes.
TEST_F(AttendanceInit, TroubleIsFoundBeforeTheBackupCopy) {
    enum class Trouble { heldOpen, missingTemplate, protectedBook };
    const struct {
        Trouble trouble;
        std::string text;
        const char* stdoutText;
    } cases[] = {
        {Trouble::heldOpen,
         "勤怠_kyuyo.xls\nは他のアプリケーションで開かれています。\nブックを閉じてください。",
         "ERROR: accessDenied\r\n"},
        {Trouble::missingTemplate,
         "ひな形のブック\n" + OrgDir().str() +
             "\\勤怠_kyuyo.xls\nが見つからないか、読み込めません。",
         ""},
        {Trouble::protectedBook,
         "勤怠_kyuyo.xls\nにはパスワード保護がかかっています。\nパスワード保護をはずす必要があり"
         "ます。",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RelayProduct();
        ClearLog();
        if (c.trouble == Trouble::missingTemplate) {
            ASSERT_TRUE(::DeleteFileA(OrgDir() + "\\勤怠_kyuyo.xls"));
        }
        if (c.trouble == Trouble::protectedBook)
            Protect("勤怠_kyuyo.xls");
        const auto before = Snapshot(ExcelDir());
        const NothingLost kept(ExcelDir());
        HeldFile held(c.trouble == Trouble::heldOpen ? Excel("勤怠_kyuyo.xls") : CString());
        const QuimbexRun run = Initialise(true);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(c.text + "\n初期化処理を中断します", run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_EQ(c.stdoutText, run.stdoutText);
        EXPECT_EQ(before, Snapshot(ExcelDir()));
        for (const std::string& line : RunLines())
            EXPECT_EQ(0u, line.find("Run\tCheckProtect\t")) << line;
    }
}

// A protected workbook is no trouble when it starts afresh: nothing of it
// is carried over, and no macro runs.
TEST_F(AttendanceInit, InitialStateOfAProtectedWorkbookAsksNoExcel) {
    Protect("勤怠_kyuyo.xls");
    const QuimbexRun run = Initialise(false);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(Completion(DatedBackup("勤怠_kyuyo", ".xls")), run.boxes[0].text);
    EXPECT_EQ(0, ServerStarts());
}

// A list that cannot be read whole is not offered: its books after the
// damage would be missing from it.
TEST_F(AttendanceInit, DamagedBookListShowsNoDialog) {
    WriteFileBytes(BookMng(), "");
    const auto before = Snapshot(ExcelDir());
    m_dates = {TodayText()};
    m_process = std::make_unique<uidriver::Process>(QuimbexStart("/K:10"));
    const QuimbexRun run = Finish();
    std::vector<std::string> texts;
    for (const QuimbexRun::Box& box : run.boxes)
        texts.push_back(box.text);
    EXPECT_EQ((std::vector<std::string>{"ブック管理データファイルが壊れています。",
                                        "ブックの初期化を実行できません。"}),
              texts);
    EXPECT_TRUE(run.otherWindows.empty());
    EXPECT_EQ(before, Snapshot(ExcelDir()));
}

// A record without a workbook's extension names no workbook: the list
// shows it as it stands (not as a workbook still to be made, although
// 勤怠_kyuyo.xlsm lies beside it), and choosing it is refused as a damaged
// list, as every other command refuses the record, and nothing changes.
TEST_F(AttendanceInit, BookNamedWithoutExtensionIsRefused) {
    LayProduct(".xlsm");
    ::DeleteFileA(MyDataDir() + "\\ExType1.dat");
    WriteBookMap(BookMng(), {{"kyuyo", 0, "kyuyo", ""}});
    const auto before = Snapshot(ExcelDir());
    {
        const uidriver::DialogWindow dlg = Start();
        EXPECT_EQ(std::vector<std::string>{"勤怠_kyuyo"}, dlg.ComboItems(IDC_ATTEND_BOOKS));
        dlg.Click(IDOK);
    }
    const QuimbexRun run = Finish();
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("ブックの初期化を実行できません。ブック管理データファイルが壊れています。",
              run.boxes[0].text);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(before, Snapshot(ExcelDir()));
    EXPECT_TRUE(RunLines().empty());
}

// The disk of the books fills up while the template is copied over the
// attendance workbook (a template larger than the room that is left): the
// workbook keeps its bytes, whole, beside its backup copy, and no cut copy
// of the template stays under any name.
TEST_F(AttendanceInit, FullDiskLeavesTheWorkbookWhole) {
    const auto disk = std::make_unique<FullDisk>(512);
    if (!disk->IsMounted())
        GTEST_SKIP() << "no small tmpfs (mounting one needs root)";
    for (const char* folder : {"\\Excel", "\\Data", "\\Exe"})
        RemoveFolder(ProductDir() + folder);
    LayProduct(".xls", disk->Path());
    CStandinWorkbook templ = AttendanceTemplate();
    templ.SetLines("Attendance", std::vector<CString>(20000, "2026-04,0000,出勤=0,欠勤=0,残業=0"));
    ASSERT_TRUE(templ.Save(OrgDir() + "\\勤怠_kyuyo.xls"));
    ASSERT_LT(512u * 1024, ReadFileBytes(OrgDir() + "\\勤怠_kyuyo.xls").size());
    const auto before = Snapshot(ExcelDir());
    const QuimbexRun run = Initialise(false);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kFailed, run.boxes[0].text);
    auto expected = before;
    expected[DatedBackup("勤怠_kyuyo", ".xls")] = before.at("勤怠_kyuyo.xls");
    const auto after = Snapshot(ExcelDir());
    std::vector<std::string> names, expectedNames;
    for (const auto& file : after)
        names.push_back(file.first + " (" + std::to_string(file.second.size()) + " bytes)");
    for (const auto& file : expected)
        expectedNames.push_back(file.first + " (" + std::to_string(file.second.size()) + " bytes)");
    EXPECT_EQ(expectedNames, names);
    EXPECT_TRUE(expected == after);
}
