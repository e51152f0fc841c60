#include "TessaroApp_win.h"

#include "ExcelVersion.h"

void CTessaroApp::ReadExcelVersion() {
    m_nExcelVersion = ReadRegisteredExcelVersion();
}
