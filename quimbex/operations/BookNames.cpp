#include "BookNames.h"

#include "Mbcs.h"
#include "ProductPaths.h"

CString InsertBeforeExtension(const CString& path, const CString& suffix) {
    const int dot = path.ReverseFind('.');
    if (dot < 0 || dot < path.ReverseFind('\\'))
        return path + suffix;
    return path.Left(dot) + suffix + path.Mid(dot);
}

// A folder, a drive or a parent in the name would reach files outside the
// Excel folder (the product's list, its templates).  Trail bytes are never
// taken for a "\" (Find steps over whole characters).
bool IsPlainBookName(const CString& name) {
    return name.Find('\\') < 0 && name.Find('/') < 0 && name.Find(':') < 0 && name.Find("..") < 0;
}

namespace {

// Characters no file name holds: a pattern would find another file, the
// others are refused by the system or read as a stream or device.
bool HoldsForbiddenByte(const CString& name) {
    const int n = name.GetLength();
    for (int i = 0; i < n;) {
        const int len = fw::CharLen932(name.GetString(), i, n);
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (len == 1 && (c < 0x20 || CString("*?\"<>|").Find(static_cast<char>(c)) >= 0))
            return true;
        i += len;
    }
    return false;
}

// The system takes a device name for the device whatever extension follows
// and whatever blanks stand before the first ".": "con.xls", "NUL", "lpt1 .txt".
bool IsDeviceName(const CString& name) {
    CString base = name;
    const int dot = base.Find('.');
    if (dot >= 0)
        base = base.Left(dot);
    base.TrimRight();
    base.MakeUpper();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$")
        return true;
    return base.GetLength() == 4 && (base.Left(3) == "COM" || base.Left(3) == "LPT") &&
           base[3] >= '0' && base[3] <= '9';
}

} // namespace

bool IsBookFileName(const CString& name) {
    if (name.IsEmpty() || !IsPlainBookName(name) || HoldsForbiddenByte(name) || IsDeviceName(name))
        return false;
    const char last = name[name.GetLength() - 1];
    // No trail byte is a "." or a blank: the last byte decides.
    return last != '.' && last != ' ';
}

// A name without one ("kyuyo") is read by no command as a workbook: the
// rebuilds would rename and replace a file Excel does not take for one,
// and the attendance initialisation would guess the extension.
bool IsBookRecordName(const CString& name) {
    return IsBookFileName(name) && (EndsWithNoCase(name, ".xls") || EndsWithNoCase(name, ".xlsm"));
}

namespace {

// The system's limits: a file name of 255 characters, a path shorter than
// 260 (the ANSI calls take no longer one).  Wine keeps names in UTF-8,
// where the 255 count bytes: a character beyond ASCII counts as the three
// bytes of its longest form there, so that a name that fits fits on both.
const int kMaxNameBytes = 255;
const int kMaxPathChars = 259;

int CharCount(const CString& text) {
    const int n = text.GetLength();
    int count = 0;
    for (int i = 0; i < n; i += fw::CharLen932(text.GetString(), i, n))
        ++count;
    return count;
}

int NameBytes(const CString& name) {
    const int n = name.GetLength();
    int bytes = 0;
    for (int i = 0; i < n; i += fw::CharLen932(name.GetString(), i, n))
        bytes += static_cast<unsigned char>(name[i]) < 0x80 ? 1 : 3;
    return bytes;
}

// The longest tail a backup gives the name before it: the date, and the
// time of day when the dated name is taken.
const char kBackupTail[] = "_2000年01月01日000000";

} // namespace

bool FitsInFolder(const CString& folder, const CString& name) {
    return NameBytes(name) <= kMaxNameBytes && CharCount(folder + name) <= kMaxPathChars;
}

// A date and an extension follow the key in every backup name, so trailing
// dots and device names do no harm there; the sample tail stands for them.
// The attendance backup ("勤怠_" + key + "_" + date + extension, the time
// of day before the extension when that name is taken) is the longer one.
bool IsBackupKeyText(const CString& key) {
    return IsBookFileName(key + "_2000年01月01日.xls");
}

bool BackupNamesFit(const CString& excelDir, const CString& key) {
    return FitsInFolder(excelDir, "勤怠_" + key + kBackupTail + ".xlsm");
}

bool IsBookKey(const CString& excelDir, const CString& key) {
    return IsBackupKeyText(key) && BackupNamesFit(excelDir, key);
}

// A workbook that changes to ".xlsm" grows by a letter at each extension;
// the attendance initialisation's backup puts the date tail before the
// workbook's own extension.  A name that cannot be made would leave a run
// half-way, or cut by the system to another name.
bool BookNamesFit(const CString& excelDir, const CString& name) {
    return FitsInFolder(excelDir,
                        "勤怠_" + WithExtensionReplaced(name, ".xls", ".xlsm") + kBackupTail);
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
// disk always has one.  The name counts up to a NUL that the record may hold,
// as the system reads it.
CString AttendanceBookPathIn(const CString& dataDir, const CString& ext, const CString& name) {
    CString path = CProductPaths::OfData(dataDir).ExcelFile(CString(name.GetString()));
    if (!EndsWithNoCase(path, ext))
        path += ext;
    return path;
}

namespace {

// ext stands at `at` (a character boundary) as a whole extension: its
// letters in any case, and not the start of a longer one (".xls" of
// ".xlsm"): the name ends after it, or another extension follows.
bool IsExtensionAt(const CString& name, int at, const CString& ext) {
    const int end = at + ext.GetLength();
    if (end > name.GetLength() || name.Mid(at, ext.GetLength()).CompareNoCase(ext) != 0)
        return false;
    return end == name.GetLength() || name[end] == '.';
}

} // namespace

CString WithExtensionReplaced(const CString& name, const CString& ext, const CString& target) {
    if (ext.IsEmpty() || target == ext)
        return name;
    CString result;
    const int n = name.GetLength();
    for (int i = 0; i < n;) {
        if (IsExtensionAt(name, i, ext)) {
            result += target;
            i += ext.GetLength();
            continue;
        }
        const int len = fw::CharLen932(name.GetString(), i, n);
        result += name.Mid(i, len);
        i += len;
    }
    return result;
}
