#include "TargetFile.h"

#include "RunJournal.h"
#include "TargetPath.h"

#include <algorithm>

// Not names of the product's (no ".dat", ".xls", ".frm" to be taken for
// one), 8.3 names (no short names of their own), and names no product
// folder holds otherwise.  A restore takes the first one free, so that two
// restores into one folder at the same time (two ikotool runs; Tessaro's
// mutex keeps a second Tessaro out) never write into one file.  A user may
// still have a file of such a name: only the mark tells a restore's own.
CString CTargetFile::TemporaryName(int nIndex) {
    return TemporaryPath(std::string(), nIndex);
}

namespace {

constexpr char kFirstTemporaryName[] = "~TESSARO.TMP";
constexpr size_t kTemporaryNameLength = sizeof kFirstTemporaryName - 1;

} // namespace

// strFolder, a backslash unless it is empty, and the name, in one piece:
// every restored file's path is made so.
CString CTargetFile::TemporaryPath(const std::string& strFolder, int nIndex) {
    std::string path;
    path.reserve(strFolder.size() + 1 + kTemporaryNameLength);
    path = strFolder;
    if (!path.empty())
        path += '\\';
    path += kFirstTemporaryName;
    if (nIndex > 0)
        path[path.size() - 5] = static_cast<char>('0' + nIndex);
    return CString(std::move(path));
}

bool CTargetFile::IsTemporaryName(const CString& strName) {
    return TemporaryIndex(strName) >= 0;
}

// Most names differ from them in length, and are settled without a copy.
int CTargetFile::TemporaryIndex(const CString& strName) {
    if (static_cast<size_t>(strName.GetLength()) != kTemporaryNameLength)
        return -1;
    for (int i = 0; i < kTemporaryNames; ++i)
        if (strName.CompareNoCase(TemporaryName(i)) == 0)
            return i;
    return -1;
}

// Bytes no file of the product begins with, and few of anyone's: a zero
// byte, text, another zero byte.
const std::string& CTargetFile::Mark() {
    static const std::string mark("\0Tessaro restore\0", 17);
    return mark;
}

