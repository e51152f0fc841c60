#include "SavePrompt.h"

#include "BookTable.h"
#include "ServerLog.h"

#include <windows.h>

// Logged before the box shows, so that a test waiting for the call can tell
// what it waits for.
CSavePrompt::Answer CSavePrompt::Ask(const COpenBook& book) {
    LogEvent("Prompt\tSave\t" + book.m_strPath);
    const CString name = book.m_strPath.Mid(book.m_strPath.ReverseFind('\\') + 1);
    const int button = ::MessageBoxA(nullptr, "'" + name + "' への変更を保存しますか?",
                                     "Microsoft Excel", MB_YESNOCANCEL | MB_ICONWARNING);
    const Answer answer = button == IDYES ? save : button == IDNO ? dontSave : cancel;
    static const char* const kAnswers[] = {"Save", "DontSave", "Cancel"};
    LogEvent(CString("PromptAnswer\t") + kAnswers[answer]);
    return answer;
}
