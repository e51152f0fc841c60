#include "RunOutcome.h"

namespace {

// One command per process: the last note holds for the whole run.
bool g_bFailed = false;

} // namespace

void CRunOutcome::NoteFailed() {
    g_bFailed = true;
}

void CRunOutcome::NoteDone() {
    g_bFailed = false;
}

int CRunOutcome::ExitCode() {
    return g_bFailed ? 1 : 0;
}
