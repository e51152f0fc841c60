// The native file system: Japanese names through real folders.
#include "Archive.h"
#include "MemFile.h"
#include "MigrationReader.h"
#include "MigrationTestSupport.h"
#include "MigrationWriter.h"
#include "NativeTree.h"
#include "PosixFileSystem.h"
#include "PosixOwners_posix.h"
#include "TargetFile.h"
#include "TargetPath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WriteTree(CPosixFileSystem& /*fs*/, const NativeTree& tree,
                      CMigrationContext& context) {
    CMigrationWriter writer(context, CMigrationRoots(CString(tree.Path().c_str()), "", ""));
    EXPECT_TRUE(writer.BuildList());
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    writer.Write(ar);
    ar.Close();
    return mem.Bytes();
}

void RestoreTree(CPosixFileSystem& /*fs*/, const std::string& bytes, const NativeTree& tree,
                 CMigrationContext& context) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(context, CMigrationRoots(CString(tree.Path().c_str()), "", ""),
                     static_cast<int64_t>(bytes.size()))
        .Restore(ar);
}

} // namespace

// Names on the disk are u8 literals; plain literals are code page 932.
TEST(PosixFileSystem, JapaneseNamesTravelAsCodePage932AndComeBackAsUtf8) {
    NativeTree src, dst;
    src.Write(u8"Data/MyData/表示ソ/給与.dat", "pay");
    src.Write("Data/MyData/.hidden", "h");
    src.Write(u8"Data/MyData/①髙.dat", "nec and ibm rows");
    CPosixFileSystem fs;
    CMigrationContext out(fs);
    const std::string bytes = WriteTree(fs, src, out);
    EXPECT_NE(std::string::npos, bytes.find(Str("給与.dat")));
    EXPECT_NE(std::string::npos, bytes.find(Str("\\\\Data\\MyData\\表示ソ")));

    CMigrationContext in(fs);
    RestoreTree(fs, bytes, dst, in);
    EXPECT_EQ(src.Contents(), dst.Contents());
    EXPECT_TRUE(in.m_skipped.empty());
}

// Files are opened by name inside the folder used last: folders whose names
// begin alike, or end in the trail byte 0x5C, must not be taken for another.
TEST(PosixFileSystem, SameNamesInFoldersThatLookAlikeStayApart) {
    const char* const folders[] = {u8"表",        u8"表示", u8"表示ソ", u8"表示ソ/表",
                                   u8"表/表示ソ", "a",      "a/a"};
    NativeTree src, dst;
    for (const char* folder : folders)
        src.Write(std::string("Data/MyData/") + folder + "/a.dat", folder);
    CPosixFileSystem fs;
    CMigrationContext out(fs);
    const std::string bytes = WriteTree(fs, src, out);
    CMigrationContext in(fs);
    RestoreTree(fs, bytes, dst, in);
    for (const char* folder : folders) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(folder, ReadNativeFile(dst / (std::string("Data/MyData/") + folder + "/a.dat")));
    }
    EXPECT_EQ(src.Contents(), dst.Contents());
}

TEST(PosixFileSystem, NamesWithoutARoundTripAreSkippedWithTheirReason) {
    NativeTree src;
    src.Write("Data/MyData/ok.dat", "ok");
    src.Write(u8"Data/MyData/yen¥.dat", "would become a backslash");
    src.Write(u8"Data/MyData/wave〜.dat", "would come back as ～");
    src.Write("Data/MyData/\xFF.dat", "not UTF-8");
    src.Write("Data/MyData/back\\slash", "a separator in the file");
    CPosixFileSystem fs;
    CMigrationContext context(fs);
    const std::string bytes = WriteTree(fs, src, context);
    EXPECT_NE(std::string::npos, bytes.find(Str("ok.dat")));
    ASSERT_EQ(4u, context.m_skipped.size());
    for (const CSkippedEntry& skip : context.m_skipped) {
        SCOPED_TRACE(skip.strPath.GetString());
        EXPECT_EQ(CSkipReason::unconvertibleName, skip.nReason);
    }
}

