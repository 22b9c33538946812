// velmora-search as a terminal user and a pipe see it.

#include "tempdir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun
{
    std::string out; // standard output and, when asked, standard error after it
    int status = -1;
};

// Runs the command through the shell in a UTF-8 locale and reads what it prints.
ToolRun run(const std::string &arguments, const std::string &redirect = "2>/dev/null",
            const std::string &env = "")
{
    const std::string command = "LC_ALL=C.UTF-8 " + env + " \"" + std::string(VELMORA_SEARCH_TOOL) + "\" " +
                                arguments + " " + redirect;
    ToolRun result;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

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
};

} // namespace

TEST_F(SearchTool, QueriesAndHitsAreInTheTerminalsEncoding)
{
    const ToolRun hit = run(source + "'abdull\xc3\xa3h'"); // typed as UTF-8
    EXPECT_EQ(hit.status, 0);
    EXPECT_EQ(hit.out, "Narrated 'Abdull\xc3\xa3h: the day, and the night\n");
    // --raw keeps the bytes: the Windows-1252 query finds the record and prints it as it is.
    const ToolRun raw = run("--raw " + source + "'abdull\xe3h'");
    EXPECT_EQ(raw.out, "Narrated 'Abdull\xe3h: the day, and the night\n");
}

TEST_F(SearchTool, CountNumbersAndTheCountLine)
{
    EXPECT_EQ(run("-c " + source + "day").out, "2\n");
    EXPECT_EQ(run("--count " + source + "water").out, "1\n");
    EXPECT_EQ(
        run("-n " + source + "day").out,
        "1:Narrated 'Abdull\xc3\xa3h: the day, and the night\n3:Narrated Abu Huraira: a DAY of fasting\n");
    // Piped, the output holds the records alone; the program's count line goes to stderr.
    EXPECT_EQ(run(source + "water", "2>&1 >/dev/null").out, "1 items found\n");
    EXPECT_EQ(run(source + "day night").out, "Narrated 'Abdull\xc3\xa3h: the day, and the night\n");
}

TEST_F(SearchTool, ExitStatusesFollowGrep)
{
    EXPECT_EQ(run(source + "day").status, 0);
    EXPECT_EQ(run(source + "zebra").status, 1);
    EXPECT_EQ(run("-c " + source + "zebra").out, "0\n");
    const ToolRun usage = run("", "2>&1");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.out.find("Try 'velmora-search --help'"), std::string::npos) << usage.out;
    EXPECT_EQ(run("--data \"" + data.folder() + "\" muslim day").status, 2) << "no such file";
    EXPECT_EQ(run("--data \"" + data.folder() + "\" nowhere day").status, 2);
    EXPECT_EQ(run("--frobnicate " + source + "day").status, 2);
    EXPECT_EQ(run(source + "a b c d e f").status, 2) << "more than five words";
    const ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("pickthall"), std::string::npos);
    EXPECT_EQ(run("--version").out.rfind("velmora-search ", 0), 0u);
    // Source names in any letter case.
    for (const char *name : {"BUKHARI", "Bukhari", "bukhari.txt", "5"})
        EXPECT_EQ(run("-c --data \"" + data.folder() + "\" " + name + " water").out, "1\n") << name;
}

