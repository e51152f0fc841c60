#pragma once
#include "StandinClient.h"
#include "StandinWorkbook.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

// A table's way to make a fresh argument for each case.
using ScopedVariantMaker = ScopedVariant (*)();

// Every server test: the stand-in registered, a fresh control folder and a
// product tree in temporary folders, no product DataDir in the registry;
// afterwards every stand-in server still running is ended.
class ServerTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // <product>\Excel\name, where relative book names lead.
    CString ExcelPath(const char* name) const { return m_product.Path() + "\\Excel\\" + name; }
    // <product>\Data\Org\xlConv2.xls, a converter workbook.
    CString ConverterPath() const { return m_product.Path() + "\\Data\\Org\\xlConv2.xls"; }
    CString ProductDir() const { return m_product.Path(); }

    // Creates the server and opens the converter workbook in it.
    void StartWithConverter();
    // The log lines without the process id.
    static std::vector<CString> LogTexts();
    static std::vector<CString> LogTextsStartingWith(const char* prefix);
    // The process id of the server that logged its start last; 0 when none.
    static DWORD LastStartedServer();

    StandinClient m_client;
    ScopedDispatch m_converter;

private:
    void SaveProductEnvironment();
    void RestoreProductEnvironment();

    TempDir m_control;
    TempDir m_product;
    bool m_bHadDataDir = false;
    CString m_strDataDir;
};

// A payroll book with every section filled, an employee retired.
CStandinWorkbook SamplePayroll(const char* company = "株式会社サンプル");
// A freshly copied template: its own [Book] lines, empty data sections.
CStandinWorkbook SampleTemplate();
CStandinWorkbook SampleConverter();
void SaveBook(const CString& path, const CStandinWorkbook& book);
CStandinWorkbook LoadBook(const CString& path);
// The lines of a section ("" when the section is missing altogether).
std::vector<CString> SectionOf(const CStandinWorkbook& book, const char* section);

// Waits up to ms for the process to end; true when it has.
bool WaitForProcessEnd(DWORD pid, DWORD ms);
// True when the process has a top-level XLMAIN window.
bool HasExcelWindow(DWORD pid);
std::vector<DWORD> ExcelWindowProcesses();
// Polls until the log holds a line that starts with text, or the deadline.
bool WaitForLog(const char* text, DWORD ms);
