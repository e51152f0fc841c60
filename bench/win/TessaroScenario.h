#pragma once
#include "WatchedProgram.h"

#include <cstdio>
#include <string>

// Tessaro driven as a user does it, with the times that matter printed:
// when the program started, when the file dialog was answered, and when the
// message that ends the work showed.  Questions are answered Yes.
class CTessaroScenario {
public:
    CTessaroScenario(std::string strExe, std::string strFile, DWORD timeoutMs, FILE* out);
    // "Tessaro.exe /K:1": the save dialog, then the result.
    void Backup();
    // The main dialog's "復元", the open dialog, the questions, the result,
    // then "閉じる".
    void Restore();

private:
    void AnswerFileDialog(CWatchedProgram& program, const char* caption);
    void AnswerUntilResult(CWatchedProgram& program);

    std::string m_strExe;
    std::string m_strFile;
    DWORD m_timeoutMs;
    FILE* m_out;
};
