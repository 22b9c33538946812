// velmora-search as a terminal user and a pipe see it.

#include "holds.h"
#include "tempdir.h"
#include "toolrun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using velmora::test::holds;
using velmora::test::runCommand;
using velmora::test::ToolRun;

const std::string kRed = "\x1b[01;31m\x1b[K";
const std::string kEnd = "\x1b[m\x1b[K";
const std::string kTryHelp = "Try 'velmora-search --help' for more information.\n";
const std::string kAbdullah = "Narrated 'Abdull\xc3\xa3h: the day, and the night\n";

// Runs the tool through the shell in a UTF-8 locale.
ToolRun run(const std::string &arguments, const std::string &redirect = "2>/dev/null",
            const std::string &env = "")
{
    return runCommand("LC_ALL=C.UTF-8 " + env + " \"" VELMORA_SEARCH_TOOL "\" " + arguments + " " + redirect);
}

struct Case
{
    std::string arguments;
    int status;
    std::string out;
    std::string redirect = "2>/dev/null";
    std::string env = "";
};

class SearchTool : public ::testing::Test
{
protected:
    velmora::test::TempDir data;
    std::string source;

    void SetUp() override
    {
        // Windows-1252: 0xE3 is a with tilde.
        data.write("BUKHARI.TXT", "\"Narrated 'Abdull\xe3h: the day, and the night\"\r\n"
                                  "Narrated Anas: about water\r\n"
                                  "Narrated Abu Huraira: a DAY of fasting\r\n");
        source = "--data \"" + data.folder() + "\" bukhari ";
    }

    static void expectRuns(const std::vector<Case> &cases)
    {
        for (const Case &c : cases) {
            const ToolRun r = run(c.arguments, c.redirect, c.env);
            EXPECT_EQ(r.status, c.status) << c.arguments;
            EXPECT_EQ(r.out, c.out) << c.arguments;
        }
    }
};

} // namespace

TEST_F(SearchTool, QueriesCountsAndExitStatusesAsGrepHasThem)
{
    const std::string folder = "--data \"" + data.folder() + "\" ";
    expectRuns({
        {source + "'abdull\xc3\xa3h'", 0, kAbdullah}, // typed as UTF-8, shown as UTF-8
        // --raw keeps the bytes: the Windows-1252 query finds the record and prints it as it is.
        {"--raw " + source + "'abdull\xe3h'", 0, "Narrated 'Abdull\xe3h: the day, and the night\n"},
        {"-c " + source + "day", 0, "2\n"},
        {"--count " + source + "water", 0, "1\n"},
        {"-n " + source + "day", 0, "1:" + kAbdullah + "3:Narrated Abu Huraira: a DAY of fasting\n"},
        // Piped, the output holds the records alone; the program's count line goes to stderr.
        {source + "water", 0, "1 items found\n", "2>&1 >/dev/null"},
        {source + "day night", 0, kAbdullah},
        {source + "zebra", 1, ""},
        {"-c " + source + "zebra", 1, "0\n"},
        {folder + "muslim day", 2, ""}, // no such file
        {folder + "nowhere day", 2, ""},
        {"--frobnicate " + source + "day", 2, ""},
        {source + "a b c d e f", 2, ""}, // more than five words
        {"--version", 0, "velmora-search 1.1\n"},
        // Source names in any letter case.
        {"-c " + folder + "BUKHARI water", 0, "1\n"},
        {"-c " + folder + "Bukhari water", 0, "1\n"},
        {"-c " + folder + "bukhari.txt water", 0, "1\n"},
        {"-c " + folder + "5 water", 0, "1\n"},
    });
    const ToolRun usage = run("", "2>&1");
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(holds(usage.out, "Try 'velmora-search --help'"));
    EXPECT_TRUE(holds(run("--help").out, "pickthall"));
}

TEST_F(SearchTool, ColourOnRequestOrOnATerminal)
{
    expectRuns({
        {source + "water", 0, "Narrated Anas: about water\n"}, // a pipe gets no colour
        {"--color=always " + source + "day", 0,
         "Narrated 'Abdull\xc3\xa3h: the " + kRed + "day" + kEnd + ", and the night\n" +
             "Narrated Abu Huraira: a " + kRed + "DAY" + kEnd + " of fasting\n"},
        {"--color=never " + source + "water", 0, "Narrated Anas: about water\n"},
        {"--color=sometimes " + source + "day", 2, ""},
        // Every word of the query is marked, in any letter case.
        {"--color=always " + source + "DAY NIGHT", 0,
         "Narrated 'Abdull\xc3\xa3h: the " + kRed + "day" + kEnd + ", and the " + kRed + "night" + kEnd +
             "\n"},
    });
    // On a terminal (script gives the program one) the colour is on by itself, unless the
    // environment asks for none.
    for (const std::string env : {"TERM=xterm", "TERM=xterm NO_COLOR=1", "TERM=dumb"}) {
        const std::string shown =
            runCommand("LC_ALL=C.UTF-8 " + env + " script -qec '\"" VELMORA_SEARCH_TOOL "\" " + source +
                       "water' /dev/null")
                .out;
        EXPECT_EQ(holds(shown, kRed + "water" + kEnd), env == "TERM=xterm") << env << shown;
        EXPECT_TRUE(holds(shown, "1 items found")) << "the count line shows on the terminal";
    }
}

