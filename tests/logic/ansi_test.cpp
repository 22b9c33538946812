#include "core/ansi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace velmora;

TEST(Ansi, LetterCaseFollowsWindows1252)
{
    EXPECT_EQ(ansi::upper("day judgment"), "DAY JUDGMENT");
    EXPECT_EQ(ansi::upper("\xe9t\xe9 \x9a\x9c\x9e\xff"), "\xc9T\xc9 \x8a\x8c\x8e\x9f");
    EXPECT_EQ(ansi::lower("\xc9\xc0\x8a"), "\xe9\xe0\x9a");
    EXPECT_EQ(ansi::upper("\xdf\xf7\xb5 123"), "\xdf\xf7\xb5 123"); // no capital forms
    EXPECT_TRUE(ansi::equalsNoCase("Bukhari", "BUKHARI"));
    EXPECT_FALSE(ansi::equalsNoCase("Bukhari", "Bukhar"));
}

TEST(Ansi, ConvertsTheHighRangeThroughTheRealTable)
{
    EXPECT_EQ(ansi::toUnicode(0x80), u'\u20ac');
    EXPECT_EQ(ansi::toUnicode(0x92), u'\u2019');
    EXPECT_EQ(ansi::toUnicode(0x93), u'\u201c');
    EXPECT_EQ(ansi::toUnicode(0xe9), u'\u00e9');
    EXPECT_EQ(ansi::fromUnicode(U'\u2019'), '\x92');
    EXPECT_EQ(ansi::fromUnicode(U'\u00e9'), '\xe9');
    EXPECT_EQ(ansi::fromUnicode(U'\u0627'), '?');
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(
            static_cast<unsigned char>(ansi::fromUnicode(ansi::toUnicode(static_cast<unsigned char>(c)))), c);
}

TEST(Ansi, ListOrderIgnoresCaseApostrophesAndHyphens)
{
    std::vector<std::string> items = {"night", "'Day of Judgment'", "Day Judgment", "day", "Zed", "123",
                                      "apple"};
    std::stable_sort(items.begin(), items.end(), ansi::collateLess);
    EXPECT_EQ(items, (std::vector<std::string>{"123", "apple", "day", "Day Judgment", "'Day of Judgment'",
                                               "night", "Zed"}));
    EXPECT_LT(ansi::collate("114 An Nas (Mankind)", "Quranic Duas"), 0);
    EXPECT_LT(ansi::collate("", "002-001"), 0);
    EXPECT_LT(ansi::collate("ALPHA.M3U", "Default.m3u"), 0);
    EXPECT_EQ(ansi::collate("same", "same"), 0);
}

TEST(Ansi, AccentedLettersSortWithTheirPlainOnes)
{
    // \311 is E acute, \343 a tilde, \337 sharp s and \336 thorn, which has no plain letter.
    using List = std::vector<std::string>;
    const std::pair<List, List> cases[] = {
        {{"zz", "\311clair", "eclair", "Ecu", "\337e", "sa", "\336orn"},
         {"eclair", "\311clair", "Ecu", "sa", "\337e", "zz", "\336orn"}},
        {{"Narrated 'Abdullah bin 'Umar x", "Narrated 'Abdull\343h bin 'Umar", "Narrated 'Abdullah bin 'Umar",
          "Narrated Abu"},
         {"Narrated 'Abdullah bin 'Umar", "Narrated 'Abdull\343h bin 'Umar", "Narrated 'Abdullah bin 'Umar x",
          "Narrated Abu"}},
    };
    for (auto [items, sorted] : cases) {
        std::stable_sort(items.begin(), items.end(), ansi::collateLess);
        EXPECT_EQ(items, sorted);
    }
}

TEST(Ansi, SortKeysOrderAsTheTextsDo)
{
    // Every byte value, apostrophes, hyphens, case pairs and prefixes, in random texts.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(0, 6);
    const std::string common = "aA'-9 \xe9\xc9";
    std::uniform_int_distribution<std::size_t> pickCommon(0, common.size() - 1);
    std::vector<std::string> texts = {"", "'", "day", "Day", "d-ay", "day'", "\xff", "\x9f"};
    for (int i = 0; i < 400; ++i) {
        std::string t;
        for (int n = length(random); n > 0; --n)
            t.push_back(i % 2 ? static_cast<char>(byte(random)) : common[pickCommon(random)]);
        texts.push_back(t);
    }
    for (const auto &a : texts)
        for (const auto &b : texts)
            ASSERT_EQ(ansi::collateWithKeys(ansi::collationKey(a), a, ansi::collationKey(b), b),
                      ansi::collate(a, b))
                << a << " / " << b;
}

TEST(Ansi, NoCaseFinderFindsWhatAnUpperCaseCopyWould)
{
    // Texts long enough for the sixteen- and thirty-two-byte scans, from letters with both cases in
    // Windows-1252 (a/A, e acute, s caron, y diaeresis), a sharp s and blanks.
    const std::string alphabet = "aAbB \xe9\xc9\x9a\x8a\xff\x9f\xdf";
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> textLength(0, 90);
    std::uniform_int_distribution<int> needleLength(1, 4);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int n = textLength(random); n > 0; --n)
            text.push_back(alphabet[pick(random)]);
        std::string needle;
        for (int n = needleLength(random); n > 0; --n)
            needle.push_back(alphabet[pick(random)]);
        const ansi::NoCaseFinder finder(needle);
        const std::string upperText = ansi::upper(text);
        const std::string upperNeedle = ansi::upper(needle);
        for (std::size_t from = 0; from <= text.size(); from += 7) {
            const auto expected = std::min(upperText.find(upperNeedle, from), text.size());
            ASSERT_EQ(finder.findFrom(text, from), expected) << '"' << text << "\" \"" << needle << '"';
        }
    }
    EXPECT_TRUE(ansi::NoCaseFinder("").in("anything"));
    EXPECT_EQ(ansi::NoCaseFinder("abc").findFrom("ab", 0), 2u);
}
