#include "BookNames.h"

#include "Mbcs.h"

CString InsertBeforeExtension(const CString& path, const CString& suffix) {
    const int dot = path.ReverseFind('.');
    if (dot < 0 || dot < path.ReverseFind('\\'))
        return path + suffix;
    return path.Left(dot) + suffix + path.Mid(dot);
}

CString FileNamePart(const CString& path) {
    return path.Mid(path.ReverseFind('\\') + 1);
}

namespace {

// Whether byte offset `at` of text starts a character: a trail byte of the
// character before it must not be taken for the suffix's first byte.
bool IsCharBoundary(const CString& text, int at) {
    const int n = text.GetLength();
    int i = 0;
    while (i < at)
        i += fw::CharLen932(text.GetString(), i, n);
    return i == at;
}

} // namespace

bool EndsWithNoCase(const CString& text, const CString& suffix) {
    const int at = text.GetLength() - suffix.GetLength();
    return at >= 0 && IsCharBoundary(text, at) && text.Mid(at).CompareNoCase(suffix) == 0;
}

CString StripExtensionNoCase(const CString& name, const CString& ext) {
    if (ext.IsEmpty() || !EndsWithNoCase(name, ext))
        return name;
    return name.Left(name.GetLength() - ext.GetLength());
}

// A book record may name its workbook without an extension; the file on
// disk always has one.
CString AttendanceBookPathIn(const CString& dataDir, const CString& ext, const CString& name) {
    CString path;
    path.Format("%s\\Excel\\%s", dataDir.GetString(), name.GetString());
    if (!EndsWithNoCase(path, ext))
        path += ext;
    return path;
}

CString WithExtensionReplaced(const CString& name, const CString& ext, const CString& target) {
    CString result = name;
    if (target != ext)
        result.Replace(ext, target);
    return result;
}
