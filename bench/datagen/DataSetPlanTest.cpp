// The data sets are the same from the same seed, and have the shape the
// benchmarks promise.
#include "DataSetPlan.h"

#include <gtest/gtest.h>

#include <set>

namespace {

CDataSetPlan::Parameters Defaults(const char* kind) {
    CDataSetPlan::Parameters params;
    EXPECT_TRUE(CDataSetPlan::DefaultsOf(kind, params));
    return params;
}

bool SameFiles(const CDataSetPlan& a, const CDataSetPlan& b) {
    if (a.Files().size() != b.Files().size())
        return false;
    for (size_t i = 0; i < a.Files().size(); ++i)
        if (a.Files()[i].strPath != b.Files()[i].strPath ||
            a.Files()[i].nSize != b.Files()[i].nSize)
            return false;
    return true;
}

} // namespace

TEST(DataSetPlan, TheSeedAloneDecides) {
    for (const char* kind : {"office", "many", "big"}) {
        SCOPED_TRACE(kind);
        CDataSetPlan::Parameters params = Defaults(kind);
        EXPECT_TRUE(SameFiles(CDataSetPlan(params), CDataSetPlan(params)));
        if (params.nKind == CDataSetPlan::big)
            continue;
        CDataSetPlan::Parameters other = params;
        other.nSeed = params.nSeed + 1;
        EXPECT_FALSE(SameFiles(CDataSetPlan(params), CDataSetPlan(other)));
    }
    CDataSetPlan::Parameters unknown;
    EXPECT_FALSE(CDataSetPlan::DefaultsOf("huge", unknown));
}

TEST(DataSetPlan, SetsHaveTheirPromisedShape) {
    const CDataSetPlan office(Defaults("office"));
    EXPECT_EQ(10000u, office.Files().size());
    EXPECT_EQ(20u, office.Folders().size());
    EXPECT_GT(office.TotalBytes(), 1200000000u);
    EXPECT_LT(office.TotalBytes(), 1400000000u);
    size_t large = 0;
    std::set<std::string> paths;
    bool trailByteName = false;
    for (const CDataSetPlan::File& file : office.Files()) {
        large += file.nSize >= 20000000u;
        EXPECT_TRUE(file.nSize >= 1024u && file.nSize <= 100000000u) << file.strPath;
        paths.insert(file.strPath);
        // "表" in UTF-8: its code page 932 form ends in 0x5C.
        trailByteName = trailByteName || file.strPath.find("\xE8\xA1\xA8") != std::string::npos;
    }
    EXPECT_EQ(15u, large);
    EXPECT_EQ(office.Files().size(), paths.size()); // no name twice
    EXPECT_TRUE(trailByteName);

    const CDataSetPlan many(Defaults("many"));
    EXPECT_EQ(100000u, many.Files().size());
    for (const CDataSetPlan::File& file : many.Files())
        ASSERT_TRUE(file.nSize >= 1024u && file.nSize <= 8192u) << file.strPath;

    const CDataSetPlan big(Defaults("big"));
    ASSERT_EQ(1u, big.Files().size());
    EXPECT_EQ(5ull << 30, big.Files()[0].nSize);
}
