// Checks against the real data files, where they are present.

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "search/arabic.h"
#include "search/corpus.h"
#include "search/engine.h"
#include "search/textfold.h"
#include "search/wordfacts.h"
#include "text/extract.h"
#include "text/metadata.h"
#include "text/quran.h"
#include "text/translations.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

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

TEST_F(RealData, EveryHadithHitLeadsBackToItsRecord)
{
    for (const int source : {5, 6, 7, 8}) {
        const char *file = searchSources()[static_cast<std::size_t>(source)].fileName;
        std::vector<std::string> records;
        for (auto reader = FieldReader::open(data + file); reader && !reader->atEnd();)
            records.emplace_back(reader->next());
        SearchWords words;
        const auto out = RunQuery(data, source, source == 8 ? "prayer" : "night", words);
        EXPECT_GT(out.entries.size(), 250u) << file;
        for (std::size_t i = 0; i < out.entries.size(); ++i)
            ASSERT_EQ(out.entries[i], records.at(static_cast<std::size_t>(out.records[i] - 1)))
                << file << " hit " << i;
    }
}

TEST_F(RealData, ArabicCountsAgreeWithAnIndependentCount)
{
    const auto searched = QuranText::open(data + kQuranSearchFile);
    ASSERT_TRUE(searched);
    EXPECT_EQ(searched->verses().size(), 6236u);
    const ArabicIndex index(*searched);
    // Verses of the file holding every text as it stands: for words none of whose letters are
    // folded, the search's own count.
    std::vector<std::string> lines;
    std::ifstream in(data + kQuranSearchFile, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    const auto holding = [&](const std::vector<std::string> &texts) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string &line) {
            return std::all_of(texts.begin(), texts.end(),
                               [&](const std::string &t) { return line.find(t) != std::string::npos; });
        });
    };
    struct Case
    {
        std::string query;
        std::ptrdiff_t expected;
    };
    const Case cases[] = {
        {"الرحمن", holding({"الرحمن"})},
        {"رب العالمين", holding({"رب", "العالمين"})},
        {"جنات تجري الأنهار", holding({"جنات", "تجري", "الأنهار"})},
        {"'بسم الله الرحمن الرحيم'", 2},
        // Folded: the bare alef finds the name written with hamza below as well.
        {"ابراهيم", holding({"إبراهيم"}) + holding({"ابراهيم"}) - holding({"إبراهيم", "ابراهيم"})},
    };
    for (const auto &c : cases) {
        SearchWords words;
        EXPECT_EQ(static_cast<std::ptrdiff_t>(runArabicQuery(index, c.query, words).verses.size()),
                  c.expected)
            << c.query;
    }
}

// What a reader copies from the reading text finds its verse: each of its words alone, each verse
// whole as a phrase.
TEST_F(RealData, EveryReadingWordAndVerseCopiedFindsItsVerse)
{
    const auto searched = QuranText::open(data + kQuranSearchFile);
    const auto reading = QuranText::open(data + kQuranReadingFile);
    ASSERT_TRUE(searched && reading);
    ASSERT_EQ(reading->verses().size(), searched->verses().size());
    const ArabicIndex index(*searched);
    const ReadingSpellings spellings(*reading, index);
    std::map<std::string, std::vector<std::size_t>, std::less<>> versesOf; // each word asked once
    std::size_t words = 0;
    std::size_t lost = 0;
    const auto finds = [&](const std::string &query, std::size_t verse) {
        SearchWords asked;
        const auto found = runArabicQuery(index, query, asked, &spellings).verses;
        const bool ok = std::binary_search(found.begin(), found.end(), verse);
        if (!ok && ++lost <= 5)
            ADD_FAILURE() << query << " does not find verse " << verse;
        return ok;
    };
    for (std::size_t v = 0; v < reading->verses().size(); ++v) {
        const std::string_view text = reading->verses()[v].text;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find(' ', at), text.size());
            const std::string word(text.substr(at, end - at));
            at = end + 1;
            if (foldArabic(word).empty())
                continue; // a pause mark
            ++words;
            versesOf[word].push_back(v);
        }
        finds("'" + std::string(text) + "'", v);
    }
    EXPECT_EQ(words, 77433u);
    for (const auto &[word, verses] : versesOf) {
        SearchWords asked;
        const auto found = runArabicQuery(index, word, asked, &spellings).verses;
        for (const std::size_t v : verses)
            if (!std::binary_search(found.begin(), found.end(), v) && ++lost <= 10)
                ADD_FAILURE() << word << " does not find verse " << v;
    }
    EXPECT_EQ(lost, 0u);
}

