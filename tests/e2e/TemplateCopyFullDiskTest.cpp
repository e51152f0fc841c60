// The disk of the books fills up while a command copies the template in
// place of the workbook it has just renamed.
#include "DialogChecks.h"
#include "FullDisk.h"
#include "QuimbexE2e.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

class TemplateCopyOnFullDisk : public QuimbexE2e {};

const char kConvertFailed[] =
    "Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を行ってください。";

} // namespace

// The rename needs no room, the copy does: no cut template takes the
// book's name (a later run would take it for the book), each workbook takes
// its own name back from its backup at once, the user is told, and the run
// fails.  The book list names only workbooks that are there.  The
// attendance initialisation copies the workbook to its backup and the
// template over it through a temporary file: the workbook stays whole.
TEST_F(TemplateCopyOnFullDisk, EveryBookTakesItsNameBackAndNoCutCopyStays) {
    const char kPutBack[] = "にコピーできませんでした。\n元のブックはそのまま残しています。";
    const struct {
        const char* tail;
        const char* dialog; // answered with its OK button; null: none
        std::vector<std::string> books; // each told of in its own message
        const char* lastText; // the run's last message, after those; null: none
        const char* shot; // of the first message box
    } cases[] = {
        {"/K:9", nullptr, {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"}, kConvertFailed, nullptr},
        {"/F:kyuyo.xls", nullptr, {"kyuyo.xls"}, nullptr, "quimbex-template-copy-put-back"},
        {"/K:7", "年度更新", {"kyuyo.xls"}, nullptr, nullptr},
        {"/K:8", "ブックの初期化", {"kyuyo.xls"}, nullptr, nullptr},
        {"/K:10", "ブックの初期化", {}, "ブックの初期化に失敗しました。", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        const auto disk = std::make_unique<FullDisk>(1024);
        if (!disk->IsMounted())
            GTEST_SKIP() << FullDisk::kNoDisk;
        LayProduct(".xls", disk->Path());
        ClearLog();
        const auto before = FolderContents(ExcelDir());
        {
            const NothingLost kept(ExcelDir());
            ASSERT_TRUE(disk->Fill());
            const QuimbexRun run =
                c.dialog ? RunPressingOk(QuimbexStart(c.tail), c.dialog) : Run(c.tail, c.shot);
            std::vector<std::string> texts = Texts(run);
            if (c.lastText) {
                ASSERT_FALSE(texts.empty());
                EXPECT_EQ(c.lastText, texts.back());
                texts.pop_back();
            }
            std::vector<std::string> expected;
            for (const std::string& book : c.books)
                expected.push_back("ひな形のブックを\n" + book + "\n" + kPutBack);
            std::sort(texts.begin(), texts.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(expected, texts);
            EXPECT_EQ(before, FolderContents(ExcelDir()));
            EXPECT_FALSE(FileExists(ExMng()));
            EXPECT_EQ(1u, run.exitCode);
            EXPECT_TRUE(ListAgreesWithBooks(ProductDir(), ExcelDir()));
        }
    }
}
