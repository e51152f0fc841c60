#include "TessaroScenario.h"

#include "BenchClock.h"
#include "CommonFileDialog.h"
#include "DialogWindow.h"

namespace {

const char kMainDialogCaption[] = "Morvaneデータ移行ツール";
const char kSaveCaption[] = "名前を付けて保存";
const char kOpenCaption[] = "開く";
const int kRestoreButton = 1001;

uidriver::StartInfo StartOf(const std::string& exe, const std::string& tail) {
    uidriver::StartInfo info;
    info.application = exe;
    info.commandLine = "\"" + exe + "\"" + tail;
    return info;
}

} // namespace

CTessaroScenario::CTessaroScenario(std::string strExe, std::string strFile, DWORD timeoutMs,
                                   FILE* out)
    : m_strExe(std::move(strExe)), m_strFile(std::move(strFile)), m_timeoutMs(timeoutMs),
      m_out(out) {}

void CTessaroScenario::Backup() {
    CWatchedProgram tessaro(StartOf(m_strExe, " /K:1"), m_out);
    AnswerFileDialog(tessaro, kSaveCaption);
    AnswerUntilResult(tessaro);
    tessaro.Finish(m_timeoutMs);
}

void CTessaroScenario::Restore() {
    CWatchedProgram tessaro(StartOf(m_strExe, ""), m_out);
    const HWND main =
        tessaro.WaitForWindow(uidriver::WindowQuery("#32770", kMainDialogCaption), m_timeoutMs);
    const uidriver::DialogWindow dialog(main);
    dialog.Click(kRestoreButton);
    AnswerFileDialog(tessaro, kOpenCaption);
    AnswerUntilResult(tessaro);
    dialog.Click(IDOK);
    tessaro.Finish(m_timeoutMs);
}

// The name is typed and OK posted, as a user confirms the dialog.
void CTessaroScenario::AnswerFileDialog(CWatchedProgram& program, const char* caption) {
    const HWND hwnd = program.WaitForWindow(uidriver::WindowQuery("#32770", caption), m_timeoutMs);
    CommonFileDialog(hwnd).Confirm(m_strFile);
    program.Print("event=confirmed at_us=" + std::to_string(BenchClock::NowUs()));
}

// A box with a Yes button is a question on the way; the first one without
// is the result.
void CTessaroScenario::AnswerUntilResult(CWatchedProgram& program) {
    while (const std::optional<uidriver::MsgBox> box = program.NextBox(m_timeoutMs)) {
        bool question = false;
        for (const uidriver::ButtonInfo& button : box->Buttons())
            question = question || button.id == IDYES;
        program.Answer(*box, question ? "question" : "result");
        if (!question)
            return;
    }
}
