#include "ProtectedInstallation.h"

#include "TempDir.h"

#include <windows.h>

ProtectedInstallation::ProtectedInstallation(const CString& productDir, const CString& dataDir)
    : m_astrRoots{productDir, dataDir} {}

CString ProtectedInstallation::PathOf(const ProtectedFile& file) const {
    return m_astrRoots[file.root] + "\\" + file.RelPath().c_str();
}

void ProtectedInstallation::Lay(const std::string& bytes) const {
    for (const ProtectedFile& f : ProtectedFiles()) {
        CString dir = m_astrRoots[f.root];
        for (const std::string& folder : f.folders) {
            dir += ("\\" + folder).c_str();
            ::CreateDirectoryA(dir, nullptr);
        }
        WriteFileBytes(PathOf(f), bytes);
    }
}

// GetShortPathName answers with the long name where there is no short one.
ShortNameOf ProtectedInstallation::SystemShortNames() const {
    return [this](const ProtectedFile& f, size_t level) {
        CString path = m_astrRoots[f.root];
        std::string component;
        for (size_t i = 0; i <= level; ++i) {
            component = i < f.folders.size() ? f.folders[i] : f.name;
            path += ("\\" + component).c_str();
        }
        char buf[MAX_PATH];
        const DWORD n = ::GetShortPathNameA(path, buf, sizeof buf);
        if (n == 0 || n >= sizeof buf)
            return std::string();
        const CString shortPath(buf);
        const std::string name = shortPath.Mid(shortPath.ReverseFind('\\') + 1).str();
        return CString(name.c_str()).CompareNoCase(component.c_str()) == 0 ? std::string() : name;
    };
}

std::map<std::string, std::string> ProtectedInstallation::Contents() const {
    std::map<std::string, std::string> contents;
    for (const ProtectedFile& f : ProtectedFiles())
        contents[PathOf(f).str()] = ReadFileBytes(PathOf(f));
    return contents;
}
