#include "core/prefs.h"
#include "core/textfield.h"
#include "recite/memorise.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

Preferences parse(const std::string &data)
{
    FieldReader r(data);
    return parsePreferences(r);
}

// The lines of a record after the player and the font name, with the defaults where left out.
std::string record(const std::string &head,
                   const std::string &rest = " 9.75 \r\nFalse\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n")
{
    return head + rest;
}

} // namespace

TEST(Preferences, ReadAsWrittenWithDefaultsForWhatIsMissingOrBad)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", record("\r\nComic Sans MS\r\n")},
        {"\r\n\r\n\r\n", record("\r\nComic Sans MS\r\n")},
        {"C:\\WINAMP\\WINAMP.EXE\r\nArial\r\n", record("C:\\WINAMP\\WINAMP.EXE\r\nArial\r\n")},
        // Seven lines, as older versions write them: the Arabic text and word by word are left off.
        {"P\r\nTahoma\r\n 12.25 \r\nTrue\r\n 1 \r\n 0 \r\n 1 \r\n",
         record("P\r\nTahoma\r\n", " 12.25 \r\nTrue\r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n 0 \r\n")},
        {"\r\nA\r\n huge \r\n", record("\r\nA\r\n")},
        {"\r\nA\r\n 5000 \r\n", record("\r\nA\r\n")},
        {"\r\nA\r\n 0 \r\n", record("\r\nA\r\n")},
        {"\r\nA\r\n -4 \r\nyes\r\n", record("\r\nA\r\n")},
        {"\r\nA\r\n 9 \r\nTrue\r\n x \r\n 2 \r\n 1 \r\n",
         record("\r\nA\r\n", " 9 \r\nTrue\r\n 0 \r\n 0 \r\n 1 \r\n 0 \r\n 0 \r\n")},
    };
    for (const auto &[input, formatted] : rows)
        EXPECT_EQ(formatPreferences(parse(input)), formatted) << input;
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
    p.wordByWord = 1;
    const std::string text = formatPreferences(p);
    EXPECT_EQ(
        text,
        "\"/opt/player, new/player\"\r\n\"Times, Bold\"\r\n 10.75 \r\nTrue\r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n "
        "1 \r\n");
    EXPECT_EQ(formatPreferences(parse(text)), text);
}

// The memorising choices read back as written; a value out of bounds, or a reciter's name that
// could reach outside the reciters' folder, keeps the default.
TEST(ReciteSettings, ReadAsWrittenAndUnsoundValuesKeepTheDefault)
{
    ReciteSettings chosen;
    chosen.reciter = "الحصري";
    chosen.speed = 1.25;
    chosen.risingRepeats = chosen.hideText = true;
    chosen.selectionPauseSeconds = 10;
    chosen.lengthMultiple = 1.5;
    const ReciteSettings read = parseReciteSettings(formatReciteSettings(chosen));
    EXPECT_EQ(formatReciteSettings(read), formatReciteSettings(chosen));
    const ReciteSettings bad = parseReciteSettings(
        "reciter=../../etc\r\nspeed=3\r\nselectionpause=-4\r\nlengthmultiple=x\r\nrising=yes\r\n");
    EXPECT_EQ(formatReciteSettings(bad), formatReciteSettings(ReciteSettings{}));
}
