#include "ServerCommand.h"

#include <gtest/gtest.h>

TEST(ServerCommand, SwitchesSelectWhatTheStandinDoes) {
    using C = CServerCommand;
    const struct {
        const char* tail;
        C::Action action;
        int version;
    } cases[] = {
        {"-Embedding", C::runServer, 16},
        {"/Embedding", C::runServer, 16},
        {"/automation -Embedding", C::runServer, 16},
        {"  -embedding  ", C::runServer, 16},
        {"/regserver", C::registerServer, 16},
        {"-RegServer 14", C::registerServer, 14},
        {"/regserver 0", C::usage, 16},
        {"/regserver 100", C::usage, 16},
        {"/regserver 14 15", C::usage, 16},
        {"/unregserver", C::unregisterServer, 16},
        {"/unregserver 14", C::usage, 16},
        {"/curver 12", C::setCurVer, 12},
        {"/curver", C::usage, 16},
        {"/curver x", C::usage, 16},
        {"/nocurver", C::removeCurVer, 16},
        {"", C::usage, 16},
        {"Embedding", C::usage, 16},
        {"-Embedding /regserver", C::usage, 16},
        {nullptr, C::usage, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail ? c.tail : "(null)");
        const C cmd = C::Parse(c.tail);
        EXPECT_EQ(c.action, cmd.action);
        if (c.action != C::usage) {
            EXPECT_EQ(c.version, cmd.version);
        }
    }
}
