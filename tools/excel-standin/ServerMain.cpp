// ExcelStandin.exe: the test stand-in for Microsoft Excel as an automation
// server, and its own registration.
#include "ExcelStandinControl.h"
#include "ServerCommand.h"
#include "StandinServer.h"

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: ExcelStandin /regserver [version] | /unregserver | /curver <version> | /nocurver\n";

int Report(bool ok, const char* what) {
    if (ok)
        return 0;
    (void)std::fprintf(stderr, "ExcelStandin: %s failed (error %lu)\n", what, ::GetLastError());
    return 1;
}

CString OwnPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CString(path);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR cmdLine, int) {
    const CServerCommand cmd = CServerCommand::Parse(cmdLine);
    switch (cmd.action) {
    case CServerCommand::runServer:
        return CStandinServer().Run(hInstance);
    case CServerCommand::registerServer:
        return Report(ExcelStandin::Register(OwnPath(), cmd.version), "registration");
    case CServerCommand::unregisterServer:
        return Report(ExcelStandin::Unregister(), "unregistration");
    case CServerCommand::setCurVer:
        return Report(ExcelStandin::SetCurVer(cmd.version), "setting CurVer");
    case CServerCommand::removeCurVer:
        return Report(ExcelStandin::RemoveCurVer(), "removing CurVer");
    case CServerCommand::usage:
        break;
    }
    (void)std::fputs(kUsage, stderr);
    return 2;
}