TEST(PosixFileSystem, NameWithoutUtf8FormIsSkippedOnRestore) {
    NativeTree dst;
    const std::string bytes = Header(2) + Record(4, 0, "", "\x85\x40.dat", "unassigned", 0) +
                              Record(4, 0, "", "ok.dat", "ok", 0);
    CPosixFileSystem fs;
    CMigrationContext context(fs);
    RestoreTree(fs, bytes, dst, context);
    EXPECT_EQ((std::map<std::string, std::string>{{"ok.dat", "ok"}}), dst.Contents());
    ASSERT_EQ(1u, context.m_skipped.size());
    EXPECT_EQ(CSkipReason::unconvertibleName, context.m_skipped[0].nReason);
}

TEST(PosixFileSystem, LinksToDirectoriesAndSpecialFilesAreNotFollowed) {
    NativeTree src;
    src.Write("Data/MyData/a.dat", "a");
    ASSERT_EQ(0, ::symlink(".", (src / "Data/MyData/loop").c_str()));
    ASSERT_EQ(0, ::symlink("a.dat", (src / "Data/MyData/link.dat").c_str()));
    ASSERT_EQ(0, ::mkfifo((src / "Data/MyData/fifo").c_str(), 0600));
    CPosixFileSystem fs;
    CMigrationContext context(fs);
    const std::string bytes = WriteTree(fs, src, context);
    EXPECT_NE(std::string::npos, bytes.find(Str("link.dat") + Le64(1) + "a"));
    ASSERT_EQ(2u, context.m_skipped.size());
    EXPECT_EQ(CSkipReason::notFollowed, context.m_skipped[0].nReason);
    EXPECT_EQ(CSkipReason::notFollowed, context.m_skipped[1].nReason);
}

TEST(PosixFileSystem, BackslashesAndSeparatorRunsBecomeOneSlash) {
    CPosixFileSystem fs;
    std::string native;
    ASSERT_TRUE(fs.ToNative("/tmp\\\\\\Data\\MyData//表\\x", native));
    EXPECT_EQ("/tmp/Data/MyData/\xE8\xA1\xA8/x", native); // 表 in UTF-8, no split at its 0x5C
}

namespace {

// The migration file's bytes; once the reading has passed nAt, another
// restore comes to the folder, as ikotool run twice at once does: it removes
// the temporary file it takes for a killed run's and begins its own.
class StreamWithRivalRestore : public CArchiveStream {
public:
    StreamWithRivalRestore(const std::string& bytes, size_t nAt, std::string temporary)
        : m_mem(bytes), m_nAt(nAt), m_temporary(std::move(temporary)) {}
    unsigned Read(void* pBuf, unsigned nCount) override {
        const unsigned n = m_mem.Read(pBuf, nCount);
        m_nRead += n;
        if (!m_bDone && m_nRead > m_nAt) {
            m_bDone = true;
            ::unlink(m_temporary.c_str());
            NativeWrite(m_temporary, "the other restore's half of other.dat");
        }
        return n;
    }
    void Write(const void*, unsigned) override { FAIL(); }

private:
    static void NativeWrite(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        out.flush();
        ASSERT_TRUE(out.good()) << path;
    }
    CMemFile m_mem;
    size_t m_nAt;
    std::string m_temporary;
    size_t m_nRead = 0;
    bool m_bDone = false;
};

} // namespace

