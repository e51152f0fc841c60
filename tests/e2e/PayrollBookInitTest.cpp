#include "BookChecks.h"
#include "BookDialogFixture.h"
#include "BookInitDlgRes.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>

using uidriver::IconKind;

namespace {

const char kCaption[] = "ブックの初期化";
const char kShortDone[] = "ブックの初期化が完了しました。";

// The sheet boxes in the order their macros run.
const struct Sheet {
    int id;
    const char* macro;
    const char* section;
} kSheets[] = {
    {IDC_INIT_EMPLOYEE_LIST, "社員名簿コンバート", "Employees"},
    {IDC_INIT_WAGE_LEDGER, "給与データコンバート", "PayData"},
    {IDC_INIT_PAYSLIP_INPUT, "給与明細コンバート", "Payslips"},
    {IDC_INIT_BONUS_INPUT, "賞与明細コンバート", "BonusSlips"},
    {IDC_INIT_WITHHOLDING, "源泉徴収票コンバート", "Withholding"},
};

class PayrollBookInit : public BookDialogFixture {
protected:
    // The long completion message names the backup.
    std::string BackupOfRun(const Box& box) {
        ExpectResultBox(box, kCaption);
        std::string name = Between(box.text, "「", "」");
        EXPECT_EQ("ブックの初期化が完了しました。\n以前の給与計算ブックは 「" + name +
                      "」 として保存されています｡\n保存場所は " + DataDir().str() + "\\Excelです。",
                  box.text);
        return name;
    }
    std::string Template() const { return ReadFileBytes(OrgDir() + "\\Kyuyo.xls"); }
    void ExpectSheetBoxes(bool enabled, const std::vector<int>& unticked) {
        for (const Sheet& sheet : kSheets) {
            SCOPED_TRACE(sheet.section);
            const bool ticked =
                std::find(unticked.begin(), unticked.end(), sheet.id) == unticked.end();
            EXPECT_EQ(enabled, Dialog().IsEnabled(sheet.id));
            EXPECT_EQ(ticked ? BST_CHECKED : BST_UNCHECKED, Dialog().CheckState(sheet.id));
        }
    }
};

} // namespace

