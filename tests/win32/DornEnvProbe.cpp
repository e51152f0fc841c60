// Prints what CDornEnv holds, constructed twice: the second time after the
// format marker named on the command line was renamed to the other one.
#include "DornEnv.h"

#include <windows.h>

#include <cstdio>

namespace {

void Print(const char* label, const CDornEnv& env) {
    std::printf(
        "%s InstallDir=%s|ProgramDir=%s|DataDir=%s|ProductName=%s|ExcelExt=%s|Installed=%d\n",
        label, env.m_strInstallDir.GetString(), env.m_strProgramDir.GetString(),
        env.m_strDataDir.GetString(), env.m_strProductName.GetString(),
        env.m_strExcelExt.GetString(), static_cast<int>(env.m_nInstalled));
}

} // namespace

int main(int argc, char** argv) {
    Print("first", CDornEnv());
    if (argc >= 3)
        ::MoveFileA(argv[1], argv[2]);
    Print("second", CDornEnv());
    return 0;
}
