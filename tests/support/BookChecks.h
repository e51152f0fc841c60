#pragma once
#include "StandinWorkbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A workbook rebuilt from the current template that holds the data of
// `backup`: the template's version, the backup's data sections.
testing::AssertionResult IsRebuiltFrom(const CString& book, const CString& backup,
                                       const char* const* sections);
extern const char* const kPayrollSections[];    // null-terminated
extern const char* const kAttendanceSections[]; // null-terminated

// The Run lines of the stand-in's log for one payroll rebuild: the check of
// `book` for protection (not protected), then the seven conversion macros in
// their order, each from `backupFile` into `target` and answering True.
std::vector<std::string> PayrollRebuildRuns(const std::string& book, const std::string& backupFile,
                                            const std::string& target);
// The same for an attendance workbook: the check, then its one macro.
std::vector<std::string> AttendanceRebuildRuns(const std::string& book,
                                               const std::string& backupFile,
                                               const std::string& target);

// A book that the year update made from the template: the backup's company
// and its employees without those who have left, the year after the
// backup's, and no pay data, payslips or bonus slips.
testing::AssertionResult IsNextYearOf(const CString& book, const CString& backup);

// A book that the initialisation made from the template keeping the
// settings: the backup's company, the sections named in `carried` taken
// over whole, every other data section empty, the tax recalculated.
testing::AssertionResult IsInitialisedFrom(const CString& book, const CString& backup,
                                           const std::vector<std::string>& carried);
