// Every file of the hostile table, read by the engine over memory and by
// the native ikotool on real folders: refused when damaged, never written
// outside its roots, and never allowed more memory than the file backs.
#include "EntryRecordReader.h"
#include "HeapPeak.h"
#include "HostileFiles.h"
#include "IkotoolRun.h"
#include "MigrationFileException.h"
#include "MigrationTestSupport.h"
#include "NameConverter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

// The buffers of the archive and of the content copier, whatever their size
// is tuned to, and the probe entries of the deepest nesting allowed.  A
// reader that believed a size, count or length in the file would ask for
// gigabytes.
constexpr size_t kReaderAllowance = size_t{8} << 20;

int Count(const std::vector<CSkippedEntry>& skipped, CSkipReason reason) {
    return static_cast<int>(
        std::count_if(skipped.begin(), skipped.end(),
                      [&](const CSkippedEntry& s) { return s.nReason == reason; }));
}

// The files of a restore over memory by "<root>\<path>", as the table names
// them; anything outside the roots by its own path.
std::map<std::string, std::string> WrittenFiles(const CMemFileSystem& fs) {
    std::map<std::string, std::string> files;
    for (const CString& path : fs.Paths()) {
        if (!fs.IsFile(path))
            continue;
        const std::string p = path.str();
        const bool inside = p.size() > 5 && p.compare(0, 3, "dst") == 0 && p[3] >= '0' &&
                            p[3] <= '2' && p[4] == '\\';
        files[inside ? p.substr(3) : "outside: " + p] = fs.FileBytes(path);
    }
    return files;
}

void ExpectCheckOutcome(const HostileFile& f) {
    try {
        Check(f.bytes);
        EXPECT_NE(HostileFile::damaged, f.kind) << "the check found no fault";
    } catch (const CMigrationFileException& e) {
        ASSERT_EQ(HostileFile::damaged, f.kind) << e.m_strFault.GetString();
        EXPECT_EQ(f.faultOffset, e.m_nOffset) << e.m_strFault.GetString();
        if (!f.fault.empty()) {
            EXPECT_EQ(f.fault, e.m_strFault.str());
        }
    }
}

// Even without the check before it, a restore writes nothing outside the
// roots and no more bytes than the file holds.
void ExpectRestoreOutcome(const HostileFile& f) {
    CMemFileSystem dst;
    for (const char* root : {"dst0", "dst1", "dst2"})
        dst.AddDirectory(root);
    ReadResult result(dst);
    bool thrown = false;
    try {
        Restore(f.bytes, dst, TargetRoots(), result);
    } catch (const CArchiveException&) {
        thrown = true;
    }
    const std::map<std::string, std::string> written = WrittenFiles(dst);
    if (f.kind == HostileFile::damaged) {
        size_t bytes = 0;
        for (const auto& [path, content] : written) {
            EXPECT_EQ(std::string::npos, path.find("outside")) << path;
            bytes += content.size();
        }
        EXPECT_LE(bytes, f.bytes.size());
        return;
    }
    EXPECT_FALSE(thrown);
    EXPECT_EQ(f.written, written);
    EXPECT_EQ(f.refused, Count(result.context.m_skipped, CSkipReason::refusedPath));
    EXPECT_EQ(f.filtered, Count(result.context.m_skipped, CSkipReason::filtered));
}

} // namespace

TEST(HostileFile, EngineRefusesOrKeepsInsideEveryFileWithinItsMemory) {
    ASSERT_EQ(kHostileMaxDepth, CEntryRecordReader::kMaxDepth);
    size_t largest = 0;
    std::string largestName;
    for (const HostileFile& f : HostileMigrationFiles()) {
        SCOPED_TRACE(f.name + ": " + f.what);
        heap_peak::Restart();
        ExpectCheckOutcome(f);
        ExpectRestoreOutcome(f);
        const size_t peak = heap_peak::Peak();
        EXPECT_LE(peak, kReaderAllowance + 2 * f.bytes.size());
        if (peak > largest) {
            largest = peak;
            largestName = f.name;
        }
    }
    std::printf("largest heap of a check and a restore: %zu bytes (%s)\n", largest,
                largestName.c_str());
}

