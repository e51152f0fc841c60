#include "IkoOptions.h"

#include <algorithm>

namespace {

using Form = CIkoOptions::CommandForm;
using OptionForm = CIkoOptions::OptionForm;

constexpr unsigned Bit(CIkoOptions::Command nCommand) {
    return 1u << nCommand;
}
constexpr unsigned kEvery = ~0u;
constexpr unsigned kReaders = Bit(CIkoOptions::list) | Bit(CIkoOptions::test);
constexpr unsigned kWriters = Bit(CIkoOptions::create) | Bit(CIkoOptions::extract);
constexpr unsigned kRestores = Bit(CIkoOptions::extract) | Bit(CIkoOptions::compare);

// Usage lines and help texts are made from these tables; a command or an
// option added here appears in every one of them.
const Form kCommands[] = {
    {"list", CIkoOptions::list, false, "FILE [--json]", "what the header says, then every entry",
     "Prints what the header says (the product byte, the number of top-level\n"
     "entries, the format code of the books), then one line per entry in file\n"
     "order (root, size, path below the root) and a summary line.  A damaged\n"
     "file is listed up to its fault.  --json prints one JSON document instead.\n"},
    {"test", CIkoOptions::test, false, "FILE [--json]",
     "checks the whole file; the first fault with its byte offset",
     "Reads the whole structure and writes nothing: \"OK: F files, M bytes\", or\n"
     "the first fault with its byte offset.  Bytes after the last entry are a\n"
     "fault too, and so is a file of only a header.  --json prints the same\n"
     "JSON document as list --json.\n"},
    {"create", CIkoOptions::create, true,
     "FILE --root 0=DIR --root 1=DIR [--root 2=DIR] [--format 3|4]",
     "writes the migration file of an installation, as Tessaro's 作成",
     "Writes what Tessaro's 作成 writes for these roots: the nine items that\n"
     "exist, in their order.  The format code is --format, or else what the\n"
     "installation's markers say.  The file is written under a temporary name\n"
     "and put in place when complete.  Each file it does not hold whole (a name\n"
     "without a code page 932 form or one Windows refuses, a file that cannot\n"
     "be read or changed while it was written, a folder that cannot be listed)\n"
     "is named on standard error (\"left out:\") and makes the exit code 1.\n"},
    {"extract", CIkoOptions::extract, true,
     "FILE --root 0=DIR --root 1=DIR [--root 2=DIR] [--dry-run] [--only PATTERN]... "
     "[--no-filter]",
     "restores a migration file into an installation, as Tessaro's 復元",
     "Tests the file first and writes nothing from a damaged one, then restores\n"
     "it below the roots like Tessaro: the restore filter keeps out the target's\n"
     "own files, paths that would leave their root are refused.  Each entry kept\n"
     "out on purpose is named on standard error (\"skipped:\"); a file that could\n"
     "not be written is named too (\"not written:\") and makes the exit code 1.\n"
     "--dry-run runs the same restore with every write replaced by the checks\n"
     "the system makes for it: \"would be written:\" lines on standard output,\n"
     "\"would be skipped:\" and \"would not be written:\" on standard error, the\n"
     "exit code of the real run, and nothing written; it cannot see what only\n"
     "the attempt shows (a full disk, a file held open meanwhile, a quota).\n"
     "--only PATTERN restores only the paths below their root that match it\n"
     "(* any characters, the separator too; ? one; / or \\; letters of either\n"
     "case), matched on the path the restore would write, and names and counts\n"
     "only those; a pattern that matches no entry is an error (exit code 2,\n"
     "nothing written).  --no-filter writes also what the filter keeps out, and\n"
     "only into roots that are empty folders.\n"},
    {"compare", CIkoOptions::compare, true,
     "FILE --root 0=DIR --root 1=DIR [--root 2=DIR] [--only PATTERN]...",
     "what a restore would change in an installation; writes nothing",
     "Reads the file as a restore would and compares each file it would write\n"
     "with the installation's: \"differs:\" (size or content), \"missing:\" (the\n"
     "installation lacks it), \"not readable:\" (its target cannot be read),\n"
     "\"only here:\" (a file below one of the file's folders that the file lacks),\n"
     "\"kept out:\" (the restore filter would keep it out), \"would not be\n"
     "written:\" (a restore could not replace it: read-only, hidden or system,\n"
     "a refused path).  A target with the same bytes is the same, protected or\n"
     "not.  Exit code 0 when a restore would change nothing and no file differs,\n"
     "1 otherwise; kept out files alone do not count.  --only as for extract.\n"},
    {"help", CIkoOptions::help, false, "[COMMAND]", "this text, or a command's own",
     "Prints the list of commands and options, or with a command's name that\n"
     "command's own help.\n"},
};

const OptionForm kOptions[] = {
    {CIkoOptions::root, "--root", 0, "N=DIR", kWriters | kRestores, true,
     "root N is the folder DIR (N: 0, 1 or 2; see Roots)"},
    {CIkoOptions::format, "--format", 0, "3|4", Bit(CIkoOptions::create), false,
     "the books' format code to write (else the installation's markers)"},
    {CIkoOptions::json, "--json", 0, nullptr, kReaders, false,
     "one JSON document in UTF-8 on standard output"},
    {CIkoOptions::dryRun, "--dry-run", 0, nullptr, Bit(CIkoOptions::extract), false,
     "tells what extract would write, skip and refuse; writes nothing"},
    {CIkoOptions::only, "--only", 0, "PATTERN", kRestores, true,
     "only the paths below their root that match (*, ?, / or \\)"},
    {CIkoOptions::noFilter, "--no-filter", 0, nullptr, Bit(CIkoOptions::extract), false,
     "also what the restore filter keeps out, into empty roots only"},
    {CIkoOptions::quiet, "--quiet", 'q', nullptr, kEvery, false, "prints only errors"},
    {CIkoOptions::verbose, "--verbose", 'v', nullptr, kEvery, false,
     "names every entry as it goes"},
    {CIkoOptions::progress, "--progress", 0, nullptr, kEvery, false,
     "a progress line on standard error, also when it is not a terminal"},
    {CIkoOptions::helpOption, "--help", 'h', nullptr, kEvery, false,
     "this text; after a command, the command's own"},
    {CIkoOptions::version, "--version", 0, nullptr, Bit(CIkoOptions::none) | Bit(CIkoOptions::help),
     false, "the program's version"},
};

} // namespace

