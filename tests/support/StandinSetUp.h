#pragma once
#include "String.h"

#include <gtest/gtest.h>

// What every test with the Excel stand-in starts from: no server of an
// earlier test left, the stand-in registered as Excel with version 16, and
// its call log and faults, both empty, in `controlDir`.
testing::AssertionResult SetUpStandin(const CString& controlDir);
// Ends the servers, clears the faults and forgets the control folder; the
// stand-in stays registered as Excel 16 for whoever comes next, also after
// a test that unregistered it.
void TearDownStandin();