namespace {

// The table's "<root>\<path>" as the native ikotool writes it below the
// roots p, d and c: UTF-8, slashes.
std::string NativePath(const std::string& tablePath) {
    CNameConverter names;
    std::string utf8;
    EXPECT_TRUE(names.ToUtf8(CString(tablePath.substr(2)), utf8)) << tablePath;
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    const char root = tablePath[0] == '1' ? 'd' : tablePath[0] == '2' ? 'c' : 'p';
    return std::string(1, root) + "/" + utf8;
}

int CountLines(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The files below the sandbox that are not the run's own, and every folder
// that is not below a root.
std::map<std::string, std::string> WrittenBelow(const NativeTree& sandbox) {
    std::map<std::string, std::string> files;
    for (const auto& [rel, content] : sandbox.Contents()) {
        if (rel == "in.iko" || rel == "out.txt" || rel == "err.txt" || rel == "p" || rel == "d" ||
            rel == "c")
            continue;
        const bool belowRoot =
            rel.size() > 2 && rel[1] == '/' && std::string("pdc").find(rel[0]) != std::string::npos;
        if (content != "<dir>" || !belowRoot)
            files[rel] = content;
    }
    return files;
}

// Address space for the whole program: its code, libraries and stack, and
// the buffers; not the gigabytes a believed length would need.
const char kLimits[] = "ulimit -v 65536 && ulimit -t 20";

} // namespace

TEST(HostileFile, IkotoolTestsAndExtractsEveryFileWithinALimit) {
    for (const HostileFile& f : HostileMigrationFiles()) {
        SCOPED_TRACE(f.name + ": " + f.what);
        NativeTree sandbox;
        sandbox.Write("in.iko", f.bytes);
        for (const char* root : {"p", "d", "c"})
            sandbox.MakeDir(root);
        const ToolRun test = Ikotool(sandbox, "test in.iko", kLimits);
        const ToolRun json = Ikotool(sandbox, "test --json in.iko", kLimits);
        const ToolRun extract =
            Ikotool(sandbox, "extract in.iko --root 0=p --root 1=d --root 2=c", kLimits);
        const nlohmann::json verdict = nlohmann::json::parse(json.out)["verdict"];
        if (f.kind == HostileFile::damaged) {
            EXPECT_EQ(2, test.exitCode) << test.err;
            EXPECT_NE(std::string::npos,
                      test.err.find("damaged at byte offset " + std::to_string(f.faultOffset) +
                                    ": " + f.fault))
                << test.err;
            EXPECT_EQ("damaged", verdict["status"]);
            EXPECT_EQ(f.faultOffset, verdict["offset"]);
            EXPECT_EQ(0u, verdict["fault"].get<std::string>().find(f.fault));
            EXPECT_EQ(2, extract.exitCode) << extract.err;
            EXPECT_TRUE(WrittenBelow(sandbox).empty());
            continue;
        }
        EXPECT_EQ(0, test.exitCode) << test.err;
        EXPECT_EQ(nlohmann::json({{"status", "whole"}}), verdict);
        EXPECT_EQ(f.refused > 0 ? 1 : 0, extract.exitCode) << extract.out << extract.err;
        EXPECT_EQ(f.refused, CountLines(extract.err, "not written: ")) << extract.err;
        EXPECT_EQ(f.filtered, CountLines(extract.err, "kept out by the restore filter"))
            << extract.err;
        std::map<std::string, std::string> expected;
        for (const auto& [path, content] : f.written)
            expected[NativePath(path)] = content;
        EXPECT_EQ(expected, WrittenBelow(sandbox));
    }
}

// Every file of the table seeds the fuzzer: the corpus in the repository
// holds it under its name, byte for byte.
TEST(HostileFile, FuzzCorpusHoldsEveryFile) {
    for (const HostileFile& f : HostileMigrationFiles()) {
        SCOPED_TRACE(f.name);
        const std::string path = std::string(MIGRATION_CORPUS) + "/hostile-" + f.name;
        EXPECT_TRUE(ReadNativeFile(path) == f.bytes)
            << path
            << " is missing or differs; write it with --gtest_also_run_disabled_tests "
               "--gtest_filter=*WriteFuzzCorpus*";
    }
}

// Writes the table into the corpus (run by hand when the table changes).
TEST(HostileFile, DISABLED_WriteFuzzCorpus) {
    for (const HostileFile& f : HostileMigrationFiles()) {
        std::ofstream out(std::string(MIGRATION_CORPUS) + "/hostile-" + f.name, std::ios::binary);
        out.write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
    }
}
