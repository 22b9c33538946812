#include "core/textfield.h"
#include "search/arabic.h"
#include "search/engine.h"
#include "search/history.h"
#include "search/markword.h"
#include "search/records.h"
#include "search/textfold.h"
#include "search/wordfacts.h"
#include "text/notes.h"

#include "tempdir.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class Search : public ::testing::Test
{
protected:
    test::TempDir data;
    SearchWords words;

    void SetUp() override
    {
        data.write("PIKTHL.TXT",
                   "Surah 1. Day\r\n\"001.1) Today is a day\"\r\n001.2) the Day of Judgment\r\n"
                   "001.3) night\r\n\"001.4) judgment, then day\"\r\nplain, split record day\r\n");
        data.write("URDU.TXT",
                   "1,Key One,,first day text\r\n2,Key Two,,second text\r\n3,kEY tHREE,,holiday\r\n");
    }
    SearchOutcome run(const std::string &query, int source = 0)
    {
        return RunQuery(data.folder(), source, query, words);
    }
};

} // namespace

TEST_F(Search, OneWordListsEveryRecordHoldingItInFileOrder)
{
    std::vector<std::string> counts;
    const auto out = RunQuery(data.folder(), 0, "day", words,
                              [&](const auto &, std::string_view text, int) { counts.emplace_back(text); });
    EXPECT_EQ(out.entries,
              (std::vector<std::string>{"Surah 1. Day", "001.1) Today is a day", "001.2) the Day of Judgment",
                                        "001.4) judgment, then day", "split record day"}));
    // Records are counted in the file: "plain" is record 6, its second half record 7.
    EXPECT_EQ(out.records, (std::vector<int>{1, 2, 3, 5, 7}));
    EXPECT_EQ(out.countText, "5 items found");
    EXPECT_EQ(out.heading, "Complete verse");
    ASSERT_GE(counts.size(), 3u);
    EXPECT_EQ(counts[2], "3 items found for DAY");
    EXPECT_EQ(words.count, 1);
    EXPECT_EQ(words.words[0], "day");
}

TEST_F(Search, WordsNarrowInListOrder)
{
    std::vector<std::string> counts;
    const auto out = RunQuery(data.folder(), 0, "day judgment", words,
                              [&](const auto &, std::string_view text, int phase) {
                                  if (phase == 1)
                                      counts.emplace_back(text);
                              });
    EXPECT_EQ(out.entries,
              (std::vector<std::string>{"001.2) the Day of Judgment", "001.4) judgment, then day"}));
    EXPECT_EQ(out.records, (std::vector<int>{3, 5})) << "each entry keeps its record through the sorting";
    EXPECT_EQ(counts, (std::vector<std::string>{"1 items for + 'judgment'", "2 items for + 'judgment'"}));
    EXPECT_EQ(out.countText, "2 items found");
    EXPECT_EQ(words.count, 2);

    const auto spaced = run("day  judgment");
    EXPECT_EQ(spaced.entries, out.entries);
    EXPECT_EQ(words.count, 3);
    EXPECT_EQ(words.words[1], "");
}

TEST_F(Search, PhrasesAndEmptyQueries)
{
    words.words[3] = "kept";
    EXPECT_EQ(run("'Day of Judgment'").countText, "1 items found for 'day of judgment'");
    EXPECT_EQ(run("'Day of Judgment").countText, "1 items found for 'day of judgment'");
    EXPECT_EQ(words.words[3], "kept");
    EXPECT_EQ(words.count, 1);
    EXPECT_EQ(run("'").countText, "0 items found for ''");
    EXPECT_EQ(run("''").countText, "0 items found for ''");
    const auto empty = run("");
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_EQ(empty.countText, "0 items found");
    EXPECT_FALSE(empty.heading.has_value());
    EXPECT_EQ(run(" day").countText, "0 items found");
}

