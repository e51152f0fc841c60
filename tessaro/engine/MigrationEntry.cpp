#include "MigrationEntry.h"

#include "Archive.h"
#include "EntryRecordReader.h"
#include "RestoreFilter.h"
#include "RestoreRecord.h"
#include "TargetDirectory.h"
#include "TargetFile.h"
#include "TargetFolder.h"
#include "TargetPath.h"

#include <unordered_map>

namespace {

// The length is taken when a file is opened, and the copy stops at it: a
// file that grew meanwhile shows it only by a byte beyond.
bool HasMore(CFsFile& file) {
    char c;
    return file.Read(&c, 1) > 0;
}

} // namespace

CMigrationEntry::CMigrationEntry(CMigrationContext& context)
    : m_nFormat(context.m_nNewFormat), m_pContext(&context) {}

CMigrationEntry::~CMigrationEntry() {
    DeleteChildren();
}

void CMigrationEntry::DeleteChildren() {
    if (!m_pChildren)
        return;
    for (POSITION pos = m_pChildren->GetHeadPosition(); pos;)
        delete m_pChildren->GetNext(pos);
    delete m_pChildren;
    m_pChildren = nullptr;
}

void CMigrationEntry::SetRoots(const CMigrationRoots& roots) {
    m_astrRoots = roots;
}

void CMigrationEntry::SetRoots(const CMigrationEntry& source) {
    m_astrRoots = source.m_astrRoots;
}

CString CMigrationEntry::GetFullPath() const {
    if (m_strRoot.IsEmpty())
        return CString();
    std::string path;
    path.reserve(m_strRoot.str().size() + m_strRelDir.str().size() + m_strName.str().size() + 2);
    path += m_strRoot.str();
    AppendRelativePath(path);
    return CString(std::move(path));
}

CString CMigrationEntry::GetRelativePath() const {
    std::string path;
    AppendRelativePath(path);
    return CString(std::move(path));
}

// Composed in place: a path is made for every open, twice per file.
void CMigrationEntry::AppendRelativePath(std::string& path) const {
    if (!m_strRelDir.IsEmpty()) {
        if (m_strRelDir[0] != '\\')
            path += '\\';
        path += m_strRelDir.str();
    }
    if (!m_strName.IsEmpty()) {
        path += '\\';
        path += m_strName.str();
    }
}

// Each level adds one more leading backslash: the format keeps them.
CString CMigrationEntry::GetChildRelDir() const {
    CString dir;
    if (!m_strRelDir.IsEmpty())
        dir = "\\" + m_strRelDir;
    if (!m_strName.IsEmpty())
        dir += "\\" + m_strName;
    return dir;
}

std::unique_ptr<CMigrationEntry> CMigrationEntry::NewChild() const {
    auto child = std::make_unique<CMigrationEntry>(*m_pContext);
    child->SetRoots(*this);
    child->m_nDepth = m_nDepth + 1;
    return child;
}

void CMigrationEntry::Reset() {
    DeleteChildren();
    m_nSize = 0;
    m_strRoot.Empty();
    m_strRelDir.Empty();
    m_strName.Empty();
}

bool CMigrationEntry::Build(const CString& strName, int nRoot) {
    m_nRoot = nRoot;
    if (CMigrationRoots::IsIndex(nRoot))
        m_strRoot = m_astrRoots[nRoot];
    if (m_strRoot.IsEmpty())
        return false;
    m_strName = strName;
    const CFsStatus status = m_pContext->m_fs.GetStatus(GetFullPath());
    if (!status.bExists)
        return false;
    if (status.bDirectory)
        return ScanDirectory();
    return MeasureFile();
}

// Lengths are 64-bit: a file of 4 GiB or more is measured whole.
bool CMigrationEntry::MeasureFile() {
    CFsError error;
    const std::unique_ptr<CFsFile> file = m_pContext->m_fs.OpenForReading(GetFullPath(), error);
    if (!file) {
        m_pContext->Skip(*this, CSkipReason::cannotRead, error.strCause);
        return false;
    }
    m_nSize = file->GetLength();
    return true;
}

