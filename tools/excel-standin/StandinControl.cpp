// The stand-in's control folder: calls.log, which the server appends to, and
// faults.ini, which it reads at every call.
#include "ExcelStandinControl.h"

#include "BookLocator.h"
#include "RegKey.h"
#include "ScopedHandle_win.h"

#include <cstdlib>
#include <string>

namespace ExcelStandin {

namespace {

const char kControlKey[] = "SOFTWARE\\QZTest\\ExcelStandin";
const char kControlValue[] = "ControlDir";
const char kDefaultControlDir[] = "C:\\excel-standin";

CString ControlFile(const char* name) {
    return ControlDir() + "\\" + name;
}

bool ReadWholeFile(const CString& path, std::string& text) {
    const CFileHandle h(::CreateFileA(path, GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return false;
    text.clear();
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(h.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    return true;
}

bool WriteWholeFile(const CString& path, const std::string& text) {
    CFileHandle h(::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(h.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    const DWORD error = ::GetLastError();
    h.Close();
    ::SetLastError(error);
    return ok != FALSE;
}

bool DeleteIfPresent(const CString& path) {
    return ::DeleteFileA(path) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// "1234\tWorkbooks" gives 1234 and "Workbooks".
bool ParseLogLine(const CString& line, LogLine& entry) {
    const int tab = line.Find('\t');
    if (tab <= 0)
        return false;
    const CString pid = line.Left(tab);
    char* end = nullptr;
    entry.pid = std::strtoul(pid.GetString(), &end, 10);
    entry.text = line.Mid(tab + 1);
    return end && *end == '\0';
}

} // namespace

CString ControlDir() {
    CRegKey key;
    CString dir;
    if (key.Open(HKEY_LOCAL_MACHINE, kControlKey) == ERROR_SUCCESS &&
        key.QueryString(kControlValue, dir) == ERROR_SUCCESS && !dir.IsEmpty())
        return CBookLocator::WithoutTrailingBackslashes(dir);
    return kDefaultControlDir;
}

bool SetControlDir(const char* dir) {
    CRegKey key;
    LONG rc = key.Create(HKEY_LOCAL_MACHINE, kControlKey);
    if (rc == ERROR_SUCCESS)
        rc = key.SetString(kControlValue, dir);
    if (rc != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(rc));
        return false;
    }
    return ::CreateDirectoryA(dir, nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool RemoveControlDir() {
    CRegKey key;
    LONG rc = key.Open(HKEY_LOCAL_MACHINE, kControlKey, KEY_SET_VALUE);
    if (rc == ERROR_SUCCESS)
        rc = key.DeleteValue(kControlValue);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
        return true;
    ::SetLastError(static_cast<DWORD>(rc));
    return false;
}

bool WriteFaults(const CStandinFaults& faults) {
    if (faults.IsEmpty())
        return ClearFaults();
    return WriteWholeFile(ControlFile("faults.ini"), faults.Format());
}

bool ClearFaults() {
    return DeleteIfPresent(ControlFile("faults.ini"));
}

CStandinFaults ReadFaults(std::vector<CString>* errors) {
    CStandinFaults faults;
    std::string text;
    if (ReadWholeFile(ControlFile("faults.ini"), text)) {
        std::vector<CString> bad = faults.Parse(text);
        if (errors)
            *errors = std::move(bad);
    }
    return faults;
}

std::vector<LogLine> ReadLog() {
    std::vector<LogLine> lines;
    std::string text;
    if (!ReadWholeFile(ControlFile("calls.log"), text))
        return lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            break; // a line still being written
        LogLine entry;
        if (ParseLogLine(CString(text.substr(pos, end - pos)), entry))
            lines.push_back(entry);
        pos = end + 2;
    }
    return lines;
}

bool ClearLog() {
    return DeleteIfPresent(ControlFile("calls.log"));
}

// Opened, appended to and closed for every line, so that a test can read the
// log while the server runs and several servers can share it.
bool AppendLog(const CString& text) {
    const CString dir = ControlDir();
    ::CreateDirectoryA(dir, nullptr);
    CFileHandle h(::CreateFileA(dir + "\\calls.log", FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return false;
    CString line;
    line.Format("%lu\t%s\r\n", ::GetCurrentProcessId(), text.GetString());
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h.Get(), line.GetString(), static_cast<DWORD>(line.GetLength()),
                                &written, nullptr);
    h.Close();
    return ok && written == static_cast<DWORD>(line.GetLength());
}

} // namespace ExcelStandin