TEST_F(Search, TooManyWordsAndDollarSigns)
{
    const auto six = run("a b c d e f");
    EXPECT_TRUE(six.entries.empty());
    EXPECT_FALSE(six.problem.empty());
    EXPECT_EQ(run("a b c d e").problem, "");
    data.write("SHAKIR.TXT", "price $5 day\r\nprice 5 day\r\n");
    EXPECT_EQ(run("$5", 3).entries, std::vector<std::string>{"price $5 day"});
    std::string t = "a b c";
    EXPECT_EQ(ReplaceChar(t, ' ', '$'), 2);
    EXPECT_EQ(t, "a$b$c");
}

TEST_F(Search, MissingAndEmptySourcesAreNamed)
{
    const auto missing = run("day", 5);
    EXPECT_NE(missing.problem.find("BUKHARI.TXT"), std::string::npos);
    EXPECT_EQ(missing.countText, "0 items found");
    data.write("MALIK.TXT", "");
    EXPECT_NE(run("day", 8).problem.find("MALIK.TXT"), std::string::npos);
    std::filesystem::resize_file(data.path() / "MALIK.TXT", std::uintmax_t{2} << 30); // sparse
    EXPECT_NE(run("day", 8).problem.find("MALIK.TXT in " + data.path().string() + " is larger than 64 MiB"),
              std::string::npos);
    data.write("bukhari.txt", "\"a day\"\r\n");
    EXPECT_EQ(run("day", 5).entries, std::vector<std::string>{"a day"});
}

TEST_F(Search, WordListSearchesTheTextAndListsTheKey)
{
    const auto out = run("day", kWordListSource);
    EXPECT_EQ(out.entries, (std::vector<std::string>{"Key One", "kEY tHREE"}));
    EXPECT_EQ(out.heading, "Complete phrase");
    auto reader = FieldReader::open(data.path() / "URDU.TXT");
    EXPECT_EQ(FindWordEntry(*reader, "key three"), "holiday");
    reader = FieldReader::open(data.path() / "URDU.TXT");
    EXPECT_EQ(FindWordEntry(*reader, "none"), "");
    EXPECT_EQ(FindWordEntry(*reader, "Key One"), ""); // already at its end
    reader = FieldReader::open(data.path() / "URDU.TXT");
    EXPECT_EQ(FindWordEntry(*reader, "Key Two\r\r\r"), "second text");
}

TEST(Sources, NamesAndIndexes)
{
    for (const auto &[name, index] :
         {std::pair{"Bukhari", 5}, {"abudawud", 7}, {"8", 8}, {"PIKTHL", 0}, {"nothing", -1}})
        EXPECT_EQ(sourceIndexFor(name), index) << name;
}

TEST(MarkWord, CapitalsFollowTheCaseRuleAndDigitsRunToTheLimit)
{
    struct Row
    {
        const char *text, *word, *mark, *marked;
        int count;
    };
    const Row rows[] = {
        {"a day, a Day, a day", "day", "DAY", "a DAY, a Day, a DAY", 2},
        {"The Day", "day", "DAY", "The DAY", 1},
        {"a day", "Day", "DAY", "a day", 0},
        {"x 12 y", "12", "12", "x 12 y", kMarkLimit + 1},
    };
    for (const Row &row : rows) {
        int count = 0;
        EXPECT_EQ(MarkWord(row.text, row.word, row.mark, count), row.marked) << row.text;
        EXPECT_EQ(count, row.count) << row.text;
    }
    // One count runs across the words: after digits have run it to the limit, the next word gets one mark.
    SearchWords w;
    w.words = {"255", "day", "", "", ""};
    w.count = 2;
    EXPECT_EQ(markSearchWords("002.255) day and day", w), "002.255) DAY and day");
    w.words = {"day", "", "night", "", ""};
    w.count = 3;
    EXPECT_EQ(markSearchWords("day and night, night", w), "DAY and NIGHT, NIGHT");
}

