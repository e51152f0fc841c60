#include "CommonFileDialog.h"
#include "QuimbexRun.h"
#include "ScopedHandle_win.h"
#include "TessaroFixture.h"
#include "Time.h"

#include <windows.h>

#include <vector>

using uidriver::IconKind;

namespace {

const char kNotInstalled[] = "「Morvane 8」がインストールされていません。";
const char kNoProbeFile[] = "ファイルが見つからないため「Morvane　移行ツール」を起動できません";
const char kNoWriteRight[] =
    "ファイルの書き込み権限がないため「Morvane　移行ツール」は使えません。\n"
    "制限ユーザーに設定されている場合は権限を変更してご利用ください。";
const char kAlreadyRunning[] =
    "「Morvane」または\n「Morvane データ移行ツール」\nが既に起動しています。";
const char kOtherUser[] =
    "他のユーザーが「Morvane」または\n「Morvane データ移行ツール」を使用しています。\n"
    "そのユーザーがアプリケーションを終了してからご利用ください。";
const char kSaveCaption[] = "名前を付けて保存";
// A mutex that refuses everyone, as another user's does.
const char kDenyEveryone[] = "D:(D;;GA;;;WD)";

enum class Condition {
    NotInstalled,
    ProbeMissing,
    ProbeReadOnly,
    ProbeOpenElsewhere,
    LocalMutexHeld,
    GlobalMutexRefused
};

class TessaroStartChecks : public TessaroFixture {
protected:
    Holding Arrange(Condition c) {
        switch (c) {
        case Condition::NotInstalled:
            SetInstalled(0);
            return Holding(nullptr, [](void*) { SetInstalled(1); });
        case Condition::ProbeMissing:
            ::DeleteFileA(AcckPath());
            return Holding(nullptr, [path = AcckPath()](void*) { WriteFileBytes(path, ""); });
        case Condition::ProbeReadOnly:
            return HoldReadOnly(AcckPath());
        case Condition::ProbeOpenElsewhere:
            return HoldHandle(::CreateFileA(AcckPath(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        case Condition::LocalMutexHeld:
            return HoldMutex("hKyuyo");
        case Condition::GlobalMutexRefused:
            return HoldMutex("Global\\hKyuyo", kDenyEveryone);
        }
        return nullptr;
    }

    static void SetInstalled(DWORD installed) {
        CRegKeyHandle key;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QZ\\Morvane\\Env",
                                                 0, KEY_SET_VALUE, key.Receive()));
        ::RegSetValueExA(key.Get(), "Installed", 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&installed), sizeof installed);
    }
};

std::string TimeStamp() {
    return CTime::GetCurrentTime().Format("%Y%m%d%H%M%S").str();
}

} // namespace

// Each failed check ends the program after one box captioned "Tessaro"; the
// checks run in their order, so with two faults the earlier one speaks.
// The write-permission boxes ask for no icon: the framework's box then shows
// its exclamation mark, like every other box here.
TEST_F(TessaroStartChecks, FailedCheckEndsTheProgramAfterItsMessage) {
    using C = Condition;
    const struct {
        const char* name;
        std::vector<Condition> conditions;
        const char* text;
    } cases[] = {
        {"not-installed", {C::NotInstalled, C::ProbeMissing}, kNotInstalled},
        {"probe-missing", {C::ProbeMissing, C::LocalMutexHeld}, kNoProbeFile},
        {"probe-read-only", {C::ProbeReadOnly}, kNoWriteRight},
        {"probe-open-elsewhere", {C::ProbeOpenElsewhere}, kNoWriteRight},
        {"already-running", {C::LocalMutexHeld, C::GlobalMutexRefused}, kAlreadyRunning},
        {"other-user", {C::GlobalMutexRefused}, kOtherUser},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Holding> held;
        for (Condition condition : c.conditions)
            held.push_back(Arrange(condition));
        const std::string shot = std::string("tessaro-") + c.name;
        QuimbexRun run;
        try {
            run = RunToEnd(TessaroStart(), 60000, shot.c_str());
        } catch (const std::exception& e) { // the program went on: say which case
            ADD_FAILURE() << e.what();
            continue;
        }
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kTessaroCaption, run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Exclamation, run.boxes[0].icon);
        EXPECT_TRUE(run.otherWindows.empty());
        EXPECT_EQ(0u, run.exitCode);
    }
}

