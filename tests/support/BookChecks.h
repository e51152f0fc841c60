#pragma once
#include "StandinWorkbook.h"

#include <gtest/gtest.h>

#include <string>

// A workbook rebuilt from the current template that holds the data of
// `backup`: the template's version, the backup's data sections.
testing::AssertionResult IsRebuiltFrom(const CString& book, const CString& backup,
                                       const char* const* sections);
extern const char* const kPayrollSections[];    // null-terminated
extern const char* const kAttendanceSections[]; // null-terminated
