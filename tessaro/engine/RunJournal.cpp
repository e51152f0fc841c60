#include "RunJournal.h"

#include "MigrationWriter.h"
#include "TargetFile.h"

#include <algorithm>

namespace {

constexpr char kFirstName[] = "~TESSARO.JNL";

// The bytes of a file up to its end, or only its first ones when they are
// not the mark: someone's own file of the name is not read through.
std::string ReadJournal(CFsFile& file) {
    const std::string& mark = CTargetFile::Mark();
    std::string bytes;
    char buf[4096];
    for (unsigned n; (n = file.Read(buf, sizeof buf)) != 0;) {
        bytes.append(buf, n);
        if (bytes.size() >= mark.size() && bytes.compare(0, mark.size(), mark) != 0)
            break;
    }
    return bytes;
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

void CRunJournal::Begin() {
    const CString folder = m_fs.TemporaryFolder();
    if (folder.IsEmpty())
        return;
    Sweep(folder);
    Make(folder);
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
// killed, and the files of its paths are its copies, whole or cut.  Its
// paths are read before it goes, so that no other sweep removes it first.
void CRunJournal::Sweep(const CString& strFolder) {
    for (int i = 0; i < kNames; ++i) {
        const CString path = strFolder + "\\" + Name(i);
        std::vector<std::string> paths;
        if (!ReadDead(path, paths))
            continue;
        for (const std::string& left : paths)
            RemoveLeft(left);
    }
}

// Only a file of the name that begins with the mark is a journal; its cut
// last line is no path.  One that holds only the mark's first bytes, or
// none, is a run's killed before its mark was written: it lists nothing,
// and removing it loses no byte.
bool CRunJournal::ReadDead(const CString& strPath, std::vector<std::string>& paths) {
    const CFsStatus status = m_fs.GetStatus(strPath);
    if (!status.bExists || status.bDirectory || m_fs.IsLink(strPath))
        return false;
    CFsError error;
    std::unique_ptr<CFsFile> file = m_fs.OpenForReading(strPath, error);
    if (!file)
        return false;
    std::string bytes;
    try {
        bytes = ReadJournal(*file);
        file->Close();
    } catch (const CFileException&) {
        return false; // unreadable: not known to be a journal
    }
    file.reset();
    const std::string& mark = CTargetFile::Mark();
    const bool bCut = bytes.size() < mark.size() && mark.compare(0, bytes.size(), bytes) == 0;
    if ((!bCut && bytes.compare(0, mark.size(), mark) != 0) || !m_fs.RemoveUnlessOpen(strPath))
        return false;
    for (size_t at = mark.size(), end; (end = bytes.find('\n', at)) != std::string::npos;
         at = end + 1)
        paths.push_back(bytes.substr(at, end - at));
    return true;
}

// Only files of the temporary names are taken: neither a folder nor a
// link (removing through it may remove what it leads to), nor a file a
// live run holds open.
void CRunJournal::RemoveLeft(const std::string& strPath) {
    const CString path(strPath);
    if (!IsTemporaryPath(strPath))
        return;
    const CFsStatus status = m_fs.GetStatus(path);
    if (status.bExists && !status.bDirectory && !m_fs.IsLink(path))
        m_fs.RemoveUnlessOpen(path);
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
