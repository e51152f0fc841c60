#include "RunJournal.h"

#include "MigrationWriter.h"
#include "TargetFile.h"

#include "Mbcs.h"
#include "PathComponents.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr char kFirstName[] = "~TESSARO.JNL";

// Longer than any path a line can hold: what follows up to the line's end
// is no path, and is not kept.
constexpr size_t kMaxLine = 4096;

// The first bytes of a journal: the mark, or (a run killed before it was
// written) its first ones.
bool BeginsAsJournal(CFsFile& file) {
    const std::string& mark = CTargetFile::Mark();
    std::string bytes(mark.size(), '\0');
    size_t got = 0;
    for (unsigned n; got < bytes.size() &&
                     (n = file.Read(&bytes[got], static_cast<unsigned>(bytes.size() - got))) != 0;)
        got += n;
    return mark.compare(0, got, bytes, 0, got) == 0;
}

} // namespace

// As the restore's temporary names: 8.3 names, none of the product's.
CString CRunJournal::Name(int nIndex) {
    std::string name = kFirstName;
    if (nIndex > 0)
        name[name.size() - 5] = static_cast<char>('0' + nIndex);
    return CString(std::move(name));
}

CRunJournal::CRunJournal(CFileSystem& fs) : m_fs(fs) {}

CRunJournal::~CRunJournal() {
    End();
}

void CRunJournal::Begin(const CMigrationRoots& roots) {
    const CString folder = m_fs.TemporaryFolder();
    if (folder.IsEmpty() || LiesInRoot(folder, roots))
        return;
    Sweep(folder);
    Make(folder);
}

// A journal inside a root would be carried by a create, and put back by a
// restore, as the user's own file.
bool CRunJournal::LiesInRoot(const CString& strFolder, const CMigrationRoots& roots) {
    const std::vector<CString> folder = OnDisk(strFolder);
    for (int i = 0; i < CMigrationRoots::kCount; ++i) {
        if (roots[i].IsEmpty())
            continue;
        const std::vector<CString> root = OnDisk(roots[i]);
        if (root.empty() || root.size() > folder.size())
            continue;
        if (std::equal(root.begin(), root.end(), folder.begin(),
                       [](const CString& a, const CString& b) { return a.CompareNoCase(b) == 0; }))
            return true;
    }
    return false;
}

// The components of the path the system opens, each by its long name
// where it has a short one too.
std::vector<CString> CRunJournal::OnDisk(const CString& strPath) {
    std::vector<CString> parts = PathComponents(m_fs.WholePath(strPath));
    CString reached;
    for (size_t i = 0; i < parts.size(); ++i) {
        CString name;
        if (i > 0 && m_fs.GetLongName(reached + "\\" + parts[i], name) && !name.IsEmpty())
            parts[i] = name;
        reached = i == 0 ? parts[i] : reached + "\\" + parts[i];
    }
    return parts;
}

// Made anew, never opened as it stands: a file of the name is another
// run's journal or someone's own file.  A folder that takes no file leaves
// the run without a journal, as before there was one.
void CRunJournal::Make(const CString& strFolder) {
    for (int i = 0; i < kNames; ++i) {
        CFsError error;
        const CString path = strFolder + "\\" + Name(i);
        std::unique_ptr<CFsFile> file = m_fs.CreateNew(path, error);
        if (!file) {
            if (error.bExists || m_fs.GetStatus(path).bExists)
                continue;
            return;
        }
        try {
            file->Write(CTargetFile::Mark().data(),
                        static_cast<unsigned>(CTargetFile::Mark().size()));
        } catch (const CFileException&) {
            file.reset();
            m_fs.RemoveFile(path);
            return;
        }
        m_pFile = std::move(file);
        m_strPath = path;
        return;
    }
}

// A name that holds a file already is another's (a user's, or a live run's
// that keeps it itself): it is not listed, so that no sweep ever takes it
// for this run's.  A path is listed from its root: the sweeping run may
// work in another folder.  One the line could not hold whole (a line
// break in a native name) is not listed.  A write that fails (a full
// temporary folder) ends the listing, and the journal stays open with what
// it holds: a cut last line lists nothing.  The files of a folder follow
// one another: most paths are the last one.
void CRunJournal::Note(const CString& strPath) {
    if (!m_pFile || m_bFull || strPath.str() == m_strLast)
        return;
    if (m_noted.count(strPath.str()) != 0) {
        m_strLast = strPath.str();
        return;
    }
    if (m_fs.GetStatus(strPath).bExists)
        return;
    m_noted.insert(strPath.str());
    m_strLast = strPath.str();
    const CString whole = m_fs.WholePath(strPath);
    if (whole.IsEmpty() || whole.str().find('\n') != std::string::npos)
        return;
    const std::string line = whole.str() + '\n';
    try {
        m_pFile->Write(line.data(), static_cast<unsigned>(line.size()));
    } catch (const CFileException&) {
        m_bFull = true;
    }
}

// The journal's bytes matter no more once the run is over: a failure to
// close it leaves only the removal.
void CRunJournal::End() {
    if (!m_pFile)
        return;
    try {
        m_pFile->Close();
    } catch (const CFileException&) {
    }
    m_pFile.reset();
    m_fs.RemoveFile(m_strPath);
    m_noted.clear();
    m_strLast.clear();
    m_bFull = false;
}

