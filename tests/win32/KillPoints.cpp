#include "KillPoints.h"

#include "TempDir.h"

#include <gtest/gtest.h>

DWORD KillPoints::DelayMs(DWORD nWholeMs, int k) const {
    return static_cast<DWORD>(uint64_t{nWholeMs} * 6 * static_cast<unsigned>(k + 1) /
                              (5 * static_cast<unsigned>(m_nPoints)));
}

void KillPoints::Watch(const CString& path, std::string before, bool bExisted, std::string after) {
    m_files[path] = {std::move(before), bExisted, std::move(after)};
}

void KillPoints::CheckAfterKill(bool bTemporaryLeft) {
    int changed = 0;
    for (const auto& [path, file] : m_files) {
        const bool exists = FileExists(path);
        const std::string now = exists ? ReadFileBytes(path) : std::string();
        const bool asBefore = exists == file.bExisted && now == file.before;
        const bool asAfter = exists && now == file.after;
        EXPECT_TRUE(asBefore || asAfter)
            << path.GetString() << " is cut: " << now.size() << " bytes";
        changed += asAfter && !asBefore;
    }
    const int all = static_cast<int>(m_files.size());
    (changed == 0 && !bTemporaryLeft ? m_nBefore : changed == all ? m_nAfter : m_nBetween)++;
}

void KillPoints::CheckWhole() const {
    for (const auto& [path, file] : m_files)
        EXPECT_EQ(file.after, ReadFileBytes(path)) << path.GetString();
}

std::string KillPoints::Summary() const {
    return std::to_string(m_nPoints) + " kill points: " + std::to_string(m_nBefore) +
           " before any change, " + std::to_string(m_nBetween) + " half-way, " +
           std::to_string(m_nAfter) + " at the end";
}
