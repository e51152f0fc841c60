#pragma once
#include "DispatchObject.h"
#include "StandinFaults.h"
#include "StandinMacros.h"

class CBookTable;
struct COpenBook;

// One Application.Run: finds the macro in an open converter workbook, applies
// the faults in force, runs the macro and logs the call with its result.
class CRunCall {
public:
    CRunCall(CBookTable& books, int runNumber) : m_books(books), m_nRun(runNumber) {}
    void Execute(const CDispatchObject::Args& args, VARIANT* result);

private:
    void Perform(const CString& name, const CDispatchObject::Args& args, VARIANT* result);
    void RunMacro(const CString& name, const COpenBook& home, const CDispatchObject::Args& args,
                  VARIANT* result);
    void LeaveChanged(const COpenBook& home, const CDispatchObject::Args& args);
    [[noreturn]] void Die(const CString& line);

    CBookTable& m_books;
    int m_nRun;
    CStandinFaults m_faults;
};
