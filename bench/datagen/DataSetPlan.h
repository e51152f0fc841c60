#pragma once
#include "BenchRandom.h"

#include <cstdint>
#include <string>
#include <vector>

// The files of one benchmark data set: where each lies below the installation
// folder (UTF-8, "/"-separated) and how long it is.  The same parameters and
// seed always give the same plan.
class CDataSetPlan {
public:
    enum Kind { office, many, big };

    struct Parameters {
        Kind nKind = office;
        uint64_t nSeed = 14;
        uint64_t nFiles = 10000; // office and many: files in all
        uint64_t nFolders = 20;
        uint64_t nMinSize = 1024; // the ordinary files
        uint64_t nMaxSize = 200 * 1024;
        uint64_t nLargeFiles = 15; // office: the few large ones among nFiles
        uint64_t nLargeMin = 20 * 1000 * 1000;
        uint64_t nLargeMax = 100 * 1000 * 1000;
        uint64_t nBigSize = 5ULL << 30; // big: the one file
    };

    struct File {
        std::string strPath;
        uint64_t nSize;
    };

    // Parameters with the defaults of a kind ("office", "many", "big");
    // false for an unknown kind.
    static bool DefaultsOf(const std::string& strKind, Parameters& params);
    explicit CDataSetPlan(const Parameters& params);

    const std::vector<std::string>& Folders() const { return m_folders; }
    const std::vector<File>& Files() const { return m_files; }
    uint64_t TotalBytes() const;

private:
    void PlanOffice(const Parameters& params);
    void PlanMany(const Parameters& params);
    void PlanBig(const Parameters& params);
    std::string FileName(uint64_t nIndex);
    void AddFile(uint64_t nFolder, uint64_t nSize);

    std::vector<std::string> m_folders;
    std::vector<File> m_files;
    CBenchRandom m_random;
};
