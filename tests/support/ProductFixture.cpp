#include "ProductFixture.h"

#include "ExcelFileMap.h"
#include "StandinSetUp.h"
#include "StandinWorkbook.h"
#include "Time.h"

#include <windows.h>

#include <set>

// A server left by an earlier test goes before the product is laid out.
void ProductFixture::SetUp() {
    ExcelStandin::KillStrayServers();
    LayProduct(".xls");
    ASSERT_TRUE(SetUpStandin(ProductDir() + "\\standin"));
}

void ProductFixture::TearDown() {
    ExpectNoUnexpectedCalls();
    TearDownStandin();
    RemoveEnvRegistry();
}

void ProductFixture::LayProduct(const char* ext, const CString& dataDir) {
    m_ext = ext;
    m_dataDir = dataDir;
    SampleProductOptions options;
    options.strExt = ext;
    options.strDataDir = dataDir;
    ASSERT_TRUE(LaidSample(ProductDir(), options));
}

void ProductFixture::Protect(const char* name) {
    const CString path = Excel(name);
    CStandinWorkbook book;
    ASSERT_TRUE(book.Load(path)) << path.GetString();
    book.SetValue("Book", "Protected", "1");
    ASSERT_TRUE(book.Save(path)) << path.GetString();
}

std::vector<std::string> ProductFixture::Macros() const {
    std::vector<std::string> names;
    for (const std::string& line : RunLines())
        names.push_back(line.substr(4, line.find('\t', 4) - 4));
    return names;
}

testing::AssertionResult LaidSample(const CString& dir, const SampleProductOptions& options) {
    CString error;
    if (LaySampleProduct(dir, options, error))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << error.GetString();
}

SampleProductOptions UnregisteredSample() {
    SampleProductOptions options;
    options.bWriteRegistry = false;
    return options;
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
