#pragma once
#include "String.h"

#include <cstddef>
#include <vector>

// The command line of ikotool: a command, its file and options, the options
// before or after the file.  What each command and option is lives in two
// tables, which the parser and the help texts both read.
class CIkoOptions {
public:
    enum Command { none, help, list, test, create, extract, compare };
    enum Option {
        root,
        format,
        json,
        dryRun,
        only,
        noFilter,
        quiet,
        verbose,
        progress,
        helpOption,
        version
    };
    enum Verbosity { quietOutput, normalOutput, verboseOutput };
    static constexpr int kRootCount = 3; // product, data, common

    struct CommandForm {
        const char* pszName;
        Command nCommand;
        bool bNeedsRoots;           // --root 0=DIR and --root 1=DIR
        const char* pszArguments;   // what follows the name in its usage line
        const char* pszSummary;     // one line in the list of commands
        const char* pszDescription; // the command's own help, lines ending in \n
    };
    struct OptionForm {
        Option nOption;
        const char* pszLong;  // "--root"
        char cShort;          // 'q', or 0
        const char* pszValue; // the value's name ("N=DIR"), or null for a flag
        unsigned nCommands;   // a bit per Command that takes it
        bool bRepeatable;
        const char* pszHelp; // one line
    };
    template <typename T> struct Table {
        const T* pBegin;
        size_t nCount;
        const T* begin() const { return pBegin; }
        const T* end() const { return pBegin + nCount; }
    };
    static Table<CommandForm> Commands();
    static Table<OptionForm> Options();
    static const CommandForm* FindCommand(const CString& strName);
    static const CommandForm& FormOf(Command nCommand);
    static bool Takes(const OptionForm& option, Command nCommand);

    // False with strError on a usage error.
    bool Parse(const std::vector<CString>& args, CString& strError);

    Command m_nCommand = none;
    CString m_strFile;
    Command m_nHelpTopic = none; // help asked for about this command; none: all
    bool m_bHelp = false;
    bool m_bVersion = false;
    CString m_astrRoots[kRootCount];
    bool m_abRootGiven[kRootCount] = {};
    int m_nFormat = 0; // 0: from the installation's markers
    bool m_bJson = false;
    Verbosity m_nVerbosity = normalOutput;
    bool m_bProgress = false;
    bool m_bDryRun = false;
    bool m_bNoFilter = false;
    std::vector<CString> m_astrOnly; // --only, in the order given

private:
    bool ParseOption(const std::vector<CString>& args, size_t& i, CString& strError);
    static const OptionForm* FindOption(const CString& strName);
    bool TakeValue(const OptionForm& option, const std::vector<CString>& args, size_t& i,
                   const CString& strInline, bool bInline, CString& strValue, CString& strError);
    bool Apply(const OptionForm& option, const CString& strValue, CString& strError);
    bool ParseRoot(const CString& strValue, CString& strError);
    bool ParseFormat(const CString& strValue, CString& strError);
    bool TakeWords(const std::vector<CString>& words, CString& strError);
    bool CheckOptions(CString& strError) const;
    bool CheckComplete(CString& strError) const;

    std::vector<Option> m_given; // in the order given, once per use
};
