#pragma once
#include "IkoOptions.h"
#include "String.h"

// The texts of --help, of a command's --help, of --version and of a usage
// error, made from the tables of the command line.
class CIkoHelp {
public:
    static CString General();
    static CString OfCommand(CIkoOptions::Command nCommand);
    static CString Version();
    // What follows the error line of a usage error.
    static CString UsageHint(CIkoOptions::Command nCommand);

private:
    static CString UsageLine(const CIkoOptions::CommandForm& command);
    static CString OptionName(const CIkoOptions::OptionForm& option);
    static CString OptionLines(CIkoOptions::Command nCommand);
    static CString Column(const CString& strLeft, int nWidth);
};
