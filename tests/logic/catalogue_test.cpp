#include "core/ansi.h"
#include "core/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velmora;

TEST(Catalogue, ThreeDigits)
{
    EXPECT_EQ(ThreeDigits(0), "000");
    EXPECT_EQ(ThreeDigits(7), "007");
    EXPECT_EQ(ThreeDigits(42), "042");
    EXPECT_EQ(ThreeDigits(286), "286");
    EXPECT_EQ(ThreeDigits(1000), "1000");
    EXPECT_EQ(verseReference(2, 255), "002-255");
}

TEST(Catalogue, EntryCountsFollowTheKufanNumbering)
{
    int verses = 0;
    for (int s = 1; s <= kSurahCount; ++s)
        verses += verseCount(s);
    EXPECT_EQ(verses, 6236);
    // Rows of surahs 1, 2, 7, 9 (entry 000 too), 86, 88 and 114, and the supplications.
    for (const auto &[row, entries] :
         {std::pair{0, 7}, {1, 287}, {6, 207}, {8, 130}, {85, 18}, {87, 27}, {113, 7}, {114, 62}})
        EXPECT_EQ(entryCountOfRow(row), entries) << row;
    EXPECT_EQ(entryCountRows()[1], " 287 ");
    EXPECT_EQ(entryCountRows().size(), 115u);
}

TEST(Catalogue, SurahRowsStayInOrderWhenSorted)
{
    const auto &rows = surahRows();
    ASSERT_EQ(rows.size(), 115u);
    EXPECT_EQ(rows[0], "001 Al Fatiha (The Opening)");
    EXPECT_EQ(rows[113], "114 An Nas (Mankind)");
    EXPECT_EQ(rows[114], "Quranic Duas");
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), ansi::collateLess));
    for (int i = 0; i < kSurahCount; ++i)
        EXPECT_EQ(rows[static_cast<std::size_t>(i)].substr(0, 3), ThreeDigits(i + 1));
}

TEST(Catalogue, SupplicationList)
{
    const auto &refs = supplicationRefs();
    ASSERT_EQ(refs.size(), 61u);
    EXPECT_EQ(refs[22], "010-085");
    for (const auto &ref : refs) {
        const int surah = std::stoi(ref.substr(0, 3));
        const int verse = std::stoi(ref.substr(4));
        EXPECT_GE(verse, 1) << ref;
        EXPECT_LE(verse, verseCount(surah)) << ref << " names no verse";
    }
    std::vector<std::string> sorted(refs.begin(), refs.end());
    sorted.insert(sorted.begin(), "");
    std::stable_sort(sorted.begin(), sorted.end(), ansi::collateLess);
    EXPECT_EQ(sorted[0], "");
    const auto at = [&](const char *r) {
        return std::find(sorted.begin(), sorted.end(), r) - sorted.begin();
    };
    EXPECT_LT(at("029-030"), at("037-180"));
    EXPECT_LT(at("037-182"), at("038-041"));
}
