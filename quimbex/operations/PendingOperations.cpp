#include "BookOperator.h"

#include "WinApp.h"

// Commands that this version cannot carry out yet say so and fail; none of
// them may pretend to have done its work.

namespace {
int NotAvailable() {
    AfxMessageBox("この処理は、このバージョンではまだ使用できません。");
    return 0;
}
} // namespace

int CBookOperator::UpdateYear(const CString&) {
    return NotAvailable();
}
int CBookOperator::InitPayrollBook(const CString&) {
    return NotAvailable();
}
