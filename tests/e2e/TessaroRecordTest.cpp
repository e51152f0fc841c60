// The record of a restore through Tessaro's "復元": where it lies, what
// its lines say, and that ikotool.exe -v prints the same lines.
#include "HeldFiles.h"
#include "MigrationFiles.h"
#include "MsgBox.h"
#include "Process.h"
#include "QuimbexRun.h"
#include "SampleProduct.h"
#include "ScopedHandle_win.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <algorithm>

using uidriver::IconKind;

namespace {

const char kConvert[] =
    "復元するデータにExcelブックが含まれている場合、データコンバートする必要があります。\n"
    "コンバートには時間がかかる可能性がありますが、開始してもよろしいですか？";
const char kHiddenTarget[] = "Data\\MyData\\メモ帳.dat";

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

CString WithoutTrailingSeparator(CString dir) {
    return dir.Right(1) == "\\" ? dir.Left(dir.GetLength() - 1) : dir;
}

CString TempFolder() {
    char path[MAX_PATH];
    ::GetTempPathA(MAX_PATH, path);
    return WithoutTrailingSeparator(path);
}

// The environment variable set for the programs started while held.
Holding HoldEnvironment(const char* name, const CString& value) {
    char old[MAX_PATH] = "";
    const bool bHad = ::GetEnvironmentVariableA(name, old, MAX_PATH) > 0;
    ::SetEnvironmentVariableA(name, value);
    const std::string saved = old;
    return Holding(nullptr, [name, bHad, saved](void*) {
        ::SetEnvironmentVariableA(name, bHad ? saved.c_str() : nullptr);
    });
}

class TessaroRecord : public TessaroFixture {
protected:
    void SetUp() override {
        TessaroFixture::SetUp();
        SampleProductOptions options;
        options.bWriteRegistry = false;
        CString error;
        ASSERT_TRUE(LaySampleProduct(m_source.Path(), options, error)) << error.GetString();
        // No book map: no conversion, the record is the restore's alone.
        ASSERT_TRUE(::DeleteFileA(m_source.Path() + "\\Data\\MyData\\BookMNG.dat"));
        WriteFileBytes(m_source.Path() + "\\Data\\MyData\\Company.dat", "the source's company");
        WriteFileBytes(m_source.Path() + "\\" + kHiddenTarget, "the source's memo");
        WriteFileBytes(HiddenTarget(), "kept");
        ASSERT_TRUE(::SetFileAttributesA(HiddenTarget(), FILE_ATTRIBUTE_HIDDEN));
    }

    CString HiddenTarget() const { return ProductDir() + "\\" + kHiddenTarget; }

    CString WriteFile(const CString& folder, const std::string& title) {
        const CString path = folder + "\\" + (title + ".iko").c_str();
        EXPECT_TRUE(migration_files::Write(m_source.Path(), 3, path));
        return path;
    }

    // The box that names the hidden target, with the record's place when
    // there is one.
    static std::string UnwrittenBox(const CString& file, const CString& target,
                                    const CString& record) {
        std::string text =
            "ファイル名：" + file.str() +
            "\n次のファイルは書き込めなかったため、復元されていません（全 1 件）。\n" +
            target.str() +
            "\n\n読み取り専用や隠しファイル、他のアプリケーションで使用中のファイ"
            "ルは上書きできません。";
        if (!record.IsEmpty())
            text += "\n\n記録ファイル：" + record.str();
        return text;
    }
    static std::string PartlyMigrated(const CString& file) {
        return "ファイル名：" + file.str() +
               "\nMorvaneデータを移行しましたが、復元されていないファイルが 1 件あります。";
    }

    // Restores `file`; its record is awaited in recordFolder, and the boxes
    // are checked against it.  Returns the record's path.
    CString RestoreWithRecord(const CString& file, const std::string& title,
                              const CString& recordFolder, const char* shot) {
        uidriver::Process tessaro(TessaroStart());
        const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
        ChooseFile(tessaro, dlg, kRestoreButton, file);
        AnswerBoxes(tessaro, {{kConvert, IconKind::Question, "はい"}});
        const CString record = WaitForRecord(recordFolder, title);
        AnswerBoxes(tessaro, {{UnwrittenBox(file, HiddenTarget(), record), IconKind::Exclamation,
                               nullptr, kTessaroCaption, shot},
                              {PartlyMigrated(file), IconKind::Exclamation}});
        CloseExpectingNoMoreBoxes(tessaro, dlg);
        return record;
    }

    TempDir m_source;
    TempDir m_files;
};

} // namespace