// The temporary file this restore renames over its target must be the one
// it wrote: a file of that name made by another run in the meantime is not
// put in place of the book map, and the book map is not reported restored.
TEST(PosixFileSystem, TemporaryFileMadeAnewByAnotherRestoreDoesNotReplaceTheTarget) {
    NativeTree dst;
    dst.Write("Data/MyData/BookMNG.dat", "the old book map");
    const std::string content(200000, 'n');
    const std::string bytes = Header(1) + Record(4, 0, "\\Data\\MyData", "BookMNG.dat", content, 0);
    StreamWithRivalRestore stream(bytes, 50000, dst / "Data/MyData/~TESSARO.TMP");
    CPosixFileSystem fs;
    CMigrationContext context(fs);
    CArchive ar(&stream, CArchive::load);
    CMigrationReader(context, CMigrationRoots(CString(dst.Path().c_str()), "", ""),
                     static_cast<int64_t>(bytes.size()))
        .Restore(ar);
    const std::string now = ReadNativeFile(dst / "Data/MyData/BookMNG.dat");
    EXPECT_TRUE(now == content || now == "the old book map") << now.substr(0, 40);
    if (now != content) {
        EXPECT_EQ(0, context.m_nWritten);
    }
}

// Windows finds a file by any case of its letters, and so does a restore
// natively: the entry replaces the file on the disk under its own name
// instead of writing a second one beside it, and the filter judges that
// name.  A folder of twins differing only in case gives the exact spelling,
// or refuses the entry.
TEST(PosixFileSystem, ExistingNamesAreFoundWithoutRegardToCase) {
    const struct {
        const char* relDir;
        const char* name;
        const char* written; // "" when refused, "-" when kept out by the filter
    } cases[] = {
        {"\\data\\MYDATA", "bookmng.DAT", "Data/MyData/BookMNG.dat"},
        {"\\DATA\\mydata\\表示ＫΩЖⅠ", "ＡΣＸ.dat", u8"Data/MyData/表示ｋωжⅰ/ａσｘ.dat"},
        {"\\data\\org", "company.DAT", "-"},
        {"\\DATA\\ORG", "KYUYO.XLSM", "-"},
        {"\\Data\\MyData\\twins", "a.txt", "Data/MyData/twins/a.txt"},
        {"\\Data\\MyData\\twins", "A.txt", "Data/MyData/twins/A.txt"},
        {"\\Data\\MyData\\twins", "a.TXT", ""},
        {"\\Data\\MyData\\Twin", "x.dat", "Data/MyData/Twin/x.dat"},
        {"\\Data\\MyData\\TWIN", "x.dat", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.relDir) + "\\" + c.name);
        NativeTree dst;
        dst.Write("Data/MyData/BookMNG.dat", "old");
        dst.Write(u8"Data/MyData/表示ｋωжⅰ/ａσｘ.dat", "old");
        dst.Write("Data/Org/Company.dat", "old");
        dst.Write("Data/Org/kyuyo.xlsm", "old");
        dst.Write("Data/MyData/twins/a.txt", "old");
        dst.Write("Data/MyData/twins/A.txt", "old");
        dst.Write("Data/MyData/Twin/x.dat", "old");
        dst.Write("Data/MyData/twin/x.dat", "old");
        std::map<std::string, std::string> expected = dst.Contents();
        if (c.written[0] != '\0' && c.written[0] != '-')
            expected[c.written] = "new";
        CPosixFileSystem fs;
        CMigrationContext context(fs);
        RestoreTree(fs, Header(1) + Record(4, 0, c.relDir, c.name, "new", 0), dst, context);
        EXPECT_EQ(expected, dst.Contents());
        if (c.written[0] == '\0') {
            ASSERT_EQ(1u, context.m_skipped.size());
            EXPECT_EQ(CSkipReason::refusedPath, context.m_skipped[0].nReason);
            EXPECT_NE(std::string::npos,
                      context.m_skipped[0].strCause.str().find("more than one entry"));
        } else if (c.written[0] == '-') {
            ASSERT_EQ(1u, context.m_skipped.size());
            EXPECT_EQ(CSkipReason::filtered, context.m_skipped[0].nReason);
        } else {
            EXPECT_TRUE(context.m_skipped.empty());
        }
    }
}

