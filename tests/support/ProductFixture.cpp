#include "ProductFixture.h"

#include "ExcelFileMap.h"
#include "Time.h"

#include <windows.h>

#include <set>

void ProductFixture::SetUp() {
    ExcelStandin::KillStrayServers();
    LayProduct(".xls");
    ASSERT_TRUE(ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 16));
    ASSERT_TRUE(ExcelStandin::SetControlDir(ProductDir() + "\\standin"));
    ExcelStandin::ClearLog();
    ExcelStandin::ClearFaults();
}

void ProductFixture::TearDown() {
    ExpectNoUnexpectedCalls();
    ExcelStandin::KillStrayServers();
    ExcelStandin::ClearFaults();
    ExcelStandin::RemoveControlDir();
    RemoveEnvRegistry();
    ExcelStandin::Register(ExcelStandin::ServerPathBeside(), 16);
}

void ProductFixture::LayProduct(const char* ext, const CString& dataDir) {
    m_ext = ext;
    m_dataDir = dataDir;
    SampleProductOptions options;
    options.strExt = ext;
    options.strDataDir = dataDir;
    CString error;
    ASSERT_TRUE(LaySampleProduct(ProductDir(), options, error)) << error.GetString();
}

void ProductFixture::RelayProduct(const char* ext) {
    for (const char* folder : {"\\Excel", "\\Data", "\\Exe"})
        RemoveFolder(ProductDir() + folder);
    LayProduct(ext);
}

void ProductFixture::SetBookEntry(const char* key, const char* fileName) {
    CExcelFileMap map(BookMngPath());
    ASSERT_EQ(1, map.Load());
    CDataForExMap record;
    record.m_nOrder = static_cast<int32_t>(map.m_mapBooks.GetCount());
    record.m_strFileName = fileName;
    map.m_mapBooks.SetAt(key, record);
    ASSERT_EQ(1, map.Save());
}

void ProductFixture::ClearLog() {
    ExpectNoUnexpectedCalls();
    ExcelStandin::ClearLog();
}

void ProductFixture::ExpectNoUnexpectedCalls() const {
    for (const std::string& line : LogLines())
        if (line.rfind("Unexpected\t", 0) == 0)
            ADD_FAILURE() << "the Excel stand-in logged: " << line;
}

CString ProductFixture::BinDir() {
    return TestBinDir();
}

uidriver::StartInfo ProductFixture::QuimbexStart(const std::string& tail) {
    uidriver::StartInfo info;
    info.application = (BinDir() + "\\Quimbex.exe").str();
    info.commandLine = "\"" + info.application + "\" " + tail;
    return info;
}

std::vector<std::string> ProductFixture::LogLines() const {
    std::vector<std::string> lines;
    for (const ExcelStandin::LogLine& line : ExcelStandin::ReadLog())
        lines.push_back(line.text.str());
    return lines;
}

std::vector<std::string> ProductFixture::RunLines() const {
    std::vector<std::string> runs;
    for (const std::string& line : LogLines())
        if (line.rfind("Run\t", 0) == 0)
            runs.push_back(line);
    return runs;
}

int ProductFixture::ServerStarts() const {
    std::set<DWORD> pids;
    for (const ExcelStandin::LogLine& line : ExcelStandin::ReadLog())
        if (line.text == "Start")
            pids.insert(line.pid);
    return static_cast<int>(pids.size());
}

bool ProductFixture::ExcelHasDied() const {
    for (const std::string& line : LogLines())
        if (line.find("\t=> DIE") != std::string::npos)
            return true;
    return false;
}

std::string TodayText() {
    return CTime::GetCurrentTime().Format("%Y年%m月%d日").str();
}
