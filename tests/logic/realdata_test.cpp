// Checks against the real data files, where they are present.

#include "search/engine.h"
#include "core/ansi.h"
#include "core/catalogue.h"
#include "text/extract.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace velmora;

namespace {

class RealData : public ::testing::Test
{
protected:
    std::string data = test::realDataFolder();
    test::TempDir temp;
    void SetUp() override
    {
        if (data.empty())
            GTEST_SKIP() << "the real data files (../shared/data) are not present";
    }

    // Lines of a one-record-per-line file that hold every word, in any letter case.
    std::size_t linesHolding(const std::string &file, const std::vector<std::string> &words) const
    {
        std::ifstream in(data + file, std::ios::binary);
        std::string line;
        std::size_t n = 0;
        while (std::getline(in, line)) {
            const std::string up = ansi::upper(line);
            bool all = true;
            for (const auto &w : words)
                all = all && up.find(ansi::upper(w)) != std::string::npos;
            n += all ? 1 : 0;
        }
        return n;
    }
};

} // namespace

TEST_F(RealData, EveryTranslationHoldsEverySurahInFull)
{
    for (const char *file : {"PIKTHL.TXT", "YSFALI.TXT", "SHAKIR.TXT", "TRNSLIT.TXT"}) {
        for (int surah = 1; surah <= kSurahCount; ++surah) {
            const int entries = entryCountOfRow(surah - 1);
            const std::string text = ExtractVerseRange(data, file, surah, 0, entries - 1);
            std::size_t verses = 0;
            for (std::size_t at = text.find("\r\n\r\n"); at != std::string::npos;
                 at = text.find("\r\n\r\n", at + 4))
                ++verses;
            EXPECT_EQ(verses, static_cast<std::size_t>(entries)) << file << " surah " << surah;
        }
    }
}

TEST_F(RealData, SurahTwoInPickthallAlone)
{
    const std::string text = ExtractVerseRange(data, "PIKTHL.txt", 2, 0, 286);
    EXPECT_EQ(text.substr(0, 3), "0) ");
    EXPECT_NE(text.find("286) Allah tasketh not a soul"), std::string::npos);
}

TEST_F(RealData, SurahTwoInAllFourIsCutAfterThePassPast32000)
{
    const std::string text = InterleaveTranslations4(data, temp.folder(), "TRNSLIT.TXT", "PIKTHL.txt",
                                                     "YSFALI.txt", "SHAKIR.txt", 2, 0, 286);
    EXPECT_GT(text.size(), kInterleaveLimit);
    EXPECT_LT(text.size(), kInterleaveLimit + 4000);
    EXPECT_EQ(text.substr(0, 3), "0) ");
    const auto firstSeparator = text.find("\r\n---\r\n");
    ASSERT_NE(firstSeparator, std::string::npos);
    EXPECT_EQ(text.substr(firstSeparator + 7, 3), "0) ");
    EXPECT_NE(text.find("\r\n\r\n\r\n\r\n1) Aliflammeem\r\n---\r\n1) Alif. Lam. Mim.\r\n---\r\n1) A. L. M."
                        "\r\n---\r\n1) Alif Lam Mim.\r\n"),
              std::string::npos);
}

TEST_F(RealData, HitCountsAgreeWithAnIndependentCount)
{
    struct Case
    {
        int source;
        const char *file;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {0, "PIKTHL.TXT", {"day"}},    {0, "PIKTHL.TXT", {"day", "judgment"}}, {5, "BUKHARI.TXT", {"day"}},
        {6, "MUSLIM.TXT", {"prayer"}}, {7, "ABUDAWUD.TXT", {"fast", "night"}}, {8, "MALIK.TXT", {"zakat"}},
        {1, "YSFALI.TXT", {"mercy"}},  {3, "SHAKIR.TXT", {"fire", "garden"}},
    };
    for (const auto &c : cases) {
        SearchWords words;
        std::string query;
        for (const auto &w : c.words)
            query += (query.empty() ? "" : " ") + w;
        const auto out = RunQuery(data, c.source, query, words);
        EXPECT_EQ(out.entries.size(), linesHolding(c.file, c.words)) << c.file << " " << query;
        EXPECT_EQ(out.countText, std::to_string(out.entries.size()) + " items found");
    }
}
