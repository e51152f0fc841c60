#include "ProductFixture.h"

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

std::string TodayText() {
    return CTime::GetCurrentTime().Format("%Y年%m月%d日").str();
}