TEST_F(SearchTool, ColourOnRequestOrOnATerminal)
{
    const std::string red = "\x1b[01;31m\x1b[K";
    const std::string end = "\x1b[m\x1b[K";
    EXPECT_EQ(run(source + "water").out.find(red), std::string::npos) << "a pipe gets no colour";
    EXPECT_EQ(run("--color=always " + source + "day").out,
              "Narrated 'Abdull\xc3\xa3h: the " + red + "day" + end + ", and the night\n" +
                  "Narrated Abu Huraira: a " + red + "DAY" + end + " of fasting\n");
    EXPECT_EQ(run("--color=never " + source + "day").out.find(red), std::string::npos);
    EXPECT_EQ(run("--color=sometimes " + source + "day").status, 2);
    // Every word of the query is marked, in any letter case.
    EXPECT_NE(run("--color=always " + source + "DAY NIGHT").out.find(red + "night" + end), std::string::npos);
    // On a terminal (script gives the program one) the colour is on by itself, unless the
    // environment asks for none.
    const std::string tool = VELMORA_SEARCH_TOOL;
    for (const std::string env : {"TERM=xterm", "TERM=xterm NO_COLOR=1", "TERM=dumb"}) {
        FILE *pipe =
            popen(("LC_ALL=C.UTF-8 " + env + " script -qec '\"" + tool + "\" " + source + "water' /dev/null")
                      .c_str(),
                  "r");
        ASSERT_TRUE(pipe);
        std::string shown;
        std::array<char, 4096> buffer{};
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            shown.append(buffer.data(), n);
        pclose(pipe);
        EXPECT_EQ(shown.find(red + "water" + end) != std::string::npos, env == "TERM=xterm") << env << shown;
        EXPECT_NE(shown.find("1 items found"), std::string::npos) << "the count line shows on the terminal";
    }
}

TEST_F(SearchTool, TheArabicTextAndArabicQueries)
{
    data.write("quran-simple-clean.txt", "1|2|\u0627\u0644\u062D\u0645\u062F \u0644\u0644\u0647\n"
                                         "2|2|\u0623\u0644\u0645\n");
    data.write("quran-uthmani.txt", "1|2|\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F "
                                    "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n");
    const std::string arabic = "--data \"" + data.folder() + "\" arabic ";
    const std::string red = "\x1b[01;31m\x1b[K";
    struct Case
    {
        std::string arguments;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {arabic + "\u0644\u0644\u0647", 0,
         "001:2 \u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F "
         "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"},
        {"-c " + arabic + "\u0627\u0644\u0645", 0, "1\n"}, // the hamza folded away
        {"-n --color=always " + arabic + "\u0627\u0644\u062D\u0645\u062F", 0,
         "1:001:2 " + red +
             "\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F\x1b[m\x1b[K "
             "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"},
        {"-c --data \"" + data.folder() + "\" 9 \u0628\u0627\u0628", 1, "0\n"},
        {"-cw " + arabic + "\u0627\u0644\u062D\u0645", 1, "0\n"}, // part of a word only
        {"-cw " + arabic + "\u0627\u0644\u062D\u0645\u062F", 0, "1\n"},
        {source + "\u0644\u0644\u0647", 1, ""},
    };
    for (const auto &c : cases) {
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.out, c.out) << c.arguments;
    }
    EXPECT_NE(run(source + "\u0644\u0644\u0647", "2>&1").out.find("the source 'arabic'"), std::string::npos);
}

TEST_F(SearchTool, GrepsOptionsAndQueriesNoTextCanHold)
{
    const std::string red = "\x1b[01;31m\x1b[K";
    struct Case
    {
        std::string arguments;
        int status;
        std::string out;
        std::string env = "";
    };
    const Case cases[] = {
        {source + "\xce\xa9", 1, ""}, // an omega: no Windows-1252 text holds it
        {"-c " + source + "\xf0\x9f\x98\x80", 1, "0\n"},
        {"-c " + source + "\"'abdulla\xcc\x83h'\"", 0, "1\n"}, // a and its tilde typed apart
        {"-c " + source + "da", 0, "2\n"},
        {"-cw " + source + "da", 1, "0\n"},
        {"-w -c " + source + "day", 0, "2\n"},
        {"-m 1 " + source + "day", 0, "Narrated 'Abdull\xc3\xa3h: the day, and the night\n"},
        {"-q " + source + "day", 0, ""},
        {"-q " + source + "zebra", 1, ""},
        {"--color=always -m1 " + source + "water", 0,
         "Narrated Anas: about \x1b[01;32m\x1b[Kwater\x1b[m\x1b[K\n", "GREP_COLORS='sl=1:mt=01;32'"},
        {source + "day", 2, "velmora-search: write error\n", ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        const bool last = i + 1 == std::size(cases);
        const ToolRun r = run(c.arguments, last ? "2>&1 >/dev/full" : "2>/dev/null", c.env);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.out, c.out) << c.arguments;
    }
}
