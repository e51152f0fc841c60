#pragma once
#include <cstdint>

// The major version of the Excel registered for automation, from the
// default value of "Excel.Application\CurVer"; -1 when it cannot be read.
int32_t ReadRegisteredExcelVersion();
