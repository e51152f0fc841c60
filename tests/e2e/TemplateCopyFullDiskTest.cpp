// The disk of the books fills up while a command copies the template in
// place of the workbook it has just renamed.
#include "FullDisk.h"
#include "QuimbexE2e.h"
#include "TempDir.h"

#include <windows.h>

#include <memory>

namespace {

class TemplateCopyOnFullDisk : public QuimbexE2e {};

} // namespace

// The rename needs no room, the copy does: the old workbook lives on under
// its backup name, no cut template takes the book's name (a later run
// would take it for the book), and the run fails.  Command 5 says nothing
// of a failed copy; command 9 reports the conversion as failed.
TEST_F(TemplateCopyOnFullDisk, OldBookSurvivesAsItsBackupAndNoCutCopyStays) {
    const struct {
        const char* tail;
        std::vector<std::string> texts;
        const char* backupBefore; // the backup's name around the date
        const char* backupAfter;
    } cases[] = {
        {"/K:9",
         {"Excelブックのコンバートに失敗しました。パソコンを再起動し、各ブックの初期化を行ってくだ"
          "さい。"},
         "kyuyo",
         ".xls"},
        {"/F:kyuyo.xls", {}, "", "給与計算.xls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        const auto disk = std::make_unique<FullDisk>(1024);
        if (!disk->IsMounted())
            GTEST_SKIP() << "no tmpfs can be mounted here (the tests need root)";
        LayProduct(".xls", disk->Path());
        ClearLog();
        const std::string book = ReadFileBytes(Excel("kyuyo.xls"));
        {
            const NothingLost kept(ExcelDir());
            ASSERT_TRUE(disk->Fill());
            const QuimbexRun run = Run(c.tail);
            EXPECT_EQ(c.texts, Texts(run));
            EXPECT_FALSE(FileExists(Excel("kyuyo.xls")));
            EXPECT_EQ(book, ReadFileBytes(Backup(c.backupBefore, c.backupAfter)));
            EXPECT_FALSE(FileExists(ExMng()));
        }
    }
}