// A directory that cannot be listed (its path too long, its rights denied)
// is carried with no children, and left out in the sense that its files
// are.  The depth limit of the reader holds here too, so a loop of
// directory links on Windows ends instead of exhausting the stack.
bool CMigrationEntry::ScanDirectory() {
    DeleteChildren();
    m_pChildren = new CObList;
    if (m_nDepth >= CEntryRecordReader::kMaxDepth) {
        m_pContext->Skip(*this, CSkipReason::notFollowed, "nested too deep");
        return true;
    }
    std::vector<CDirItem> items;
    if (!m_pContext->m_fs.ListDirectory(GetFullPath(), items)) {
        m_pContext->Skip(*this, CSkipReason::cannotList, CString());
        return true;
    }
    LeaveOutCaseTwins(items);
    for (const CDirItem& item : items)
        AddScannedChild(item);
    return true;
}

// A Windows folder holds one of names that differ only in case (a native
// folder may hold both): the first in byte order is carried, whatever
// order the listing gives, and the others are left out and named.
void CMigrationEntry::LeaveOutCaseTwins(std::vector<CDirItem>& items) {
    std::unordered_map<std::string, size_t> first;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].bSkip)
            continue;
        const auto done = first.emplace(CTargetFolder::Key(items[i].strName), i);
        if (!done.second && items[i].strName < items[done.first->second].strName)
            done.first->second = i;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].bSkip)
            continue;
        const size_t kept = first[CTargetFolder::Key(items[i].strName)];
        if (kept == i)
            continue;
        items[i].bSkip = true;
        items[i].nSkipReason = CSkipReason::notAWindowsName;
        items[i].strSkipCause =
            "\"" + items[kept].strName + "\" of its folder differs only in case";
    }
}

// A restore's unfinished temporary file, which a killed restore may have
// left, is no data of the product's: it is not carried, and needs no word.
// A user's own file of such a name is carried as any other.
void CMigrationEntry::AddScannedChild(const CDirItem& item) {
    if (!item.bDirectory && !item.bSkip && CTargetFile::IsTemporaryName(item.strName) &&
        CTargetFile::IsUnfinished(m_pContext->m_fs, GetFullPath() + "\\" + item.strName))
        return;
    std::unique_ptr<CMigrationEntry> child = NewChild();
    child->m_nRoot = m_nRoot;
    if (CMigrationRoots::IsIndex(m_nRoot))
        child->m_strRoot = m_astrRoots[m_nRoot];
    child->m_strRelDir = GetChildRelDir();
    child->m_strName = item.strName;
    if (item.bSkip) {
        m_pContext->Skip(*child, item.nSkipReason, item.strSkipCause);
        return;
    }
    if (item.bDirectory)
        child->ScanDirectory();
    else if (!child->MeasureFile())
        return;
    m_pChildren->AddTail(child.release());
}

void CMigrationEntry::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void CMigrationEntry::ReadFormat(CArchive& ar) {
    if (ar.IsLoading())
        ar >> m_nFormat;
}

void CMigrationEntry::Store(CArchive& ar) {
    if (m_pContext->m_onEntry)
        m_pContext->m_onEntry(*this);
    ar << m_nFormat << m_nRoot << m_strRelDir << m_strName;
    StoreContent(ar);
    const int32_t nChildren = m_pChildren ? m_pChildren->GetCount() : 0;
    ar << nChildren;
    m_pContext->Count(m_nSize, nChildren);
    if (!m_pChildren)
        return;
    for (POSITION pos = m_pChildren->GetHeadPosition(); pos;)
        static_cast<CMigrationEntry*>(m_pChildren->GetNext(pos))->Serialize(ar);
}

// A file that was listed but cannot be opened now is carried empty.  One
// whose length has changed since it was measured is carried with the
// length recorded, cut or padded with zeros, so that the migration file
// stays readable; it is named as not carried whole.
void CMigrationEntry::StoreContent(CArchive& ar) {
    if (m_nSize <= 0) {
        ar << m_nSize;
        return;
    }
    CFsError error;
    const std::unique_ptr<CFsFile> file = m_pContext->m_fs.OpenForReading(GetFullPath(), error);
    if (!file) {
        m_pContext->Skip(*this, CSkipReason::cannotRead, error.strCause);
        m_nSize = 0;
        ar << m_nSize;
        return;
    }
    ar << m_nSize;
    const int64_t nLength = file->GetLength();
    const int64_t nCopied = m_pContext->m_copier.Store(ar, *file, m_nSize);
    const bool bGrew = nLength == m_nSize && nCopied == m_nSize && HasMore(*file);
    file->Close();
    if (nLength != m_nSize || nCopied != m_nSize || bGrew) {
        CString cause;
        if (bGrew)
            cause.Format("%lld bytes when listed, more when copied",
                         static_cast<long long>(m_nSize));
        else
            cause.Format("%lld bytes when listed, %lld when copied",
                         static_cast<long long>(m_nSize),
                         static_cast<long long>(nCopied != m_nSize ? nCopied : nLength));
        m_pContext->Skip(*this, CSkipReason::sizeChanged, cause);
    }
}