// The corpus's words tied to the reading text's: in order, every reading word taken but the four
// that the corpus joins to the word before (بعد ما thrice, إل ياسين), and the roots and lemmas
// counted as the corpus file counts them.
TEST_F(RealData, TheCorpusWordsAreTiedToTheReadingWords)
{
    const auto reading = QuranText::open(data + kQuranReadingFile);
    const auto morphology = readRegularFile(data + kMorphologyFile);
    ASSERT_TRUE(reading && morphology);
    const std::vector<WordPlace> places = alignCorpus(*morphology, *reading);
    ASSERT_EQ(places.size(), 77429u);
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end(), [](const WordPlace &a, const WordPlace &b) {
        return std::pair(a.verse, a.word) < std::pair(b.verse, b.word);
    }));
    std::vector<std::string> untaken;
    auto next = places.begin();
    for (std::uint32_t v = 0; v < reading->verses().size(); ++v) {
        const std::string_view text = reading->verses()[v].text;
        std::uint32_t w = 0;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find(' ', at), text.size());
            const std::string word(text.substr(at, end - at));
            at = end + 1;
            if (foldArabic(word).empty())
                continue;
            const bool taken = next != places.end() && next->verse == v && next->word == w;
            while (next != places.end() && next->verse == v && next->word == w)
                ++next;
            if (!taken)
                untaken.push_back(std::to_string(reading->verses()[v].surah) + ":" +
                                  std::to_string(reading->verses()[v].aya) + " " + foldArabic(word));
            ++w;
        }
    }
    EXPECT_EQ(untaken,
              (std::vector<std::string>{"2:181 \u0645\u0627", "8:6 \u0645\u0627", "13:37 \u0645\u0627",
                                        "37:130 \u064A\u0627\u0633\u064A\u0646"}));
    const WordIndex index = WordIndex::make(*morphology, *reading);
    const auto linesWith = [&](const std::string &field) {
        std::size_t n = 0;
        for (std::size_t at = morphology->find(field); at != std::string::npos;
             at = morphology->find(field, at + 1))
            n += (*morphology)[at + field.size()] == ' ' || (*morphology)[at + field.size()] == '\n';
        return n;
    };
    for (const char *root : {"ktb", "rHm", "Elm", "qwl"})
        EXPECT_EQ(index.placesOf(WordIndex::Kind::Root, rootKey(root)).size(),
                  linesWith(std::string(" ROOT:") + root))
            << root;
    EXPECT_EQ(index.placesOf(WordIndex::Kind::Root, rootKey("\u0643\u062A\u0628")).size(), 319u);
    EXPECT_EQ(index.placesOf(WordIndex::Kind::Lemma, lemmaKey("kitaAb")).size(), linesWith(" LEM:kita`b"));
}

