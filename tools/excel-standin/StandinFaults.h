#pragma once
#include "String.h"

#include <map>
#include <string>
#include <vector>

// The faults that a test asks of the Excel stand-in, kept in faults.ini:
//   Return=<macro>:False | Return=<macro>:Integer:<n> | Return=<macro>:Long:<n>
//   Return=<macro>:Empty | Return=<macro>:Double:<x> | Return=<macro>:String:<text>
//   Return=<macro>:Error:<n>
//   Raise=<macro>   DelayMs=<macro>:<ms>   DieAfterRuns=<n>   OpenFails=1
//   RetryLaterCalls=<n>   LeaveChanged=<macro>   DisplayAlertsFault=Unknown|Raise
// One per line; ';' starts a comment line.  The macro "*" stands for every
// macro without an entry of its own.
class CStandinFaults {
public:
    enum ResultKind {
        resultFalse,
        resultInteger,
        resultLong,
        resultEmpty, // what a Sub gives back
        resultDouble,
        resultString,
        resultError // an error value, CVErr(value)
    };
    struct Result {
        ResultKind kind;
        long value;      // Integer, Long, Error
        double dValue;   // Double
        CString strText; // String
    };
    // How Application.DisplayAlerts fails: not at all, its name is unknown
    // to GetIDsOfNames, or setting it raises Excel's error.
    enum AlertsFault { alertsWork, alertsUnknown, alertsRaise };

    void SetReturn(const char* macro, ResultKind kind, long value = 0);
    void SetReturnDouble(const char* macro, double value);
    void SetReturnString(const char* macro, const char* text);
    void SetRaise(const char* macro);
    void SetDelay(const char* macro, unsigned long ms);
    void SetDieAfterRuns(int n) { m_nDieAfterRuns = n; }
    void SetOpenFails(bool bFails) { m_bOpenFails = bFails; }
    void SetRetryLaterCalls(int n) { m_nRetryLaterCalls = n; }
    void SetLeaveChanged(const char* macro);
    void SetAlertsFault(AlertsFault fault) { m_alertsFault = fault; }

    const Result* FindReturn(const char* macro) const;
    bool Raises(const char* macro) const;
    unsigned long DelayMs(const char* macro) const;
    // 0: never.
    int DieAfterRuns() const { return m_nDieAfterRuns; }
    bool OpenFails() const { return m_bOpenFails; }
    // How many of the first calls that reach a server it answers "busy,
    // retry later"; 0: none.
    int RetryLaterCalls() const { return m_nRetryLaterCalls; }
    // The macro leaves the workbook of its first argument open and changed.
    bool LeavesChanged(const char* macro) const;
    AlertsFault GetAlertsFault() const { return m_alertsFault; }
    bool IsEmpty() const;

    std::string Format() const;
    // Replaces the contents; returns one description per line it could not
    // use (those lines are left out).
    std::vector<CString> Parse(const std::string& text);

private:
    bool ParseLine(const CString& key, const CString& value);
    bool ParseReturn(const CString& value);
    bool ParseAlertsFault(const CString& value);
    std::string FormatReturns() const;

    std::map<CString, Result> m_returns;
    std::map<CString, bool> m_raises;
    std::map<CString, unsigned long> m_delays;
    std::map<CString, bool> m_leaveChanged;
    int m_nDieAfterRuns = 0;
    bool m_bOpenFails = false;
    int m_nRetryLaterCalls = 0;
    AlertsFault m_alertsFault = alertsWork;
};