TEST(MarkWord, ReferencesAndCuts)
{
    EXPECT_EQ(recordReference("002.255) Allah"), "002.255");
    EXPECT_EQ(recordReference("noblank"), "");
    EXPECT_EQ(TextAfterLast("002.255", '.'), "255");
    EXPECT_EQ(TextAfterLast("abc", '.'), "abc");
}

TEST(History, RoundTripWithCommasAndQuotes)
{
    test::TempDir dir;
    const auto file = dir.path() / "Srch.dat";
    EXPECT_TRUE(readHistory(file).empty());
    ASSERT_TRUE(writeHistory(file, {"", "day, night", "\"quoted\"", "'Day of Judgment'"}));
    EXPECT_EQ(dir.read("Srch.dat"), "\r\nday, night\r\n\"quoted\"\r\n'Day of Judgment'\r\n");
    EXPECT_EQ(readHistory(file), (std::vector<std::string>{"day", "night", "quoted", "'Day of Judgment'"}));
    EXPECT_FALSE(writeHistory(dir.path() / "no" / "Srch.dat", {"x"}));
    EXPECT_EQ(defaultHistory().back(), "'Day of Judgment'");
    EXPECT_EQ(resetHistory().back(), "'Day of Judgement'");
}

TEST(History, KeepsEachQueryOnceInListOrderAcrossItsTwoFiles)
{
    const std::string arabic = "\u0627\u0644\u062D\u0645\u062F";
    SearchHistory history({"night", "Day"});
    EXPECT_EQ(history.entries(), (std::vector<std::string>{"Day", "night"}));
    EXPECT_EQ(history.add("DAY"), std::nullopt); // letter case aside
    EXPECT_EQ(history.add("apple"), 0u);
    EXPECT_EQ(history.add("\u0101z"), 1u); // a with macron: listed as "az", kept as it is
    EXPECT_TRUE(history.add(arabic));
    EXPECT_EQ(history.add(arabic), std::nullopt);
    test::TempDir dir;
    ASSERT_TRUE(history.write(dir.folder()));
    EXPECT_EQ(dir.read("Srch.dat"), "apple\r\nDay\r\nnight\r\n");
    EXPECT_EQ(dir.read("Srch-utf8.dat"), arabic + "\r\n\u0101z\r\n");
    EXPECT_EQ(SearchHistory::read(dir.folder()).entries(), history.entries());
    EXPECT_EQ(SearchHistory::read("").entries(), defaultHistory());
}

TEST(Records, AreFoundByPlaceAndVersesSteppedByReference)
{
    test::TempDir dir;
    dir.write("B.TXT", "first\r\n\"002.7) second, with a comma\"\r\nthird\r\n");
    const RecordAt second = recordAt(dir.path() / "B.TXT", 2);
    EXPECT_EQ(second.text, "002.7) second, with a comma");
    EXPECT_EQ(second.read, 2);
    EXPECT_EQ(recordAt(dir.path() / "B.TXT", 9).read, 3); // the file ends first
    EXPECT_EQ(steppedVerseKey(second.text, -1), "002.6");
    EXPECT_EQ(steppedVerseKey("plain", 1), std::nullopt);
    EXPECT_EQ(recordHolding(dir.path() / "B.TXT", "002.7"), second.text);
    EXPECT_EQ(recordHolding(dir.path() / "B.TXT", "002.8"), std::nullopt);
}