TEST_F(TessaroStartChecks, SecondStartSaysAlreadyRunningWhileTheFirstGoesOn) {
    uidriver::Process first(TessaroStart());
    const uidriver::DialogWindow dlg = WaitForMainDialog(first);
    const QuimbexRun second = RunToEnd(TessaroStart(), 60000, "tessaro-second-start");
    ASSERT_EQ(1u, second.boxes.size());
    EXPECT_EQ(kTessaroCaption, second.boxes[0].caption);
    EXPECT_EQ(kAlreadyRunning, second.boxes[0].text);
    EXPECT_EQ(IconKind::Exclamation, second.boxes[0].icon);
    EXPECT_TRUE(second.otherWindows.empty());
    EXPECT_TRUE(first.IsRunning());
    CloseMainDialog(first, dlg);
}

// The same user's own global mutex (the product's main program of this
// session) is no obstacle; only a refusal is.
TEST_F(TessaroStartChecks, GlobalMutexOfTheSameUserLetsTheProgramStart) {
    const Holding mutex = HoldMutex("Global\\hKyuyo");
    uidriver::Process tessaro(TessaroStart());
    CloseMainDialog(tessaro, WaitForMainDialog(tessaro));
}

// The probe is opened for writing, never written: its bytes and time stay.
TEST_F(TessaroStartChecks, ProbeFileIsLeftAsItWas) {
    WriteFileBytes(AcckPath(), "probe\r\n");
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    ASSERT_TRUE(::GetFileAttributesExA(AcckPath(), GetFileExInfoStandard, &before));
    uidriver::Process tessaro(TessaroStart());
    CloseMainDialog(tessaro, WaitForMainDialog(tessaro));
    ASSERT_TRUE(::GetFileAttributesExA(AcckPath(), GetFileExInfoStandard, &after));
    EXPECT_EQ("probe\r\n", ReadFileBytes(AcckPath()));
    EXPECT_EQ(0, ::CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
}

TEST_F(TessaroStartChecks, CommandsOtherThanOneShowTheMainDialog) {
    for (const char* tail : {"", "/K:2", "/K:0", "/K:11", "/X:1", "/F:1"}) {
        SCOPED_TRACE(tail);
        uidriver::Process tessaro(TessaroStart(tail));
        CloseMainDialog(tessaro, WaitForMainDialog(tessaro));
    }
}

// The backup mode shows no dialog of its own: only the save dialog, without
// owner, proposing the product's name and the time of the start.
TEST_F(TessaroStartChecks, BackupSwitchOffersATimeStampedNameAndCancelEndsSilently) {
    for (const char* tail : {"/K:1", "/k:1", "/K: 1 /X:5"}) {
        SCOPED_TRACE(tail);
        const std::string before = TimeStamp();
        uidriver::Process tessaro(TessaroStart(tail));
        const CommonFileDialog save = CommonFileDialog::WaitFor(tessaro.Windows(), kSaveCaption);
        const std::string after = TimeStamp();
        const std::string name = save.FileName();
        const std::string prefix = "Morvane_バックアップ";
        ASSERT_EQ(prefix.size() + 14 + 4, name.size()) << name;
        EXPECT_EQ(prefix, name.substr(0, prefix.size()));
        const std::string stamp = name.substr(prefix.size(), 14);
        EXPECT_TRUE(before <= stamp && stamp <= after) << before << " " << stamp << " " << after;
        EXPECT_EQ(".iko", name.substr(name.size() - 4));
        EXPECT_EQ(std::vector<std::string>{"Morvane／ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ(*.iko)"}, save.FileTypes());
        EXPECT_EQ(nullptr, save.Owner());
        EXPECT_EQ(nullptr,
                  tessaro.Windows().Find(uidriver::WindowQuery("#32770", kMainDialogCaption)));
        if (std::string(tail) == "/K:1")
            SaveWindowShot(save.Handle(), "tessaro-backup-save");
        save.Cancel();
        EXPECT_EQ(0u, tessaro.WaitForExit(30000)); // a box would keep it running
    }
}
