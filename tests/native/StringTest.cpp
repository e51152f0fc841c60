#include "Map.h"
#include "String.h"

#include <gtest/gtest.h>

// "表" is 95 5C and "ソ" is 83 5C: their trail byte is a backslash.
TEST(CString, BackslashSearchSkipsTrailBytes) {
    const CString path("C:\\表\\x.xls");
    EXPECT_EQ(4, CString("表\\x").GetLength());
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ("x.xls", path.Mid(path.ReverseFind('\\') + 1));
    EXPECT_EQ(-1, CString("ソ表").Find('\\'));
    EXPECT_EQ(-1, CString("ソ表").ReverseFind('\\'));
    EXPECT_EQ(2, CString("表\\").Find('\\'));
    EXPECT_EQ(2, CString("ソ\\ソ").Find("\\"));
    EXPECT_EQ(-1, CString("ソ").Find("\\"));
}

TEST(CString, SubstringMatchesOnlyOnCharacterBoundaries) {
    // "ア" is 83 41: its trail byte is 'A'.
    EXPECT_EQ(-1, CString("ア").Find("A"));
    EXPECT_EQ(2, CString("アA").Find("A"));
    CString s("アA.xls");
    EXPECT_EQ(1, s.Replace("A", "B"));
    EXPECT_EQ("アB.xls", s);
    CString book("kyuyo.xls.xls");
    EXPECT_EQ(2, book.Replace(".xls", ".xlsm"));
    EXPECT_EQ("kyuyo.xlsm.xlsm", book);
}

TEST(CString, MatchMustAlsoEndOnACharacterBoundary) {
    // A lead byte alone, or a text ending in one, is half a character here.
    EXPECT_EQ(-1, CString("ア").Find("\x83"));
    EXPECT_EQ(-1, CString("表示").Find("\x95\x5C\x8E")); // 表 and half of 示
    EXPECT_EQ(0, CString("表示").Find("表"));
    EXPECT_EQ(2, CString("アア").Find("ア", 1));
    CString s("アイ");
    EXPECT_EQ(0, s.Replace("\x83", "x"));
    EXPECT_EQ("アイ", s);
    CString t("表\\表");
    EXPECT_EQ(1, t.Replace("\\", "/"));
    EXPECT_EQ("表/表", t);
}

TEST(CString, NullTextIsFoundNowhere) {
    EXPECT_EQ(-1, CString("abc").Find(static_cast<const char*>(nullptr)));
    EXPECT_EQ(-1, CString().Find(static_cast<const char*>(nullptr)));
    CString s("abc");
    EXPECT_EQ(0, s.Replace(nullptr, "x"));
    EXPECT_EQ("abc", s);
}

TEST(CString, CaseFoldingChangesOnlySingleByteLetters) {
    CString s("ＡBC表");
    s.MakeLower();
    EXPECT_EQ("Ａbc表", s);
    CString a("アa"); // 83 41 61
    a.MakeUpper();
    EXPECT_EQ("アA", a);
    CString b("アA");
    b.MakeLower();
    EXPECT_EQ("アa", b);
    EXPECT_EQ(0, CString("KyuYo.XLS").CompareNoCase("kyuyo.xls"));
    EXPECT_NE(0, CString("ア").CompareNoCase("\x83"
                                             "a"));
    EXPECT_NE(0, CString("Ａ").CompareNoCase("ａ"));
}

TEST(CString, FormatFollowsPrintf) {
    CString s;
    s.Format("%s_%d_%05d", "表示", 42, 7);
    EXPECT_EQ("表示_42_00007", s);
    s.AppendFormat("%c", 'z');
    EXPECT_EQ("表示_42_00007z", s);
    const std::string big(5000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(5002, s.GetLength());
}

TEST(CString, TrimAndSlices) {
    CString s(" \t値 \r\n");
    s.Trim();
    EXPECT_EQ("値", s);
    const CString t("abcdef");
    EXPECT_EQ("ab", t.Left(2));
    EXPECT_EQ("ef", t.Right(2));
    EXPECT_EQ("cd", t.Mid(2, 2));
    EXPECT_EQ("", t.Mid(10));
    EXPECT_EQ("abcdef", t.Left(99));
    EXPECT_EQ("", t.Left(-1));
}

TEST(CMap, IteratesBucketByBucketNewestFirst) {
    CMap<CString, int> map(17);
    // Keys that share a bucket come back newest first.
    std::vector<CString> same;
    for (int i = 0; same.size() < 3; ++i) {
        CString k;
        k.Format("k%d", i);
        if (HashKey(k) % 17 == 5)
            same.push_back(k);
    }
    for (size_t i = 0; i < same.size(); ++i)
        map[same[i]] = static_cast<int>(i);
    std::vector<CString> order;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString key;
        int v;
        map.GetNextAssoc(pos, key, v);
        order.push_back(key);
    }
    ASSERT_EQ(3u, order.size());
    EXPECT_EQ(same[2], order[0]);
    EXPECT_EQ(same[0], order[2]);
    map.SetAt(same[0], 9); // replacing keeps the place
    int v = 0;
    EXPECT_TRUE(map.Lookup(same[0], v));
    EXPECT_EQ(9, v);
    EXPECT_TRUE(map.RemoveKey(same[1]));
    EXPECT_FALSE(map.RemoveKey(same[1]));
    EXPECT_EQ(2, map.GetCount());
}