TEST(ArabicSearch, FoldingMakesTheVariantLettersOneAndDropsTheMarks)
{
    const std::pair<const char *, const char *> folds[] = {
        {"\u0623\u0625\u0622\u0671\u0670", "\u0627\u0627\u0627\u0627\u0627"}, // alef forms
        {"\u0626\u0624\u0621\u0640\u0654", "\u0621\u0621\u0621\u0621"},       // hamza on any seat
        {"\u0649\u0629", "\u064A\u0647"},                                     // alef maksura, teh marbuta
        {"\u0628\u0650\u0633\u0652\u0645\u0650", "\u0628\u0633\u0645"},       // harakat
        {"\u0641\u06D6 \u06ED\u0628", "\u0641 \u0628"},                       // Quranic marks
        {"\u06CC\u06D2\u06A9\u06C1\u06BE", "\u064A\u064A\u0643\u0647\u0647"}, // Persian and Urdu forms
        {"\u200F\u0628\u200C\u0628\u061C\uFEFF\u2067", "\u0628\u0628"},       // invisible marks
        {" \u0641 \u06DB  \u0628 ", "\u0641 \u0628"}, // blanks a mark stood between, and at the ends
        {"\uFEDF\uFE8E \uFEFB \uFDF2",
         "\u0644\u0627 \u0644\u0627 \u0627\u0644\u0644\u0647"}, // presentation forms
        {"\uFEFE\uFDD0\uFEFB", "\uFEFE\uFDD0\u0644\u0627"},     // places of their blocks that are no form
        {"plain, \xff", "plain, \xff"},
    };
    for (const auto &[text, folded] : folds)
        EXPECT_EQ(foldArabic(text), folded) << text;
    // A phrase across a pause mark, and a query pasted with a direction mark and blanks around it.
    const auto quran = QuranText::fromText("2|2|\u0644\u0627 \u0631\u064A\u0628 \u06DB \u0641\u064A\u0647\n");
    const ArabicIndex index(*quran);
    SearchWords words;
    for (const char *query :
         {"'\u0631\u064A\u0628 \u0641\u064A\u0647'", " \u200F\u0631\u064A\u0628  \u0641\u064A\u0647 "})
        EXPECT_EQ(runArabicQuery(index, query, words).verses, std::vector<std::size_t>{0}) << query;
    EXPECT_EQ(words.count, 2);
    EXPECT_TRUE(holdsArabic("x \u0628"));
    EXPECT_FALSE(holdsArabic("caf\u00e9"));
}

// The reading text's spellings, and those readers type after it, find the verse: a superscript
// alef taken as an alef or as nothing, never a full alef left out.
TEST(ArabicSearch, TheReadingTextsSpellingsFindTheirVerses)
{
    struct Case
    {
        const char *reading;
        const char *searched;
        const char *query;
        bool found;
    };
    const Case cases[] = {
        {"\u0671\u0644\u0652\u0643\u0650\u062A\u064E\u0640\u0670\u0628\u064F",
         "\u0627\u0644\u0643\u062A\u0627\u0628",
         "\u0671\u0644\u0652\u0643\u0650\u062A\u064E\u0640\u0670\u0628\u064F", true},
        {"\u0671\u0644\u0635\u0651\u064E\u0644\u064E\u0648\u0670\u0629\u064E",
         "\u0627\u0644\u0635\u0644\u0627\u0629", "\u0627\u0644\u0635\u0644\u0648\u0629", true},
        {"\u0671\u0644\u0633\u0651\u064E\u0645\u064E\u0640\u0670\u0648\u064E\u0670\u062A\u0650",
         "\u0627\u0644\u0633\u0645\u0627\u0648\u0627\u062A", "\u0627\u0644\u0633\u0645\u0648\u0627\u062A",
         true},
        {"\u0621\u064E\u0627\u0645\u064E\u0646\u064F\u0648\u0627\u06DF", "\u0622\u0645\u0646\u0648\u0627",
         "'\u0621\u0627\u0645\u0646\u0648\u0627'", true},
        {"\u0642\u064E\u0627\u0644\u064E", "\u0642\u0627\u0644", "\u0642\u0644", false},
        // A hamza on another seat, and a seat without its hamza.
        {"\u0645\u064E\u0633\u0652\u0640\u064F\u0654\u0648\u0644\u064B\u0627",
         "\u0645\u0633\u0626\u0648\u0644\u0627", "\u0645\u0633\u0624\u0648\u0644\u0627", true},
        {"\u0645\u064F\u0624\u0652\u0645\u0650\u0646\u064C", "\u0645\u0624\u0645\u0646",
         "\u0645\u0648\u0645\u0646", true},
    };
    for (const auto &c : cases) {
        const auto reading = QuranText::fromText(std::string("1|1|") + c.reading + "\n");
        const auto searched = QuranText::fromText(std::string("1|1|") + c.searched + "\n");
        const ArabicIndex index(*searched);
        const ReadingSpellings spellings(*reading, index);
        SearchWords words;
        EXPECT_EQ(runArabicQuery(index, c.query, words, &spellings).verses.size(), c.found ? 1u : 0u)
            << c.query;
        EXPECT_EQ(arabicMarks(c.reading, c.searched, words).size(), c.found ? 1u : 0u) << c.query;
    }
}