// Reading: the probe and each child probe are reused for every record, and
// a child's subtree is let go as soon as it is read, so memory depends on
// the depth of the tree only, never on the number of entries.
void CMigrationEntry::Load(CArchive& ar) {
    CEntryRecordReader in(ar, m_pContext->m_nFileLength);
    LoadFields(in);
    if (m_pContext->m_onEntry)
        m_pContext->m_onEntry(*this);
    LoadContent(ar);
    DeleteChildren();
    const int32_t nChildren = in.ChildCount(m_nDepth);
    m_pContext->Count(m_nSize, nChildren);
    if (nChildren <= 0) {
        NoteNothingToWrite();
        return;
    }
    if (m_pContext->m_nMode == CMigrationContext::restore)
        PrepareDirectory();
    LoadChildren(ar, nChildren);
}

// The root is that of the restoring computer.
void CMigrationEntry::LoadFields(CEntryRecordReader& in) {
    m_nFormat = in.Format();
    m_nRoot = in.Root();
    m_strRelDir = in.String("relative directory");
    m_strName = in.String("name");
    m_nSize = in.Size();
    m_strRoot = m_astrRoots[m_nRoot];
}

// The older file is replaced only by a complete one: an error of the
// archive or the disk half-way leaves it as it was.  Only a book map in
// place calls for the books' conversion: one that passed the filter but
// could not be written leaves the older map, whose books need none.
void CMigrationEntry::LoadContent(CArchive& ar) {
    if (m_nSize <= 0)
        return;
    if (m_pContext->m_onContent) {
        if (ChooseTarget())
            m_pContext->m_onContent(*this, m_pContext->m_target, ar);
        else
            m_pContext->m_copier.Discard(ar, m_nSize);
        return;
    }
    CTargetFile target(m_pContext->m_fs, m_pContext->m_pJournal);
    if (!OpenTarget(target)) {
        m_pContext->m_copier.Discard(ar, m_nSize);
        return;
    }
    CFsError error;
    try {
        m_pContext->m_copier.Restore(ar, target, m_nSize);
        if (!target.Commit(error)) {
            SkipUnwritten(error);
            return;
        }
    } catch (CFileException& e) {
        target.NameTarget(e);
        throw;
    }
    m_pContext->m_target.NoteWritten();
    ++m_pContext->m_nWritten;
    if (m_pContext->m_pRecord)
        m_pContext->m_pRecord->NoteRestored(m_nRoot, GetRelativePath());
    if (m_pContext->m_onWritten)
        m_pContext->m_onWritten(*this, m_pContext->m_target);
    if (CRestoreFilter::IsBookMap(m_pContext->m_target))
        m_pContext->m_bBookMapWritten = true;
}

// A path that would leave its root never reaches the filter, so a refused
// "BookMNG.dat" does not count as restored.
bool CMigrationEntry::OpenTarget(CTargetFile& file) {
    if (!ChooseTarget())
        return false;
    CFsError error;
    if (file.Open(m_pContext->m_target, error))
        return true;
    SkipUnwritten(error);
    return false;
}

// The target in its canonical form, when the restore would write it.
bool CMigrationEntry::ChooseTarget() {
    if (m_pContext->m_nMode == CMigrationContext::check)
        return false;
    if (m_strRoot.IsEmpty()) {
        SkipWithoutTarget(CSkipReason::emptyRoot, CString());
        return false;
    }
    CTargetPath& target = m_pContext->m_target;
    if (!target.Resolve(m_strRoot, GetRelativePath())) {
        SkipWithoutTarget(CSkipReason::refusedPath, target.Refusal());
        return false;
    }
    if (!IsSelected(target))
        return false;
    RemoveStaleTemporary(target.Folder());
    if (!AcceptOnRestore(m_nFormat, target)) {
        m_pContext->Skip(*this, CSkipReason::filtered, FilterCause(m_nFormat));
        return false;
    }
    return true;
}

// A selection is made on the canonical path; the folders of a file it takes
// are made only then, and the path is resolved again in them.
bool CMigrationEntry::IsSelected(CTargetPath& target) {
    if (!m_pContext->m_select)
        return true;
    if (!m_pContext->m_select(target))
        return false;
    const CString folder = target.Folder();
    if (m_pContext->m_fs.GetStatus(folder).bExists)
        return true;
    CTargetDirectory::Ensure(m_pContext->m_fs, m_strRoot, folder.Mid(m_strRoot.GetLength()));
    target.NoteFolderMade();
    target.Forget();
    return target.Resolve(m_strRoot, GetRelativePath());
}

