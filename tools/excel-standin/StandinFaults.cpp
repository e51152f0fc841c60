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

// A whole decimal number with a fraction or an exponent; nothing else.
bool ParseDouble(const CString& text, double& value) {
    if (text.IsEmpty() || text[0] == ' ')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.GetString(), &end);
    return errno == 0 && end && *end == '\0';
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
    m_returns[CString(macro)] = Result{kind, value, 0.0, CString()};
}

void CStandinFaults::SetReturnDouble(const char* macro, double value) {
    m_returns[CString(macro)] = Result{resultDouble, 0, value, CString()};
}

void CStandinFaults::SetReturnString(const char* macro, const char* text) {
    m_returns[CString(macro)] = Result{resultString, 0, 0.0, CString(text)};
}

void CStandinFaults::SetLeaveChanged(const char* macro) {
    m_leaveChanged[CString(macro)] = true;
}

bool CStandinFaults::LeavesChanged(const char* macro) const {
    return Lookup(m_leaveChanged, macro) != nullptr;
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
           !m_bOpenFails && m_nRetryLaterCalls == 0 && m_leaveChanged.empty() &&
           m_alertsFault == alertsWork;
}

namespace {

const char* const kKinds[] = {"False", "Integer", "Long", "Empty", "Double", "String", "Error"};

} // namespace

// A Double is written with every digit it needs to read back the same.
std::string CStandinFaults::FormatReturns() const {
    CString text;
    for (const auto& [macro, result] : m_returns) {
        text += "Return=" + macro + ":" + kKinds[result.kind];
        switch (result.kind) {
        case resultFalse:
        case resultEmpty:
            break;
        case resultDouble:
            text.AppendFormat(":%.17g", result.dValue);
            break;
        case resultString:
            text += ":" + result.strText;
            break;
        default:
            text.AppendFormat(":%ld", result.value);
            break;
        }
        text += "\r\n";
    }
    return text.str();
}

std::string CStandinFaults::Format() const {
    CString text(FormatReturns());
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
    for (const auto& entry : m_leaveChanged)
        text += "LeaveChanged=" + entry.first + "\r\n";
    if (m_alertsFault != alertsWork)
        text += m_alertsFault == alertsUnknown ? "DisplayAlertsFault=Unknown\r\n"
                                               : "DisplayAlertsFault=Raise\r\n";
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
    if (key.CompareNoCase("LeaveChanged") == 0 && !value.IsEmpty()) {
        SetLeaveChanged(value);
        return true;
    }
    if (key.CompareNoCase("DisplayAlertsFault") == 0)
        return ParseAlertsFault(value);
    return false;
}

bool CStandinFaults::ParseAlertsFault(const CString& value) {
    if (value.CompareNoCase("Unknown") == 0)
        m_alertsFault = alertsUnknown;
    else if (value.CompareNoCase("Raise") == 0)
        m_alertsFault = alertsRaise;
    else
        return false;
    return true;
}

bool CStandinFaults::ParseReturn(const CString& value) {
    CString macro, rest, kind, number;
    long n = 0;
    if (!SplitMacro(value, macro, rest))
        return false;
    if (rest.CompareNoCase("False") == 0 || rest.CompareNoCase("Empty") == 0) {
        SetReturn(macro, rest.CompareNoCase("False") == 0 ? resultFalse : resultEmpty);
        return true;
    }
    if (!SplitMacro(rest, kind, number))
        return false;
    double d = 0.0;
    if (kind.CompareNoCase("String") == 0) {
        SetReturnString(macro, number);
        return true;
    }
    if (kind.CompareNoCase("Double") == 0 && ParseDouble(number, d)) {
        SetReturnDouble(macro, d);
        return true;
    }
    if (!ParseLong(number, n))
        return false;
    // An error value carries Excel's error number (2042 is #N/A) in its low word.
    if (kind.CompareNoCase("Error") == 0 && n >= 0 && n <= 0xFFFF) {
        SetReturn(macro, resultError, n);
        return true;
    }
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
