#pragma once

// What the stand-in's command line asks for.
struct CServerCommand {
    enum Action { runServer, registerServer, unregisterServer, setCurVer, removeCurVer, usage };
    Action action = usage;
    int version = 16;

    // The switches: /regserver [version], /unregserver, /curver <version>,
    // /nocurver, and -Embedding or /Automation as COM and Excel's own
    // registration pass them; '-' and '/' alike, any case.
    static CServerCommand Parse(const char* tail);
};