// An entry the restore has no target for is named only when a selection,
// if there is one, takes it by its stored path.
void CMigrationEntry::SkipWithoutTarget(CSkipReason nReason, const CString& strCause,
                                        bool bFolder) {
    if (m_pContext->m_select &&
        (!m_pContext->m_selectStored ||
         !m_pContext->m_selectStored(m_nRoot, GetRelativePath(), !m_strRoot.IsEmpty())))
        return;
    m_pContext->Skip(*this, nReason, strCause, bFolder);
}

// An entry without content and without children is an empty file or an
// empty folder (the format cannot tell them apart): a restore makes
// neither, whatever its path, and says so, so that each file of the
// migration file has its line and its count.  It is no skipped file: the
// restore lost nothing by it.
void CMigrationEntry::NoteNothingToWrite() {
    if (m_pContext->m_nMode == CMigrationContext::check || m_nSize != 0)
        return;
    if (m_pContext->m_select && !IsTakenWithoutContent())
        return;
    ++m_pContext->m_nNothingToWrite;
    if (m_pContext->m_pRecord)
        m_pContext->m_pRecord->NoteSkipped(
            {m_nRoot, GetRelativePath(), CSkipReason::nothingToWrite, CString()});
}

// The selection's verdict without making a folder for the entry.
bool CMigrationEntry::IsTakenWithoutContent() {
    CTargetPath& target = m_pContext->m_target;
    if (!m_strRoot.IsEmpty() && target.Resolve(m_strRoot, GetRelativePath()))
        return m_pContext->m_select(target);
    return m_pContext->m_selectStored &&
           m_pContext->m_selectStored(m_nRoot, GetRelativePath(), !m_strRoot.IsEmpty());
}

void CMigrationEntry::SkipUnwritten(const CFsError& error) {
    m_pContext->Skip(
        *this, error.bUnconvertibleName ? CSkipReason::unconvertibleName : CSkipReason::cannotWrite,
        error.strCause);
}

CString CMigrationEntry::FilterCause(int nFormat) const {
    CString cause;
    if (nFormat > 4)
        cause.Format("format %d is newer than this program", nFormat);
    return cause;
}

// A refused directory is not created; its children are judged one by one.
// The folder is made under the name the system gives it, and names looked
// up before may name it now.  A folder that names the root itself has
// nothing to make (a file of that path is refused); its files are swept
// for in the root.
void CMigrationEntry::PrepareDirectory() {
    if (m_strRoot.IsEmpty() || m_pContext->m_select)
        return;
    CTargetPath& target = m_pContext->m_target;
    if (!target.Resolve(m_strRoot, GetRelativePath())) {
        if (target.IsRoot()) {
            RemoveStaleTemporary(m_strRoot);
            return;
        }
        if (m_nSize <= 0) // else its content was reported already
            m_pContext->Skip(*this, CSkipReason::refusedPath, target.Refusal(), true);
        return;
    }
    CTargetDirectory::Ensure(m_pContext->m_fs, m_strRoot, target.RelativePath());
    target.NoteWritten(true);
    target.Forget();
    RemoveStaleTemporary(target.Path());
}

// Once for each folder the restore comes to (its files follow one another),
// whether or not a file of it is written: a folder whose files are all kept
// out or refused is rid of a killed run's temporary file too.
void CMigrationEntry::RemoveStaleTemporary(const CString& strFolder) {
    if (strFolder == m_pContext->m_strSweptFolder)
        return;
    CTargetFile::RemoveStale(m_pContext->m_fs, strFolder);
    m_pContext->m_strSweptFolder = strFolder;
}

void CMigrationEntry::LoadChildren(CArchive& ar, int32_t nCount) {
    const std::unique_ptr<CMigrationEntry> child = NewChild();
    for (int32_t i = 0; i < nCount; ++i) {
        child->Serialize(ar);
        child->Reset();
    }
}

// Consulted only for entries with content and a full path, in its one
// canonical form.
bool CMigrationEntry::AcceptOnRestore(int nFormat, const CTargetPath& target) {
    if (!m_pContext->m_bNoFilter && !CRestoreFilter::Accepts(nFormat, target))
        return false;
    if (CRestoreFilter::IsBookMap(target))
        m_pContext->m_bBookRestored = true;
    return true;
}