// Initial state greys the sheet boxes without touching their ticks; keep
// settings gives them back as they were.
TEST_F(PayrollBookInit, StartsKeepingSettingsWithEverySheetTicked) {
    const auto& dlg = Open("/K:8", kCaption);
    EXPECT_EQ((std::vector<std::string>{"kyuyo", "表参道店"}), dlg.ComboItems(IDC_INIT_BOOK));
    EXPECT_EQ(0, dlg.ComboSelection(IDC_INIT_BOOK));
    EXPECT_EQ(BST_CHECKED, dlg.CheckState(IDC_INIT_KEEP_SETTINGS));
    EXPECT_EQ(BST_UNCHECKED, dlg.CheckState(IDC_INIT_INITIAL_STATE));
    ExpectSheetBoxes(true, {});

    dlg.SetCheck(IDC_INIT_PAYSLIP_INPUT, false);
    dlg.Click(IDC_INIT_INITIAL_STATE);
    EXPECT_EQ(BST_CHECKED, dlg.CheckState(IDC_INIT_INITIAL_STATE));
    ExpectSheetBoxes(false, {IDC_INIT_PAYSLIP_INPUT});
    dlg.Click(IDC_INIT_KEEP_SETTINGS);
    ExpectSheetBoxes(true, {IDC_INIT_PAYSLIP_INPUT});
    dlg.Click(IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_EQ(0, ServerStarts());
}

TEST_F(PayrollBookInit, InitialStateMakesAMissingBookFromTheTemplate) {
    ::DeleteFileA(Excel("表参道店.xls"));
    const auto& dlg = Open("/K:8", kCaption);
    dlg.SelectComboItem(IDC_INIT_BOOK, "表参道店");
    dlg.Click(IDC_INIT_INITIAL_STATE);
    dlg.Click(IDOK);
    const Box box = NextBox();
    ExpectResultBox(box, kCaption);
    EXPECT_EQ(kShortDone, box.text);
    ExpectEndsQuietly();
    EXPECT_EQ(Template(), ReadFileBytes(Excel("表参道店.xls")));
    EXPECT_FALSE(FileExists(Excel("表参道店" + TodayText() + ".xls")));
    EXPECT_EQ(0, ServerStarts());
}

// Excel goes away after the dialog opened: the initial state needs none.
TEST_F(PayrollBookInit, InitialStateBacksUpAnExistingBookWithoutExcel) {
    const std::string oldBook = ReadFileBytes(Excel("kyuyo.xls"));
    const auto& dlg = Open("/K:8", kCaption);
    ASSERT_TRUE(ExcelStandin::Unregister());
    dlg.Click(IDC_INIT_INITIAL_STATE);
    dlg.Click(IDOK);
    const std::string backup = BackupOfRun(NextBox());
    ExpectEndsQuietly();
    EXPECT_TRUE(IsTodaysBackupName(backup, "kyuyo")) << backup;
    EXPECT_EQ(oldBook, ReadFileBytes(Excel(backup)));
    EXPECT_EQ(Template(), ReadFileBytes(Excel("kyuyo.xls")));
    EXPECT_EQ(0, ServerStarts());
}

// The company information and the tax recalculation always run; between
// them one macro for each ticked sheet, in a fixed order.
TEST_F(PayrollBookInit, KeepingSettingsCarriesTheTickedSheetsOnly) {
    const struct {
        const char* what;
        std::vector<int> unticked;
    } cases[] = {
        {"every sheet", {}},
        {"no sheet",
         {IDC_INIT_EMPLOYEE_LIST, IDC_INIT_WAGE_LEDGER, IDC_INIT_PAYSLIP_INPUT,
          IDC_INIT_BONUS_INPUT, IDC_INIT_WITHHOLDING}},
        {"wage ledger and bonus unticked", {IDC_INIT_WAGE_LEDGER, IDC_INIT_BONUS_INPUT}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LayProduct(".xls");
        RemoveBackups();
        ExcelStandin::ClearLog();
        const std::string oldBook = ReadFileBytes(Excel("kyuyo.xls"));
        const auto& dlg = Open("/K:8", kCaption);
        for (int id : c.unticked)
            dlg.SetCheck(id, false);
        dlg.Click(IDOK);
        const std::string backup = BackupOfRun(NextBox());
        ExpectEndsQuietly();

        std::vector<std::string> macros = {"CheckProtect", "会社情報コンバート"};
        std::vector<std::string> carried;
        for (const Sheet& sheet : kSheets) {
            if (std::find(c.unticked.begin(), c.unticked.end(), sheet.id) != c.unticked.end())
                continue;
            macros.push_back(sheet.macro);
            carried.push_back(sheet.section);
        }
        macros.push_back("差引徴収税額再計算");
        ASSERT_EQ(macros, Macros());
        const std::vector<std::string> runs = RunLines();
        const std::string b = "BSTR:" + backup + "\t";
        const std::string t = "BSTR:kyuyo.xls\t=> BOOL:-1";
        EXPECT_EQ("Run\t会社情報コンバート\t" + b + "BSTR:\t" + t, runs[1]);
        if (c.unticked.empty()) {
            EXPECT_EQ("Run\t社員名簿コンバート\t" + b + "I4:0\t" + t, runs[2]);
        }
        EXPECT_EQ("Run\t差引徴収税額再計算\t" + b + "BSTR:KARVINE\t" + t, runs.back());
        EXPECT_EQ(oldBook, ReadFileBytes(Excel(backup)));
        EXPECT_TRUE(IsInitialisedFrom(Excel("kyuyo.xls"), Excel(backup), carried));
    }
}

TEST_F(PayrollBookInit, FailingSheetMacroFailsTheBookAfterTheLaterOnesRan) {
    CStandinFaults faults;
    faults.SetReturn("給与明細コンバート", CStandinFaults::resultFalse);
    ASSERT_TRUE(ExcelStandin::WriteFaults(faults));
    const NothingLost kept(ExcelDir());
    Open("/K:8", kCaption).Click(IDOK);
    ExpectEndsQuietly(); // no completion message
    EXPECT_EQ((std::vector<std::string>{"CheckProtect", "会社情報コンバート", "社員名簿コンバート",
                                        "給与データコンバート", "給与明細コンバート",
                                        "賞与明細コンバート", "源泉徴収票コンバート",
                                        "差引徴収税額再計算"}),
              Macros());
    EXPECT_TRUE(FileExists(Excel("kyuyo" + TodayText() + ".xls")));
}

// Each failure of a keep-settings run leaves the book as it was and ends
// the dialog without a completion message.
TEST_F(PayrollBookInit, BookThatCannotKeepItsSettingsIsLeftAlone) {
    enum class Trouble { Missing, Protected, HeldOpen };
    const struct {
        Trouble trouble;
        const char* message;
    } cases[] = {
        // The protection check runs before the existence test.
        {Trouble::Missing, "初期化対象の給与計算ブックが見つかりません。初期化処理を中断します"},
        {Trouble::Protected, "初期化するブックにはパスワード保護がかかっています。\n初期化を行うに"
                             "はパスワード保護をはずす必要があります。"},
        {Trouble::HeldOpen, "初期化するブックを閉じてください。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        LayProduct(".xls");
        ExcelStandin::ClearLog();
        if (c.trouble == Trouble::Protected)
            Protect("表参道店.xls");
        if (c.trouble == Trouble::Missing)
            ::DeleteFileA(Excel("表参道店.xls"));
        const NothingLost kept(ExcelDir());
        const std::string before = ReadFileBytes(Excel("表参道店.xls"));
        HeldFile held(c.trouble == Trouble::HeldOpen ? Excel("表参道店.xls") : CString());
        const auto& dlg = Open("/K:8", kCaption);
        dlg.SelectComboItem(IDC_INIT_BOOK, "表参道店");
        dlg.Click(IDOK);
        ExpectPlainBox(NextBox(), c.message);
        ExpectEndsQuietly();
        EXPECT_EQ(c.trouble == Trouble::HeldOpen,
                  Program().Stdout().find("ERROR: accessDenied") != std::string::npos)
            << Program().Stdout();
        EXPECT_EQ(c.trouble != Trouble::Missing, FileExists(Excel("表参道店.xls")));
        EXPECT_EQ(before, ReadFileBytes(Excel("表参道店.xls")));
        EXPECT_FALSE(FileExists(Excel("表参道店" + TodayText() + ".xls")));
        const std::vector<std::string> runs = RunLines();
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(std::string("Run\tCheckProtect\tBSTR:表参道店.xls\t=> BOOL:") +
                      (c.trouble == Trouble::Protected ? "-1" : "0"),
                  runs[0]);
    }
}

// The version is read again when the settings are to be kept.
TEST_F(PayrollBookInit, ExcelGoneBeforeKeepingSettingsFailsTheBook) {
    const struct {
        int version; // 0: none registered
        const char* text;
    } cases[] = {
        {0, "データを残して初期化を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"},
        {7, "データを残して初期化を行うには、Microsoft "
            "Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"},
    };
    const NothingLost kept(ExcelDir());
    const std::string before = ReadFileBytes(Excel("kyuyo.xls"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ASSERT_TRUE(ExcelStandin::SetCurVer(16));
        const auto& dlg = Open("/K:8", kCaption);
        ASSERT_TRUE(c.version ? ExcelStandin::SetCurVer(c.version) : ExcelStandin::RemoveCurVer());
        dlg.Click(IDOK);
        const Box box = NextBox();
        EXPECT_EQ(kCaption, box.caption);
        EXPECT_EQ(c.text, box.text);
        EXPECT_EQ(IconKind::Information, box.icon);
        EXPECT_FALSE(box.fromDialog);
        ExpectEndsQuietly();
        EXPECT_EQ(before, ReadFileBytes(Excel("kyuyo.xls")));
    }
    EXPECT_EQ(0, ServerStarts());
}

// No book chosen keeps the dialog open; a name the map does not hold (the
// combo shows a key only up to a NUL byte) ends it.
TEST_F(PayrollBookInit, ChoiceThatNamesNoBookIsRefused) {
    WriteBookMap({{"kyuyo", 0, "kyuyo.xls"}, {CString("壊れ\0た", 7), 1, "x.xls"}});
    const NothingLost kept(ExcelDir());
    const auto& dlg = Open("/K:8", kCaption);
    ::SendMessageA(dlg.Control(IDC_INIT_BOOK), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dlg.Click(IDOK);
    ExpectPlainBox(NextBox(), "初期化するブックを選択してください");
    EXPECT_TRUE(DialogStaysOpen());

    dlg.SelectComboItem(IDC_INIT_BOOK, "壊れ");
    dlg.Click(IDOK);
    ExpectPlainBox(NextBox(), "ブックの初期化を実行できません。ブック管理データファイルが壊れてい"
                              "ます。");
    ExpectEndsQuietly();
    EXPECT_EQ(0, ServerStarts());
}
