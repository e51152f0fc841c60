#pragma once
#include "BookLocator.h"
#include "String.h"

#include <vector>

class CStandinWorkbook;
struct MacroDef;

// One argument of a macro call, as the macro receives it.
struct MacroArg {
    enum Type { typeText, typeLong, typeOther };
    Type type = typeOther;
    CString text;     // typeText
    long value = 0;   // typeLong (a 32-bit integer)
    CString typeName; // the variant type, for the reasons ("BSTR", "I2" ...)
};

struct MacroOutcome {
    enum Kind { returnedTrue, returnedFalse, notFound, badArgumentCount };
    Kind kind = returnedFalse;
    // Why the macro returned False.
    std::vector<CString> reasons;
};

// The product's workbook macros, done on stand-in workbooks: they read the
// books named in their arguments and rewrite the target.
class CStandinMacros {
public:
    static const char kProtectionText[];

    explicit CStandinMacros(const CBookLocator& locator) : m_locator(locator) {}
    static bool Exists(const char* name);
    MacroOutcome Run(const CString& name, const std::vector<MacroArg>& args) const;

private:
    MacroOutcome CheckProtect(const std::vector<MacroArg>& args) const;
    MacroOutcome Convert(const MacroDef& def, const std::vector<MacroArg>& args) const;
    bool LoadBook(const MacroArg& arg, const char* role, CStandinWorkbook& book, CString& path,
                  MacroOutcome& outcome) const;

    CBookLocator m_locator;
};
