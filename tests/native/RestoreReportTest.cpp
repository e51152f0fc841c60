#include "RestoreReport.h"

#include <gtest/gtest.h>

namespace {

CSkippedEntry Entry(const CString& path, CSkipReason reason = CSkipReason::cannotWrite,
                    int root = 0) {
    return CSkippedEntry{root, path, reason, "cause"};
}

const CMigrationRoots kRoots("C:\\製品", "D:\\データ", "");

} // namespace

// Only what the user expects on this computer and did not get is told:
// entries kept out on purpose are not.
TEST(CRestoreReport, UnwrittenHoldsOnlyEntriesTheUserExpectedWritten) {
    const struct {
        CSkipReason reason;
        bool told;
    } cases[] = {
        {CSkipReason::cannotWrite, true},  {CSkipReason::unconvertibleName, true},
        {CSkipReason::refusedPath, true},  {CSkipReason::filtered, false},
        {CSkipReason::emptyRoot, false},   {CSkipReason::cannotRead, false},
        {CSkipReason::notFollowed, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(SkipReasonText(c.reason));
        const std::vector<CSkippedEntry> unwritten =
            CRestoreReport::Unwritten({Entry("\\a.dat", c.reason)});
        EXPECT_EQ(c.told ? 1u : 0u, unwritten.size());
        CSkippedEntry folder = Entry("\\sub", c.reason);
        folder.bFolder = true; // its files are told one by one
        EXPECT_EQ(0u, CRestoreReport::Unwritten({folder}).size());
    }
}

// The file keeps runs of backslashes between levels; the user reads the
// path as the system shows it.  The trail byte 0x5C of "表" is no separator.
TEST(CRestoreReport, FullPathJoinsTheRootAndTheCollapsedPath) {
    const struct {
        CSkippedEntry entry;
        const char* expected;
    } cases[] = {
        {Entry("\\Data\\MyData\\a.dat"), "C:\\製品\\Data\\MyData\\a.dat"},
        {Entry("\\\\Data\\MyData\\\\表\\ソ.dat"), "C:\\製品\\Data\\MyData\\表\\ソ.dat"},
        {Entry("\\Excel\\表参道店.xls", CSkipReason::cannotWrite, 1),
         "D:\\データ\\Excel\\表参道店.xls"},
        {Entry("\\SettingShain.dat", CSkipReason::cannotWrite, 2), "SettingShain.dat"},
        {Entry("\\x.dat", CSkipReason::cannotWrite, 9), "x.dat"},
        {Entry("\\Data\\a\r\nb\t\x01.dat"), "C:\\製品\\Data\\a^M^Jb^I^A.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(CString(c.expected), CRestoreReport::FullPath(c.entry, kRoots));
    }
}

// The first five names are listed, one a line; the rest only counted.
TEST(CRestoreReport, NameLinesListTheFirstFiveAndCountTheRest) {
    const struct {
        size_t count;
        const char* expected;
    } cases[] = {
        {0, ""},
        {1, "\nC:\\製品\\f0.dat"},
        {4, "\nC:\\製品\\f0.dat\nC:\\製品\\f1.dat\nC:\\製品\\f2.dat\nC:\\製品\\f3.dat"},
        {5, "\nC:\\製品\\f0.dat\nC:\\製品\\f1.dat\nC:\\製品\\f2.dat\nC:\\製品\\f3.dat"
            "\nC:\\製品\\f4.dat"},
        {6, "\nC:\\製品\\f0.dat\nC:\\製品\\f1.dat\nC:\\製品\\f2.dat\nC:\\製品\\f3.dat"
            "\nC:\\製品\\f4.dat\nほか 1 件"},
        {12, "\nC:\\製品\\f0.dat\nC:\\製品\\f1.dat\nC:\\製品\\f2.dat\nC:\\製品\\f3.dat"
             "\nC:\\製品\\f4.dat\nほか 7 件"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<CSkippedEntry> unwritten;
        for (size_t i = 0; i < c.count; ++i) {
            const std::string name = "\\f" + std::to_string(i) + ".dat";
            unwritten.push_back(Entry(CString(name.c_str())));
        }
        EXPECT_EQ(CString(c.expected), CRestoreReport::NameLines(unwritten, kRoots));
    }
}
