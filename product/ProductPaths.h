#pragma once
#include "String.h"

#include <vector>

// Every path of the installation, built from the environment record's three
// folders: the program directory (holds "Exe"), the product directory (holds
// "Data") and the data directory (holds "Excel").  A folder may be given with
// or without a trailing separator; each path has one separator between its
// parts.  A trail byte 0x5C (the last byte of "ソ") is no separator.
class CProductPaths {
public:
    // The folders of a migration file, relative to the product directory ...
    static constexpr char kDataFolder[] = "Data";
    static constexpr char kDefEruFolder[] = "Data\\DefEru";
    static constexpr char kMyDataFolder[] = "Data\\MyData";
    static constexpr char kOrgFolder[] = "Data\\Org";
    static constexpr char kOtherFolder[] = "Data\\Other";
    static constexpr char kMsgMemoFolder[] = "Data\\MsgMemo";
    // ... and to the data directory.
    static constexpr char kExcelFolder[] = "Excel";
    // The stems of the product's own files in "\Data\Org": the templates
    // and the converter workbook ...
    static constexpr char kPayrollTemplateStem[] = "Kyuyo";
    static constexpr char kAttendanceTemplateStem[] = "勤怠_kyuyo";
    static constexpr char kConverterStem[] = "xlConv2";
    // ... and the workbook extensions of the two formats.
    static constexpr char kXlsExt[] = ".xls";
    static constexpr char kXlsmExt[] = ".xlsm";
    // The names of those files in both formats.
    static std::vector<CString> OrgFileNames();

    CProductPaths(const CString& programDir, const CString& productDir, const CString& dataDir);
    // Any record with the environment record's three folder members.
    template <class Record>
    explicit CProductPaths(const Record& env)
        : CProductPaths(env.m_strProgramDir, env.m_strInstallDir, env.m_strDataDir) {}
    // Where only one folder is known; paths below the others are not asked.
    static CProductPaths OfProduct(const CString& productDir);
    static CProductPaths OfData(const CString& dataDir);

    // Below the program directory: the program Tessaro starts after a restore.
    CString QuimbexProgram() const;

    // The folder of the product's data, which a migration carries.
    CString DataFolder() const;

    // Below the product directory: the book list, the markers and the files
    // of the migration tool in "\Data\MyData".
    CString MyDataFolder() const;
    CString BookMap() const;
    CString XlsMarker() const;         // the books are ".xls" workbooks
    CString XlsmMarker() const;        // the books are ".xlsm" workbooks
    CString ConversionRequest() const; // the product asks for a conversion
    CString ConversionDone() const;    // the last conversion of all books succeeded
    CString WriteProbe() const;        // opened to learn whether this user may write
    CString AppTmp() const;            // hidden again after each restore

    // The templates and the converter workbook in "\Data\Org", with the
    // workbook extension ext.
    CString PayrollTemplate(const CString& ext) const;
    CString AttendanceTemplate(const CString& ext) const;
    CString Converter(const CString& ext) const;

    // Below the data directory: the workbooks and their backups lie in the
    // Excel folder; a new book's source is copied there for its macro, and a
    // format change keeps its copies in a folder there.
    CString ExcelFolder() const;
    CString ExcelFile(const CString& name) const;
    CString SourceBookCopy(const CString& ext) const;
    CString SafetyFolder(const CString& stamp) const;

private:
    CString MyDataFile(const char* name) const;
    CString OrgFile(const char* stem, const CString& ext) const;

    CString m_strProgramDir;
    CString m_strProductDir;
    CString m_strDataDir;
};
