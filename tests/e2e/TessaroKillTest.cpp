// Tessaro ended from outside (TerminateProcess, as the task manager does) at
// moments spread over its work: "作成" and the backup over an older file
// leave that file byte for byte or the new one whole, a restore leaves no
// file cut, and the next run completes.
#include "CommonFileDialog.h"
#include "KillPoints.h"
#include "MigrationFiles.h"
#include "MsgBox.h"
#include "MsgBoxAnswerer.h"
#include "QuimbexRun.h"
#include "SampleProduct.h"
#include "TessaroFixture.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

constexpr int kPoints = 8;
const KillFiles kFiles = {"Data\\Other\\kill", 30, 1024 * 1024, 64 * 1024};
const char kConvertQuestion[] =
    "復元するデータにExcelブックが含まれている場合、データコンバートする必要があります。\n"
    "コンバートには時間がかかる可能性がありますが、開始してもよろしいですか？";

DWORD MsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
}

// Answers what comes before the work and gives the question whose "はい"
// starts it.
using Begin = std::function<HWND(const uidriver::Process&)>;

HWND NextBox(const uidriver::Process& process) {
    return uidriver::MsgBox::WaitFor(process.Windows(), 60000).Handle();
}

class TessaroKill : public TessaroFixture {
protected:
    // Starts Tessaro and answers "はい" to the question that `begin` finds,
    // then kills it delayMs later; or, with delayMs of INFINITE, lets it
    // finish and gives the time from the answer to the result message.
    DWORD Run(const std::string& tail, const Begin& begin, DWORD delayMs) {
        uidriver::Process tessaro(TessaroStart(tail));
        const uidriver::MsgBox question(begin(tessaro));
        question.Press(std::string("はい"));
        const auto start = std::chrono::steady_clock::now();
        if (delayMs != INFINITE) {
            ::Sleep(delayMs);
            tessaro.Terminate();
            return 0;
        }
        const uidriver::MsgBox box = uidriver::MsgBox::WaitFor(tessaro.Windows(), 120000);
        const DWORD ms = MsSince(start);
        box.Press(box.DefaultButton() ? box.DefaultButton() : IDOK);
        if (tail.empty()) {
            const uidriver::DialogWindow dlg = WaitForMainDialog(tessaro);
            CloseExpectingNoMoreBoxes(tessaro, dlg);
        } else {
            EXPECT_EQ(0u, tessaro.WaitForExit(30000));
        }
        return ms;
    }

    // Kills at every point, checks what each kill left, then lets one run
    // finish and checks that it made everything whole.
    void KillEverywhere(const std::string& tail, const Begin& begin,
                        const std::function<void()>& reset, const CString& temporary,
                        KillPoints& points, const char* what, const CString& restoreRoot = "") {
        reset();
        const DWORD whole = Run(tail, begin, INFINITE);
        int copies = 0;
        for (int k = 0; k < points.Count(); ++k) {
            SCOPED_TRACE(std::string(what) + ": kill point " + std::to_string(k));
            reset();
            Run(tail, begin, points.DelayMs(whole, k));
            const bool bLeft = restoreRoot.IsEmpty()
                                   ? FileExists(temporary)
                                   : kFiles.TemporaryFilesLeft(restoreRoot, false) > 0;
            copies += restoreRoot.IsEmpty()
                          ? WriterFilesLeft(temporary.Left(temporary.GetLength() - 5),
                                            ReadFileBytes(m_files / "newer.iko")) > 0
                          : bLeft;
            points.CheckAfterKill(bLeft);
        }
        Run(tail, begin, INFINITE);
        points.CheckWhole();
        if (restoreRoot.IsEmpty())
            EXPECT_EQ(0, KeptWriterFiles(temporary.Left(temporary.GetLength() - 5)));
        else
            EXPECT_EQ(0, kFiles.TemporaryFilesLeft(restoreRoot, true));
        EXPECT_EQ(0, JournalsLeft());
        std::printf("Tessaro %s (%lu ms of work): %s; %d kills left a whole copy, each removed "
                    "by a later run\n",
                    what, static_cast<unsigned long>(whole), points.Summary().c_str(), copies);
    }

    // The older migration file, written from the installation with the old
    // files; the installation then holds the new ones, and the new file is
    // what a whole run writes.
    void LayOlderAndNewerFile(const CString& file, KillPoints& points) {
        kFiles.Lay(ProductDir(), false);
        ASSERT_TRUE(migration_files::Write(ProductDir(), 3, file));
        const std::string older = ReadFileBytes(file);
        kFiles.Lay(ProductDir(), true);
        const CString newer = m_files / "newer.iko";
        ASSERT_TRUE(migration_files::Write(ProductDir(), 3, newer));
        points.Watch(file, older, true, ReadFileBytes(newer));
        m_strOlder = older;
    }

    TempDir m_files;
    std::string m_strOlder;
};

} // namespace

TEST_F(TessaroKill, CreateOverAnOlderFileKeepsItOrMakesTheNewOneWhole) {
    const CString file = m_files / "移行.iko";
    KillPoints points(kPoints);
    LayOlderAndNewerFile(file, points);
    const Begin begin = [&](const uidriver::Process& tessaro) {
        ChooseFile(tessaro, WaitForMainDialog(tessaro), kCreateButton, file);
        return NextBox(tessaro); // replace the older file?
    };
    const auto reset = [&] { WriteFileBytes(file, m_strOlder); };
    KillEverywhere("", begin, reset, file + ".~tmp", points, "create");
}

TEST_F(TessaroKill, BackupOverAnOlderFileKeepsItOrMakesTheNewOneWhole) {
    const CString file = m_files / "backup.iko";
    KillPoints points(kPoints);
    LayOlderAndNewerFile(file, points);
    const Begin begin = [&](const uidriver::Process& tessaro) {
        CommonFileDialog::WaitFor(tessaro.Windows(), "名前を付けて保存").Confirm(file.str());
        return NextBox(tessaro); // replace the older file?
    };
    const auto reset = [&] { WriteFileBytes(file, m_strOlder); };
    KillEverywhere("/K:1", begin, reset, file + ".~tmp", points, "backup");
}

// The installation holds older files, the migration file new ones; before
// each kill the older ones are laid again, and whatever a kill left beside
// them stays for the next runs.
TEST_F(TessaroKill, RestoreKilledAnywhereLeavesNoFileCut) {
    TempDir source;
    ASSERT_TRUE(LaidSample(source.Path(), UnregisteredSample()));
    ASSERT_TRUE(::DeleteFileA(source.Path() + "\\Data\\MyData\\BookMNG.dat")); // no conversion
    kFiles.Lay(source.Path(), true);
    const CString file = m_files / "kill.iko";
    ASSERT_TRUE(migration_files::Write(source.Path(), 3, file));
    KillPoints points(kPoints);
    points.Watch(ProductDir(), kFiles);
    const Begin begin = [&](const uidriver::Process& tessaro) {
        ChooseFile(tessaro, WaitForMainDialog(tessaro), kRestoreButton, file);
        const HWND box = NextBox(tessaro);
        EXPECT_EQ(kConvertQuestion, NormaliseLineBreaks(uidriver::MsgBox(box).Text()));
        return box;
    };
    const auto reset = [&] { kFiles.Lay(ProductDir(), false); };
    KillEverywhere("", begin, reset, ProductDir() + "\\Data\\Other\\kill\\~TESSARO.TMP", points,
                   "restore", ProductDir());
    EXPECT_EQ(0, ServerStarts());
}
