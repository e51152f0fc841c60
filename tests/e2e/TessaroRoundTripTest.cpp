#include "BookChecks.h"
#include "SampleProduct.h"
#include "StandinWorkbook.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <map>

using uidriver::IconKind;

namespace {

const char kToXls[] =
    "Excel管理ブックの形式がExcel97-2003形式(.xls)に変更されますがよろしいですか？\n\n"
    "復元後、Excel2010/2007形式(.xlsm)に戻したい場合は、\n"
    "メイン画面の [ExcelブックをExcel2007/2010形式(.xlsm)に変更] を\n実行してください。\n";
const char kConvert[] =
    "復元するデータにExcelブックが含まれている場合、データコンバートする必要があります。\n"
    "コンバートには時間がかかる可能性がありますが、開始してもよろしいですか？";

// Two installations side by side, each with its programs in its own Exe
// folder and no registry values: each program finds its installation from
// where it lies, so the roots of the two differ.
class TessaroRoundTrip : public TessaroFixture {
protected:
    void SetUp() override {
        TessaroFixture::SetUp();
        RemoveEnvRegistry();
        Lay(m_from.Path(), ".xls");
        Lay(m_to.Path(), ".xlsm");
    }

    void Lay(const CString& dir, const char* ext) {
        SampleProductOptions options = UnregisteredSample();
        options.strExt = ext;
        options.strExeSourceDir = BinDir();
        ASSERT_TRUE(LaidSample(dir, options));
    }

    static uidriver::StartInfo TessaroOf(const CString& dir) {
        uidriver::StartInfo info;
        info.application = (dir + "\\Exe\\Tessaro.exe").str();
        info.commandLine = "\"" + info.application + "\"";
        return info;
    }

    // Data of the source that the sample of the target does not have.
    void GiveTheSourceDataOfItsOwn() {
        const CString& from = m_from.Path();
        WriteFileBytes(from + "\\Data\\DefEru\\帳票設定.dat", "PaperSize=B5\r\n");
        ASSERT_TRUE(::CreateDirectoryA(from + "\\Data\\Other\\ソフト", nullptr));
        ASSERT_TRUE(::CreateDirectoryA(from + "\\Data\\Other\\ソフト\\表", nullptr));
        WriteFileBytes(from + "\\Data\\Other\\ソフト\\表\\明細.frm", "Form=表の明細\r\n");
        WriteFileBytes(from + "\\Data\\MyData\\Company.dat", "移行元の会社");
        WriteFileBytes(m_to.Path() + "\\Data\\MyData\\Company.dat", "移行先の会社");
        CStandinWorkbook book;
        ASSERT_TRUE(book.Load(from + "\\Excel\\kyuyo.xls"));
        book.SetValue("Company", "Name", "移行元の会社");
        ASSERT_TRUE(book.Save(from + "\\Excel\\kyuyo.xls"));
    }

    // The target's own files, and a source book's dated backup there.
    CString To(const std::string& rel) const { return m_to.Path() + "\\" + rel.c_str(); }
    CString BackupOf(const std::string& stem, const std::vector<std::string>& dates) const {
        for (const std::string& date : dates)
            if (FileExists(To("Excel\\" + stem + date + ".xls")))
                return To("Excel\\" + stem + date + ".xls");
        return To("Excel\\" + stem + dates.at(0) + ".xls");
    }

    TempDir m_from;
    TempDir m_to;
    TempDir m_files;
};

// Files the restore keeps out: the target's own company and templates.
bool KeptOut(const std::string& rel) {
    return rel == "Data\\MyData\\Company.dat" || rel.rfind("Data\\Org\\", 0) == 0;
}

} // namespace

// "作成" on the ".xls" installation, "復元" on the ".xlsm" one: the format
// question turns the target to ".xls", every file arrives byte for byte
// below the target's own roots, and Quimbex converts every book.
TEST_F(TessaroRoundTrip, XlsInstallationMovesIntoAnXlsmOneWithItsBooksConverted) {
    GiveTheSourceDataOfItsOwn();
    const std::map<std::string, std::string> source = FolderContents(m_from.Path());
    const std::map<std::string, std::string> targetBefore = FolderContents(m_to.Path());
    const CString file = m_files / "移行データ.iko";

    uidriver::Process from(TessaroOf(m_from.Path()));
    const uidriver::DialogWindow fromDlg = WaitForMainDialog(from);
    ChooseFile(from, fromDlg, kCreateButton, m_files / "移行データ");
    AnswerBoxes(from,
                {{"ファイル名：" + file.str() + "\nMorvaneデータ移行用ファイルを作成しました。",
                  IconKind::Information}});
    CloseExpectingNoMoreBoxes(from, fromDlg);

    std::vector<std::string> dates{TodayText()};
    uidriver::Process to(TessaroOf(m_to.Path()));
    const uidriver::DialogWindow toDlg = WaitForMainDialog(to);
    ChooseFile(to, toDlg, kRestoreButton, file);
    AnswerBoxes(
        to, {{kToXls, IconKind::Question, "はい", kTessaroCaption, "tessaro-round-trip-format"},
             {kConvert, IconKind::Question, "はい", kTessaroCaption, "tessaro-round-trip-convert"},
             {"ファイル名：" + file.str() + "\nMorvaneデータを移行しました。",
              IconKind::Information, nullptr, kTessaroCaption, "tessaro-round-trip-migrated"}});
    CloseExpectingNoMoreBoxes(to, toDlg);
    if (TodayText() != dates[0])
        dates.push_back(TodayText());

    EXPECT_TRUE(FileExists(To("Data\\MyData\\ExType1.dat")));
    EXPECT_FALSE(FileExists(To("Data\\MyData\\ExType2.dat")));
    EXPECT_FALSE(FileExists(To("Data\\MyData\\ExMng.dat")));
    EXPECT_TRUE(IsHidden(To("Data\\MyData\\App.tmp")));
    EXPECT_EQ(1, ServerStarts());
    for (const auto& [rel, bytes] : source) {
        // Folders, the programs, and empty files (the format writes nothing
        // for them) are not compared.
        if (rel.back() == '\\' || rel.rfind("Exe\\", 0) == 0 || bytes.empty())
            continue;
        SCOPED_TRACE(rel);
        if (KeptOut(rel)) {
            EXPECT_EQ(targetBefore.at(rel), ReadFileBytes(To(rel)));
        } else if (rel.rfind("Excel\\", 0) == 0) {
            const std::string stem = rel.substr(6, rel.size() - 6 - 4);
            const bool attendance = stem.rfind("勤怠_", 0) == 0;
            const CString backup = BackupOf(attendance ? stem + "_" : stem, dates);
            EXPECT_EQ(bytes, ReadFileBytes(backup));
            EXPECT_TRUE(IsRebuiltFrom(To(rel), backup,
                                      attendance ? kAttendanceSections : kPayrollSections));
        } else {
            EXPECT_EQ(bytes, ReadFileBytes(To(rel)));
        }
    }
    // The target's ".xlsm" books are left as they were.
    for (const char* book :
         {"Excel\\kyuyo.xlsm", "Excel\\勤怠_kyuyo.xlsm", "Excel\\表参道店.xlsm"}) {
        SCOPED_TRACE(book);
        EXPECT_EQ(targetBefore.at(book), ReadFileBytes(To(book)));
    }
}