CIkoOptions::Table<Form> CIkoOptions::Commands() {
    return {kCommands, sizeof kCommands / sizeof kCommands[0]};
}

CIkoOptions::Table<OptionForm> CIkoOptions::Options() {
    return {kOptions, sizeof kOptions / sizeof kOptions[0]};
}

const Form* CIkoOptions::FindCommand(const CString& strName) {
    for (const Form& c : Commands())
        if (strName == c.pszName)
            return &c;
    return nullptr;
}

const Form& CIkoOptions::FormOf(Command nCommand) {
    for (const Form& c : Commands())
        if (c.nCommand == nCommand)
            return c;
    return kCommands[0];
}

bool CIkoOptions::Takes(const OptionForm& option, Command nCommand) {
    return (option.nCommands & Bit(nCommand)) != 0;
}

// Every word that begins with a dash is an option wherever it stands,
// until "--"; the others are the command and its file, in that order.
// Asked for help or the version, a command line need not be complete.
bool CIkoOptions::Parse(const std::vector<CString>& args, CString& strError) {
    std::vector<CString> words;
    bool bOptionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const CString& arg = args[i];
        if (!bOptionsEnded && arg == "--")
            bOptionsEnded = true;
        else if (!bOptionsEnded && arg.GetLength() > 1 && arg[0] == '-') {
            if (!ParseOption(args, i, strError))
                return false;
        } else
            words.push_back(arg);
    }
    if (!TakeWords(words, strError) || !CheckOptions(strError))
        return false;
    return m_bHelp || m_bVersion || CheckComplete(strError);
}

const OptionForm* CIkoOptions::FindOption(const CString& strName) {
    const bool bShort = strName.GetLength() == 2 && strName[1] != '-';
    for (const OptionForm& o : Options())
        if (bShort ? o.cShort == strName[1] : strName == o.pszLong)
            return &o;
    return nullptr;
}

// "--name value" or "--name=value"; a flag takes no value.
bool CIkoOptions::ParseOption(const std::vector<CString>& args, size_t& i, CString& strError) {
    const CString& word = args[i];
    const int equals = word.Left(2) == "--" ? word.Find('=') : -1;
    const CString name = equals < 0 ? word : word.Left(equals);
    const OptionForm* option = FindOption(name);
    if (!option) {
        strError = "unknown option \"" + name + "\"";
        return false;
    }
    const bool bRepeated = std::count(m_given.begin(), m_given.end(), option->nOption) > 0;
    if (bRepeated && !option->bRepeatable) {
        strError = name + " is given twice";
        return false;
    }
    m_given.push_back(option->nOption);
    CString value;
    return TakeValue(*option, args, i, equals < 0 ? CString() : word.Mid(equals + 1), equals >= 0,
                     value, strError) &&
           Apply(*option, value, strError);
}