// What the corpus says of a word, for a verb with a prefix and one with a suffix, a noun with the
// article, a particle, a proper noun and a word the corpus joins to the one before.
TEST_F(RealData, EachWordHasTheCorpusFactsOfItsPlace)
{
    const auto reading = QuranText::open(data + kQuranReadingFile);
    ASSERT_TRUE(reading);
    const auto index = wordIndexKeptIn({}, data + kMorphologyFile, data + kQuranReadingFile, *reading);
    ASSERT_TRUE(index);
    const auto corpus = CorpusWords::open(data, *reading, *index);
    ASSERT_TRUE(corpus);
    struct Case
    {
        int surah, aya, word;
        const char *gloss, *root, *grammar;
    };
    const Case cases[] = {
        {2, 3, 4, "and establish", "qwm",
         "conjunction wa + verb, imperfect, form IV, third person masculine plural"},
        {2, 3, 7, "We have provided them", "rzq",
         "verb, perfect, first person plural + attached pronoun, third person masculine plural"},
        {1, 2, 1, "All praises and thanks", "Hmd", "the article al + noun, masculine, nominative"},
        {2, 2, 3, "no", "", "negative particle"},
        {1, 1, 2, "(of) Allah,", "Alh", "proper noun, genitive"},
        {37, 130, 4, "Elijah.\"", "", "proper noun, genitive"},
    };
    for (const auto &c : cases) {
        const auto facts =
            corpus->factsOf(*reading->placeOf(c.surah, c.aya), static_cast<std::size_t>(c.word - 1));
        ASSERT_TRUE(facts) << c.surah << ":" << c.aya;
        EXPECT_EQ(facts->gloss, c.gloss) << c.surah << ":" << c.aya;
        EXPECT_EQ(facts->root, c.root) << c.surah << ":" << c.aya;
        EXPECT_EQ(facts->grammar, c.grammar) << c.surah << ":" << c.aya;
    }
    EXPECT_EQ(corpus->factsOf(0, 1)->rootWords, 2851u);
}

// The divisions as Tanzil's metadata gives them: every juz's start against the file's own line,
// each juz ending where the next begins; a sample of pages and the other divisions whole; a sajda.
TEST_F(RealData, TheMushafsDivisionsBeginWhereTheMetadataSays)
{
    const auto metadata = QuranMetadata::open(data + kMetadataFile);
    ASSERT_TRUE(metadata);
    std::ifstream in(data + kMetadataFile);
    int juz = 0;
    for (std::string line; std::getline(in, line);) {
        int n = 0, surah = 0, aya = 0;
        if (std::sscanf(line.c_str(), " <juz index=\"%d\" sura=\"%d\" aya=\"%d\"", &n, &surah, &aya) != 3)
            continue;
        ++juz;
        EXPECT_EQ(metadata->rangeOf(Division::Juz, n)->first, (VersePlace{surah, aya})) << "juz " << n;
        if (n > 1) {
            const VersePlace end = metadata->rangeOf(Division::Juz, n - 1)->second;
            EXPECT_EQ(metadata->divisionOf(Division::Juz, end), n - 1) << "juz " << n;
            const bool lastOfSurah = end.aya == metadata->surah(end.surah)->verses;
            const VersePlace next =
                lastOfSurah ? VersePlace{end.surah + 1, 1} : VersePlace{end.surah, end.aya + 1};
            EXPECT_EQ(next, (VersePlace{surah, aya})) << "juz " << n;
        }
    }
    EXPECT_EQ(juz, 30);
    struct Case
    {
        Division division;
        int number;
        VersePlace first, last;
    };
    const Case cases[] = {
        {Division::Page, 1, {1, 1}, {1, 7}},       {Division::Page, 2, {2, 1}, {2, 5}},
        {Division::Page, 50, {3, 1}, {3, 9}},      {Division::Page, 300, {18, 54}, {18, 61}},
        {Division::Page, 604, {112, 1}, {114, 6}}, {Division::HizbQuarter, 240, {100, 9}, {114, 6}},
        {Division::Juz, 30, {78, 1}, {114, 6}},    {Division::Manzil, 1, {1, 1}, {4, 176}},
    };
    for (const auto &c : cases) {
        const auto range = metadata->rangeOf(c.division, c.number);
        ASSERT_TRUE(range) << divisionName(c.division) << " " << c.number;
        EXPECT_EQ(range->first, c.first) << divisionName(c.division) << " " << c.number;
        EXPECT_EQ(range->second, c.last) << divisionName(c.division) << " " << c.number;
    }
    EXPECT_EQ(metadata->count(Division::Page), 604u);
    EXPECT_EQ(metadata->count(Division::Ruku), 556u);
    EXPECT_EQ(metadata->count(Division::HizbQuarter), 240u);
    EXPECT_FALSE(metadata->rangeOf(Division::Juz, 31));
    ASSERT_TRUE(metadata->sajdaAt({32, 15}));
    EXPECT_EQ(metadata->sajdaAt({32, 15})->type, "obligatory");
    EXPECT_EQ(metadata->surah(2)->name, "Al-Baqara");
}