// Each script as its readers type it: letter case, accents, the Turkish i, the Arabic letter forms,
// invisible marks, and no word breaks in Chinese.
TEST(TranslationSearch, EachScriptIsFoldedAsItsReadersWrite)
{
    struct Case
    {
        const char *language;
        const char *verse;
        const char *query;
        bool found;
    };
    const Case cases[] = {
        {"Turkish", "Rabbi \u0130brahim'i", "ibrahim", true},
        {"Turkish", "I\u015EIK", "\u0131\u015F\u0131k", true},
        {"Turkish", "\u0131\u015F\u0131k", "isik", false},
        {"French", "l'\u00C9ternel", "eternel", true},
        {"German", "Stra\u00DFe", "STRASSE", true},
        {"Russian", "\u0412\u0441\u0451 \u0410\u041B\u041B\u0410\u0425",
         "\u0432\u0441\u0435 \u0430\u043B\u043B\u0430\u0445", true},
        {"Urdu", "\u062E\u062F\u0627 \u06A9\u06CC", "\u062E\u062F\u0627 \u0643\u064A", true},
        {"Chinese", "\u5949\u81F3\u4EC1\u81F3\u6148\u7684\u771F\u4E3B\u4E4B\u540D", "\u771F\u4E3B", true},
        {"Hindi", "\u0905\u0932\u094D\u0932\u093E\u0939 \u0915\u0947", "\u0905\u0932\u094D\u0932\u093E\u0939",
         true},
        {"English", "mercy", "mer\u200Ccy", true},
    };
    for (const auto &c : cases) {
        const auto text = QuranText::fromText(std::string("1|1|") + c.verse + "\n");
        const ArabicIndex index(*text, foldFor(c.language));
        SearchWords words;
        EXPECT_EQ(runArabicQuery(index, c.query, words).verses.size(), c.found ? 1u : 0u)
            << c.language << " " << c.query;
    }
    // The marks fall on the words as written.
    SearchWords words;
    words.words[0] = "\u0430\u043B\u043B\u0430\u0445";
    words.count = 1;
    const std::string verse = "\u0412\u043E \u0438\u043C\u044F \u0410\u043B\u043B\u0430\u0445\u0430";
    EXPECT_EQ(foldedMatches(foldFor("Russian"), verse, words),
              (std::vector<std::pair<std::size_t, std::size_t>>{{verse.find("\u0410"), verse.size() - 2}}));
}

