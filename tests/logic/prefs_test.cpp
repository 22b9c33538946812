#include "core/textfield.h"
#include "shell/prefs.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

Preferences parse(const std::string &data)
{
    FieldReader r(data);
    return parsePreferences(r);
}

} // namespace

TEST(Preferences, MissingLinesTakeDefaults)
{
    const Preferences p = parse("");
    EXPECT_EQ(p.playerPath, "");
    EXPECT_EQ(p.fontName, "Comic Sans MS");
    EXPECT_EQ(p.fontSize, 9.75);
    EXPECT_FALSE(p.bold);
    EXPECT_EQ(p.checks, (std::array<int, 3>{0, 0, 0}));

    const Preferences two = parse("C:\\WINAMP\\WINAMP.EXE\r\nArial\r\n");
    EXPECT_EQ(two.playerPath, "C:\\WINAMP\\WINAMP.EXE");
    EXPECT_EQ(two.fontName, "Arial");
    EXPECT_EQ(two.fontSize, 9.75);
    EXPECT_EQ(parse("\r\n\r\n\r\n").fontName, "Comic Sans MS");
}

TEST(Preferences, ReadsAllSevenLines)
{
    const Preferences p = parse("P\r\nTahoma\r\n 12.25 \r\nTrue\r\n 1 \r\n 0 \r\n 1 \r\n");
    EXPECT_EQ(p.fontSize, 12.25);
    EXPECT_TRUE(p.bold);
    EXPECT_EQ(p.checks, (std::array<int, 3>{1, 0, 1}));
    EXPECT_FALSE(parse("\r\nA\r\n 9 \r\nFalse\r\n").bold);
}

TEST(Preferences, BadValuesFallBackToSoundOnes)
{
    EXPECT_EQ(parse("\r\nA\r\n huge \r\n").fontSize, 9.75);
    EXPECT_EQ(parse("\r\nA\r\n 5000 \r\n").fontSize, 9.75);
    EXPECT_EQ(parse("\r\nA\r\n 0 \r\n").fontSize, 9.75);
    EXPECT_EQ(parse("\r\nA\r\n -4 \r\n").fontSize, 9.75);
    EXPECT_FALSE(parse("\r\nA\r\n 9 \r\nyes\r\n").bold);
    EXPECT_EQ(parse("\r\nA\r\n 9 \r\nTrue\r\n x \r\n 2 \r\n 1 \r\n").checks, (std::array<int, 3>{0, 0, 1}));
}

TEST(Preferences, RoundTripIncludingACommaInTheFontName)
{
    Preferences p;
    p.playerPath = "/opt/player, new/player";
    p.fontName = "Times, Bold";
    p.fontSize = 10.75;
    p.bold = true;
    p.checks = {1, 1, 0};
    p.arabic = 1;
    const std::string text = formatPreferences(p);
    EXPECT_EQ(
        text,
        "\"/opt/player, new/player\"\r\n\"Times, Bold\"\r\n 10.75 \r\nTrue\r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n");
    const Preferences back = parse(text);
    EXPECT_EQ(back.playerPath, p.playerPath);
    EXPECT_EQ(back.fontName, p.fontName);
    EXPECT_EQ(back.fontSize, p.fontSize);
    EXPECT_TRUE(back.bold);
    EXPECT_EQ(back.checks, p.checks);
    EXPECT_EQ(back.arabic, 1);
    // A file of seven lines, as older versions write it, leaves the Arabic text off.
    EXPECT_EQ(parse(text.substr(0, text.size() - 5)).arabic, 0);

    Preferences plain;
    EXPECT_EQ(formatPreferences(plain),
              "\r\nComic Sans MS\r\n 9.75 \r\nFalse\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
}
