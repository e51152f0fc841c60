#include "BookNames.h"

CString InsertBeforeExtension(const CString& path, const CString& suffix) {
    const int dot = path.ReverseFind('.');
    if (dot < 0 || dot < path.ReverseFind('\\'))
        return path + suffix;
    return path.Left(dot) + suffix + path.Mid(dot);
}

CString FileNamePart(const CString& path) {
    return path.Mid(path.ReverseFind('\\') + 1);
}
