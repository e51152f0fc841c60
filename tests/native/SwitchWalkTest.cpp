#include "Switches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Walk(const char* tail) {
    std::vector<std::string> seen;
    ForEachSwitch(tail, [&seen](const CString& key, const CString& value) {
        seen.push_back(key.str() + "=" + value.str());
    });
    return seen;
}

} // namespace

// What both programs' parsers rest on: every "/" starts a switch, and one
// without a usable ":" is visited again with what the switch before held.
TEST(ForEachSwitch, VisitsEverySwitchInOrder) {
    const struct {
        const char* tail;
        std::vector<std::string> seen;
    } cases[] = {
        {"", {}},
        {"K:1", {}},
        {"/k:1", {"K=1"}},
        {"/K: 12 /o: a b ", {"K=12", "O=a b"}},
        {"/K:1/N:x", {"K=1", "N=x"}},
        {"/X", {"="}},
        {"/K:1 /X", {"K=1", "K=1"}},
        {"/K:1 /:2", {"K=1", "K=1"}},
        // The first ":" counts even beyond the next "/": the key is "X /".
        {"/K:1 /X /:2", {"K=1", "X /=", "X /="}},
        {"/F:a:b", {"F=a:b"}},
        {"/O:a/b", {"O=a", "O=a"}}, // "/b" has no ":"
        {"/表:ソ\\", {"表=ソ\\"}},  // trail bytes 0x5C
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        EXPECT_EQ(c.seen, Walk(c.tail));
    }
}

TEST(ParseLeadingNumber, ReadsLeadingDigitsLikeAtolHeldTo32Bits) {
    EXPECT_EQ(12, ParseLeadingNumber("12abc"));
    EXPECT_EQ(-3, ParseLeadingNumber(" -3"));
    EXPECT_EQ(0, ParseLeadingNumber("x1"));
    EXPECT_EQ(2147483647, ParseLeadingNumber("99999999999"));
    EXPECT_EQ(-2147483647 - 1, ParseLeadingNumber("-99999999999"));
}