// A folder entry whose parents are missing makes every level at once; each
// is known by any case afterwards, as on Windows, so that later entries
// spelling them otherwise go into the same folders, with or without a
// selection.
TEST(PosixFileSystem, FoldersMadeAtOnceAreFoundByAnyCaseAfterwards) {
    const std::string bytes = Header(2) + Record(4, 0, "", "Data\\Lv1\\Lv2\\Lv3", "", 1) +
                              Record(4, 0, "\\Data\\Lv1\\Lv2\\Lv3", "f.txt", "f", 0) +
                              Record(4, 0, "", "DATA\\LV1\\lv2\\LV3", "", 1) +
                              Record(4, 0, "\\DATA\\LV1\\lv2\\LV3", "g.txt", "g", 0);
    const std::map<std::string, std::string> expected = {{"Data", "<dir>"},
                                                         {"Data/Lv1", "<dir>"},
                                                         {"Data/Lv1/Lv2", "<dir>"},
                                                         {"Data/Lv1/Lv2/Lv3", "<dir>"},
                                                         {"Data/Lv1/Lv2/Lv3/f.txt", "f"},
                                                         {"Data/Lv1/Lv2/Lv3/g.txt", "g"}};
    for (const bool bSelect : {false, true}) {
        SCOPED_TRACE(bSelect ? "selected" : "all");
        NativeTree dst;
        CPosixFileSystem fs;
        CMigrationContext context(fs);
        if (bSelect)
            context.m_select = [](const CTargetPath&) { return true; };
        RestoreTree(fs, bytes, dst, context);
        EXPECT_EQ(expected, dst.Contents());
        EXPECT_TRUE(context.m_skipped.empty());
    }
}

// Windows refuses to replace a read-only file; natively a file its owner
// may not write counts as one, whoever runs the restore.
TEST(PosixFileSystem, FileWithoutOwnerWritePermissionIsNotReplaced) {
    for (const char* relDir : {"\\Data\\MyData", "\\data\\mydata"}) {
        SCOPED_TRACE(relDir);
        NativeTree dst;
        dst.Write("Data/MyData/BookMNG.dat", "old");
        ASSERT_EQ(0, ::chmod((dst / "Data/MyData/BookMNG.dat").c_str(), 0444));
        CPosixFileSystem fs;
        CMigrationContext context(fs);
        RestoreTree(fs, Header(1) + Record(4, 0, relDir, "BookMNG.dat", "new", 0), dst, context);
        EXPECT_EQ("old", ReadNativeFile(dst / "Data/MyData/BookMNG.dat"));
        ASSERT_EQ(1u, context.m_skipped.size());
        EXPECT_EQ(CSkipReason::cannotWrite, context.m_skipped[0].nReason);
        EXPECT_FALSE(context.m_bBookMapWritten);
    }
}

