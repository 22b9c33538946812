#include "core/utf8.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Utf8, KeepsWhatWindows1252Holds)
{
    const auto c =
        ansi::fromUtf8("caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x94 \xE2\x82\xAC 5 \xC5\x93");
    EXPECT_EQ(c.text, "caf\xE9 \x93quoted\x94 \x97 \x80 5 \x9C");
    EXPECT_EQ(c.transliterated + c.replaced + c.invalid, 0u);
    EXPECT_EQ(ansi::toUtf8(c.text),
              "caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x94 \xE2\x82\xAC 5 \xC5\x93");
    EXPECT_EQ(ansi::fromUtf8("\357\273\277Bismi").text, "Bismi") << "a byte-order mark is dropped";
}

TEST(Utf8, TransliteratesTheMarksOfArabicTransliteration)
{
    // "Bismi Allāhi ar-Raḥmāni ar-Raḥīm", "ʿAlī", "Qurʾān" and a decomposed ā (a + combining macron).
    const auto c =
        ansi::fromUtf8("Bismi All\xC4\x81hi ar-Ra\xE1\xB8\xA5m\xC4\x81ni ar-Ra\xE1\xB8\xA5\xC4\xABm, "
                       "\312\277Al\xC4\xAB, Qur\xCA\xBE\xC4\x81n, a\xCC\x84");
    EXPECT_EQ(c.text, "Bismi Allahi ar-Rahmani ar-Rahim, 'Ali, Qur'an, a");
    EXPECT_EQ(c.transliterated, 10u);
    EXPECT_EQ(c.replaced, 0u);
}

TEST(Utf8, ReplacesWhatHasNoFormAndCountsBrokenBytes)
{
    // Arabic letters have no Windows-1252 form; the honorific becomes "pbuh".
    const auto c = ansi::fromUtf8("\xD8\xA8\xD8\xB3\xD9\x85 (\xEF\xB7\xBA) \xFF\xC3");
    EXPECT_EQ(c.text, "??? (pbuh) ??");
    EXPECT_EQ(c.replaced, 3u);
    EXPECT_EQ(c.transliterated, 1u);
    EXPECT_EQ(c.invalid, 2u);
    EXPECT_EQ(ansi::fromUtf8("\xED\xA0\x80").invalid, 3u) << "an encoded surrogate is not UTF-8";
    EXPECT_EQ(ansi::fromUtf8("\xC0\xAF").invalid, 2u) << "an overlong form is not UTF-8";
}
