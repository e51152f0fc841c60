#include "RestoreFilter.h"

#include "ProductPaths.h"
#include "TargetPath.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Names that belong to the target computer and are never overwritten.
const char* const kNeverRestored[] = {"DenMainData.dat", "TMBFILEMAP.DAT", "Company.dat",
                                      "Custom.dat", "CompURL.dat"};
// The product's own templates and converter, kept out below "\Data\Org\".
const std::vector<CString>& OrgTemplates() {
    static const std::vector<CString> names = CProductPaths::OrgFileNames();
    return names;
}

// "\data\org\": the folder as a whole part of a path, in lower case.
const char* OrgFolderInPath() {
    static const CString folder = [] {
        CString text = CString("\\") + CProductPaths::kOrgFolder + "\\";
        text.MakeLower();
        return text;
    }();
    return folder.GetString();
}

// Folding case keeps every character's length, and the comparison ends at a
// NUL as the platform's names do: names of another length up to their NUL
// cannot be equal, and most names are told apart without folding them.
bool SameNameNoCase(const CString& name, const char* candidate) {
    return std::strlen(name.GetString()) == std::strlen(candidate) &&
           name.CompareNoCase(candidate) == 0;
}

template <class Names> bool NameIsOneOf(const CString& name, const Names& names) {
    for (const auto& candidate : names)
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

// The name and the path are the target's canonical ones, in lower case
// already; the rules fold them as they always did, which changes nothing.
// Letters are folded only where they are single-byte characters.
bool CRestoreFilter::Accepts(int nFormat, const CTargetPath& target) {
    if (nFormat > 4)
        return false;
    const CString name = target.FoldedName();
    if (NameIsOneOf(name, kNeverRestored))
        return false;
    if (LowerPathContains(target.Folded(), "\\excel_old\\"))
        return false;
    return !(NameIsOneOf(name, OrgTemplates()) &&
             LowerPathContains(target.Folded(), OrgFolderInPath()));
}

bool CRestoreFilter::IsBookMap(const CTargetPath& target) {
    return SameNameNoCase(target.FoldedName(), "BookMNG.dat");
}
