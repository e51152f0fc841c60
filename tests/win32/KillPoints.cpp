#include "KillPoints.h"

#include "RunJournal.h"
#include "TargetFile.h"
#include "TempDir.h"
#include "Win32FileSystem.h"

#include <gtest/gtest.h>

CString KillFiles::Name(int i) const {
    CString name;
    name.Format("%s\\f%02d.dat", folder, i);
    return name;
}

std::string KillFiles::NewBytes(int i) const {
    return std::string(newSize + static_cast<size_t>(i), static_cast<char>('A' + i % 26));
}

std::string KillFiles::OldBytes(int i) const {
    return std::string(oldSize, static_cast<char>('a' + i % 26));
}

void KillFiles::Lay(const CString& root, bool bNew) const {
    const CString levels(folder);
    for (int cut = 0; cut >= 0; cut = levels.Find('\\', cut + 1))
        ::CreateDirectoryA(root + "\\" + levels.Left(cut), nullptr);
    ::CreateDirectoryA(root + "\\" + levels, nullptr);
    for (int i = 0; i < count; ++i) {
        const CString path = root + "\\" + Name(i);
        if (bNew)
            WriteFileBytes(path, NewBytes(i));
        else if (InOlderState(i))
            WriteFileBytes(path, OldBytes(i));
        else
            ::DeleteFileA(path);
    }
}

DWORD KillPoints::DelayMs(DWORD nWholeMs, int k) const {
    return static_cast<DWORD>(uint64_t{nWholeMs} * 6 * static_cast<unsigned>(k + 1) /
                              (5 * static_cast<unsigned>(m_nPoints)));
}

void KillPoints::Watch(const CString& path, std::string before, bool bExisted, std::string after) {
    m_files[path] = {std::move(before), bExisted, std::move(after)};
}

void KillPoints::Watch(const CString& root, const KillFiles& files) {
    for (int i = 0; i < files.count; ++i)
        Watch(root + "\\" + files.Name(i), files.InOlderState(i) ? files.OldBytes(i) : "",
              files.InOlderState(i), files.NewBytes(i));
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

int KillFiles::TemporaryFilesLeft(const CString& root, bool bSwept) const {
    CWin32FileSystem fs;
    int kept = 0;
    for (int i = 0; i < CTargetFile::kTemporaryNames; ++i) {
        const CString path = root + "\\" + folder + "\\" + CTargetFile::TemporaryName(i);
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            continue;
        SCOPED_TRACE(path.str());
        const std::string bytes = ReadFileBytes(path);
        if (bytes.empty()) {
            EXPECT_FALSE(bSwept) << "an empty file of a temporary name outlived a restore";
            continue;
        }
        EXPECT_FALSE(CTargetFile::IsUnfinished(fs, path));
        bool whole = false;
        for (int j = 0; j < count; ++j)
            whole = whole || bytes == NewBytes(j);
        EXPECT_TRUE(whole) << bytes.size() << " bytes";
        ++kept;
    }
    return kept;
}

namespace {

CString WriterTemporary(const CString& file, int i) {
    const std::string suffix = ".~tmp" + (i == 0 ? std::string() : std::to_string(i));
    return file + suffix.c_str();
}

} // namespace

int WriterFilesLeft(const CString& file, const std::string& finished) {
    int left = 0;
    for (int i = 0; i < 10; ++i) {
        const CString temporary = WriterTemporary(file, i);
        if (!FileExists(temporary))
            continue;
        ++left;
        EXPECT_TRUE(ReadFileBytes(temporary) == finished)
            << temporary.GetString() << " is no whole copy of the finished file";
    }
    return left;
}

int KeptWriterFiles(const CString& file) {
    const std::string finished = ReadFileBytes(file);
    int kept = 0;
    for (int i = 0; i < 10; ++i) {
        const CString temporary = WriterTemporary(file, i);
        if (!FileExists(temporary))
            continue;
        ++kept;
        EXPECT_TRUE(ReadFileBytes(temporary) == finished)
            << temporary.GetString() << " is no whole copy of the finished file";
    }
    return kept;
}

int JournalsLeft() {
    const CString folder = CWin32FileSystem().TemporaryFolder();
    int left = 0;
    for (int i = 0; i < CRunJournal::kNames; ++i)
        left += FileExists(folder + "\\" + CRunJournal::Name(i));
    return left;
}