// When no temporary name is free, the reason names what holds them: folders
// of those names, other restores' open files, or both.
TEST(PosixFileSystem, TemporaryNamesTakenAreToldByWhatHoldsThem) {
    const struct {
        int folders;
        int open;
        const char* told;
    } cases[] = {
        {CTargetFile::kTemporaryNames, 0, "10 by folders of that name"},
        {4, 6, "4 by folders of that name, 6 by files of those names (other restores' live files"},
        {0, CTargetFile::kTemporaryNames, "10 by files of those names (other restores' live files"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        NativeTree dst;
        dst.Write("Data/MyData/BookMNG.dat", "old");
        CPosixFileSystem fs;
        std::vector<std::unique_ptr<CFsFile>> others;
        for (int i = 0; i < c.folders + c.open; ++i) {
            const std::string name = CTargetFile::TemporaryName(i).str();
            if (i < c.folders) {
                dst.MakeDir("Data/MyData/" + name);
                continue;
            }
            CFsError error;
            others.push_back(fs.CreateNew(CString((dst / ("Data/MyData/" + name)).c_str()), error));
            ASSERT_NE(nullptr, others.back());
        }
        CMigrationContext context(fs);
        RestoreTree(fs, Header(1) + Record(4, 0, "\\Data\\MyData", "BookMNG.dat", "new", 0), dst,
                    context);
        EXPECT_EQ("old", ReadNativeFile(dst / "Data/MyData/BookMNG.dat"));
        ASSERT_EQ(1u, context.m_skipped.size());
        EXPECT_EQ(CSkipReason::cannotWrite, context.m_skipped[0].nReason);
        EXPECT_NE(std::string::npos, context.m_skipped[0].strCause.str().find(c.told))
            << context.m_skipped[0].strCause.GetString();
    }
}

// The writer's transient file: nothing of it is left when it is dropped or
// cannot be put in place, it is put in place whole otherwise, and a name
// another program took meanwhile keeps that program's bytes.
TEST(PosixFileSystem, TransientFileStaysOnlyWhenPutInPlace) {
    struct Case {
        const char* what;
        bool bCommit;
        bool bTargetFolderMissing;
        bool bNameTakenMeanwhile;
        bool bMoved;
    };
    const Case cases[] = {
        {"put in place over an older file", true, false, false, true},
        {"dropped", false, false, false, false},
        {"target folder missing", true, true, false, false},
        {"its name taken meanwhile", true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NativeTree tree;
        tree.Write("m.iko", "older");
        CPosixFileSystem fs;
        const CString temp((tree / "m.iko.~tmp").c_str());
        const CString target((tree / (c.bTargetFolderMissing ? "none/m.iko" : "m.iko")).c_str());
        CFsError error;
        std::unique_ptr<CFsFile> file = fs.CreateTransient(temp, error);
        ASSERT_NE(nullptr, file) << error.strCause.GetString();
        EXPECT_TRUE(file->IsTransient());
        file->Write("newer", 5);
        EXPECT_EQ((std::map<std::string, std::string>{{"m.iko", "older"}}), tree.Contents());
        if (c.bNameTakenMeanwhile)
            tree.Write("m.iko.~tmp", "another's");
        if (c.bCommit) {
            EXPECT_EQ(c.bMoved, fs.CloseOver(std::move(file), temp, target, error));
        }
        file.reset();
        std::map<std::string, std::string> expected{{"m.iko", c.bMoved ? "newer" : "older"}};
        if (c.bNameTakenMeanwhile)
            expected["m.iko.~tmp"] = "another's";
        EXPECT_EQ(expected, tree.Contents());
    }
}

namespace {

// The descriptors the process holds now.
size_t OpenDescriptors() {
    size_t n = 0;
    const CDirStream d(::opendir("/proc/self/fd"));
    while (d && ::readdir(d.Get()))
        ++n;
    return n;
}

} // namespace

// Whatever a call opens is closed again by the time the file system goes:
// a file read, dropped open or refused as special, a listing, the folder a
// lookup keeps, the lock of a removal.
TEST(PosixFileSystem, EveryDescriptorTakenIsGivenBack) {
    NativeTree tree;
    tree.Write("Data/MyData/a.dat", "a");
    tree.Write("Data/Org/b.dat", "b");
    tree.Write("Data/Org/c.dat", "c");
    ASSERT_EQ(0, ::mkfifo((tree / "Data/MyData/fifo").c_str(), 0600));
    const CString myData = CString(tree.Path().c_str()) + "\\Data\\MyData";
    const CString org = CString(tree.Path().c_str()) + "\\Data\\Org";
    const struct {
        const char* what;
        std::function<void(CPosixFileSystem&)> run;
    } cases[] = {
        {"a folder listed",
         [&](CPosixFileSystem& fs) {
             std::vector<CDirItem> items;
             EXPECT_TRUE(fs.ListDirectory(myData, items));
             EXPECT_EQ(2u, items.size());
         }},
        {"a file read and closed",
         [&](CPosixFileSystem& fs) {
             CFsError error;
             const std::unique_ptr<CFsFile> file = fs.OpenForReading(myData + "\\a.dat", error);
             ASSERT_NE(nullptr, file);
             file->Close();
         }},
        {"a file dropped open",
         [&](CPosixFileSystem& fs) {
             CFsError error;
             EXPECT_NE(nullptr, fs.CreateNew(myData + "\\n.tmp", error));
         }},
        {"a special file refused",
         [&](CPosixFileSystem& fs) {
             CFsError error;
             EXPECT_EQ(nullptr, fs.OpenForReading(myData + "\\fifo", error));
         }},
        {"names looked up in two folders",
         [&](CPosixFileSystem& fs) {
             EXPECT_TRUE(fs.GetStatus(myData + "\\a.dat").bExists);
             EXPECT_TRUE(fs.GetStatus(org + "\\b.dat").bExists);
         }},
        {"a file removed unless open",
         [&](CPosixFileSystem& fs) { EXPECT_TRUE(fs.RemoveUnlessOpen(org + "\\c.dat")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = OpenDescriptors();
        {
            CPosixFileSystem fs;
            c.run(fs);
        }
        EXPECT_EQ(before, OpenDescriptors());
    }
}

// A restored file has no name until it is whole, so the temporary names
// other programs take meanwhile are known only then: it takes the next
// free one, never one of theirs, and the target is written whole or, with
// every name taken, keeps its bytes; nothing of it is left either way.
// The same holds for a target that appears meanwhile.
TEST(PosixFileSystem, NamesTakenWhileARestoredFileIsWrittenArePassedOver) {
    const struct {
        const char* what;
        bool bTargetBefore;
        int taken;
        bool bWritten;
    } cases[] = {
        {"the first name taken", true, 1, true},
        {"a target made meanwhile, the first name taken", false, 1, true},
        {"every name taken", true, CTargetFile::kTemporaryNames, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NativeTree dst;
        dst.MakeDir("Data/MyData");
        if (c.bTargetBefore)
            dst.Write("Data/MyData/BookMNG.dat", "old");
        CPosixFileSystem fs;
        CTargetPath target(fs);
        ASSERT_TRUE(target.Resolve(CString(dst.Path().c_str()), "\\Data\\MyData\\BookMNG.dat"));
        CTargetFile file(fs);
        CFsError error;
        ASSERT_TRUE(file.Open(target, error)) << error.strCause.GetString();
        const std::string content(100000, 'n');
        file.Write(content.data(), static_cast<unsigned>(content.size()));
        if (!c.bTargetBefore)
            dst.Write("Data/MyData/BookMNG.dat", "made meanwhile");
        for (int i = 0; i < c.taken; ++i)
            dst.Write("Data/MyData/" + CTargetFile::TemporaryName(i).str(), "another's");
        EXPECT_EQ(c.bWritten, file.Commit(error));
        EXPECT_EQ(c.bWritten ? content : std::string(c.bTargetBefore ? "old" : "made meanwhile"),
                  ReadNativeFile(dst / "Data/MyData/BookMNG.dat"));
        for (int i = 0; i < CTargetFile::kTemporaryNames; ++i)
            EXPECT_EQ(i < c.taken,
                      std::ifstream(dst / ("Data/MyData/" + CTargetFile::TemporaryName(i).str()))
                          .good())
                << i;
        for (int i = 0; i < c.taken; ++i)
            EXPECT_EQ("another's",
                      ReadNativeFile(dst / ("Data/MyData/" + CTargetFile::TemporaryName(i).str())));
        if (!c.bWritten) {
            EXPECT_NE(std::string::npos, error.strCause.str().find("10 by files of those names ("))
                << error.strCause.GetString();
        }
    }
}
