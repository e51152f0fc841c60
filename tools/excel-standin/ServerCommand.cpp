#include "ServerCommand.h"

#include "String.h"

#include <cstdlib>
#include <vector>

namespace {

std::vector<CString> SplitBlanks(const char* tail) {
    std::vector<CString> words;
    CString word;
    for (const char* p = tail ? tail : "";; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\0') {
            if (!word.IsEmpty())
                words.push_back(word);
            word.Empty();
            if (*p == '\0')
                break;
        } else {
            word += *p;
        }
    }
    return words;
}

bool IsSwitch(const CString& word, const char* name) {
    return word.GetLength() > 1 && (word[0] == '/' || word[0] == '-') &&
           word.Mid(1).CompareNoCase(name) == 0;
}

// Excel's versions run from 8 (97) to 16; anything two-digit is accepted.
bool ParseVersion(const CString& word, int& version) {
    char* end = nullptr;
    const long n = std::strtol(word.GetString(), &end, 10);
    if (word.IsEmpty() || *end != '\0' || n < 1 || n > 99)
        return false;
    version = static_cast<int>(n);
    return true;
}

} // namespace

CServerCommand CServerCommand::Parse(const char* tail) {
    const std::vector<CString> words = SplitBlanks(tail);
    CServerCommand cmd;
    const size_t n = words.size();
    if (n == 0)
        return cmd;
    bool serverOnly = true;
    for (const CString& w : words)
        serverOnly = serverOnly && (IsSwitch(w, "Embedding") || IsSwitch(w, "Automation"));
    if (serverOnly)
        cmd.action = runServer;
    else if (IsSwitch(words[0], "regserver") &&
             (n == 1 || (n == 2 && ParseVersion(words[1], cmd.version))))
        cmd.action = registerServer;
    else if (IsSwitch(words[0], "unregserver") && n == 1)
        cmd.action = unregisterServer;
    else if (IsSwitch(words[0], "curver") && n == 2 && ParseVersion(words[1], cmd.version))
        cmd.action = setCurVer;
    else if (IsSwitch(words[0], "nocurver") && n == 1)
        cmd.action = removeCurVer;
    return cmd;
}
