#include "PathComponents.h"

#include "Mbcs.h"

#include <string>

namespace {

void DropTrailingDotsAndBlanks(std::string& part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
}

} // namespace

std::vector<CString> PathComponents(const CString& strPath) {
    std::vector<CString> parts;
    const std::string& s = strPath.str();
    const int n = static_cast<int>(s.size());
    std::string part;
    for (int i = 0; i <= n;) {
        const int len = i < n ? fw::CharLen932(s.data(), i, n) : 1;
        const char c = i < n ? s[static_cast<size_t>(i)] : '\\';
        if (len == 1 && (c == '\\' || c == '/')) {
            DropTrailingDotsAndBlanks(part);
            if (!part.empty())
                parts.emplace_back(part.c_str());
            part.clear();
        } else {
            part.append(s, static_cast<size_t>(i), static_cast<size_t>(len));
        }
        i += len;
    }
    return parts;
}
