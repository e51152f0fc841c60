#include "TessaroSwitches.h"

#include <gtest/gtest.h>

// Only "K" counts; the rest of the line is walked like Quimbex's switches.
TEST(ParseTessaroSwitches, OnlyTheKSwitchSetsTheCommand) {
    const struct {
        const char* tail;
        int command;
    } cases[] = {
        {"/K:1", 1},
        {"/k:1", 1}, // keys are upper-cased
        {"/K:2", 2},
        {"", 0},
        {"/K: 1 /X:5", 1}, // the value is trimmed; an unknown key changes nothing
        {"/K:1 /X", 1},    // no ":": the switch before is applied again
        {"/X:5 /K:1", 1},
        {"/K:2/K:1", 1}, // the last one wins
        {"/K:1/K:2", 2},
        {"/K:1 /:3", 1}, // ":" first: the switch before again
        {"/:1", 0},      // nothing before it
        {"/K:", 0},      // no digits
        {"/K:abc", 0},
        {"/K:1x", 1}, // leading digits
        {"/K:01", 1},
        {"K:1", 0}, // a line that does not begin with "/" holds no switch
        {" /K:1", 0},
        {"/F:1", 0}, // Quimbex's "F" means nothing here
        {"/O:a.iko /K:1", 1},
        {"/ｋ:1", 0},        // a full-width letter is not upper-cased into "K"
        {"/K:１", 0},        // nor is a full-width digit a digit
        {"/O:ソ表 /K:1", 1}, // trail bytes 0x5C in a value before the switch
        {"/K:99999999999", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        int32_t command = 0;
        ParseTessaroSwitches(c.tail, command);
        EXPECT_EQ(c.command, command);
    }
}

TEST(ParseTessaroSwitches, LineWithoutKKeepsTheCommand) {
    for (const char* tail : {"", "/X:1", "/O:a"}) {
        SCOPED_TRACE(tail);
        int32_t command = 7;
        ParseTessaroSwitches(tail, command);
        EXPECT_EQ(7, command);
    }
}
