// Fuzz target for the command lines that other programs hand to Quimbex and
// Tessaro, and the Excel version text of the registry: any bytes give a
// tail of the line, a command code and a plan exactly for codes 5 to 12
// whose workbook names (codes 5 and 6) are plain names, and no crash or
// hang.
#include "CommandLine.h"
#include "CommandPlan.h"
#include "CommandSwitches.h"
#include "TessaroSwitches.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string line = bytes.substr(0, bytes.find('\0')); // the line ends at its NUL
    const CString tail = CommandLineTail(line.c_str());
    const std::string& t = tail.str();
    if (t.size() > line.size() || line.compare(line.size() - t.size(), t.size(), t) != 0)
        std::abort();

    CommandSwitches sw;
    if (ParseCommandSwitches(tail, sw) != (sw.nCommand != 0))
        std::abort();
    const bool namesPlain =
        (sw.nCommand != 5 && sw.nCommand != 6) ||
        (IsPlainBookName(sw.strArgO) && (sw.nCommand == 5 || IsBookFileName(sw.strArgN)));
    const bool planned = sw.nCommand >= 5 && sw.nCommand <= 12 && namesPlain;
    for (const char* ext : {".xls", ".xlsm"}) {
        CommandPlan plan;
        if (PlanCommand(sw, "C:\\表ソフト", ext, plan) != planned)
            std::abort();
    }
    int32_t tessaroCommand = 0;
    ParseTessaroSwitches(tail, tessaroCommand);
    ExcelVersionFromCurVer(CString(line));
    return 0;
}
