#include "StandinFaults.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number, optionally signed; nothing else.
bool ParseLong(const CString& text, long& value) {
    if (text.IsEmpty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.GetString(), &end, 10);
    return errno == 0 && end && *end == '\0' && text[0] != ' ';
}

// An entry of the macro itself, else the one of "*".
template <typename Map> const typename Map::mapped_type* Lookup(const Map& m, const char* macro) {
    auto it = m.find(CString(macro));
    if (it == m.end())
        it = m.find(CString("*"));
    return it == m.end() ? nullptr : &it->second;
}

// "<macro>:<rest>"; the macro names hold no ASCII colon.
bool SplitMacro(const CString& value, CString& macro, CString& rest) {
    const int colon = value.Find(':');
    if (colon <= 0)
        return false;
    macro = value.Left(colon);
    rest = value.Mid(colon + 1);
    macro.Trim();
    rest.Trim();
    return !macro.IsEmpty();
}

} // namespace

void CStandinFaults::SetReturn(const char* macro, ResultKind kind, long value) {
    m_returns[CString(macro)] = Result{kind, value};
}

void CStandinFaults::SetRaise(const char* macro) {
    m_raises[CString(macro)] = true;
}

void CStandinFaults::SetDelay(const char* macro, unsigned long ms) {
    m_delays[CString(macro)] = ms;
}

const CStandinFaults::Result* CStandinFaults::FindReturn(const char* macro) const {
    return Lookup(m_returns, macro);
}

bool CStandinFaults::Raises(const char* macro) const {
    return Lookup(m_raises, macro) != nullptr;
}

unsigned long CStandinFaults::DelayMs(const char* macro) const {
    const unsigned long* ms = Lookup(m_delays, macro);
    return ms ? *ms : 0;
}

bool CStandinFaults::IsEmpty() const {
    return m_returns.empty() && m_raises.empty() && m_delays.empty() && m_nDieAfterRuns == 0 &&
           !m_bOpenFails && m_nRetryLaterCalls == 0;
}

std::string CStandinFaults::Format() const {
    static const char* const kKinds[] = {"False", "Integer", "Long"};
    CString text, line;
    for (const auto& [macro, result] : m_returns) {
        if (result.kind == resultFalse)
            line.Format("Return=%s:False\r\n", macro.GetString());
        else
            line.Format("Return=%s:%s:%ld\r\n", macro.GetString(), kKinds[result.kind],
                        result.value);
        text += line;
    }
    for (const auto& entry : m_raises)
        text += "Raise=" + entry.first + "\r\n";
    for (const auto& [macro, ms] : m_delays)
        text.AppendFormat("DelayMs=%s:%lu\r\n", macro.GetString(), ms);
    if (m_nDieAfterRuns > 0)
        text.AppendFormat("DieAfterRuns=%d\r\n", m_nDieAfterRuns);
    if (m_bOpenFails)
        text += "OpenFails=1\r\n";
    if (m_nRetryLaterCalls > 0)
        text.AppendFormat("RetryLaterCalls=%d\r\n", m_nRetryLaterCalls);
    return text.str();
}

std::vector<CString> CStandinFaults::Parse(const std::string& text) {
    *this = CStandinFaults();
    std::vector<CString> errors;
    size_t pos = 0;
    for (int number = 1; pos < text.size(); ++number) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        CString line(text.substr(pos, end - pos));
        pos = end + 1;
        line.Trim();
        if (line.IsEmpty() || line[0] == ';')
            continue;
        const int eq = line.Find('=');
        if (eq <= 0 ||
            !ParseLine(CString(line.Left(eq)).Trim(), CString(line.Mid(eq + 1)).Trim())) {
            CString error;
            error.Format("faults.ini line %d not understood: %s", number, line.GetString());
            errors.push_back(error);
        }
    }
    return errors;
}

bool CStandinFaults::ParseLine(const CString& key, const CString& value) {
    CString macro, rest;
    long n = 0;
    if (key.CompareNoCase("Return") == 0)
        return ParseReturn(value);
    if (key.CompareNoCase("Raise") == 0 && !value.IsEmpty()) {
        SetRaise(value);
        return true;
    }
    if (key.CompareNoCase("DelayMs") == 0 && SplitMacro(value, macro, rest) && ParseLong(rest, n) &&
        n >= 0) {
        SetDelay(macro, static_cast<unsigned long>(n));
        return true;
    }
    if (key.CompareNoCase("DieAfterRuns") == 0 && ParseLong(value, n) && n > 0) {
        m_nDieAfterRuns = static_cast<int>(n);
        return true;
    }
    if (key.CompareNoCase("RetryLaterCalls") == 0 && ParseLong(value, n) && n > 0) {
        m_nRetryLaterCalls = static_cast<int>(n);
        return true;
    }
    if (key.CompareNoCase("OpenFails") == 0 && ParseLong(value, n) && (n == 0 || n == 1)) {
        m_bOpenFails = n == 1;
        return true;
    }
    return false;
}

bool CStandinFaults::ParseReturn(const CString& value) {
    CString macro, rest, kind, number;
    long n = 0;
    if (!SplitMacro(value, macro, rest))
        return false;
    if (rest.CompareNoCase("False") == 0) {
        SetReturn(macro, resultFalse);
        return true;
    }
    if (!SplitMacro(rest, kind, number) || !ParseLong(number, n))
        return false;
    if (kind.CompareNoCase("Integer") == 0 && n >= -32768 && n <= 32767) {
        SetReturn(macro, resultInteger, n);
        return true;
    }
    if (kind.CompareNoCase("Long") == 0 && n >= -2147483647L - 1 && n <= 2147483647L) {
        SetReturn(macro, resultLong, n);
        return true;
    }
    return false;
}