TEST(TranslationSearch, NotesAreSearchedInEveryScriptTheyMix)
{
    const std::map<VersePlace, std::string> notes = {
        {{2, 255}, "The THRONE verse | read at night\n\u0627\u0644\u0643\u0631\u0633\u0650\u064A\u0651"},
        {{1, 1}, "Stra\u00DFe \u0625\u064A\u0645\u0627\u0646"},
        {{1, 2}, ""},
    };
    const auto text = QuranText::fromText(notesAsVerseLines(notes));
    ASSERT_TRUE(text);
    ASSERT_EQ(text->verses().size(), 2u); // an empty note is none
    const ArabicIndex index(*text, appendMixedFolded);
    const std::pair<const char *, std::size_t> cases[] = {
        {"throne \u0627\u0644\u0643\u0631\u0633\u064A", 1}, // both scripts, across the note's lines
        {"'night \u0627\u0644\u0643\u0631\u0633\u064A'", 1},
        {"strasse \u0627\u064A\u0645\u0627\u0646", 1},  // the alef's hamza folded away
        {"'strasse\u0627\u064A\u0645\u0627\u0646'", 0}, // the blank between scripts stays
        {"'| read'", 1},
        {"verse read", 1},
    };
    for (const auto &[query, found] : cases) {
        SearchWords words;
        EXPECT_EQ(runArabicQuery(index, query, words).verses.size(), found) << query;
    }
    // A phrase across a line break is marked where it stands.
    SearchWords words;
    words.words[0] = "night \u0627\u0644\u0643\u0631\u0633\u064A";
    words.count = 1;
    const std::string &note = notes.at({2, 255});
    EXPECT_EQ(foldedMatches(appendMixedFolded, note, words),
              (std::vector<std::pair<std::size_t, std::size_t>>{{note.find("night"), note.size() - 2}}));
}

TEST(ArabicSearch, TheReadingWordsOfTheMatchedWordsAreMarked)
{
    SearchWords words;
    words.count = 1;
    words.words[0] = "\u0646\u0627\u0633"; // "nas"
    const auto marked = [&](std::string_view reading, std::string_view searched) {
        std::vector<std::string> out;
        for (const auto &[begin, end] : arabicMarks(reading, searched, words))
            out.emplace_back(reading.substr(begin, end - begin));
        return out;
    };
    // Word by word where both texts have as many words; by the words' skeletons where they do not.
    EXPECT_EQ(marked("\u0671\u0644\u0646\u0651\u064E\u0627\u0633\u0650 \u0628",
                     "\u0627\u0644\u0646\u0627\u0633 \u0628"),
              std::vector<std::string>{"\u0671\u0644\u0646\u0651\u064E\u0627\u0633\u0650"});
    EXPECT_EQ(marked("\u064A\u064E\u0640\u0670\u0653\u0623\u064E\u064A\u0651\u064F\u0647\u064E\u0627 "
                     "\u0671\u0644\u0646\u0651\u064E\u0627\u0633\u064F",
                     "\u064A\u0627 \u0623\u064A\u0647\u0627 \u0627\u0644\u0646\u0627\u0633"),
              std::vector<std::string>{"\u0671\u0644\u0646\u0651\u064E\u0627\u0633\u064F"});
}

TEST(ArabicSearch, TheIndexKeptInAFileServesWhileTheTextIsUnchanged)
{
    test::TempDir dir;
    const auto source =
        dir.write("quran-simple-clean.txt", "1|1|\u0628\u0633\u0645\n2|5|\u0623\u0648\u0644\u0626\u0643\n");
    const auto text = QuranText::open(source);
    ASSERT_TRUE(text);
    const ArabicIndex made(*text);
    const auto kept = dir.path() / "index";
    ASSERT_TRUE(made.save(kept, source));
    const auto loaded = ArabicIndex::load(kept, source);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->versesHolding(foldArabic("\u0627\u0648\u0644")), std::vector<std::size_t>{1});
    EXPECT_EQ(loaded->places()[1].surah, 2);
    EXPECT_EQ(loaded->places()[1].aya, 5);
    EXPECT_EQ(loaded->folded(0), "\u0628\u0633\u0645");
    EXPECT_EQ(loaded->sourceText(dir.read("quran-simple-clean.txt"), 1), "\u0623\u0648\u0644\u0626\u0643");
    // A changed text, or a damaged file, is no index: it is made anew.
    const std::string whole = dir.read("index");
    dir.write("index", whole.substr(0, 10) + whole.substr(12));
    EXPECT_FALSE(ArabicIndex::load(kept, source));
    // Counts whose products and sums wrap round to the file's size: 16 bytes a verse for 2^20 verses
    // in a file of a few dozen bytes.
    const std::string key = whole.substr(whole.rfind("velmora-arabic-index"));
    const std::uint32_t count = 1u << 20;
    const std::uint64_t length = 2 - std::uint64_t{count} * 16;
    const std::uint64_t pairsLength = 0;
    std::string crafted = "x\n";
    crafted.append(reinterpret_cast<const char *>(&count), sizeof count);
    crafted.append(reinterpret_cast<const char *>(&length), sizeof length);
    crafted.append(reinterpret_cast<const char *>(&pairsLength), sizeof pairsLength);
    dir.write("index", crafted + key);
    EXPECT_FALSE(ArabicIndex::load(kept, source));
    dir.write("index", whole);
    // A text shorter than a string holds in place keeps its verses when it is handed on.
    dir.write("quran-simple-clean.txt", "1|1|\u0628\n");
    EXPECT_FALSE(ArabicIndex::load(kept, source));
    EXPECT_EQ(QuranText::open(source)->verse(1, 1), "\u0628");
}

