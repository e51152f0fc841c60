#include "WinApp.h"

// The framework's entry point: the runtime hands over the command-line tail
// (the command line without the program's name and the blanks after it).
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
