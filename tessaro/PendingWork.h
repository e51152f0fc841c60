#pragma once

// Says that the work asked for is not part of this version yet.
void ReportNotAvailable();
