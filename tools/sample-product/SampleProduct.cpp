#include "SampleProduct.h"

#include "ExcelFileMap.h"
#include "SampleWorkbooks.h"
#include "ScopedHandle_win.h"
#include "StandinWorkbook.h"

#include <windows.h>

const SampleBook kSampleBooks[2] = {
    {"kyuyo", "kyuyo", true}, {"表参道店", "表参道店", false}, // 表 ends in the byte 0x5C
};

std::vector<SampleBookSpec> SampleBooks(int nBooks) {
    std::vector<SampleBookSpec> books;
    for (int i = 0; i < nBooks; ++i) {
        if (i < 2) {
            const SampleBook& b = kSampleBooks[i];
            books.push_back({b.key, b.stem, b.hasAttendance});
            continue;
        }
        CString name;
        name.Format("支店%03d", i + 1);
        books.push_back({name, name, i % 2 == 0});
    }
    return books;
}

namespace {

const char kEnvKey[] = "SOFTWARE\\QZ\\Morvane\\Env";

// Creates every missing folder of path ("C:\\a\\b").
bool MakeDirs(const CString& path) {
    for (int slash = path.Find('\\', 3);; slash = path.Find('\\', slash + 1)) {
        const CString part = slash < 0 ? path : path.Left(slash);
        if (!::CreateDirectoryA(part, nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (slash < 0)
            return true;
    }
}

bool WriteText(const CString& path, const char* text, CString& error) {
    const CFileHandle h(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    const DWORD len = static_cast<DWORD>(CString(text).GetLength());
    const bool ok = h && ::WriteFile(h.Get(), text, len, &done, nullptr) && done == len;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

bool SaveBook(const CStandinWorkbook& book, const CString& path, CString& error) {
    if (book.Save(path))
        return true;
    error = "cannot write " + path;
    return false;
}

bool LayOrg(const CString& org, CString& error) {
    for (const char* ext : {".xls", ".xlsm"}) {
        if (!SaveBook(PayrollTemplate(), org + "\\Kyuyo" + ext, error) ||
            !SaveBook(AttendanceTemplate(), org + "\\勤怠_kyuyo" + ext, error) ||
            !SaveBook(ConverterWorkbook(), org + "\\xlConv2" + ext, error))
            return false;
    }
    return true;
}

bool LayMyData(const CString& myData, const std::vector<SampleBookSpec>& books, const CString& ext,
               CString& error) {
    CExcelFileMap map(myData + "\\BookMNG.dat");
    int order = 0;
    for (const SampleBookSpec& b : books) {
        CDataForExMap record;
        record.m_nOrder = order++;
        record.m_strFileName = b.stem + ext;
        map.m_mapBooks.SetAt(b.key, record);
    }
    if (!map.Save()) {
        error = "cannot write " + map.m_strMngPath;
        return false;
    }
    const CString marker = ext == ".xlsm" ? "\\ExType2.dat" : "\\ExType1.dat";
    if (!WriteText(myData + marker, "", error) || !WriteText(myData + "\\acck.sys", "", error) ||
        !WriteText(myData + "\\App.tmp", "", error))
        return false;
    ::SetFileAttributesA(myData + "\\App.tmp", FILE_ATTRIBUTE_HIDDEN);
    return true;
}

bool LayExcel(const CString& excel, const std::vector<SampleBookSpec>& books, const CString& ext,
              CString& error) {
    int seed = 0;
    for (const SampleBookSpec& b : books) {
        if (!SaveBook(PayrollBook(b.key, seed), excel + "\\" + b.stem + ext, error))
            return false;
        if (b.hasAttendance &&
            !SaveBook(AttendanceBook(seed), excel + "\\勤怠_" + b.stem + ext, error))
            return false;
        ++seed;
    }
    return true;
}

bool LayOtherData(const CString& data, CString& error) {
    return MakeDirs(data + "\\DefEru") && MakeDirs(data + "\\Other") &&
           MakeDirs(data + "\\MsgMemo") &&
           WriteText(data + "\\DefEru\\帳票設定.dat", "PaperSize=A4\r\nMargin=10\r\n", error) &&
           WriteText(data + "\\Other\\自社様式.frm", "Form=給与明細(自社様式)\r\n", error) &&
           WriteText(data + "\\MsgMemo\\メモ.txt", "年末調整の書類を確認する\r\n", error);
}

bool CopyPrograms(const CString& from, const CString& exeDir, CString& error) {
    for (const char* name : {"Quimbex.exe", "Tessaro.exe", "DORNMSG.dll", "DornEnv.dll"}) {
        const CString source = from + "\\" + name;
        if (::GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES)
            continue; // a program that this build does not make yet
        if (!::CopyFileA(source, exeDir + "\\" + name, FALSE)) {
            error = "cannot copy " + source;
            return false;
        }
    }
    return true;
}

} // namespace

bool LaySampleProduct(const CString& productDir, const SampleProductOptions& options,
                      CString& error) {
    const CString dataDir = options.strDataDir.IsEmpty() ? productDir : options.strDataDir;
    const CString myData = productDir + "\\Data\\MyData";
    const CString org = productDir + "\\Data\\Org";
    const CString excel = dataDir + "\\Excel";
    for (const CString& dir : {productDir + "\\Exe", myData, org, excel}) {
        if (!MakeDirs(dir)) {
            error = "cannot create " + dir;
            return false;
        }
    }
    const std::vector<SampleBookSpec> books = SampleBooks(options.nBooks);
    if (!LayOrg(org, error) || !LayMyData(myData, books, options.strExt, error) ||
        !LayExcel(excel, books, options.strExt, error) ||
        !LayOtherData(productDir + "\\Data", error))
        return false;
    if (!options.strExeSourceDir.IsEmpty() &&
        !CopyPrograms(options.strExeSourceDir, productDir + "\\Exe", error))
        return false;
    if (options.bWriteRegistry && !WriteEnvRegistry(productDir, dataDir)) {
        error = "cannot write the registry key HKLM\\" + CString(kEnvKey);
        return false;
    }
    return true;
}

bool WriteEnvRegistry(const CString& productDir, const CString& dataDir) {
    CRegKeyHandle owner;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEnvKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                          owner.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const HKEY key = owner.Get();
    const auto setString = [key](const char* name, const CString& value) {
        return ::RegSetValueExA(key, name, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.GetString()),
                                static_cast<DWORD>(value.GetLength()) + 1) == ERROR_SUCCESS;
    };
    const DWORD installed = 1;
    const bool ok =
        setString("InstallDir", productDir) && setString("ProgramDir", productDir) &&
        setString("DataDir", dataDir) && setString("ProductName", "Morvane") &&
        ::RegSetValueExA(key, "Installed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed),
                         sizeof installed) == ERROR_SUCCESS;
    return ok;
}

void RemoveEnvRegistry() {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEnvKey);
}
