#pragma once
#include "DataSetPlan.h"

#include <string>
#include <vector>

// Writes a plan below a folder.  Contents are slices of one pseudo-random
// pool, so writing costs little more than the disk does and no two files
// begin alike.
class CDataSetWriter {
public:
    explicit CDataSetWriter(uint64_t nSeed);
    // False with strError at the first failure.
    bool Write(const CDataSetPlan& plan, const std::string& strDir, std::string& strError);

private:
    bool MakeFolders(const std::string& strPath, std::string& strError);
    bool WriteFile(const std::string& strPath, uint64_t nSize, std::string& strError);

    std::vector<char> m_pool;
    CBenchRandom m_random;
};
