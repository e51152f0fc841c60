#include "WinApp_win.h"

#include "CommandLine.h"

// The framework's entry point.  The runtime's own tail is not used: it skips
// the program's name by comparing signed chars, so every byte of a Japanese
// folder name counts as a blank there.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const CString tail = CommandLineTail(::GetCommandLineA());
    return AfxWinMain(tail);
}
