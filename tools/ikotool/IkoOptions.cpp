#include "IkoOptions.h"

namespace {

struct CommandName {
    const char* pszName;
    CIkoOptions::Command nCommand;
};

const CommandName kCommands[] = {{"list", CIkoOptions::list},
                                 {"test", CIkoOptions::test},
                                 {"create", CIkoOptions::create},
                                 {"extract", CIkoOptions::extract}};

} // namespace

const char* CIkoOptions::Usage() {
    return "usage: ikotool list FILE\n"
           "       ikotool test FILE\n"
           "       ikotool create FILE --root 0=DIR --root 1=DIR [--root 2=DIR] [--format 3|4]\n"
           "       ikotool extract FILE --root 0=DIR --root 1=DIR [--root 2=DIR]";
}

bool CIkoOptions::Parse(const std::vector<CString>& args, CString& strError) {
    if (args.size() < 2) {
        strError = "a command and a file are needed";
        return false;
    }
    for (const CommandName& c : kCommands)
        if (args[0] == c.pszName)
            m_nCommand = c.nCommand;
    if (m_nCommand == none) {
        strError = "unknown command \"" + args[0] + "\"";
        return false;
    }
    m_strFile = args[1];
    for (size_t i = 2; i < args.size(); ++i)
        if (!ParseOption(args, i, strError))
            return false;
    return CheckComplete(strError);
}

// list and test take no options; --format is for create only.
bool CIkoOptions::ParseOption(const std::vector<CString>& args, size_t& i, CString& strError) {
    const CString& option = args[i];
    const bool bKnown = option == "--root" || (option == "--format" && m_nCommand == create);
    if (!bKnown || m_nCommand == list || m_nCommand == test) {
        strError = "unexpected \"" + option + "\"";
        return false;
    }
    if (++i >= args.size()) {
        strError = option + " needs a value";
        return false;
    }
    return option == "--root" ? ParseRoot(args[i], strError) : ParseFormat(args[i], strError);
}

bool CIkoOptions::ParseRoot(const CString& strValue, CString& strError) {
    const bool bShape = strValue.GetLength() > 2 && strValue[1] == '=';
    const int index = bShape ? strValue[0] - '0' : -1;
    if (index < 0 || index >= kRootCount) {
        strError = "--root wants 0=DIR, 1=DIR or 2=DIR, not \"" + strValue + "\"";
        return false;
    }
    if (m_abRootGiven[index]) {
        strError.Format("root %d is given twice", index);
        return false;
    }
    m_abRootGiven[index] = true;
    m_astrRoots[index] = strValue.Mid(2);
    return true;
}

bool CIkoOptions::ParseFormat(const CString& strValue, CString& strError) {
    if (strValue != "3" && strValue != "4") {
        strError = "--format wants 3 or 4, not \"" + strValue + "\"";
        return false;
    }
    m_nFormat = strValue[0] - '0';
    return true;
}

bool CIkoOptions::CheckComplete(CString& strError) const {
    const bool bNeedsRoots = m_nCommand == create || m_nCommand == extract;
    if (bNeedsRoots && (!m_abRootGiven[0] || !m_abRootGiven[1])) {
        strError = "--root 0=DIR and --root 1=DIR are needed";
        return false;
    }
    return true;
}