TEST_F(SearchTool, TheArabicTextAndArabicQueries)
{
    data.write("quran-simple-clean.txt",
               "1|2|\u0627\u0644\u062D\u0645\u062F \u0644\u0644\u0647\n"
               "2|2|\u0623\u0644\u0645\n2|3|\u0627\u0644\u0633\u0645\u0627\u0648\u0627\u062A\n");
    data.write("quran-uthmani.txt",
               "1|2|\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F "
               "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"
               "2|3|\u0671\u0644\u0633\u0651\u064E\u0645\u064E\u0640\u0670\u0648\u064E\u0670\u062A\u0650\n");
    data.write("quranic-corpus-morphology.txt", "Al+ POS:N LEM:Hamod ROOT:Hmd M NOM\n"
                                                "l:P+ POS:PN LEM:{ll~ah ROOT:Alh GEN\n"
                                                "Al+ POS:N LEM:samaA' ROOT:smw FP GEN\n");
    const std::string folder = "--data \"" + data.folder() + "\" ";
    const std::string arabic = folder + "arabic ";
    expectRuns({
        {arabic + "\u0644\u0644\u0647", 0,
         "001:2 \u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F "
         "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"},
        {"-c " + arabic + "\u0627\u0644\u0645", 0, "1\n"}, // the hamza folded away
        {"-n --color=always " + arabic + "\u0627\u0644\u062D\u0645\u062F", 0,
         "1:001:2 " + kRed + "\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F" + kEnd +
             " \u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"},
        {"-c --data \"" + data.folder() + "\" 9 \u0628\u0627\u0628", 1, "0\n"},
        {"-cw " + arabic + "\u0627\u0644\u062D\u0645", 1, "0\n"}, // part of a word only
        {"-cw " + arabic + "\u0627\u0644\u062D\u0645\u062F", 0, "1\n"},
        {"-cw " + arabic + "\u0627\u0644\u0633\u0645\u0648\u0627\u062A", 0, "1\n"}, // the reading spelling
        {"--color=always --root \u062D\u0645\u062F " + folder, 0,
         "001:2 " + kRed + "\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F" + kEnd +
             " \u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"},
        {"-c " + arabic + "lemma:\u0633\u0645\u0627\u0621", 0, "1\n"},
        {source + "\u0644\u0644\u0647", 1, ""},
    });
    // The reader's notes, in the program's own folder, as a source; its lines on one.
    data.write("state/velmora/Notes.md", "## 1:2\nPraise\n\u0625\u064A\u0645\u0627\u0646\n");
    const std::string own = "XDG_STATE_HOME=\"" + data.folder() + "state\"";
    expectRuns({
        {"notes PRAISE \u0627\u064A\u0645\u0627\u0646", 0, "001.2) Praise \u0625\u064A\u0645\u0627\u0646\n",
         "2>/dev/null", own},
        {"-c notes night", 1, "0\n", "2>/dev/null", own},
    });
    EXPECT_TRUE(holds(run(source + "\u0644\u0644\u0647", "2>&1").out, "the source 'arabic'"));
}

TEST_F(SearchTool, GrepsOptionsAndQueriesNoTextCanHold)
{
    expectRuns({
        {source + "\xce\xa9", 1, ""}, // an omega: no Windows-1252 text holds it
        {"-c " + source + "\xf0\x9f\x98\x80", 1, "0\n"},
        {"-c " + source + "\"'abdulla\xcc\x83h'\"", 0, "1\n"}, // a and its tilde typed apart
        {"-c " + source + "da", 0, "2\n"},
        {"-cw " + source + "da", 1, "0\n"},
        {"-w -c " + source + "day", 0, "2\n"},
        {"-m 1 " + source + "day", 0, kAbdullah},
        {"-q " + source + "day", 0, ""},
        {"-q " + source + "zebra", 1, ""},
        {"--color=always -m1 " + source + "water", 0,
         "Narrated Anas: about \x1b[01;32m\x1b[Kwater" + kEnd + "\n", "2>/dev/null",
         "GREP_COLORS='sl=1:mt=01;32'"},
        {source + "day", 2, "velmora-search: write error\n", "2>&1 >/dev/full"},
        // Options after the operands, and the refusals getopt_long finds, in the tool's words.
        {source + "day --max-count 1", 0, kAbdullah},
        {source + "day -m", 2, "velmora-search: option '-m' requires a number\n" + kTryHelp, "2>&1"},
        {"--count=1 " + source + "day", 2, "velmora-search: option '--count' takes no value\n" + kTryHelp,
         "2>&1"},
        {"--co " + source + "day", 2, "velmora-search: ambiguous option '--co'\n" + kTryHelp, "2>&1"},
    });
}