// Each script's folded search against the verses holding the word in any of the spellings the
// folding makes one, counted here from the file's lines as they stand.
TEST_F(RealData, TranslationCountsAgreeWithAnIndependentCount)
{
    struct Case
    {
        const char *id;
        const char *language;
        const char *query;
        std::vector<std::string> spellings;
    };
    const Case cases[] = {
        {"fr.hamidullah", "French", "eternel", {"\u00C9ternel", "\u00E9ternel", "Eternel", "eternel"}},
        {"tr.diyanet", "Turkish", "ibrahim", {"\u0130brahim", "ibrahim"}},
        {"ru.kuliev",
         "Russian",
         "\u0430\u043B\u043B\u0430\u0445",
         {"\u0410\u043B\u043B\u0430\u0445", "\u0430\u043B\u043B\u0430\u0445"}},
        {"hi.hindi",
         "Hindi",
         "\u0905\u0932\u094D\u0932\u093E\u0939",
         {"\u0905\u0932\u094D\u0932\u093E\u0939"}},
        {"ur.jalandhry",
         "Urdu",
         "\u0643\u062A\u0627\u0628",
         {"\u06A9\u062A\u0627\u0628", "\u0643\u062A\u0627\u0628"}},
        {"zh.jian", "Chinese", "\u771F\u4E3B", {"\u771F\u4E3B"}},
    };
    for (const auto &c : cases) {
        const std::string file = data + "translations/" + c.id + ".txt";
        const auto text = QuranText::open(file);
        ASSERT_TRUE(text) << file;
        std::ifstream in(file, std::ios::binary);
        std::ptrdiff_t expected = 0;
        for (std::string line; std::getline(in, line);)
            expected += line[0] != '#' &&
                        std::any_of(c.spellings.begin(), c.spellings.end(),
                                    [&](const auto &w) { return line.find(w) != std::string::npos; });
        const ArabicIndex index(*text, foldFor(c.language));
        SearchWords words;
        const auto found = runArabicQuery(index, c.query, words).verses.size();
        EXPECT_EQ(static_cast<std::ptrdiff_t>(found), expected) << c.id;
        EXPECT_GT(found, 20u) << c.id;
    }
}

// Surah 1 with the Arabic and two installed translations: each verse entry gets its Arabic verse,
// then en.sahih's and ur.jalandhry's verse as published, the Urdu to be set right to left.
TEST_F(RealData, TheOpeningWithTheArabicAndTwoTranslations)
{
    const auto arabic = QuranText::open(data + kQuranReadingFile);
    const auto english = QuranText::open(data + "translations/en.sahih.txt");
    const auto urdu = QuranText::open(data + "translations/ur.jalandhry.txt");
    ASSERT_TRUE(arabic && english && urdu);
    const auto shown = arabicDisplay(&*arabic, data, {}, 1, 0, 6, {}, {&*english, &*urdu});
    ASSERT_EQ(shown.size(), 7u);
    for (int entry = 0; entry < 7; ++entry) {
        const DisplayVerse &v = shown[static_cast<std::size_t>(entry)];
        const std::string number = std::to_string(entry + 1);
        EXPECT_EQ(v.arabic, std::string(arabic->verse(1, entry + 1)) + ayaMark(entry + 1));
        EXPECT_EQ(v.more, (std::vector<std::string>{number + ") " + std::string(english->verse(1, entry + 1)),
                                                    number + ") " + std::string(urdu->verse(1, entry + 1))}));
    }
    EXPECT_EQ(shown[0].more[0], "1) In the name of Allah, the Entirely Merciful, the Especially Merciful.");
    // The two as the program lists them: by language, named by their blocks.
    const auto installed = installedTranslations(data);
    EXPECT_EQ(installed.size(), 14u);
    const InstalledTranslation *ur = translationWithId(installed, "ur.jalandhry");
    const InstalledTranslation *en = translationWithId(installed, "en.sahih");
    ASSERT_TRUE(ur && en);
    EXPECT_TRUE(isRightToLeftLanguage(ur->description.language));
    EXPECT_FALSE(isRightToLeftLanguage(en->description.language));
    EXPECT_EQ(en->description.name, "Saheeh International");
}
