// The migration engine's Win32 file system on real folders.
#include "Archive.h"
#include "HeldFiles.h"
#include "MemFile.h"
#include "MigrationBytes.h"
#include "MigrationReader.h"
#include "MigrationWriter.h"
#include "ProtectedInstallation.h"
#include "ScopedHandle_win.h"
#include "TargetFile.h"
#include "TempDir.h"
#include "Win32FileSystem.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <thread>

namespace {

const CDirItem* FindItem(const std::vector<CDirItem>& items, const char* name) {
    const auto it = std::find_if(items.begin(), items.end(),
                                 [&](const CDirItem& item) { return item.strName == name; });
    return it == items.end() ? nullptr : &*it;
}

std::string ReadAll(CFsFile& file) {
    std::string bytes;
    char buf[256];
    while (const unsigned n = file.Read(buf, sizeof buf))
        bytes.append(buf, n);
    return bytes;
}

// The migration file's bytes through the engine, roots 0 and 1 at dir.
void Restore(CMigrationContext& context, const CString& dir, const std::string& bytes) {
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(context, CMigrationRoots(dir, dir, ""), static_cast<int64_t>(bytes.size()))
        .Restore(ar);
}

} // namespace

TEST(Win32FileSystem, ListingHoldsHiddenAndSystemEntriesButNotDots) {
    TempDir dir;
    WriteFileBytes(dir / "hidden.dat", "h");
    WriteFileBytes(dir / "system.dat", "s");
    ::CreateDirectoryA(dir / "Sub", nullptr);
    ASSERT_TRUE(::SetFileAttributesA(dir / "hidden.dat", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesA(dir / "system.dat", FILE_ATTRIBUTE_SYSTEM));
    CWin32FileSystem fs;
    std::vector<CDirItem> items;
    ASSERT_TRUE(fs.ListDirectory(dir.Path(), items));
    EXPECT_EQ(3u, items.size());
    ASSERT_NE(nullptr, FindItem(items, "hidden.dat"));
    ASSERT_NE(nullptr, FindItem(items, "system.dat"));
    ASSERT_NE(nullptr, FindItem(items, "Sub"));
    EXPECT_TRUE(FindItem(items, "Sub")->bDirectory);
    EXPECT_FALSE(FindItem(items, "hidden.dat")->bDirectory);
    ::SetFileAttributesA(dir / "hidden.dat", FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesA(dir / "system.dat", FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FileSystem, ReadsAFileThatAnotherHandleHoldsOpenForWriting) {
    TempDir dir;
    const CString path = dir / "kyuyo.xls";
    WriteFileBytes(path, "book in use");
    const CFileHandle writer(::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    CWin32FileSystem fs;
    CFsError error;
    const std::unique_ptr<CFsFile> file = fs.OpenForReading(path, error);
    ASSERT_NE(nullptr, file) << error.strCause.GetString();
    EXPECT_EQ(11, file->GetLength());
    EXPECT_EQ("book in use", ReadAll(*file));
}

TEST(Win32FileSystem, JapaneseNamesWithTrailByte5CAreCreatedListedAndRead) {
    TempDir dir;
    CWin32FileSystem fs;
    const CString sub = dir / "ソフト";
    ASSERT_TRUE(fs.MakeDirectory(sub));
    CFsError error;
    {
        const std::unique_ptr<CFsFile> file = fs.CreateOrEmpty(sub + "\\表示.dat", error);
        ASSERT_NE(nullptr, file) << error.strCause.GetString();
        file->Write("pay", 3);
        file->Close();
    }
    std::vector<CDirItem> items;
    ASSERT_TRUE(fs.ListDirectory(sub, items));
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ("表示.dat", items[0].strName);
    EXPECT_FALSE(items[0].bSkip);
    const CFsStatus status = fs.GetStatus(sub + "\\表示.dat");
    EXPECT_TRUE(status.bExists);
    EXPECT_EQ(3, status.nSize);
    const std::unique_ptr<CFsFile> file = fs.OpenForReading(sub + "\\表示.dat", error);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("pay", ReadAll(*file));
}

// A target that Windows would not replace (held open by another program,
// read-only, hidden, system) keeps its bytes: the restore reports it.  The
// attributes are asked before the open, so Wine, which replaces a hidden
// file and lets root write a read-only one, skips the same files.
TEST(Win32FileSystem, TargetWindowsWouldNotReplaceKeepsItsBytes) {
    const struct {
        const char* what;
        DWORD attributes; // 0: held open instead
    } cases[] = {{"held open", 0},
                 {"read-only", FILE_ATTRIBUTE_READONLY},
                 {"hidden", FILE_ATTRIBUTE_HIDDEN},
                 {"system", FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const CString path = dir / "kyuyo.xls";
        WriteFileBytes(path, "old");
        CFileHandle held;
        if (c.attributes) {
            ASSERT_TRUE(::SetFileAttributesA(path, c.attributes));
        } else {
            held.Attach(::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
        }
        CWin32FileSystem fs;
        CFsError error;
        EXPECT_EQ(nullptr, fs.CreateOrEmpty(path, error));
        EXPECT_NE(-1, error.strCause.Find("kyuyo.xls")) << error.strCause.GetString();
        held.Close();
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ("old", ReadFileBytes(path));
    }
}

TEST(Win32FileSystem, NameWithoutCodePage932FormIsSkippedWhenListed) {
    TempDir dir;
    WriteFileBytes(dir / "ok.dat", "ok");
    const std::wstring wide =
        std::wstring(dir.Path().GetString(), dir.Path().GetString() + dir.Path().GetLength()) +
        L"\\\x0411\x0105.dat"; // Cyrillic and Polish letters
    ASSERT_TRUE(CFileHandle(
        ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    CWin32FileSystem fs;
    std::vector<CDirItem> items;
    ASSERT_TRUE(fs.ListDirectory(dir.Path(), items));
    ASSERT_EQ(2u, items.size());
    for (const CDirItem& item : items) {
        SCOPED_TRACE(item.strName.GetString());
        EXPECT_EQ(item.strName != "ok.dat", item.bSkip);
    }
    ::DeleteFileW(wide.c_str());
}

// The system's own short names (Wine forms them with its own hash, such as
// DENM~N0O.DAT) and a name with trailing dots reach the long name; a
// wildcard, a missing file and a missing folder reach none.
TEST(Win32FileSystem, LongNameIsTheSystemsNameOfAnExistingEntry) {
    TempDir dir;
    ASSERT_TRUE(::CreateDirectoryA(dir / "Excel_Old", nullptr));
    WriteFileBytes(dir / "Excel_Old\\DenMainData.dat", "d");
    char buf[MAX_PATH];
    ASSERT_NE(0u, ::GetShortPathNameA(dir / "Excel_Old\\DenMainData.dat", buf, sizeof buf));
    const CString shortPath(buf);
    const CString shortFolder = shortPath.Left(shortPath.ReverseFind('\\'));
    const CString shortName = shortPath.Mid(shortPath.ReverseFind('\\') + 1);
    ASSERT_NE("DenMainData.dat", shortName.str());
    const struct {
        CString path;
        const char* longName; // null: none
    } cases[] = {
        {shortFolder + "\\" + shortName, "DenMainData.dat"},
        {shortFolder, "Excel_Old"},
        {dir / "EXCEL_OLD\\denmaindata.DAT", "DenMainData.dat"},
        {dir / "Excel_Old\\DenMainData.dat.", "DenMainData.dat"},
        {dir / "Excel_Old\\DenMain*.dat", nullptr},
        {dir / "Excel_Old\\Den?ainData.dat", nullptr},
        {dir / "Excel_Old\\missing.dat", nullptr},
        {dir / "missing\\DenMainData.dat", nullptr},
    };
    CWin32FileSystem fs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.GetString());
        CString name = "untouched";
        EXPECT_EQ(c.longName != nullptr, fs.GetLongName(c.path, name));
        EXPECT_EQ(c.longName ? c.longName : "untouched", name);
    }
}

// Every other spelling of each protected file, Wine's short names among
// them, through the engine into real folders: each is kept out and no
// protected file changes.
TEST(Win32FileSystem, EveryOtherSpellingOfAProtectedFileIsKeptOut) {
    TempDir dir;
    const ProtectedInstallation target(dir.Path(), dir.Path());
    target.Lay("the target's own");
    const auto before = target.Contents();
    int entries = 0;
    const std::string bytes = FileOfEverySpelling(target.SystemShortNames(), "restored", &entries);
    // Wine's short names of seven files and one folder are among them.
    EXPECT_EQ(11 * ProtectedFiles().size() + 7 * 3 + 2, static_cast<size_t>(entries));
    CWin32FileSystem fs;
    CMigrationContext context(fs);
    Restore(context, dir.Path(), bytes);
    EXPECT_EQ(before, target.Contents());
    EXPECT_EQ(static_cast<size_t>(entries), context.m_skipped.size());
    for (const CSkippedEntry& skip : context.m_skipped) {
        SCOPED_TRACE(skip.strPath.GetString());
        EXPECT_EQ(CSkipReason::filtered, skip.nReason);
    }
    EXPECT_EQ(0, context.m_nWritten);
}

// A restore finds each target in its folder's listing: a hidden file is
// skipped under every spelling that the system resolves to it (letter case,
// a full-width letter of the other case, its short name), and a file that
// the restore made is replaced through its short name, not doubled.
TEST(Win32FileSystem, ListedTargetIsFoundUnderEverySpellingOfIt) {
    TempDir dir;
    const CString excel = dir / "Excel";
    ASSERT_TRUE(::CreateDirectoryA(excel, nullptr));
    const std::string wide = "Ｋｙｕｙｏ.dat";
    for (const std::string& name : {std::string("KyuyoData2024.dat"), wide}) {
        WriteFileBytes(excel + "\\" + name.c_str(), "old");
        ASSERT_TRUE(::SetFileAttributesA(excel + "\\" + name.c_str(), FILE_ATTRIBUTE_HIDDEN));
    }
    // The short name the system gives a new file of that name, as it will
    // give it to the restored one.
    TempDir probe;
    WriteFileBytes(probe / "NewLongName2024.dat", "");
    char shortNew[MAX_PATH], shortOld[MAX_PATH];
    ASSERT_NE(0u, ::GetShortPathNameA(probe / "NewLongName2024.dat", shortNew, MAX_PATH));
    ASSERT_NE(0u, ::GetShortPathNameA(excel + "\\KyuyoData2024.dat", shortOld, MAX_PATH));
    const auto NameOf = [](const char* path) { return std::string(std::strrchr(path, '\\') + 1); };
    const struct {
        std::string name, content;
    } entries[] = {
        {"kyuyodata2024.DAT", "a"},     {NameOf(shortOld), "b"},     {"ｋｙｕｙｏ.dat", "c"},
        {"NewLongName2024.dat", "new"}, {NameOf(shortNew), "newer"},
    };
    std::string bytes = Header(static_cast<uint16_t>(std::size(entries)));
    for (const auto& e : entries)
        bytes += Record(3, 1, "\\Excel", e.name, e.content, 0);
    CWin32FileSystem fs;
    CMigrationContext context(fs);
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(context, CMigrationRoots(dir.Path(), dir.Path(), ""),
                     static_cast<int64_t>(bytes.size()))
        .Restore(ar);
    ASSERT_EQ(3u, context.m_skipped.size());
    for (const CSkippedEntry& skip : context.m_skipped) {
        SCOPED_TRACE(skip.strPath.GetString());
        EXPECT_EQ(CSkipReason::cannotWrite, skip.nReason);
    }
    for (const std::string& name : {std::string("KyuyoData2024.dat"), wide})
        ::SetFileAttributesA(excel + "\\" + name.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::map<std::string, std::string> expected = {
        {"KyuyoData2024.dat", "old"}, {wide, "old"}, {"NewLongName2024.dat", "newer"}};
    EXPECT_EQ(expected, FolderContents(excel));
}

// A temporary file is made anew or not at all, and the sweep of another
// restore leaves it while it is open: the share mode refuses the delete.
TEST(Win32FileSystem, TemporaryFileIsMadeAnewAndKeptWhileOpen) {
    TempDir dir;
    const CString path = dir / "~TESSARO.TMP";
    CWin32FileSystem fs;
    CFsError error;
    std::unique_ptr<CFsFile> file = fs.CreateNew(path, error);
    ASSERT_NE(nullptr, file) << error.strCause.GetString();
    file->Write("live", 4);
    CFsError again;
    EXPECT_EQ(nullptr, fs.CreateNew(path, again));
    EXPECT_TRUE(again.bExists);
    EXPECT_FALSE(fs.RemoveUnlessOpen(path));
    EXPECT_TRUE(fs.GetStatus(path).bExists);
    file->Close();
    file.reset();
    EXPECT_TRUE(fs.RemoveUnlessOpen(path));
    EXPECT_FALSE(fs.GetStatus(path).bExists);
}

// An entry whose folder and name are empty names its root: it is refused,
// and the folder beside the root whose name is the root's without its last
// letter keeps its files, the temporary name among them.
TEST(Win32FileSystem, EntryThatNamesTheRootTouchesNothingBesideIt) {
    TempDir dir;
    const CString root = dir.Path() + "\\Data0";
    ASSERT_TRUE(::CreateDirectoryA(root, nullptr));
    ASSERT_TRUE(::CreateDirectoryA(dir.Path() + "\\Data", nullptr));
    WriteFileBytes(dir.Path() + "\\Data\\~TESSARO.TMP", "a neighbour's own");
    CWin32FileSystem fs;
    CMigrationContext context(fs);
    const std::string bytes = Header(1) + Record(4, 0, "", "", "data", 0);
    CMemFile mem(bytes);
    CArchive ar(&mem, CArchive::load);
    CMigrationReader(context, CMigrationRoots(root, root, ""), static_cast<int64_t>(bytes.size()))
        .Restore(ar);
    EXPECT_EQ("a neighbour's own", ReadFileBytes(dir.Path() + "\\Data\\~TESSARO.TMP"));
    ASSERT_EQ(1u, context.m_skipped.size());
    EXPECT_EQ(CSkipReason::refusedPath, context.m_skipped[0].nReason);
}

// Only a marked file of a temporary name is a killed restore's: a user's
// own file of such a name stays beside a restored file, is carried by
// "作成" and is replaced whole by its entry; the marked one goes, and is
// never carried.  An older file of the user's is read back as written.
TEST(Win32FileSystem, UsersFileOfATemporaryNameIsKeptCarriedAndRestored) {
    TempDir src, dst;
    const CString srcData = src.Path() + "\\Data\\MyData";
    const CString dstData = dst.Path() + "\\Data\\MyData";
    for (const CString& dir : {src.Path() + "\\Data", srcData, dst.Path() + "\\Data", dstData})
        ASSERT_TRUE(::CreateDirectoryA(dir, nullptr));
    WriteFileBytes(srcData + "\\~TESSARO.TMP", "the user's own");
    WriteFileBytes(srcData + "\\~TESSAR2.TMP", CTargetFile::Mark() + "a killed restore's");
    WriteFileBytes(srcData + "\\BookMNG.dat", "books");
    WriteFileBytes(dstData + "\\~tessaro.tmp", "older");
    WriteFileBytes(dstData + "\\~TESSAR1.TMP", "another of the user's");
    WriteFileBytes(dstData + "\\~TESSAR3.TMP", CTargetFile::Mark() + "a killed restore's");
    CWin32FileSystem fs;
    CMigrationContext out(fs);
    CMigrationWriter writer(out, CMigrationRoots(src.Path(), src.Path(), ""));
    ASSERT_TRUE(writer.BuildList());
    CMemFile file;
    CArchive store(&file, CArchive::store);
    writer.Write(store);
    store.Close();
    EXPECT_TRUE(out.m_skipped.empty());
    const std::string bytes = file.Bytes();
    EXPECT_NE(std::string::npos, bytes.find("~TESSARO.TMP"));
    EXPECT_EQ(std::string::npos, bytes.find("~TESSAR2.TMP"));

    CMigrationContext in(fs);
    CMemFile mem(bytes);
    CArchive load(&mem, CArchive::load);
    CMigrationReader(in, CMigrationRoots(dst.Path(), dst.Path(), ""),
                     static_cast<int64_t>(bytes.size()))
        .Restore(load);
    EXPECT_TRUE(in.m_skipped.empty());
    EXPECT_EQ("the user's own", ReadFileBytes(dstData + "\\~TESSARO.TMP"));
    EXPECT_EQ("another of the user's", ReadFileBytes(dstData + "\\~TESSAR1.TMP"));
    EXPECT_EQ("books", ReadFileBytes(dstData + "\\BookMNG.dat"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dstData + "\\~TESSAR3.TMP"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dstData + "\\~TESSAR2.TMP"));
}

// The writer's transient file: nothing of it is left when it is dropped or
// cannot be put in place, and it is put in place whole otherwise.
TEST(Win32FileSystem, TransientFileStaysOnlyWhenPutInPlace) {
    struct Case {
        const char* what;
        bool bCommit;
        bool bTargetFolderMissing;
        bool bMoved;
    };
    const Case cases[] = {
        {"put in place over an older file", true, false, true},
        {"dropped", false, false, false},
        {"target folder missing", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        WriteFileBytes(dir / "m.iko", "older");
        CWin32FileSystem fs;
        const CString temp = dir / "m.iko.~tmp";
        const CString target = c.bTargetFolderMissing ? dir / "none\\m.iko" : dir / "m.iko";
        CFsError error;
        std::unique_ptr<CFsFile> file = fs.CreateTransient(temp, error);
        ASSERT_NE(nullptr, file) << error.strCause.GetString();
        EXPECT_TRUE(file->IsTransient());
        file->Write("newer", 5);
        CFsError again;
        EXPECT_EQ(nullptr, fs.CreateNew(temp, again));
        if (c.bCommit) {
            EXPECT_EQ(c.bMoved, fs.CloseOver(std::move(file), temp, target, error));
        }
        file.reset();
        EXPECT_EQ(c.bMoved ? "newer" : "older", ReadFileBytes(dir / "m.iko"));
        EXPECT_FALSE(FileExists(temp));
    }
}

// Another restore's temporary files, marked for deletion while it writes
// them, may answer as no file at all: a restore into the same folder takes
// the next name, never fails for it nor writes into them, and nothing of
// either is left once both are done.
TEST(Win32FileSystem, RestoreBesideAnotherRestoresLiveFilesTakesTheNextName) {
    for (const int held : {1, 3}) {
        SCOPED_TRACE(held);
        TempDir dst;
        const CString data = dst.Path() + "\\Data\\MyData";
        for (const CString& dir : {dst.Path() + "\\Data", data})
            ASSERT_TRUE(::CreateDirectoryA(dir, nullptr));
        WriteFileBytes(data + "\\BookMNG.dat", "the old book map");
        CWin32FileSystem fs;
        std::vector<std::unique_ptr<CFsFile>> others;
        for (int i = 0; i < held; ++i) {
            CFsError error;
            others.push_back(
                fs.CreateTransient(data + "\\" + CTargetFile::TemporaryName(i), error));
            ASSERT_NE(nullptr, others.back()) << error.strCause.GetString();
            ASSERT_TRUE(others.back()->IsTransient());
            others.back()->Write("other", 5);
        }
        CMigrationContext context(fs);
        Restore(context, dst.Path(),
                Header(1) + Record(4, 0, "\\Data\\MyData", "BookMNG.dat", "the new book map", 0));
        EXPECT_TRUE(context.m_skipped.empty()) << context.m_skipped[0].strCause.GetString();
        EXPECT_EQ("the new book map", ReadFileBytes(data + "\\BookMNG.dat"));
        others.clear();
        std::vector<CDirItem> items;
        ASSERT_TRUE(fs.ListDirectory(data, items));
        ASSERT_EQ(1u, items.size());
        EXPECT_EQ("BookMNG.dat", items[0].strName);
    }
}

// A rename over a file that another program has open for a moment (as a
// rename over the same target does under Wine) waits for it; one over a
// folder is refused at once.
TEST(Win32FileSystem, RenameOverAFileOpenForAMomentWaitsForIt) {
    TempDir dir;
    const CString from = dir / "~TESSARO.TMP", to = dir / "BookMNG.dat";
    WriteFileBytes(from, "newer");
    WriteFileBytes(to, "older");
    CFileHandle open(::CreateFileA(to, GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
    ASSERT_TRUE(open);
    std::thread closer([&open] {
        ::Sleep(60);
        open.Close();
    });
    CWin32FileSystem fs;
    CFsError error;
    const bool bMoved = fs.MoveOver(from, to, error);
    closer.join();
    EXPECT_TRUE(bMoved) << error.strCause.GetString();
    EXPECT_EQ("newer", ReadFileBytes(to));
    EXPECT_FALSE(FileExists(from));

    WriteFileBytes(from, "newer");
    ASSERT_TRUE(::CreateDirectoryA(dir / "Data", nullptr));
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(fs.MoveOver(from, dir / "Data", error));
    EXPECT_GT(100u, ::GetTickCount() - start);
    EXPECT_EQ("newer", ReadFileBytes(from));
}

// Under Wine a Unix link shows as the file or folder it leads to.  A link
// of a temporary name is nobody's restore file: the sweep leaves it and
// what it leads to outside the roots, empty or marked, and the restore
// writes under another name.  A folder that is a link is not followed.
TEST(Win32FileSystem, LinksInTheTargetAreNeitherRemovedThroughNorFollowed) {
    TempDir dst, outside;
    const CString data = dst.Path() + "\\Data\\MyData";
    for (const CString& dir : {dst.Path() + "\\Data", data})
        ASSERT_TRUE(::CreateDirectoryA(dir, nullptr));
    const std::string marked = CTargetFile::Mark() + "another program's";
    WriteFileBytes(outside / "marked.bin", marked);
    WriteFileBytes(outside / "other.lock", "");
    WriteFileBytes(data + "\\BookMNG.dat", "the old book map");
    const CString link0 = data + "\\" + CTargetFile::TemporaryName(0);
    const CString link1 = data + "\\" + CTargetFile::TemporaryName(1);
    const Holding links[] = {HoldUnixLink(link0, outside / "marked.bin"),
                             HoldUnixLink(link1, outside / "other.lock"),
                             HoldUnixLink(dst / "Excel", outside.Path())};
    CWin32FileSystem fs;
    EXPECT_TRUE(fs.IsLink(link0));
    EXPECT_TRUE(fs.IsLink(dst / "Excel"));
    EXPECT_FALSE(fs.IsLink(data + "\\BookMNG.dat"));
    EXPECT_FALSE(fs.IsLink(data));
    CMigrationContext context(fs);
    Restore(context, dst.Path(),
            Header(2) + Record(4, 0, "\\Data\\MyData", "BookMNG.dat", "the new book map", 0) +
                Record(4, 0, "\\Excel", "kyuyo.xls", "a book", 0));
    EXPECT_EQ("the new book map", ReadFileBytes(data + "\\BookMNG.dat"));
    EXPECT_EQ(marked, ReadFileBytes(outside / "marked.bin"));
    EXPECT_TRUE(FileExists(outside / "other.lock"));
    EXPECT_EQ(marked, ReadFileBytes(link0));
    EXPECT_TRUE(FileExists(link1));
    EXPECT_FALSE(FileExists(outside / "kyuyo.xls"));
    ASSERT_EQ(1u, context.m_skipped.size());
    EXPECT_NE(-1, context.m_skipped[0].strCause.Find("is a link to another folder"))
        << context.m_skipped[0].strCause.GetString();
}
