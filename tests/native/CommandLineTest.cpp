#include "CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLineTail, ProgramNameIsSkippedWhateverItsBytes) {
    const struct {
        const char* line;
        const char* tail;
    } cases[] = {
        {"Quimbex.exe /K:9", "/K:9"},
        {"\"C:\\Program Files\\Q\\Quimbex.exe\" /K:9", "/K:9"},
        // Bytes above 0x7F are part of the name, not blanks.
        {"C:\\給与\\Exe\\Quimbex.exe /K:9", "/K:9"},
        {"C:\\表\\ソ\\Quimbex.exe\t /F:表.xls", "/F:表.xls"}, // trail bytes 0x5C
        {"\"C:\\表 ソ\\Quimbex.exe\" /K:6 /O:a.xls", "/K:6 /O:a.xls"},
        {"\"C:\\表\\Quimbex.exe\"/K:12", "/K:12"}, // no blank after the quote
        {" /K:12", "/K:12"},                       // an empty first token
        {"\t/K:12", "/K:12"},
        {"Quimbex.exe", ""},
        {"\"C:\\unclosed /K:9", ""}, // the name runs to the end
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.tail, CommandLineTail(c.line));
    }
    EXPECT_EQ("", CommandLineTail(nullptr));
}