bool CIkoOptions::TakeValue(const OptionForm& option, const std::vector<CString>& args, size_t& i,
                            const CString& strInline, bool bInline, CString& strValue,
                            CString& strError) {
    if (!option.pszValue) {
        if (bInline)
            strError = CString(option.pszLong) + " takes no value";
        return !bInline;
    }
    if (bInline) {
        strValue = strInline;
        return true;
    }
    if (++i >= args.size()) {
        strError = CString(option.pszLong) + " needs a value";
        return false;
    }
    strValue = args[i];
    return true;
}

bool CIkoOptions::Apply(const OptionForm& option, const CString& strValue, CString& strError) {
    switch (option.nOption) {
    case root:
        return ParseRoot(strValue, strError);
    case format:
        return ParseFormat(strValue, strError);
    case json:
        m_bJson = true;
        break;
    case dryRun:
        m_bDryRun = true;
        break;
    case only:
        if (strValue.IsEmpty()) {
            strError = "--only wants a pattern, not an empty word";
            return false;
        }
        m_astrOnly.push_back(strValue);
        break;
    case noFilter:
        m_bNoFilter = true;
        break;
    case quiet:
        m_nVerbosity = quietOutput;
        break;
    case verbose:
        m_nVerbosity = verboseOutput;
        break;
    case progress:
        m_bProgress = true;
        break;
    case helpOption:
        m_bHelp = true;
        break;
    case version:
        m_bVersion = true;
        break;
    }
    return true;
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
    // Typed with "/" it is the same folder: the engine composes and compares
    // paths with backslashes.  No trail byte of code page 932 is a "/".
    m_astrRoots[index] = strValue.Mid(2);
    m_astrRoots[index].Replace("/", "\\");
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

// "help COMMAND" is the command's own help, as "COMMAND --help" is.
bool CIkoOptions::TakeWords(const std::vector<CString>& words, CString& strError) {
    if (words.empty()) {
        if (!m_bHelp && !m_bVersion)
            strError = "a command is needed";
        return m_bHelp || m_bVersion;
    }
    const Form* command = FindCommand(words[0]);
    if (!command) {
        strError = "unknown command \"" + words[0] + "\"";
        return false;
    }
    m_nCommand = command->nCommand;
    if (words.size() > 2) {
        strError = "unexpected \"" + words[2] + "\"";
        return false;
    }
    m_strFile = words.size() > 1 ? words[1] : CString();
    if (m_nCommand != help)
        return true;
    const Form* topic = m_strFile.IsEmpty() ? nullptr : FindCommand(m_strFile);
    if (!m_strFile.IsEmpty() && !topic) {
        strError = "unknown command \"" + m_strFile + "\"";
        return false;
    }
    // "help --help" is the help command's own, as for every command.
    m_nHelpTopic = topic ? topic->nCommand : m_bHelp ? help : none;
    m_bHelp = true;
    return true;
}

bool CIkoOptions::CheckOptions(CString& strError) const {
    if (m_nCommand != none && m_nCommand != help)
        for (const OptionForm& o : Options())
            if (!Takes(o, m_nCommand) &&
                std::count(m_given.begin(), m_given.end(), o.nOption) > 0) {
                strError = CString(FormOf(m_nCommand).pszName) + " takes no " + o.pszLong;
                return false;
            }
    const auto given = [this](Option n) {
        return std::count(m_given.begin(), m_given.end(), n) > 0;
    };
    if (given(quiet) && given(verbose))
        strError = "-q and -v exclude each other";
    else if (m_bJson && (given(quiet) || given(verbose)))
        strError = "--json excludes -q and -v: the document is the whole output";
    return strError.IsEmpty();
}

bool CIkoOptions::CheckComplete(CString& strError) const {
    if (m_strFile.IsEmpty()) {
        strError = CString(FormOf(m_nCommand).pszName) + " needs a FILE";
        return false;
    }
    if (FormOf(m_nCommand).bNeedsRoots && (!m_abRootGiven[0] || !m_abRootGiven[1])) {
        strError = "--root 0=DIR and --root 1=DIR are needed";
        return false;
    }
    return true;
}