TEST(ArabicSearch, ADamagedTextIsNamedForWhatIsWrong)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder");
    std::filesystem::resize_file(dir.write("huge", ""), (65u << 20) + 1); // sparse: no disk used
    const std::pair<const char *, const char *> cases[] = {
        {"missing", "was not found"},
        {"folder", "is not a regular file"},
        {"huge", "is larger than 64 MiB, far larger than any text the program reads"},
        {"empty", "holds no verses as sura|aya|text lines"},
        {"binary", "is not a text file: it holds NUL bytes"},
    };
    dir.write("empty", "# only a comment\n");
    dir.write("binary", std::string("1|1|\0\n", 6));
    for (const auto &[name, problem] : cases) {
        std::string said;
        EXPECT_FALSE(QuranText::open(dir.path() / name, &said));
        EXPECT_EQ(said, problem) << name;
    }
}

// The corpus's transliteration and tags as a reader reads them.
TEST(Corpus, BuckwalterAndTagsReadAsArabicAndEnglish)
{
    const std::pair<const char *, const char *> letters[] = {
        {"kataba", "\u0643\u064E\u062A\u064E\u0628\u064E"},
        {"{ll~ah", "\u0671\u0644\u0644\u0651\u064E\u0647"},
        {"'aAmana", "\u0621\u064E\u0627\u0645\u064E\u0646\u064E"},
        {"<iy~aA", "\u0625\u0650\u064A\u0651\u064E\u0627"},
        {"ma`lik2", "\u0645\u064E\u0670\u0644\u0650\u0643"}, // a homograph's number left out
    };
    for (const auto &[buckwalter, arabic] : letters)
        EXPECT_EQ(fromBuckwalter(buckwalter), arabic) << buckwalter;
    EXPECT_EQ(rootKey("\u0623\u0645\u0646"), "Amn");
    EXPECT_EQ(rootKey(">mn"), "Amn");
    EXPECT_EQ(rootInArabic("Amn"), "\u0623 \u0645 \u0646");
    const std::pair<const char *, const char *> grammar[] = {
        {"w:CONJ+ POS:V IMPF (IV) LEM:>aqaAma ROOT:qwm 3MP",
         "conjunction wa + verb, imperfect, form IV, third person masculine plural"},
        {"Al+ POS:N LEM:Hamod ROOT:Hmd M NOM", "the article al + noun, masculine, nominative"},
        {"POS:V IMPV LEM:hadaY ROOT:hdy 2MS PRON:1P",
         "verb, imperative, second person masculine singular + attached pronoun, first person plural"},
        {"Al+ POS:ADJ ACT PCPL (X) LEM:m~usotaqiym ROOT:qwm M ACC",
         "the article al + adjective, active participle, form X, masculine, accusative"},
        {"POS:T LEM:baEod ROOT:bEd POS:SUB LEM:maA", "time adverb + subordinating conjunction"},
    };
    for (const auto &[line, english] : grammar)
        EXPECT_EQ(grammarOf(line), english) << line;
}
