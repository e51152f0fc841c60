#include "TessaroApp.h"

#include "ExcelVersion.h"

void CTessaroApp::ReadExcelVersion() {
    m_nExcelVersion = ReadRegisteredExcelVersion();
}