// Beside a migration file whose folder takes it: a line for every file
// (CR LF, code page 932) and the counts, the box of files not written names
// it, and ikotool.exe extract -v prints the same lines for the same
// restore.
TEST_F(TessaroRecord, RecordLiesBesideTheFileAndIkotoolPrintsItsLines) {
    const CString file = WriteFile(m_files.Path(), "記録");
    const CString record =
        RestoreWithRecord(file, "記録", m_files.Path(), "tessaro-restore-record");
    const std::string text = ReadFileBytes(record);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(CountOf(text, "\n"), CountOf(text, "\r\n"));
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    const std::vector<std::string> lines = SplitCrLf(text);
    const auto has = [&lines](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("復元\t" + ProductDir().str() + "\\Data\\MsgMemo\\メモ.txt")) << text;
    EXPECT_TRUE(
        has("除外\t" + ProductDir().str() + "\\Data\\MyData\\Company.dat\t復元の対象外です"))
        << text;
    EXPECT_TRUE(has("書込失敗\t" + HiddenTarget().str() + "\t" + HiddenTarget().str() +
                    " へのアクセスが拒否されました。"))
        << text;
    const size_t restored = CountOf(text, "\r\n復元\t") + (text.rfind("復元\t", 0) == 0);
    const std::string summary = "合計\t復元 " + std::to_string(restored) + " 件、除外 " +
                                std::to_string(CountOf(text, "除外\t")) +
                                " 件、拒否 0 件、書込失敗 1 件";
    EXPECT_EQ(summary, lines.back());
    EXPECT_EQ("kept", ReadFileBytes(HiddenTarget()));

    const std::string exe = (TestBinDir() + "\\ikotool.exe").str();
    uidriver::Process tool(uidriver::Process::CommandLine(
        exe, {"extract", "-v", file.str(), "--root", ("0=" + ProductDir()).str(), "--root",
              ("1=" + DataDir()).str()}));
    EXPECT_EQ(1u, tool.WaitForExit(60000)) << tool.Stderr();
    const std::vector<std::string> printed = SplitCrLf(tool.Stdout());
    ASSERT_GT(printed.size(), lines.size()) << tool.Stdout();
    EXPECT_EQ(lines, std::vector<std::string>(printed.begin(), printed.begin() + lines.size()));
    EXPECT_EQ(0u, printed[lines.size()].find(file.str() + ": ")) << tool.Stdout();
}

// Where the migration file's folder cannot hold the record (the user may
// not write it, or a later migration would carry the record along, in any
// spelling of the folder), it goes to the user's temporary folder.
TEST_F(TessaroRecord, RecordGoesToTheTemporaryFolderWhereTheFileFolderCannotHoldIt) {
    const CString other = ProductDir() + "\\Data\\Other";
    const struct {
        const char* title;
        CString folder; // where the migration file lies
        CString chosen; // how the user names it in the open dialog
        bool readOnly;
    } cases[] = {
        {"read-only-folder", m_files.Path(), m_files.Path(), true},
        {"data-folder", other, ProductDir() + "\\data\\OTHER", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const CString file = WriteFile(c.folder, c.title);
        const CString chosen = c.chosen + "\\" + c.title + ".iko";
        Holding locked = c.readOnly ? HoldFolderReadOnly(c.folder) : Holding();
        const CString record = RestoreWithRecord(chosen, c.title, TempFolder(), nullptr);
        locked.reset();
        EXPECT_FALSE(ReadFileBytes(record).empty()) << record.GetString();
        WIN32_FIND_DATAA fd;
        const CFindHandle h(::FindFirstFileA(c.folder + "\\*_復元記録*", &fd));
        EXPECT_FALSE(static_cast<bool>(h)) << fd.cFileName;
        ::DeleteFileA(record);
        ::DeleteFileA(file);
    }
}

// Neither beside the file nor in the temporary folder: the user is told
// why, the box of files not written names no record, and the restore's own
// result stays what it was.
TEST_F(TessaroRecord, RecordThatCannotBeWrittenIsToldAndTheRestoreGoesOn) {
    TempDir noTemp;
    const CString file = WriteFile(m_files.Path(), "nowhere");
    Holding lockedFiles = HoldFolderReadOnly(m_files.Path());
    Holding lockedTemp = HoldFolderReadOnly(noTemp.Path());
    TempDir logs; // the program's output cannot go to its temporary folder
    uidriver::StartInfo start = TessaroStart();
    start.stdoutPath = (logs / "stdout.txt").str();
    start.stderrPath = (logs / "stderr.txt").str();
    uidriver::Process tessaro([&] {
        Holding tmp = HoldEnvironment("TMP", noTemp.Path());
        Holding temp = HoldEnvironment("TEMP", noTemp.Path());
        return uidriver::Process(start);
    }());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kRestoreButton, file);
    AnswerBoxes(tessaro, {{kConvert, IconKind::Question, "はい"}});
    SaveWindowShot(uidriver::MsgBox::WaitFor(tessaro.Windows(), 60000).Handle(),
                   "tessaro-restore-record-failed");
    const QuimbexRun::Box failed = AnswerNextBox(tessaro.Windows());
    const std::string head =
        "復元の記録を書き込めませんでした。\n" + m_files.Path().str() + "\\nowhere_復元記録";
    EXPECT_EQ(0u, failed.text.find(head)) << failed.text;
    EXPECT_NE(std::string::npos,
              failed.text.find("\n" + noTemp.Path().str() + "\\nowhere_復元記録"))
        << failed.text;
    EXPECT_EQ(std::string("exclamation"), uidriver::IconKindName(failed.icon));
    AnswerBoxes(tessaro, {{UnwrittenBox(file, HiddenTarget(), CString()), IconKind::Exclamation},
                          {PartlyMigrated(file), IconKind::Exclamation}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    lockedFiles.reset();
    lockedTemp.reset();
    EXPECT_EQ(ReadFileBytes(m_source.Path() + "\\Data\\MsgMemo\\メモ.txt"),
              ReadFileBytes(ProductDir() + "\\Data\\MsgMemo\\メモ.txt"));
}