namespace {

// Up to nCount bytes, fewer only at the end.
std::string ReadUpTo(CFsFile& file, size_t nCount) {
    std::string bytes(nCount, '\0');
    size_t got = 0;
    while (got < nCount) {
        const unsigned n = file.Read(&bytes[got], static_cast<unsigned>(nCount - got));
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

bool PassOver(CFsFile& file, int64_t nCount) {
    if (file.Skip(static_cast<uint64_t>(nCount)) >= 0)
        return true;
    char buf[4096];
    while (nCount > 0) {
        const unsigned n = file.Read(buf, static_cast<unsigned>(std::min<int64_t>(nCount, 4096)));
        if (n == 0)
            return false;
        nCount -= n;
    }
    return true;
}

} // namespace

// A file with a name is marked at its start while it is written, and at
// its end while its first bytes go in, until the end is cut off: what a
// power cut (a file marked for deletion stays then) or a restore of an
// older version left is marked whatever moment it came at.  Read as any
// file, without a lock: a live restore's file may be read too (its own run
// then keeps it).
bool CTargetFile::IsUnfinished(CFileSystem& fs, const CString& strPath) {
    if (!IsTemporaryName(strPath.Mid(strPath.ReverseFind('\\') + 1)))
        return false;
    CFsError error;
    const std::unique_ptr<CFsFile> file = fs.OpenForReading(strPath, error);
    if (!file)
        return false;
    const auto nMark = static_cast<int64_t>(Mark().size());
    try {
        // Empty, it is a restore's killed before its mark went in; removing
        // it loses no byte (and a migration makes no file of an empty entry).
        const int64_t nLength = file->GetLength();
        if (nLength == 0)
            return true;
        if (ReadUpTo(*file, Mark().size()) == Mark())
            return true;
        return nLength >= 2 * nMark && PassOver(*file, nLength - 2 * nMark) &&
               ReadUpTo(*file, Mark().size()) == Mark();
    } catch (const CFileException&) {
        return false; // unreadable: not known to be a restore's
    }
}

// Found before this restore writes into the folder, marked files of the
// temporary names are ended runs'; one that another restore has open is
// its live file, and stays.  A file of such a name without the mark is
// someone's own and stays too.  So does a link of such a name: no restore
// makes one, and removing through it may remove what it leads to, outside
// the roots (Wine removes the file a Unix link leads to, not the link).
void CTargetFile::RemoveStale(CFileSystem& fs, const CString& strFolder) {
    for (int i = 0; i < kTemporaryNames; ++i) {
        const CString path = strFolder + "\\" + TemporaryName(i);
        if (IsUnfinished(fs, path) && !fs.IsLink(path))
            fs.RemoveUnlessOpen(path);
    }
}

CTargetFile::CTargetFile(CFileSystem& fs, CRunJournal* pJournal) : m_fs(fs), m_pJournal(pJournal) {}

// Whatever ended the copy, the temporary file goes and the target stays.
// Its name is freed only where no other restore has taken it meanwhile.
CTargetFile::~CTargetFile() {
    Discard();
}

// A transient file goes with its handle; its name, if it has one, may
// hold another restore's file by now.
void CTargetFile::Discard() {
    if (!m_pFile)
        return;
    const bool bTransient = m_pFile->IsTransient();
    m_pFile.reset();
    if (!bTransient)
        m_fs.RemoveUnlessOpen(m_strTemporary);
}

// Windows refuses to replace a read-only file, and a hidden or system one
// opened for creation as a normal one: such a target is skipped as before,
// by the attributes the target's path found, so that Wine, which would
// replace them, skips the same files.  A target of a temporary name is a
// user's file like any other, written under another of the names.
bool CTargetFile::Open(const CTargetPath& target, CFsError& error) {
    m_strTarget = target.Path();
    const CFsStatus& status = target.Status();
    if (status.bProtected && !status.bDirectory) {
        error.strCause =
            CFileException(CFileException::accessDenied, 5, m_strTarget).GetErrorMessage();
        return false;
    }
    m_bReplacing = status.bExists;
    if (!CreateTemporary(target.Folder(), error))
        return false;
    // A file without a name needs no mark: nothing of it outlasts the run.
    m_bMarked = m_pFile->HasName();
    if (!m_bMarked)
        return true;
    try {
        m_pFile->Write(Mark().data(), static_cast<unsigned>(Mark().size()));
    } catch (CFileException& e) {
        NameTarget(e);
        throw;
    }
    return true;
}

// Made anew, never opened as it stands: a file of the name is another
// restore's, live, or a killed one's that the sweep could not remove, or a
// user's; a folder of the name is no restore's at all.  The target's own
// name is passed over.  When every name is taken, the user is told what
// holds them.  Transient where the system allows: a run killed before
// the rename leaves nothing.
bool CTargetFile::CreateTemporary(const CString& strFolder, CFsError& error) {
    m_nNameAt = strFolder.GetLength() + 1;
    const int nOwn = TemporaryIndex(m_strTarget.Mid(m_nNameAt));
    int nFolders = 0;
    for (int i = 0; i < kTemporaryNames; ++i) {
        error = CFsError();
        m_strTemporary = TemporaryPath(strFolder.str(), i);
        if (i == nOwn) {
            error.bExists = true;
            continue;
        }
        if (m_pJournal)
            m_pJournal->Note(m_strTemporary);
        m_pFile = m_fs.CreateUnnamed(m_strTemporary, error);
        if (m_pFile) {
            m_nTemporary = i;
            return true;
        }
        const CFsStatus status = m_fs.GetStatus(m_strTemporary);
        if (!error.bExists && !status.bExists && !IsHeldUnseen(error)) {
            // The system names the file it could not make, which the user
            // never sees: the folder is what refused it.
            error.strCause.Replace(m_strTemporary, strFolder);
            return false;
        }
        if (status.bDirectory)
            ++nFolders;
    }
    error.strCause = TakenNames(nFolders, kTemporaryNames - nFolders);
    return false;
}

// A name refused in a folder that takes new files is held by a file no
// status shows: another restore's, marked for deletion while it writes it.
bool CTargetFile::IsHeldUnseen(const CFsError& error) const {
    CFsError check;
    return error.bDenied && m_fs.CheckCreate(m_strTemporary, false, check);
}

// A file of a temporary name without the mark may also be a whole copy
// that a restore ended just before its rename left: the reason says both.
CString CTargetFile::TakenNames(int nFolders, int nFiles) {
    CString cause = "every temporary name of its folder (" + TemporaryName(0) + " to " +
                    TemporaryName(kTemporaryNames - 1) + ") is taken: ";
    CString part;
    if (nFolders > 0) {
        part.Format("%d by folders of that name", nFolders);
        cause += part;
    }
    if (nFiles > 0) {
        part.Format("%s%d by files of those names (other restores' live files, or copies "
                    "left by restores ended just before their rename)",
                    nFolders > 0 ? ", " : "", nFiles);
        cause += part;
    }
    return cause;
}

namespace {

// Content up to this length is held and written in one piece at the end:
// one call of the system per file instead of two.
constexpr size_t kHeldWhole = 64 * 1024;

} // namespace

// The mark stays in the file's first bytes until the rest is written.
unsigned CTargetFile::Read(void* /*pBuf*/, unsigned /*nCount*/) {
    return 0;
}

void CTargetFile::Write(const void* pBuf, unsigned nCount) {
    m_nLength += nCount;
    const char* p = static_cast<const char*>(pBuf);
    if (!m_bStreaming && m_strHeld.size() + nCount <= kHeldWhole) {
        m_strHeld.append(p, nCount);
        return;
    }
    if (!m_bStreaming) {
        m_bStreaming = true;
        const std::string held = std::move(m_strHeld);
        m_strHeld.clear();
        WriteAfterMark(held.data(), held.size());
    }
    WriteAfterMark(p, nCount);
}

// The first bytes are held back; the rest goes after the mark.
void CTargetFile::WriteAfterMark(const char* p, size_t nCount) {
    if (!m_bMarked) {
        m_pFile->Write(p, static_cast<unsigned>(nCount));
        return;
    }
    const size_t nFirst = std::min(Mark().size() - m_strHeld.size(), nCount);
    m_strHeld.append(p, nFirst);
    if (nCount > nFirst)
        m_pFile->Write(p + nFirst, static_cast<unsigned>(nCount - nFirst));
}

// The bytes reach the disk before they replace an older file, so that not
// even a power cut leaves it cut; a file that is new is not waited for (a
// flush per file costs more than the whole extraction of many small files,
// and the migration file still holds what a cut new file lacks).  While the
// held bytes replace the mark at the start and the file is flushed, a
// second mark at the end tells the file a restore's; cutting it off
// changes only the length, which the system keeps in order with the rename
// right after it.  A file shorter than the mark is cut after its bytes.
// A file without a name has no mark: its bytes go in as they are.
bool CTargetFile::Commit(CFsError& error) {
    if (m_bMarked) {
        Unmark();
    } else {
        if (!m_strHeld.empty())
            m_pFile->Write(m_strHeld.data(), static_cast<unsigned>(m_strHeld.size()));
        if (m_bReplacing)
            m_pFile->Flush();
    }
    bool bPlaced = false;
    if (!PlaceNew(bPlaced, error))
        return false;
    if (bPlaced)
        return true;
    if (!Name(error))
        return false;
    const bool bTransient = m_pFile->IsTransient();
    if (m_fs.CloseOver(std::move(m_pFile), m_strTemporary, m_strTarget, error))
        return true;
    // A transient file is gone already; the name may be another's now.
    if (!bTransient)
        m_fs.RemoveUnlessOpen(m_strTemporary);
    return false;
}

void CTargetFile::Unmark() {
    const auto nMark = static_cast<int64_t>(Mark().size());
    if (m_bReplacing)
        m_pFile->WriteAt(std::max(m_nLength, nMark), Mark().data(),
                         static_cast<unsigned>(Mark().size()));
    m_pFile->WriteAt(0, m_strHeld.data(), static_cast<unsigned>(m_strHeld.size()));
    if (m_bReplacing)
        m_pFile->Flush();
    if (m_bReplacing || m_nLength < nMark)
        m_pFile->SetLength(m_nLength);
}

// A file made without a name for a target that did not exist takes the
// target's name at once: no temporary name ever names it.  A target made
// meanwhile is replaced through a temporary name, as an older file is.
bool CTargetFile::PlaceNew(bool& bPlaced, CFsError& error) {
    if (m_pFile->HasName() || m_bReplacing)
        return true;
    if (!m_fs.GiveName(*m_pFile, m_strTarget, error))
        return error.bExists;
    bPlaced = true;
    const std::unique_ptr<CFsFile> file = std::move(m_pFile);
    file->Close();
    return true;
}

// A file made without a name gets the first free temporary name only now:
// another restore may have taken the one that was free at its making.
bool CTargetFile::Name(CFsError& error) {
    if (m_pFile->HasName())
        return true;
    const std::string folder = m_strTarget.str().substr(0, static_cast<size_t>(m_nNameAt - 1));
    const int nOwn = TemporaryIndex(m_strTarget.Mid(m_nNameAt));
    int nFolders = 0;
    for (int i = 0; i < kTemporaryNames; ++i) {
        error = CFsError();
        const CString path = TemporaryPath(folder, i);
        if (i == nOwn)
            continue;
        if (i >= m_nTemporary && m_pJournal)
            m_pJournal->Note(path);
        if (i >= m_nTemporary && m_fs.GiveName(*m_pFile, path, error)) {
            m_strTemporary = path;
            return true;
        }
        if (i >= m_nTemporary && !error.bExists)
            return false;
        nFolders += m_fs.GetStatus(path).bDirectory;
    }
    error.strCause = TakenNames(nFolders, kTemporaryNames - nFolders);
    return false;
}

void CTargetFile::NameTarget(CFileException& e) const {
    if (e.m_strFileName == m_strTemporary)
        e.m_strFileName = m_strTarget;
}
