#pragma once
#include <windows.h>

// The server process: a hidden XLMAIN window, the class object registered for
// a single use, and a message loop that ends when the last object goes.
class CStandinServer {
public:
    int Run(HINSTANCE hInstance);

    // Every live object and every class-factory lock holds the server.
    static void Hold();
    static void Unhold();

private:
    HWND CreateMainWindow(HINSTANCE hInstance);
    bool Serve(HINSTANCE hInstance);
    static LONG s_nHolds;
};
