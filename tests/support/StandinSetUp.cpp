#include "StandinSetUp.h"

#include "ExcelStandinControl.h"

#include <windows.h>

testing::AssertionResult SetUpStandin(const CString& controlDir) {
    ExcelStandin::KillStrayServers();
    if (!ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 16))
        return testing::AssertionFailure()
               << "the stand-in is not registered: error " << ::GetLastError();
    if (!ExcelStandin::SetControlDir(controlDir))
        return testing::AssertionFailure()
               << "no control folder " << controlDir.GetString() << ": error " << ::GetLastError();
    if (!ExcelStandin::ClearFaults() || !ExcelStandin::ClearLog())
        return testing::AssertionFailure()
               << "the faults or the log stay in " << controlDir.GetString();
    return testing::AssertionSuccess();
}

void TearDownStandin() {
    ExcelStandin::KillStrayServers();
    ExcelStandin::ClearFaults();
    ExcelStandin::RemoveControlDir();
    ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 16);
}
