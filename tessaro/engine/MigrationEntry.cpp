#include "MigrationEntry.h"

#include "Archive.h"
#include "EntryRecordReader.h"
#include "RestorePath.h"
#include "TargetDirectory.h"

#include <algorithm>
#include <cstring>

namespace {

// Names that belong to the target computer and are never overwritten.
const char* const kNeverRestored[] = {"DenMainData.dat", "TMBFILEMAP.DAT", "Company.dat",
                                      "Custom.dat", "CompURL.dat"};
// The product's own templates and converter, kept out below "\Data\Org\".
const char* const kOrgTemplates[] = {"kyuyo.xls",    "kyuyo.xlsm",     "xlConv2.xls",
                                     "xlConv2.xlsm", "勤怠_kyuyo.xls", "勤怠_kyuyo.xlsm"};

// Folding case keeps every character's length, and the comparison ends at a
// NUL as the platform's names do: names of another length up to their NUL
// cannot be equal, and most names are told apart without folding them.
bool SameNameNoCase(const CString& name, const char* candidate) {
    return std::strlen(name.GetString()) == std::strlen(candidate) &&
           name.CompareNoCase(candidate) == 0;
}

template <size_t N> bool NameIsOneOf(const CString& name, const char* const (&names)[N]) {
    for (const char* candidate : names)
        if (SameNameNoCase(name, candidate))
            return true;
    return false;
}

// Whether the path's lower-case form holds the lower-case text as whole
// characters.  A path whose bytes do not hold it, whatever their case, cannot
// hold it as characters either: most paths are answered without folding.
bool LowerPathContains(const CString& strPath, const char* lowerText) {
    const std::string& s = strPath.str();
    const size_t m = std::strlen(lowerText);
    const auto foldsTo = [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; };
    const auto byteMatch = std::search(s.begin(), s.end(), lowerText, lowerText + m, foldsTo);
    if (byteMatch == s.end())
        return false;
    CString lower = strPath;
    lower.MakeLower();
    return lower.Find(lowerText) >= 0;
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

// A directory that cannot be listed is carried with no children.  The depth
// limit of the reader holds here too, so a loop of directory links on
// Windows ends instead of exhausting the stack.
bool CMigrationEntry::ScanDirectory() {
    DeleteChildren();
    m_pChildren = new CObList;
    if (m_nDepth >= CEntryRecordReader::kMaxDepth) {
        m_pContext->Skip(*this, CSkipReason::notFollowed, "nested too deep");
        return true;
    }
    std::vector<CDirItem> items;
    if (m_pContext->m_fs.ListDirectory(GetFullPath(), items))
        for (const CDirItem& item : items)
            AddScannedChild(item);
    return true;
}

void CMigrationEntry::AddScannedChild(const CDirItem& item) {
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

// A file that was listed but cannot be opened now is carried empty.
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
    m_pContext->m_copier.Store(ar, *file, m_nSize);
    file->Close();
}

// Reading: the probe and each child probe are reused for every record, and
// a child's subtree is let go as soon as it is read, so memory depends on
// the depth of the tree only, never on the number of entries.
void CMigrationEntry::Load(CArchive& ar) {
    CEntryRecordReader in(ar, m_pContext->m_nFileLength);
    LoadFields(in);
    if (m_pContext->m_onEntry)
        m_pContext->m_onEntry(*this);
    const bool bRestore = m_pContext->m_nMode == CMigrationContext::restore;
    const CString strRefusal = bRestore ? CRestorePath::Refusal(GetRelativePath()) : CString();
    LoadContent(ar, strRefusal);
    DeleteChildren();
    const int32_t nChildren = in.ChildCount(m_nDepth);
    m_pContext->Count(m_nSize, nChildren);
    if (nChildren <= 0)
        return;
    if (bRestore)
        PrepareDirectory(strRefusal);
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

void CMigrationEntry::LoadContent(CArchive& ar, const CString& strRefusal) {
    if (m_nSize <= 0)
        return;
    const std::unique_ptr<CFsFile> target = OpenTarget(strRefusal);
    if (!target) {
        m_pContext->m_copier.Discard(ar, m_nSize);
        return;
    }
    m_pContext->m_copier.Restore(ar, *target, m_nSize);
    target->Close();
}

// A path that would leave its root never reaches the filter, so a refused
// "BookMNG.dat" does not count as restored.
std::unique_ptr<CFsFile> CMigrationEntry::OpenTarget(const CString& strRefusal) {
    if (m_pContext->m_nMode == CMigrationContext::check)
        return nullptr;
    const CString path = GetFullPath();
    if (path.IsEmpty()) {
        m_pContext->Skip(*this, CSkipReason::emptyRoot, CString());
        return nullptr;
    }
    if (!strRefusal.IsEmpty()) {
        m_pContext->Skip(*this, CSkipReason::refusedPath, strRefusal);
        return nullptr;
    }
    if (!AcceptOnRestore(m_nFormat, path)) {
        m_pContext->Skip(*this, CSkipReason::filtered, FilterCause(m_nFormat));
        return nullptr;
    }
    CFsError error;
    std::unique_ptr<CFsFile> file = m_pContext->m_fs.CreateOrEmpty(path, error);
    if (!file)
        m_pContext->Skip(*this,
                         error.bUnconvertibleName ? CSkipReason::unconvertibleName
                                                  : CSkipReason::cannotWrite,
                         error.strCause);
    return file;
}

CString CMigrationEntry::FilterCause(int nFormat) const {
    CString cause;
    if (nFormat > 4)
        cause.Format("format %d is newer than this program", nFormat);
    return cause;
}

// A refused directory is not created; its children are judged one by one.
void CMigrationEntry::PrepareDirectory(const CString& strRefusal) {
    if (m_strRoot.IsEmpty())
        return;
    if (!strRefusal.IsEmpty()) {
        if (m_nSize <= 0) // else its content was reported already
            m_pContext->Skip(*this, CSkipReason::refusedPath, strRefusal);
        return;
    }
    CTargetDirectory::Ensure(m_pContext->m_fs, m_strRoot, GetRelativePath());
}

void CMigrationEntry::LoadChildren(CArchive& ar, int32_t nCount) {
    const std::unique_ptr<CMigrationEntry> child = NewChild();
    for (int32_t i = 0; i < nCount; ++i) {
        child->Serialize(ar);
        child->Reset();
    }
}

// Consulted only for entries with content and a full path.  Letters are
// folded only where they are single-byte characters.
bool CMigrationEntry::AcceptOnRestore(int nFormat, const CString& strPath) {
    if (nFormat > 4)
        return false;
    if (NameIsOneOf(m_strName, kNeverRestored))
        return false;
    if (LowerPathContains(strPath, "\\excel_old\\"))
        return false;
    if (NameIsOneOf(m_strName, kOrgTemplates) && LowerPathContains(strPath, "\\data\\org\\"))
        return false;
    if (SameNameNoCase(m_strName, "BookMNG.dat"))
        m_pContext->m_bBookRestored = true;
    return true;
}
