#include "CommonFileDialog.h"
#include "FullDisk.h"
#include "HeldFiles.h"
#include "MigrationFiles.h"
#include "QuimbexRun.h"
#include "ScopedHandle_win.h"
#include "TargetFile.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <map>

using uidriver::IconKind;

namespace {

const char kSaveCaption[] = "名前を付けて保存";
const char kBackupCaption[] = "Morvane バックアップ";

std::string Created(const CString& file) {
    return "ファイル名：" + file.str() + "\nMorvaneデータ移行用ファイルを作成しました。";
}

std::string NotCreated(const CString& file) {
    return "ファイル名：" + file.str() + "\nMorvaneデータ移行用ファイルが作成できませんでした。";
}

class TessaroCreate : public TessaroFixture {
protected:
    // What "作成" must write for this installation: the engine's own file.
    std::string ExpectedFile() {
        const CString path = m_files / "expected.iko";
        EXPECT_TRUE(migration_files::Write(ProductDir(), 3, path));
        std::string bytes = ReadFileBytes(path);
        ::DeleteFileA(path);
        return bytes;
    }

    // The names in the folder, to show that no temporary file stayed.
    static std::vector<std::string> Names(const CString& dir) {
        std::vector<std::string> names;
        for (const auto& entry : FolderContents(dir))
            names.push_back(entry.first);
        return names;
    }

