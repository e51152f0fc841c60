#include "RestorePath.h"

#include "Mbcs.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The second byte of a code page 932 character.  A lead byte followed by
// anything else is not a character: Windows converts such a pair in its own
// way, and may then see a '/' or '.' that this check would have hidden.
bool IsTrailByte932(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

bool IsDotsAndBlanks(const CString& s) {
    for (int i = 0; i < s.GetLength(); ++i)
        if (s[i] != '.' && s[i] != ' ')
            return false;
    return true;
}

// COM0 and LPT0 as well: current Windows reserves them with the others.
const char* const kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM0",
                                    "COM1", "COM2", "COM3", "COM4", "COM5",   "COM6",    "COM7",
                                    "COM8", "COM9", "LPT0", "LPT1", "LPT2",   "LPT3",    "LPT4",
                                    "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

} // namespace

CString CRestorePath::Refusal(const CString& strRelPath) {
    std::vector<CString> parts;
    return Split(strRelPath, parts);
}

// Splits at '\\' and '/' (both separate on Windows) on character boundaries,
// so the trail byte 0x5C of "表" never splits a name.  Runs of separators,
// such as the leading ones of a grandchild's relative directory, give empty
// components and are harmless: the path is always appended to its root.
// Each component loses its trailing dots and blanks, as Windows drops them.
CString CRestorePath::Split(const CString& strRelPath, std::vector<CString>& parts) {
    const std::string& s = strRelPath.str();
    const size_t n = s.size();
    CString component;
    for (size_t i = 0; i <= n; ++i) {
        const auto c = i < n ? static_cast<unsigned char>(s[i]) : 0;
        if (i == n || IsSeparator(s[i])) {
            CString why = ComponentRefusal(component);
            if (!why.IsEmpty())
                return why;
            if (!component.IsEmpty())
                parts.push_back(WithoutTrailingDotsAndBlanks(component));
            component.Empty();
        } else if (fw::IsLeadByte932(c)) {
            if (i + 1 >= n || !IsTrailByte932(static_cast<unsigned char>(s[i + 1])))
                return "a broken double-byte character";
            component += s[i];
            component += s[++i];
        } else if (c < 0x20) {
            return "a control character";
        } else if (c == ':') {
            return "a colon (drive letter or stream name)";
        } else {
            component += s[i];
        }
    }
    return CString();
}

// A component that is not all dots and blanks keeps a character before them.
CString CRestorePath::WithoutTrailingDotsAndBlanks(const CString& strComponent) {
    int end = strComponent.GetLength();
    while (end > 0 && (strComponent[end - 1] == '.' || strComponent[end - 1] == ' '))
        --end;
    return end == strComponent.GetLength() ? strComponent : strComponent.Left(end);
}

// Windows drops the trailing dots and blanks of a name, so "...", ". ." or
// ".. " all become the parent; none of them names a real file.
CString CRestorePath::ComponentRefusal(const CString& strComponent) {
    if (strComponent.IsEmpty())
        return CString();
    if (IsDotsAndBlanks(strComponent))
        return "a \"..\" component (\"" + strComponent + "\")";
    if (IsDeviceName(strComponent))
        return "a device name (\"" + strComponent + "\")";
    return CString();
}

// A device name stays a device with any extension and with blanks before
// the dot: "con", "CON.txt", "Com1 .dat".  Every device name begins with one
// of five letters, which settles most names at their first byte.
bool CRestorePath::IsDeviceName(const CString& strComponent) {
    if (strComponent.IsEmpty() || std::strchr("CPANLcpanl", strComponent[0]) == nullptr ||
        strComponent[0] == '\0')
        return false;
    const int dot = strComponent.Find('.');
    CString base = dot >= 0 ? strComponent.Left(dot) : strComponent;
    while (!base.IsEmpty() && base[base.GetLength() - 1] == ' ')
        base = base.Left(base.GetLength() - 1);
    base.MakeUpper();
    for (const char* device : kDeviceNames)
        if (base == device)
            return true;
    return false;
}

// What the restore refuses in a path, and what Windows refuses in a name:
// the reserved characters, and a dot or blank at the end, which Windows
// drops, so that the file would be made under another name.  Most names
// hold none of the bytes these rules look at, and are settled by one look
// at each byte; the trail byte of "ポ" is a '|', which the slow way reads
// as part of its character.
CString CRestorePath::WindowsNameRefusal(const CString& strName) {
    const std::string& s = strName.str();
    const bool bPlain =
        !s.empty() && s.back() != '.' && s.back() != ' ' &&
        std::strchr("CPANLcpanl", s[0]) == nullptr && std::none_of(s.begin(), s.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|?*\\/", c) != nullptr;
        });
    if (bPlain)
        return CString();
    std::vector<CString> parts;
    CString why = Split(strName, parts);
    if (!why.IsEmpty())
        return why;
    if (parts.size() != 1 || HasReservedCharacter(strName))
        return "a character that Windows does not allow in a name";
    if (parts[0] != strName)
        return "a dot or blank at the end";
    return CString();
}

bool CRestorePath::HasReservedCharacter(const CString& strName) {
    const std::string& s = strName.str();
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        if (len == 1 && std::strchr("<>\"|?*", s[static_cast<size_t>(i)]) != nullptr)
            return true;
        i += len;
    }
    return false;
}

// Drops the leading separators and folds every run into one backslash.
// Whether the last byte written was a separator is remembered, not looked
// up: the trail byte of "表" is 0x5C too.
CString CRestorePath::Collapse(const CString& strRelPath) {
    const std::string& s = strRelPath.str();
    const int n = static_cast<int>(s.size());
    std::string out;
    bool bAfterSeparator = true;
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(s.data(), i, n);
        if (len == 1 && IsSeparator(s[static_cast<size_t>(i)])) {
            if (!bAfterSeparator)
                out += '\\';
            bAfterSeparator = true;
        } else {
            out.append(s, static_cast<size_t>(i), static_cast<size_t>(len));
            bAfterSeparator = false;
        }
        i += len;
    }
    return CString(std::move(out));
}
