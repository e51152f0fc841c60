#include "IkoHelp.h"

#include "MorvaneVersion.h"

namespace {

const char kRoots[] =
    "Roots:\n"
    "  0  the product directory (holds Data)\n"
    "  1  the data directory (holds Excel)\n"
    "  2  the common directory (SettingShain.dat, CodeShain2.dat, CodeShain2_B.dat)\n"
    "  A root that is not given is not set: nothing is read from it or written to it.\n";

const char kExitCodes[] = "Exit codes, as diff and cmp have them:\n"
                          "  0  done (compare: a restore would change nothing)\n"
                          "  1  done, but not everything: files that extract could not write,\n"
                          "     files that create left out of the file it wrote, differences\n"
                          "     that compare found\n"
                          "  2  trouble: a damaged file, a failure, a usage error, an --only\n"
                          "     pattern that matches nothing, a root that is not empty for\n"
                          "     --no-filter\n";

const char kStreams[] =
    "Results go to standard output; warnings (\"skipped:\", \"not written:\",\n"
    "\"left out:\") and errors to standard error.  Options may stand before or\n"
    "after the file.  Control characters in names are shown as ^J, ^M...\n";

} // namespace

CString CIkoHelp::Column(const CString& strLeft, int nWidth) {
    CString text = "  " + strLeft;
    while (text.GetLength() < nWidth)
        text += ' ';
    return text + ' ';
}

CString CIkoHelp::UsageLine(const CIkoOptions::CommandForm& command) {
    return CString("ikotool ") + command.pszName + " " + command.pszArguments;
}

CString CIkoHelp::OptionName(const CIkoOptions::OptionForm& option) {
    CString name;
    if (option.cShort)
        name.Format("-%c, ", option.cShort);
    name += option.pszLong;
    if (option.pszValue)
        name += CString(" ") + option.pszValue;
    return name;
}

CString CIkoHelp::OptionLines(CIkoOptions::Command nCommand) {
    CString text = "Options:\n";
    for (const CIkoOptions::OptionForm& o : CIkoOptions::Options())
        if (nCommand == CIkoOptions::none || CIkoOptions::Takes(o, nCommand))
            text += Column(OptionName(o), 17) + o.pszHelp + "\n";
    return text;
}

CString CIkoHelp::General() {
    CString text = "ikotool: looks into, checks, writes and restores Tessaro's migration files "
                   "(*.iko)\n\n"
                   "usage: ikotool COMMAND FILE [OPTIONS]\n"
                   "       ikotool COMMAND --help\n\n"
                   "Commands:\n";
    for (const CIkoOptions::CommandForm& c : CIkoOptions::Commands())
        text += Column(c.pszName, 10) + c.pszSummary + "\n";
    text +=
        "\n" + OptionLines(CIkoOptions::none) + "\n" + kStreams + "\n" + kRoots + "\n" + kExitCodes;
    return text.Left(text.GetLength() - 1);
}

CString CIkoHelp::OfCommand(CIkoOptions::Command nCommand) {
    const CIkoOptions::CommandForm& command = CIkoOptions::FormOf(nCommand);
    CString text = "usage: " + UsageLine(command) + "\n\n" + command.pszDescription + "\n" +
                   OptionLines(nCommand);
    if (command.bNeedsRoots)
        text += CString("\n") + kRoots;
    text += CString("\n") + kExitCodes;
    return text.Left(text.GetLength() - 1);
}

CString CIkoHelp::Version() {
    return "ikotool " MORVANE_VERSION_TEXT " (Morvane companion programs)\n" MORVANE_COPYRIGHT;
}

CString CIkoHelp::UsageHint(CIkoOptions::Command nCommand) {
    if (nCommand == CIkoOptions::none || nCommand == CIkoOptions::help)
        return "usage: ikotool COMMAND FILE [OPTIONS]; ikotool --help lists them";
    return "usage: " + UsageLine(CIkoOptions::FormOf(nCommand)) + "; ikotool " +
           CIkoOptions::FormOf(nCommand).pszName + " --help tells more";
}