    // A workbook whose name code page 932 cannot hold (売上€.xlsm), a file
    // another program holds so that nobody else may even read it, and a log
    // that another program writes while Tessaro copies it.  The log is
    // measured with the first item and copied after the whole installation
    // is listed: the forms of the fourth item keep Tessaro listing for a good
    // part of a second, so that the log grows in between on a busy machine
    // too.
    std::vector<Holding> LayFilesThatCannotBeCarried() {
        for (int i = 0; i < 400; ++i) {
            CString form;
            form.Format("%s\\Data\\Other\\様式%03d.frm", ProductDir().GetString(), i);
            WriteFileBytes(form, "f");
        }
        const CString excel = ExcelDir();
        const std::wstring wide(excel.GetString(), excel.GetString() + excel.GetLength());
        EXPECT_TRUE(CFileHandle(::CreateFileW((wide + L"\\\x58F2\x4E0A\x20AC.xlsm").c_str(),
                                              GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
        WriteFileBytes(MyDataDir() + "\\使用中.dat", "in use");
        return {HoldHandle(::CreateFileA(MyDataDir() + "\\使用中.dat", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr)),
                HoldGrowing(DefEruDir() + "\\記録.log")};
    }

    CString DefEruDir() const { return ProductDir() + "\\Data\\DefEru"; }

    // The files of LayFilesThatCannotBeCarried: those left out while the
    // installation is listed in the order of the items, then the log.
    std::string LeftOutLines() const {
        return "（全 3 件）。\n" + MyDataDir().str() +
               "\\使用中.dat（ファイルを読み込めません）\n" + ExcelDir().str() +
               "\\売上?.xlsm（ファイル名に使用できない文字があります）\n" + DefEruDir().str() +
               "\\記録.log（作成中にファイルが変更されました）\n\n";
    }

    TempDir m_files;
};

} // namespace

// The save dialog appends ".iko" to a name typed without it; the file holds
// the installation exactly as the engine writes it, and nothing else is
// left in the folder.
TEST_F(TessaroCreate, TypedNameGetsTheExtensionAndTheFileHoldsTheInstallation) {
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kCreateButton, m_files / "移行ソ表");
    const CString file = m_files / "移行ソ表.iko";
    AnswerBoxes(tessaro, {{Created(file), IconKind::Information, nullptr, kTessaroCaption,
                           "tessaro-create-created"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    EXPECT_EQ(ExpectedFile(), ReadFileBytes(file));
    EXPECT_EQ(std::vector<std::string>{"移行ソ表.iko"}, Names(m_files.Path()));
}

// A user's own files of the restore's temporary names are carried as any
// other, with the plain result; a killed restore's marked file is not, and
// needs no word.
TEST_F(TessaroCreate, UsersFilesOfTemporaryNamesAreCarried) {
    WriteFileBytes(MyDataDir() + "\\~TESSARO.TMP", "the user's own");
    WriteFileBytes(ExcelDir() + "\\~tessar5.tmp", "x");
    WriteFileBytes(ExcelDir() + "\\~TESSAR1.TMP", CTargetFile::Mark() + "a killed restore's");
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    const CString file = m_files / "tmp.iko";
    ChooseFile(tessaro, dlg, kCreateButton, file);
    AnswerBoxes(tessaro, {{Created(file), IconKind::Information}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    const std::string bytes = ReadFileBytes(file);
    EXPECT_EQ(ExpectedFile(), bytes);
    EXPECT_NE(std::string::npos, bytes.find("~TESSARO.TMP"));
    EXPECT_NE(std::string::npos, bytes.find("~tessar5.tmp"));
    EXPECT_EQ(std::string::npos, bytes.find("~TESSAR1.TMP"));
}

// An existing file is replaced only after "はい", and then whole: no byte
// of the longer old file stays behind the new one.
TEST_F(TessaroCreate, OverwriteAsksFirstAndReplacesTheWholeFile) {
    const CString file = m_files / "old.iko";
    const std::string old(size_t{64} * 1024, 'o');
    WriteFileBytes(file, old);
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kCreateButton, file);
    // The platform's own question (Wine's words: "ファイルは既に存在します。\n上書きしますか?").
    const QuimbexRun::Box declined = AnswerNextBox(tessaro.Windows(), "いいえ");
    EXPECT_NE(std::string::npos, declined.text.find("上書き")) << declined.text;
    EXPECT_EQ(old, ReadFileBytes(file));

    CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption).Confirm(file.str());
    AnswerNextBox(tessaro.Windows(), "はい");
    AnswerBoxes(tessaro, {{Created(file), IconKind::Information}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    EXPECT_EQ(ExpectedFile(), ReadFileBytes(file));
    EXPECT_EQ(-1, migration_files::FaultOffset(file));
}

// None of the nine items exists: the failure message, and no file.
TEST_F(TessaroCreate, NothingToWriteFailsAndCreatesNoFile) {
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    RemoveFolder(ProductDir() + "\\Data");
    RemoveFolder(ExcelDir());
    const CString file = m_files / "none.iko";
    ChooseFile(tessaro, dlg, kCreateButton, file);
    AnswerBoxes(tessaro, {{NotCreated(file), IconKind::Information, nullptr, kTessaroCaption,
                           "tessaro-create-nothing"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    EXPECT_TRUE(Names(m_files.Path()).empty());
}

// Files that are not in the file, or not whole (the log grew while it was
// copied), are named with their reasons, and the box says the file was made
// without them (exclamation icon): no silent success.  The file reads whole.
TEST_F(TessaroCreate, FilesLeftOutAreNamedAndTheFileIsNoWholeCopy) {
    const auto held = LayFilesThatCannotBeCarried();
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    const CString file = m_files / "移行.iko";
    ChooseFile(tessaro, dlg, kCreateButton, file);
    AnswerBoxes(tessaro,
                {{"ファイル名：" + file.str() +
                      "\nMorvaneデータ移行用ファイルを作成しましたが、次のファイルは含まれていませ"
                      "ん" +
                      LeftOutLines() +
                      "これらのファイルは移行先に復元されません。他のアプリケーションで使用中のフ"
                      "ァイルは、そのアプリケーションを終了してから、もう一度作成してください。",
                  IconKind::Exclamation, nullptr, kTessaroCaption, "tessaro-create-left-out"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    EXPECT_EQ(-1, migration_files::FaultOffset(file));
}

// A disk that fills half-way: the failure message names the cause, the old
// file keeps its bytes and the temporary file is gone.
TEST_F(TessaroCreate, FullDiskKeepsTheOldFileAndNamesTheCause) {
    FullDisk disk(16);
    if (!disk.IsMounted())
        GTEST_SKIP() << FullDisk::kNoDisk;
    WriteFileBytes(ProductDir() + "\\Data\\Other\\大きい表.frm",
                   std::string(size_t{64} * 1024, 'x'));
    const CString file = disk.Path() + "\\移行.iko";
    WriteFileBytes(file, "old");
    uidriver::Process tessaro(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
    ChooseFile(tessaro, dlg, kCreateButton, file);
    AnswerNextBox(tessaro.Windows(), "はい");
    const std::string cause =
        (file + ".~tmp").str() + " の書き込み中にディスクがいっぱいになりました。";
    AnswerBoxes(tessaro, {{NotCreated(file) + "\n\n" + cause, IconKind::Information, nullptr,
                           kTessaroCaption, "tessaro-create-disk-full"}});
    CloseExpectingNoMoreBoxes(tessaro, dlg);
    EXPECT_EQ("old", ReadFileBytes(file));
    EXPECT_EQ(std::vector<std::string>{"移行.iko"}, Names(disk.Path()));
}

// The backup mode's own box: no owner, its caption, the information icon;
// then the program ends.
TEST_F(TessaroCreate, BackupSaysItWroteTheFile) {
    const CString file = m_files / "backup.iko";
    uidriver::Process tessaro(TessaroStart("/K:1"));
    CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption).Confirm(file.str());
    AnswerBoxes(tessaro,
                {{"ファイル名：" + file.str() + "\nバックアップファイルを作成しました。",
                  IconKind::Information, nullptr, kBackupCaption, "tessaro-backup-created"}});
    EXPECT_EQ(0u, tessaro.WaitForExit(30000));
    EXPECT_EQ(ExpectedFile(), ReadFileBytes(file));
}

// The backup mode's box for a file made without some of the files: its
// caption, the exclamation icon, the names and reasons.
TEST_F(TessaroCreate, BackupNamesTheFilesItLeftOut) {
    const auto held = LayFilesThatCannotBeCarried();
    const CString file = m_files / "backup.iko";
    uidriver::Process tessaro(TessaroStart("/K:1"));
    CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption).Confirm(file.str());
    AnswerBoxes(tessaro,
                {{"ファイル名：" + file.str() +
                      "\nバックアップファイルを作成しましたが、次のファイルは含まれていません" +
                      LeftOutLines() +
                      "これらのファイルは復元されません。他のアプリケーションで使用中のファイルは"
                      "、そのアプリケーションを終了してから、もう一度バックアップしてください。",
                  IconKind::Exclamation, nullptr, kBackupCaption, "tessaro-backup-left-out"}});
    EXPECT_EQ(0u, tessaro.WaitForExit(30000));
    EXPECT_EQ(-1, migration_files::FaultOffset(file));
}

// A file that cannot be replaced (nobody may write it) stays as it was; the
// backup's failure message, with the exclamation icon, names the cause.
TEST_F(TessaroCreate, BackupThatCannotReplaceTheFileSaysWhy) {
    const CString file = m_files / "backup.iko";
    WriteFileBytes(file, "old");
    const Holding readOnly = HoldReadOnly(file);
    uidriver::Process tessaro(TessaroStart("/K:1"));
    CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption).Confirm(file.str());
    AnswerNextBox(tessaro.Windows(), "はい");
    AnswerBoxes(tessaro,
                {{"ファイル名：" + file.str() +
                      "\nMorvaneバックアップファイルが作成できませんでした。\n\n" + file.str() +
                      " へのアクセスが拒否されました。",
                  IconKind::Exclamation, nullptr, kBackupCaption, "tessaro-backup-failed"}});
    EXPECT_EQ(0u, tessaro.WaitForExit(30000));
    EXPECT_EQ("old", ReadFileBytes(file));
    EXPECT_EQ(std::vector<std::string>{"backup.iko"}, Names(m_files.Path()));
}

// "作成" and the backup over an older file: the user's own file of the
// temporary name is neither written nor removed; a read-only, hidden or
// system older file (not held open: Wine would let a rename replace it)
// is not replaced, keeps its bytes and attributes, and the way's failure
// message names the cause.
TEST_F(TessaroCreate, OlderFileOrTemporaryNameOfAnotherIsLeftAsItIs) {
    struct Case {
        const char* what;
        bool bBackup;
        DWORD attributes;
        bool bUsersTemporary;
    };
    const Case cases[] = {
        {"作成 beside the user's file of the temporary name", false, FILE_ATTRIBUTE_NORMAL, true},
        {"backup beside the user's file of the temporary name", true, FILE_ATTRIBUTE_NORMAL, true},
        {"作成 over a read-only file", false, FILE_ATTRIBUTE_READONLY, false},
        {"backup over a read-only file", true, FILE_ATTRIBUTE_READONLY, false},
        {"作成 over a hidden file", false, FILE_ATTRIBUTE_HIDDEN, true},
        {"backup over a system file", true, FILE_ATTRIBUTE_SYSTEM, false},
    };
    const DWORD kShown = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CString file = m_files / "older.iko", temporary = file + ".~tmp";
        WriteFileBytes(file, "old");
        if (c.bUsersTemporary)
            WriteFileBytes(temporary, "the user's own");
        ASSERT_TRUE(::SetFileAttributesA(file, c.attributes));
        const bool bReplaced = c.attributes == FILE_ATTRIBUTE_NORMAL;
        const std::string denied = "\n\n" + file.str() + " へのアクセスが拒否されました。";
        uidriver::Process tessaro(TessaroStart(c.bBackup ? "/K:1" : ""));
        if (c.bBackup) {
            CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption).Confirm(file.str());
            AnswerNextBox(tessaro.Windows(), "はい");
            AnswerBoxes(tessaro,
                        {{"ファイル名：" + file.str() +
                              (bReplaced ? "\nバックアップファイルを作成しました。"
                                         : "\nMorvaneバックアップファイルが作成できませんでした。" +
                                               denied),
                          bReplaced ? IconKind::Information : IconKind::Exclamation, nullptr,
                          kBackupCaption}});
            EXPECT_EQ(0u, tessaro.WaitForExit(30000));
        } else {
            const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
            ChooseFile(tessaro, dlg, kCreateButton, file);
            AnswerNextBox(tessaro.Windows(), "はい");
            AnswerBoxes(tessaro, {{bReplaced ? Created(file) : NotCreated(file) + denied,
                                   IconKind::Information, nullptr, kTessaroCaption}});
            CloseExpectingNoMoreBoxes(tessaro, dlg);
        }
        EXPECT_EQ(c.attributes & kShown, ::GetFileAttributesA(file) & kShown);
        if (bReplaced) {
            EXPECT_EQ(ExpectedFile(), ReadFileBytes(file));
        } else {
            EXPECT_EQ("old", ReadFileBytes(file));
        }
        std::vector<std::string> names{"older.iko"};
        if (c.bUsersTemporary) {
            names.push_back("older.iko.~tmp");
            EXPECT_EQ("the user's own", ReadFileBytes(temporary));
        }
        EXPECT_EQ(names, Names(m_files.Path()));
        ::SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(file);
        ::DeleteFileA(temporary);
    }
}
