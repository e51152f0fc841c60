#include "TempDir.h"

#include "ScopedHandle_win.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::string ManifestOf(const CString& path) {
    const CModuleHandle owner(::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!owner)
        return "(cannot load)";
    const HMODULE module = owner.Get();
    std::string text = "(none)";
    if (const HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* p = static_cast<const char*>(::LockResource(::LoadResource(module, res)));
        text.assign(p, ::SizeofResource(module, res));
    }
    return text;
}

} // namespace

TEST(Manifest, ProgramsRunAsInvokerOnEverySupportedWindows) {
    for (const char* program : {"Quimbex.exe", "Tessaro.exe"}) {
        SCOPED_TRACE(program);
        const std::string manifest = ManifestOf(TestBinDir() + "\\" + program);
        EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\"")) << manifest;
        // Windows 10 and 11 share one identifier; without it they would
        // treat the program as written for Windows 8.
        EXPECT_NE(std::string::npos, manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"));
        EXPECT_NE(std::string::npos, manifest.find("35138b9a-5d96-4fbd-8e2d-a2440225f93a"));
    }
}
