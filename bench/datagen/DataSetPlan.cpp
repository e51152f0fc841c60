#include "DataSetPlan.h"

namespace {

// The folders of an office's installation: the five data folders and the
// books, with a few of their own below.  表, ソ and 能 end in the byte 0x5C
// in code page 932, the trap of every path split.
const char* const kOfficeFolders[] = {"Data/DefEru",
                                      "Data/DefEru/帳票設定",
                                      "Data/MyData",
                                      "Data/MyData/社員台帳",
                                      "Data/MyData/給与明細",
                                      "Data/MyData/賞与明細",
                                      "Data/MyData/源泉徴収",
                                      "Data/MyData/勤怠表",
                                      "Data/MyData/年末調整",
                                      "Data/Org",
                                      "Data/Other",
                                      "Data/Other/自社様式",
                                      "Data/Other/ソフト設定",
                                      "Data/MsgMemo",
                                      "Excel",
                                      "Excel/2023年度",
                                      "Excel/2024年度",
                                      "Excel/2025年度",
                                      "Excel/表参道店",
                                      "Excel/能登店"};

const char* const kStems[] = {"給与明細", "社員台帳", "賞与一覧", "源泉徴収票",
                              "勤怠集計", "report",   "data",     "帳票",
                              "memo",     "表示設定", "ソート順", "backup"};
const char* const kExtensions[] = {".dat", ".xls", ".csv", ".txt", ".pdf", ".frm"};

template <typename T, size_t N> constexpr uint64_t CountOf(const T (&)[N]) {
    return N;
}

} // namespace

bool CDataSetPlan::DefaultsOf(const std::string& strKind, Parameters& params) {
    params = Parameters();
    if (strKind == "office") {
        params.nKind = office;
    } else if (strKind == "many") {
        params.nKind = many;
        params.nFiles = 100000;
        params.nFolders = 100;
        params.nMinSize = 1024;
        params.nMaxSize = 8 * 1024ULL;
        params.nLargeFiles = 0;
    } else if (strKind == "big") {
        params.nKind = big;
    } else {
        return false;
    }
    return true;
}

CDataSetPlan::CDataSetPlan(const Parameters& params) : m_random(params.nSeed) {
    switch (params.nKind) {
    case office:
        PlanOffice(params);
        break;
    case many:
        PlanMany(params);
        break;
    case big:
        PlanBig(params);
        break;
    }
}

uint64_t CDataSetPlan::TotalBytes() const {
    uint64_t n = 0;
    for (const File& file : m_files)
        n += file.nSize;
    return n;
}

// Unique through the index; the stem and extension only vary the look.
std::string CDataSetPlan::FileName(uint64_t nIndex) {
    const char* stem = kStems[m_random.Next() % CountOf(kStems)];
    const char* ext = kExtensions[m_random.Next() % CountOf(kExtensions)];
    return std::string(stem) + "_" + std::to_string(nIndex) + ext;
}

void CDataSetPlan::AddFile(uint64_t nFolder, uint64_t nSize) {
    const uint64_t index = m_files.size() + 1;
    m_files.push_back({m_folders[nFolder] + "/" + FileName(index), nSize});
}

// Mostly small files spread over the folders at random; the large ones
// (scanned ledgers, exported books) lie evenly among them: exactly
// nLargeFiles of the indices step over a multiple of nFiles / nLargeFiles.
void CDataSetPlan::PlanOffice(const Parameters& params) {
    const uint64_t nFolders =
        params.nFolders < CountOf(kOfficeFolders) ? params.nFolders : CountOf(kOfficeFolders);
    m_folders.assign(kOfficeFolders, kOfficeFolders + (nFolders ? nFolders : 1));
    const uint64_t n = params.nFiles;
    const uint64_t nLarge = params.nLargeFiles < n ? params.nLargeFiles : n;
    for (uint64_t i = 0; i < n; ++i) {
        const uint64_t folder = m_random.Next() % m_folders.size();
        const bool bLarge = (i + 1) * nLarge / n != i * nLarge / n;
        AddFile(folder, bLarge ? m_random.Between(params.nLargeMin, params.nLargeMax)
                               : m_random.LogBetween(params.nMinSize, params.nMaxSize));
    }
}

// Employees' and departments' folders taking turns below the two roots.
void CDataSetPlan::PlanMany(const Parameters& params) {
    const uint64_t nFolders = params.nFolders ? params.nFolders : 1;
    for (uint64_t i = 0; i < nFolders; ++i) {
        const std::string number = std::to_string(1000 + i).substr(1);
        m_folders.push_back(i % 2 == 0 ? "Data/MyData/社員" + number : "Excel/部署" + number);
    }
    for (uint64_t i = 0; i < params.nFiles; ++i)
        AddFile(i % nFolders, m_random.Between(params.nMinSize, params.nMaxSize));
}

void CDataSetPlan::PlanBig(const Parameters& params) {
    m_folders.push_back("Excel");
    m_files.push_back({"Excel/大容量データ.dat", params.nBigSize});
}
