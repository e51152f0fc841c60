#include "MbcsText.h"

#include <gtest/gtest.h>

using uidriver::EscapeLine;
using uidriver::StripMnemonic;

struct TextCase {
    const char* input;
    const char* expected;
};

// 表 (95 5C) and ソ (83 5C) end in a byte that looks like a backslash.
TEST(MbcsText, EscapeLineEscapesSingleBytesOnlyAndJoinsLines) {
    const TextCase cases[] = {
        {"", ""},
        {"1行目\r\n2行目", "1行目\\n2行目"},
        {"a\nb\rc", "a\\nb\\nc"},
        {"\r\n\r\n", "\\n\\n"},
        {"tab\there", "tab\\there"},
        {"say \"はい\"", "say \\\"はい\\\""},
        {"C:\\data", "C:\\\\data"},
        {"表示.xls", "表示.xls"},
        {"ソフト\\表", "ソフト\\\\表"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, EscapeLine(c.input));
    }
}

TEST(MbcsText, StripMnemonicGivesTheTextAsTheUserReadsIt) {
    const TextCase cases[] = {
        {"はい(&Y)", "はい"},
        {"いいえ(&N)", "いいえ"},
        {"&Open", "Open"},
        {"A&&B", "A&B"},
        {"OK", "OK"},
        {"再試行(&R)...", "再試行..."},
        {"表(&&)", "表(&)"},
        {"a(&b", "a(b"},
        {"&", ""},
        {"ソ(&S)", "ソ"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, StripMnemonic(c.input));
    }
}
