#include "BookDialogFixture.h"
#include "TempDir.h"

using uidriver::IconKind;

namespace {
class BookDialogStart : public BookDialogFixture {};
} // namespace

// The version test comes before the dialog: no dialog shows.
TEST_F(BookDialogStart, MissingOrOldExcelIsRefusedBeforeTheDialog) {
    const NothingLost kept(ExcelDir());
    const struct {
        const char* tail;
        const char* caption;
        int version; // 0: none registered
        const char* text;
    } cases[] = {
        {"/K:7", "年度更新", 0,
         "年度更新を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"},
        {"/K:7", "年度更新", 7,
         "年度更新を行うには、Microsoft Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"},
        {"/K:8", "ブックの初期化", 0,
         "ブックの初期化を行うには、Microsoft Excelがｲﾝｽﾄｰﾙされている必要があります"},
        {"/K:8", "ブックの初期化", 7,
         "ブックの初期化を行うには、Microsoft Excel(97以上)がｲﾝｽﾄｰﾙされている必要があります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(c.version ? ExcelStandin::SetCurVer(c.version) : ExcelStandin::RemoveCurVer());
        const QuimbexRun run = RunToEnd(QuimbexStart(c.tail), 60000);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(c.caption, run.boxes[0].caption);
        EXPECT_EQ(c.text, run.boxes[0].text);
        EXPECT_EQ(IconKind::Information, run.boxes[0].icon);
        EXPECT_TRUE(run.otherWindows.empty());
    }
}

// A damaged file is reported by its reader first; the dialog ends before
// it shows.
TEST_F(BookDialogStart, UnusableBookMapEndsTheDialogBeforeItShows) {
    const NothingLost kept(ExcelDir());
    const std::string damaged("\x01\x00\x05kyu", 6);
    const std::string empty(2, '\0');
    const char kDamaged[] = "ブック管理データファイルが壊れています。";
    const struct {
        const char* tail;
        const std::string* bytes; // null: no file
        std::vector<std::string> texts;
    } cases[] = {
        {"/K:7", nullptr, {"年度更新を実行できません。"}},
        {"/K:7", &damaged, {kDamaged, "年度更新を実行できません。"}},
        {"/K:7",
         &empty,
         {"年度更新を実行することができません。［ブックの管理］メニューより【復元】を試みてくださ"
          "い。"}},
        {"/K:8", nullptr, {"ブックの初期化を実行できません。"}},
        {"/K:8", &damaged, {kDamaged, "ブックの初期化を実行できません。"}},
        {"/K:8",
         &empty,
         {"ブックの初期化を実行することができません。［ブックの管理］メニューより【復元】を試みて"
          "ください。"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail + (" " + c.texts.back()));
        ::DeleteFileA(MyDataDir() + "\\BookMNG.dat");
        if (c.bytes)
            WriteFileBytes(MyDataDir() + "\\BookMNG.dat", *c.bytes);
        const QuimbexRun run = RunToEnd(QuimbexStart(c.tail), 60000);
        std::vector<std::string> texts;
        for (const QuimbexRun::Box& box : run.boxes) {
            texts.push_back(box.text);
            EXPECT_EQ("Quimbex", box.caption);
        }
        EXPECT_EQ(c.texts, texts);
        EXPECT_TRUE(run.otherWindows.empty());
    }
    EXPECT_EQ(0, ServerStarts());
}
