// ikotool's command line: where options may stand, what each command takes.
#include "IkoHelp.h"
#include "IkoOptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<CString> Words(const std::string& line) {
    std::vector<CString> words;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        words.emplace_back(word);
    return words;
}

} // namespace

TEST(IkoOptions, OptionsMayStandBeforeOrAfterTheFile) {
    const char* const lines[] = {
        "create m.iko --root 0=p --root 1=d --format 4 -v",
        "create --root 0=p --root 1=d m.iko --format 4 -v",
        "-v create --format=4 --root=0=p m.iko --root 1=d",
        "--verbose --root 1=d --format 4 create --root 0=p -- m.iko",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        CIkoOptions options;
        CString error;
        ASSERT_TRUE(options.Parse(Words(line), error)) << error.GetString();
        EXPECT_EQ(CIkoOptions::create, options.m_nCommand);
        EXPECT_EQ(CString("m.iko"), options.m_strFile);
        EXPECT_EQ(CString("p"), options.m_astrRoots[0]);
        EXPECT_EQ(CString("d"), options.m_astrRoots[1]);
        EXPECT_FALSE(options.m_abRootGiven[2]);
        EXPECT_EQ(4, options.m_nFormat);
        EXPECT_EQ(CIkoOptions::verboseOutput, options.m_nVerbosity);
    }
}

TEST(IkoOptions, AFileThatLooksLikeAnOptionFollowsTheEndOfOptions) {
    CIkoOptions options;
    CString error;
    ASSERT_TRUE(options.Parse(Words("test -- -q.iko"), error)) << error.GetString();
    EXPECT_EQ(CString("-q.iko"), options.m_strFile);
    EXPECT_EQ(CIkoOptions::normalOutput, options.m_nVerbosity);
}

TEST(IkoOptions, HelpAndVersionNeedNoCompleteCommandLine) {
    const struct {
        const char* line;
        CIkoOptions::Command command, topic;
        bool version;
    } cases[] = {
        {"--help", CIkoOptions::none, CIkoOptions::none, false},
        {"-h", CIkoOptions::none, CIkoOptions::none, false},
        {"help", CIkoOptions::help, CIkoOptions::none, false},
        {"help --help", CIkoOptions::help, CIkoOptions::help, false},
        {"help extract", CIkoOptions::help, CIkoOptions::extract, false},
        {"extract --help", CIkoOptions::extract, CIkoOptions::none, false},
        {"create -h x.iko", CIkoOptions::create, CIkoOptions::none, false},
        {"--version", CIkoOptions::none, CIkoOptions::none, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CIkoOptions options;
        CString error;
        ASSERT_TRUE(options.Parse(Words(c.line), error)) << error.GetString();
        EXPECT_EQ(c.command, options.m_nCommand);
        EXPECT_EQ(!c.version, options.m_bHelp);
        EXPECT_EQ(c.version, options.m_bVersion);
        EXPECT_EQ(c.topic, options.m_nHelpTopic);
    }
}

TEST(IkoOptions, UsageErrorsSayWhatIsWrong) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"", "a command is needed"},
        {"pack x.iko", "unknown command \"pack\""},
        {"help pack", "unknown command \"pack\""},
        {"list", "list needs a FILE"},
        {"list a.iko b.iko", "unexpected \"b.iko\""},
        {"list x.iko --bogus", "unknown option \"--bogus\""},
        {"list x.iko -x", "unknown option \"-x\""},
        {"list x.iko --root 0=p", "list takes no --root"},
        {"extract x.iko --root 0=p --root 1=d --format 3", "extract takes no --format"},
        {"extract x.iko --root 0=p --root 1=d --json", "extract takes no --json"},
        {"list x.iko --version", "list takes no --version"},
        {"create x.iko --root 0=p", "--root 0=DIR and --root 1=DIR are needed"},
        {"create x.iko --root 3=p --root 1=d", "--root wants 0=DIR, 1=DIR or 2=DIR, not \"3=p\""},
        {"create x.iko --root 0=p --root 0=q --root 1=d", "root 0 is given twice"},
        {"create x.iko --root", "--root needs a value"},
        {"create x.iko --root 0=p --root 1=d --format 5", "--format wants 3 or 4, not \"5\""},
        {"create x.iko --root 0=p --root 1=d --format 3 --format 4", "--format is given twice"},
        {"test x.iko --json=yes", "--json takes no value"},
        {"test x.iko -q -v", "-q and -v exclude each other"},
        {"test x.iko -q --quiet", "--quiet is given twice"},
        {"test x.iko --json -v", "--json excludes -q and -v"},
        {"extract x.iko --root 0=p --root 1=d --only=", "--only wants a pattern"},
        {"compare x.iko --root 0=p --root 1=d --dry-run", "compare takes no --dry-run"},
        {"compare x.iko --root 0=p --no-filter", "compare takes no --no-filter"},
        {"compare x.iko --root 0=p", "--root 0=DIR and --root 1=DIR are needed"},
        {"create x.iko --root 0=p --root 1=d --only a", "create takes no --only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CIkoOptions options;
        CString error;
        EXPECT_FALSE(options.Parse(Words(c.line), error));
        EXPECT_EQ(0, error.Find(c.error)) << error.GetString();
    }
}

// The help texts come from the tables: every command and option has its
// line, and each command's own help lists just its options.
TEST(IkoOptions, HelpNamesEveryCommandAndOptionOnce) {
    const CString general = CIkoHelp::General();
    for (const CIkoOptions::CommandForm& c : CIkoOptions::Commands()) {
        SCOPED_TRACE(c.pszName);
        EXPECT_GE(general.Find(CString("\n  ") + c.pszName + " "), 0);
        const CString own = CIkoHelp::OfCommand(c.nCommand);
        EXPECT_EQ(0, own.Find(CString("usage: ikotool ") + c.pszName + " " + c.pszArguments));
        const CString options = own.Mid(own.Find("\nOptions:\n"));
        for (const CIkoOptions::OptionForm& o : CIkoOptions::Options())
            EXPECT_EQ(CIkoOptions::Takes(o, c.nCommand),
                      options.Find(CString(" ") + o.pszLong + " ") >= 0)
                << o.pszLong;
    }
    for (const char* part :
         {"\n  0  done (compare: a restore would change nothing)\n",
          "\n  1  done, but not everything", "\n  2  trouble", "\n  0  the product directory",
          "\n  1  the data directory", "\n  2  the common directory"})
        EXPECT_GE(general.Find(part), 0) << part;
}
