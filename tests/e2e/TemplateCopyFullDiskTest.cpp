// The disk of the books fills up while a command copies the template in
// place of the workbook it has just renamed.
#include "FullDisk.h"
#include "QuimbexE2e.h"
#include "TempDir.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

class TemplateCopyOnFullDisk : public QuimbexE2e {};

} // namespace

// The rename needs no room, the copy does: no cut template takes the
// book's name (a later run would take it for the book), each workbook takes
// its own name back from its backup at once, the user is told, and the run
// fails.  The book list names only workbooks that are there.
TEST_F(TemplateCopyOnFullDisk, EveryBookTakesItsNameBackAndNoCutCopyStays) {
    const char kPutBack[] = "にコピーできませんでした。\n元のブックはそのまま残しています。";
    const struct {
        const char* tail;
        std::vector<std::string> books; // each told of in its own message
        bool conversionMessage;
        const char* shot; // of the first message box
    } cases[] = {
        {"/K:9", {"kyuyo.xls", "勤怠_kyuyo.xls", "表参道店.xls"}, true, nullptr},
        {"/F:kyuyo.xls", {"kyuyo.xls"}, false, "quimbex-template-copy-put-back"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        const auto disk = std::make_unique<FullDisk>(1024);
        if (!disk->IsMounted())
            GTEST_SKIP() << "no tmpfs can be mounted here (the tests need root)";
        LayProduct(".xls", disk->Path());
        ClearLog();
        const auto before = FolderContents(ExcelDir());
        {
            const NothingLost kept(ExcelDir());
            ASSERT_TRUE(disk->Fill());
            const QuimbexRun run = Run(c.tail, c.shot);
            std::vector<std::string> texts = Texts(run);
            if (c.conversionMessage) {
                ASSERT_FALSE(texts.empty());
                EXPECT_EQ("Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初"
                          "期化を行ってください。",
                          texts.back());
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
        }
    }
}