// A journal that can be removed is no live run's: the run that made it was
// killed, and the files of its paths are its copies, whole or cut.  While
// any run lives, none is swept: the dead one may list the name a live run
// is writing under now, between its naming and its rename.  The run after
// sweeps.  A journal is held while it is swept, so that no other sweep
// takes it, and goes only when it is through: a sweep killed leaves it to
// the next.
void CRunJournal::Sweep(const CString& strFolder) {
    std::vector<std::pair<CString, std::unique_ptr<CFsFile>>> dead;
    for (int i = 0; i < kNames; ++i) {
        const CString path = strFolder + "\\" + Name(i);
        if (!IsJournal(path))
            continue;
        CFsError error;
        std::unique_ptr<CFsFile> file = m_fs.OpenToRemove(path, error);
        if (!file)
            return;
        dead.emplace_back(path, std::move(file));
    }
    for (const auto& journal : dead)
        m_sweeping.push_back(journal.first);
    for (auto& journal : dead)
        SweepDead(journal.first, *journal.second);
    m_sweeping.clear();
}

// A journal of the names that this sweep does not hold is a run started
// since the sweep began: it may be writing under a name a dead journal
// lists.
bool CRunJournal::HasOtherRun() const {
    const CString folder = CFileSystem::FolderOf(m_sweeping.front());
    for (int i = 0; i < kNames; ++i) {
        const CString path = folder + "\\" + Name(i);
        if (std::find(m_sweeping.begin(), m_sweeping.end(), path) == m_sweeping.end() &&
            m_fs.GetStatus(path).bExists)
            return true;
    }
    return false;
}

// Only a file of the name that begins with the mark is a journal; one that
// holds only the mark's first bytes, or none, is a run's killed before its
// mark was written: it lists nothing, and removing it loses no byte.
bool CRunJournal::IsJournal(const CString& strPath) {
    const CFsStatus status = m_fs.GetStatus(strPath);
    if (!status.bExists || status.bDirectory || m_fs.IsLink(strPath))
        return false;
    CFsError error;
    std::unique_ptr<CFsFile> file = m_fs.OpenForReading(strPath, error);
    if (!file)
        return false;
    try {
        const bool bJournal = BeginsAsJournal(*file);
        file->Close();
        return bJournal;
    } catch (const CFileException&) {
        return false; // unreadable: not known to be a journal
    }
}

// Each line is acted on as it is read: a journal may be of any length.
// Its cut last line is no path.  One that cannot be read on is removed
// all the same: what it lists further is lost, not taken for anything.
void CRunJournal::SweepDead(const CString& strPath, CFsFile& file) {
    try {
        if (!BeginsAsJournal(file))
            return;
        std::string line;
        bool bTooLong = false;
        std::vector<char> buf(64 * 1024);
        for (unsigned n; (n = file.Read(buf.data(), static_cast<unsigned>(buf.size()))) != 0;) {
            for (const char* p = buf.data(), *end = p + n; p < end;) {
                const char* brk = static_cast<const char*>(std::memchr(p, '\n', end - p));
                const char* stop = brk ? brk : end;
                if (!bTooLong)
                    line.append(p, stop);
                if (line.size() > kMaxLine) {
                    bTooLong = true;
                    line.clear();
                }
                if (brk) {
                    if (!bTooLong && !RemoveLeft(line))
                        return; // held, not removed: the next run sweeps it
                    line.clear();
                    bTooLong = false;
                }
                p = brk ? brk + 1 : end;
            }
        }
    } catch (const CFileException&) {
    }
    m_fs.RemoveOpened(file, strPath);
    try {
        file.Close();
    } catch (const CFileException&) {
    }
}

// Only files of the temporary names are taken: neither a folder nor a
// link (removing through it may remove what it leads to), nor a file a
// live run holds open.  False when a run has started since the sweep
// began: the sweep stops, and the run after it sweeps.
bool CRunJournal::RemoveLeft(const std::string& strPath) {
    const CString path(strPath);
    if (!IsAbsolute(strPath) || !IsTemporaryPath(strPath))
        return true;
    const CFsStatus status = m_fs.GetStatus(path);
    if (!status.bExists || status.bDirectory || m_fs.IsLink(path))
        return true;
    if (HasOtherRun())
        return false;
    m_fs.RemoveUnlessOpen(path);
    return true;
}

// Lines are whole paths: from a drive (X:\) or a share (\\) on Windows,
// from the root natively.
bool CRunJournal::IsAbsolute(const std::string& strPath) {
#ifdef _WIN32
    const bool bDrive = strPath.size() >= 3 && std::isalpha(static_cast<unsigned char>(strPath[0])) &&
                        strPath[1] == ':' && strPath[2] == '\\';
    return bDrive || strPath.compare(0, 2, "\\\\") == 0;
#else
    return !strPath.empty() && (strPath[0] == '/' || strPath[0] == '\\');
#endif
}

// A restore's temporary name, or a migration file's name with the writer's
// suffix and its digit: no line of another's file makes this sweep remove
// anything else.
bool CRunJournal::IsTemporaryPath(const std::string& strPath) {
    const CString path(strPath);
    // No trail byte is a "/": only the backslash is looked for by characters.
    const size_t nSlashAt = strPath.rfind('/');
    const int nSlash = std::max(path.ReverseFind('\\'),
                                nSlashAt == std::string::npos ? -1 : static_cast<int>(nSlashAt));
    if (nSlash < 0)
        return false;
    const CString name = path.Mid(nSlash + 1);
    if (CTargetFile::IsTemporaryName(name))
        return true;
    const std::string suffix = CMigrationWriter::kTempSuffix;
    std::string tail = name.str();
    if (!tail.empty() && tail.back() >= '1' && tail.back() <= '9')
        tail.pop_back();
    return tail.size() > suffix.size() &&
           tail.compare(tail.size() - suffix.size(), suffix.size(), suffix) == 0;
}
