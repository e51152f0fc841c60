#include "ProductPaths.h"

#include "quimbex/core/MarkerFiles.h"

namespace {

// A "\" that ends the folder as a whole character (never the trail byte of
// "ソ"), or a "/", which no trail byte can be.
bool EndsWithSeparator(const CString& folder) {
    const int n = folder.GetLength();
    return n > 0 && (folder.ReverseFind('\\') == n - 1 || folder[n - 1] == '/');
}

// One "\" between the folder, whatever separators end it, and the rest.
CString Join(CString folder, const CString& relative) {
    while (EndsWithSeparator(folder))
        folder = folder.Left(folder.GetLength() - 1);
    return folder + "\\" + relative;
}

} // namespace

CProductPaths::CProductPaths(const CString& programDir, const CString& productDir,
                             const CString& dataDir)
    : m_strProgramDir(programDir), m_strProductDir(productDir), m_strDataDir(dataDir) {}

CProductPaths CProductPaths::OfProduct(const CString& productDir) {
    return CProductPaths(CString(), productDir, CString());
}

CProductPaths CProductPaths::OfData(const CString& dataDir) {
    return CProductPaths(CString(), CString(), dataDir);
}

CString CProductPaths::QuimbexProgram() const {
    return Join(m_strProgramDir, "Exe\\Quimbex.exe");
}

CString CProductPaths::DataFolder() const {
    return Join(m_strProductDir, kDataFolder);
}

CString CProductPaths::MyDataFolder() const {
    return Join(m_strProductDir, kMyDataFolder);
}

CString CProductPaths::MyDataFile(const char* name) const {
    return Join(MyDataFolder(), name);
}

CString CProductPaths::BookMap() const {
    return MyDataFile(markers::kBookMngFile);
}

CString CProductPaths::XlsMarker() const {
    return MyDataFile(markers::kExType1);
}

CString CProductPaths::XlsmMarker() const {
    return MyDataFile(markers::kExType2);
}

CString CProductPaths::ConversionRequest() const {
    return MyDataFile(markers::kExConv);
}

CString CProductPaths::ConversionDone() const {
    return MyDataFile(markers::kExMng);
}

CString CProductPaths::WriteProbe() const {
    return MyDataFile("acck.sys");
}

CString CProductPaths::AppTmp() const {
    return MyDataFile("App.tmp");
}

CString CProductPaths::OrgFile(const char* stem, const CString& ext) const {
    return Join(Join(m_strProductDir, kOrgFolder), stem) + ext;
}

CString CProductPaths::PayrollTemplate(const CString& ext) const {
    return OrgFile(kPayrollTemplateStem, ext);
}

CString CProductPaths::AttendanceTemplate(const CString& ext) const {
    return OrgFile(kAttendanceTemplateStem, ext);
}

CString CProductPaths::Converter(const CString& ext) const {
    return OrgFile(kConverterStem, ext);
}

std::vector<CString> CProductPaths::OrgFileNames() {
    std::vector<CString> names;
    for (const char* stem : {kPayrollTemplateStem, kConverterStem, kAttendanceTemplateStem})
        for (const char* ext : {kXlsExt, kXlsmExt})
            names.push_back(CString(stem) + ext);
    return names;
}

CString CProductPaths::ExcelFolder() const {
    return Join(m_strDataDir, kExcelFolder);
}

CString CProductPaths::ExcelFile(const CString& name) const {
    return Join(ExcelFolder(), name);
}

CString CProductPaths::SourceBookCopy(const CString& ext) const {
    return ExcelFile("Backup_Kyuyo" + ext);
}

CString CProductPaths::SafetyFolder(const CString& stamp) const {
    return ExcelFile(stamp);
}
