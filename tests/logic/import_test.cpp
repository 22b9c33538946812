#include "core/catalogue.h"
#include "core/textfield.h"
#include "import/hadith.h"
#include "import/import.h"
#include "import/texts.h"
#include "platform/paths.h"
#include "recite/memorise.h"
#include "search/engine.h"
#include "text/extract.h"

#include "holds.h"
#include "tempdir.h"
#ifdef VELMORA_IMPORT_TOOL
#include "toolrun.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace velmora;

namespace {

// A whole translation in sura|aya|text lines; every verse reads "Verse s:v." unless given here.
std::string translationInput(const std::map<std::pair<int, int>, std::string> &special, int skipSurah = 0,
                             std::string_view lineEnd = "\n")
{
    std::string in = "\xEF\xBB\xBF# A test translation\n\n";
    for (int s = 1; s <= kSurahCount; ++s) {
        if (s == skipSurah)
            continue;
        for (int v = 1; v <= verseCount(s); ++v) {
            const auto it = special.find({s, v});
            in += std::to_string(s) + "|" + std::to_string(v) + "|" +
                  (it != special.end() ? it->second
                                       : "Verse " + std::to_string(s) + ":" + std::to_string(v) + ".");
            in += lineEnd;
        }
    }
    return in;
}

const std::map<std::pair<int, int>, std::string> kSpecial = {
    {{1, 1}, "In the name of God, the Merciful, the Compassionate."},
    {{2, 255}, "Allah! There is no god but He, the Living, the \"Self-Subsisting\"."},
    {{3, 7},
     "Al-Ra\xE1\xB8\xA5m\xC4\x81n \xCA\xBF"
     "Al\xC4\xAB | with a bar, caf\xC3\xA9 \xD8\xA8"},
    {{114, 6}, "  Of the jinn and of mankind.  "},
};

std::string expectedVerse(int s, int v)
{
    // Entry 0 of every surah but 1 and 9 repeats the invocation, verse 1:1.
    if (s == 9 && v == 0)
        return std::string(import::kNoInvocationNote);
    if (v == 0 || (s == 1 && v == 1))
        return "In the name of God, the Merciful, the Compassionate.";
    if (s == 2 && v == 255)
        return "Allah! There is no god but He, the Living, the 'Self-Subsisting'.";
    if (s == 3 && v == 7)
        return "Al-Rahman 'Ali | with a bar, caf\xE9 ?";
    if (s == 114 && v == 6)
        return "Of the jinn and of mankind.";
    return "Verse " + std::to_string(s) + ":" + std::to_string(v) + ".";
}

// The entries a phrase finds in one source of a data folder.
std::vector<std::string> found(const test::TempDir &data, int source, const std::string &phrase)
{
    SearchWords words;
    return RunQuery(data.folder(), source, "'" + phrase + "'", words).entries;
}

} // namespace

TEST(TranslationImport, EveryVerseReadsBackThroughTheDisplayAndTheSearch)
{
    const import::ImportResult result = import::importTranslation(translationInput(kSpecial, 0, "\r\n"));
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.stats.items, 6236u);
    EXPECT_EQ(result.stats.records, 6236u + 114 + 113);
    EXPECT_EQ(result.stats.transliterated, 4u);
    EXPECT_EQ(result.stats.replaced, 1u);

    test::TempDir data;
    ASSERT_EQ(import::writeDataFiles(data.path(), {{"PIKTHL.TXT", result.contents}}), "");
    for (int s = 1; s <= kSurahCount; ++s) {
        // Surah 1 has no entry before its first verse: its entry k is verse k + 1.
        const int first = s == 1 ? 1 : 0;
        std::string expected;
        for (int v = first; v <= verseCount(s); ++v)
            expected += std::to_string(v) + ") " + expectedVerse(s, v) + "\r\n\r\n";
        ASSERT_EQ(ExtractVerseRange(data.folder(), "PIKTHL.txt", s, 0, verseCount(s) - first), expected)
            << "surah " << s;
    }
    EXPECT_EQ(found(data, 0, "self-subsisting"),
              std::vector<std::string>{"002.255) " + expectedVerse(2, 255)});
    EXPECT_EQ(found(data, 0, "surah 2. al baqara (the cow)"),
              std::vector<std::string>{"Surah 2. Al Baqara (The Cow)"});
    EXPECT_TRUE(found(data, 0, "bismi").empty());
}

TEST(TranslationImport, RefusesInputNotInTheExpectedForm)
{
    const std::string whole = translationInput({});
    std::string gap = whole;
    const auto cut = gap.find("\n36|12|");
    gap.erase(cut, gap.find('\n', cut + 1) - cut);
    const std::pair<std::string, std::string_view> cases[] = {
        {translationInput({}, 9), "1 surah is missing: 9"},
        {"", "114 surahs are missing: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ..."},
        {whole + "1|8|One verse too many.\n", "surah 1 has 7 verses, so there is no verse 8"},
        {whole + "2|255|Again.\n", "verse 2:255 appears a second time"},
        {whole + "115|1|No such surah.\n", "there is no surah 115"},
        {"1,1,Commas instead of bars\n", "line 1: not in the form sura|aya|text"},
        {"# comment\none|1|x\n", "line 2: the surah and verse must be numbers"},
        {gap, "surah 36 has 83 verses, but verse 12 is missing"},
    };
    for (const auto &[input, error] : cases)
        EXPECT_TRUE(test::holds(import::importTranslation(input).error, error));
}

// Tanzil's own files are kept as they are, named by their ID; what is no such file is refused with
// what it is.
TEST(TanzilImport, TakesTanzilsFilesAsTheyAreAndRefusesTheRest)
{
    const std::string whole = translationInput({{{1, 1}, "Au nom d'Allah"}});
    const std::string block = "#  Name: Test\n#  Language: French\n#  ID: fr.test\n";
    const auto check = [](const std::string &input, std::string_view name = "download.txt") {
        return import::checkTanzilTranslation(input, name);
    };
    EXPECT_EQ(check(whole + block).fileName, "fr.test.txt");
    EXPECT_EQ(check(whole + block).description.language, "French");
    EXPECT_EQ(check(whole, "/home/r/de.Test.txt").fileName, "de.test.txt") << "the ID from the name";
    const std::pair<std::string, std::string_view> refused[] = {
        {" \n\n", "the file is empty"},
        {"1|1|x\n1|2|caf\xE9\n", "line 2: not UTF-8 text"},
        {"<!DOCTYPE html>\n<html>", "a web page, not a translation"},
        {"1,1,Au nom\n", "line 1: not in the form sura|aya|text (a CSV download?"},
        {whole + "2|255|Again.\n", "verse 2:255 appears a second time"},
        {translationInput({}, 9), "1 surah is missing: 9"},
        {whole, "the file names no translation ID"},
    };
    for (const auto &[input, error] : refused)
        EXPECT_TRUE(test::holds(check(input).error, error)) << error;
}

// The window's import tells each published file by its name and contents and puts it where the
// program reads it; one refused input names itself, and the plan holds nothing to write.
TEST(TextImport, EachPublishedFileGoesWhereTheProgramReadsIt)
{
    const test::TempDir in;
    const std::string whole = translationInput({});
    const std::string corpusLines = [] {
        std::string lines;
        for (int i = 0; i < 77429; ++i)
            lines += "POS:N\n";
        return lines;
    }();
    const struct
    {
        std::string name;
        std::string contents;
        std::string goesTo; // "data/NAME", "translations/NAME" or, for a refusal, its words
    } cases[] = {
        {"en.pickthall.txt", whole + "#  ID: en.pickthall\n", "data/PIKTHL.TXT"},
        {"download.txt", whole + "#  Language: Urdu\n#  ID: ur.test\n", "translations/ur.test.txt"},
        {"quran.txt", whole + "#  Tanzil Quran Text (Simple Clean, Version 1.1)\n",
         "data/quran-simple-clean.txt"},
        {"q.txt", whole + "#  Tanzil Quran Text (Uthmani, Version 1.1)\n", "data/quran-uthmani.txt"},
        {"q2.txt", whole + "#  Tanzil Quran Text (Simple Minimal, Version 1.1)\n", "this is another"},
        {"Quranic-Corpus-Morphology.txt", corpusLines, "data/quranic-corpus-morphology.txt"},
        {"quranic-corpus-word-by-word.txt", "in\n(the) name\n", "it has 2 lines"},
        {"muwatta-malik.json", R"([{"english": {"text": "A hadith."}}])", "data/MALIK.TXT"},
        {"hadiths.json", R"([{"text": "A hadith."}])", "no collection the program reads"},
    };
    for (const auto &c : cases) {
        const import::TextPlan plan = import::planTexts({{in.write(c.name, c.contents)}, {}, {}}, {});
        std::string where = plan.error;
        for (const auto &[folder, files] :
             {std::pair{"data/", &plan.dataFiles}, {"translations/", &plan.translationFiles}})
            for (const auto &file : *files)
                where = folder + file.name;
        EXPECT_TRUE(test::holds(where, c.goesTo)) << c.name << ": " << where;
        EXPECT_EQ(plan.input.empty(), plan.error.empty()) << c.name;
    }
}

TEST(HadithImport, RecordsReadBackOneByOneAndAreFound)
{
    const std::string json = R"({"metadata": {"title": "Test"}, "hadiths": [
        {"id": 1, "english": {"narrator": "Narrated 'Umar:", "text": "Deeds are by \"intentions\", and every person\nwill get what he intended."}},
        {"id": 2, "english": {"narrator": "", "text": "   "}},
        {"id": 3, "english": {"text": "The Prophet (\uFDFA) said: \u00ABPray\u00BB \uD83D\uDE00 on the day of Jumu\u02BFah."}},
        {"id": 4, "english": {"narrator": "Narrated Ab\u016B Hurayra:", "text": "No comma here"}},
        {"id": 5, "english": {"text": "\u200b \u2060\u00a0"}},
        {"id": 6, "english": {"text": "A NUL\u0000here"}}
    ]})";
    import::HadithFields fields;
    fields.text = "english.text";
    fields.narrator = "english.narrator";
    const import::ImportResult result = import::importHadiths(json, fields);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.stats.items, 4u);
    EXPECT_EQ(result.stats.skipped, 2u) << "blanks, and invisible characters alone";
    EXPECT_EQ(result.stats.replaced, 1u) << "the emoji";
    EXPECT_EQ(result.stats.transliterated, 5u) << "the honorific, the ayn, the u with macron, two invisibles";

    test::TempDir data;
    ASSERT_EQ(import::writeDataFiles(data.path(), {{"BUKHARI.TXT", result.contents}}), "");
    auto reader = FieldReader::open(data.path() / "BUKHARI.TXT");
    ASSERT_TRUE(reader);
    const std::vector<std::string> expected = {
        "Narrated 'Umar: Deeds are by 'intentions', and every person will get what he intended.",
        "The Prophet (pbuh) said: \xABPray\xBB ? on the day of Jumu'ah.",
        "Narrated Abu Hurayra: No comma here",
        "A NUL here",
    };
    for (const auto &record : expected) {
        ASSERT_FALSE(reader->atEnd());
        EXPECT_EQ(reader->next(), record);
    }
    EXPECT_TRUE(reader->atEnd());

    const int bukhari = sourceIndexFor("Bukhari");
    EXPECT_EQ(found(data, bukhari, "every person"), std::vector<std::string>{expected[0]});
    EXPECT_EQ(found(data, bukhari, "(pbuh)"), std::vector<std::string>{expected[1]});
}

TEST(HadithImport, RefusesBrokenJsonAndHadithsWithoutText)
{
    const std::pair<std::string, std::string_view> cases[] = {
        {"[{\"text\": \"one\"},\n {\"text\": \"two\" ]",
         "not valid JSON: syntax error while parsing object - unexpected ']'; expected '}' (line 2, column "
         "17)"},
        {"[{\"text\": \"cut off",
         "not valid JSON: syntax error while parsing value - invalid string: missing "
         "closing quote; last read: '\"cut off' (line 1, column 18)"},
        {"[{\"body\": \"x\"}]", "hadith 1 has no text member \"text\""},
        {"[{\"text\": \"x\"}, 7]", "hadith 2 is not an object"},
        {"{\"text\": \"x\"}", "expected a JSON array of hadiths, or an object with a \"hadiths\" array"},
        {"[]", "the array holds no hadith"},
        {"[{\"text\": \"x\"}] trailing",
         "not valid JSON: syntax error while parsing value - invalid literal; "
         "last read: '\"x\"}] tra'; expected end of input (line 1, column 19)"},
        {std::string(1000, '[') + std::string(1000, ']'),
         "not valid JSON: values are nested more than 200 deep"},
        {"[{\"text\": \"[[[ in a string ]]]\", \"number\": 1e999}]",
         "not valid JSON: number overflow parsing '1e999'"},
    };
    for (const auto &[json, error] : cases)
        EXPECT_EQ(import::importHadiths(json, {}).error, error);
    for (const char *bad :
         {"", "[1,]", "{\"a\" 1}", "[\"\\x\"]", "[\"\\uD800\"]", "01x", "[\"a\nb\"]", "tru"})
        EXPECT_EQ(import::importHadiths(bad, {}).error.rfind("not valid JSON: ", 0), 0u) << bad;
}

TEST(DataFiles, WritingReplacesTheFileTheProgramReads)
{
    test::TempDir data;
    data.write("pikthl.txt", "old");
    // Two spellings of one name can stand side by side only where letter case tells names apart.
    data.write("Malik.txt", "old Malik");
    data.write("MALIK.TXT", "old MALIK");
    const bool twins = data.read("Malik.txt") == "old Malik";
    ASSERT_EQ(import::writeDataFiles(data.path(), {{"PIKTHL.TXT", "new\r\n"}, {"malik.txt", "m\r\n"}}), "");
    EXPECT_EQ(data.read("pikthl.txt"), "new\r\n");
    // Of two spellings, the program reads the first in byte order, and the import writes that one.
    EXPECT_EQ(data.read("MALIK.TXT"), "m\r\n");
    EXPECT_EQ(found(data, sourceIndexFor("malik"), "m"), std::vector<std::string>{"m"});
    if (twins) {
        for (const char *asked : {"MALIK.TXT", "malik.txt"})
            EXPECT_EQ(platform::resolveNoCase(data.folder(), asked).filename(), "MALIK.TXT") << asked;
        EXPECT_EQ(data.read("Malik.txt"), "old Malik");
        EXPECT_EQ(import::twinsOf(platform::NameIndex(data.folder()), "MALIK.TXT"),
                  std::vector<std::string>{"Malik.txt"});
    }
    EXPECT_EQ(test::entryNames(data.path()).size(), twins ? 3u : 2u) << "no further file, no temporary left";
}

namespace {

using test::snapshot;

// A data folder with two old files, and the three new files an import writes into it.
struct ImportScene
{
    ImportScene()
    {
        data.write("pikthl.txt", "old Pickthall\r\n");
        data.write("BUKHARI.TXT", "old Bukhari\r\n");
        data.write("notes.txt", "the reader's own file");
        data.write("114-006.mp3", "a recording the import takes away");
        before = snapshot(data.path());
    }
    test::TempDir data;
    std::map<std::string, std::string> before;
    const std::vector<import::OutputFile> files = {{"PIKTHL.TXT", "new Pickthall\r\n"},
                                                   {"MALIK.TXT", "new Malik\r\n"},
                                                   {"BUKHARI.TXT", "new Bukhari\r\n"},
                                                   {"114-006.mp3", {}, {}, true}};
    // Steps of the swap: two for each file replaced or taken away, one for the new file.
    static constexpr std::size_t kSteps = 7;
};

} // namespace

TEST(DataFiles, AFailedStepPutsBackEveryFileReplaced)
{
    for (std::size_t failAt = 0; failAt < ImportScene::kSteps; ++failAt) {
        SCOPED_TRACE(failAt);
        ImportScene scene;
        const std::string problem = import::writeDataFiles(scene.data.path(), scene.files,
                                                           [&](std::size_t step) { return step != failAt; });
        EXPECT_NE(problem.find("the old files were kept"), std::string::npos) << problem;
        EXPECT_EQ(snapshot(scene.data.path()), scene.before) << "byte for byte, and nothing left over";
    }
}

TEST(DataFiles, TargetsAreCheckedBeforeAnythingIsWritten)
{
    ImportScene scene;
    EXPECT_EQ(import::writeDataFiles(scene.data.path(), {{"PIKTHL.TXT", "a"}, {"pikthl.txt", "b"}}),
              "pikthl.txt is named twice");
    std::filesystem::create_directory(scene.data.path() / "shakir.txt");
    scene.before = snapshot(scene.data.path());
    const std::string problem =
        import::writeDataFiles(scene.data.path(), {{"PIKTHL.TXT", "a"}, {"SHAKIR.TXT", "b"}});
    EXPECT_NE(problem.find("it is not a file"), std::string::npos) << problem;
    EXPECT_EQ(snapshot(scene.data.path()), scene.before);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST(DataFiles, AnImportStoppedHalfWayIsUndoneByTheNextRun)
{
    // The child process is forked from this one, so it works in the same folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    for (std::size_t stopAt = 0; stopAt < ImportScene::kSteps; ++stopAt) {
        SCOPED_TRACE(stopAt);
        ImportScene scene;
        // The process dies before the step, as under kill -9: no code of the import runs after it.
        EXPECT_EXIT(import::writeDataFiles(scene.data.path(), scene.files,
                                           [&](std::size_t step) {
                                               if (step == stopAt)
                                                   std::_Exit(9);
                                               return true;
                                           }),
                    ::testing::ExitedWithCode(9), "");
        EXPECT_NE(snapshot(scene.data.path()), scene.before);
        for (const auto &[name, contents] : scene.before)
            EXPECT_TRUE(name == "114-006.mp3" || snapshot(scene.data.path()).contains(name))
                << name << " is never missing";
        EXPECT_EQ(import::recoverInterruptedImport(scene.data.path()), "");
        EXPECT_EQ(snapshot(scene.data.path()), scene.before);
    }

    // The next import itself clears up first, then writes its files; the old tool's strays go too.
    ImportScene scene;
    EXPECT_EXIT(import::writeDataFiles(scene.data.path(), scene.files,
                                       [](std::size_t step) {
                                           if (step == 3)
                                               std::_Exit(9);
                                           return true;
                                       }),
                ::testing::ExitedWithCode(9), "");
    scene.data.write("SHAKIR.TXT.import-new", "left by an old version");
    ASSERT_EQ(import::writeDataFiles(scene.data.path(), {{"MALIK.TXT", "Malik\r\n"}}), "");
    auto expected = scene.before;
    expected["MALIK.TXT"] = "Malik\r\n";
    EXPECT_EQ(snapshot(scene.data.path()), expected);
}
#endif

TEST(DataFiles, AJournalNamingFilesOutsideTheFolderIsRefused)
{
    test::TempDir top;
    const auto data = top.path() / "data";
    top.write("elsewhere", "not the import's");
    top.write("data/PIKTHL.TXT", "kept");
    for (const std::string line :
         {"PIKTHL.TXT\t.velmora-import-a\t../elsewhere", "../elsewhere\t.velmora-import-a\t",
          "PIKTHL.TXT\t/tmp/x\t", "PIKTHL.TXT\t.velmora-import-a", "sub\\x\t.velmora-import-a\t",
          "PIKTHL.TXT\tPIKTHL.TXT\t"}) {
        top.write("data/.velmora-import-journal", line + "\n");
        EXPECT_NE(import::recoverInterruptedImport(data).find("names files outside the folder"),
                  std::string::npos)
            << line;
        EXPECT_EQ(top.read("elsewhere"), "not the import's");
        EXPECT_EQ(top.read("data/PIKTHL.TXT"), "kept");
    }
}

#ifndef _WIN32
TEST(DataFiles, OnlyRegularFilesAreRecordingsAndInputsAreBounded)
{
    test::TempDir in;
    ASSERT_EQ(::mkfifo((in.path() / "001001.mp3").c_str(), 0600), 0);
    in.write("001002.mp3", "ID3");
    const import::Recordings plan = import::planRecordings(in.path());
    EXPECT_EQ(plan.error, "");
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].name, "001-001.mp3");
    EXPECT_EQ(plan.missing.front(), "001001.mp3 (entry 001-000)");

    in.write("big.txt", std::string(3000, 'x'));
    EXPECT_EQ(import::readSource(in.path() / "big.txt", 2048).error,
              "it holds more than 2048 bytes, more than any text this tool takes");
    EXPECT_EQ(import::readSource(in.path() / "big.txt", 3000).text.size(), 3000u);
    // A device is refused before it is read; a FIFO nobody writes to is empty, never waited for.
    EXPECT_EQ(import::readSource("/dev/zero").error, "it is neither a file nor a pipe");
    const auto fifo = import::readSource(in.path() / "001001.mp3");
    EXPECT_EQ(fifo.error + fifo.text, "");
    EXPECT_EQ(import::readSource(in.path()).error, "it is a folder");
}
#endif

#ifdef VELMORA_IMPORT_TOOL
namespace {

// A path as one word of a shell command.
std::string quoted(const std::filesystem::path &path)
{
    return "\"" + path.string() + "\"";
}

// Runs the import tool and checks its exit status and that its report holds the text.
void expectRun(const std::string &arguments, int status, std::string_view text)
{
    const test::ToolRun run = test::runCommand("\"" VELMORA_IMPORT_TOOL "\" --quiet " + arguments + " 2>&1");
    EXPECT_EQ(run.status, status) << arguments;
    EXPECT_TRUE(test::holds(run.out, text)) << arguments;
}

} // namespace

// A real translation comes in as published and is a source of the search tool by its ID.
TEST(ImportTool, ATanzilTranslationIsKeptAsPublishedAndSearched)
{
    const std::string data = test::realDataFolder();
    if (data.empty())
        GTEST_SKIP() << "the real data files (../shared/data) are not present";
    test::TempDir dir;
    const std::string file = data + "translations/ur.jalandhry.txt";
    expectRun("--to " + quoted(dir.path()) + " " + quoted(std::filesystem::path(file)), 0,
              "translations/ur.jalandhry.txt: Urdu");
    std::ifstream in(file, std::ios::binary);
    const std::string published((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(dir.read("translations/ur.jalandhry.txt"), published);
    const auto lines = std::count(published.begin(), published.end(), '\n');
    EXPECT_EQ(lines, 6247);
    const std::string god = "\u062E\u062F\u0627";
    std::ptrdiff_t holding = 0;
    for (std::size_t at = 0, end; (end = published.find('\n', at)) != std::string::npos; at = end + 1)
        holding += published.compare(at, 1, "#") != 0 &&
                   published.substr(at, end - at).find(god) != std::string::npos;
    const test::ToolRun run = test::runCommand("\"" VELMORA_SEARCH_TOOL "\" -c --data " + quoted(dir.path()) +
                                               " ur.jalandhry " + god);
    EXPECT_EQ(run.out, std::to_string(holding) + "\n");
    // The hits as the file has them, the last verse among them.
    const test::ToolRun hits =
        test::runCommand("\"" VELMORA_SEARCH_TOOL "\" --data " + quoted(dir.path()) +
                         " ur.jalandhry \u0627\u0646\u0633\u0627\u0646\u0648\u06BA 2>/dev/null");
    const std::string last = published.substr(published.find("114|6|") + 6);
    EXPECT_TRUE(hits.out.ends_with("114.6) " + last.substr(0, last.find('\n') + 1))) << hits.out;
}

TEST(ImportTool, BadInputLeavesTheDataFolderAsItWas)
{
    test::TempDir work;
    work.write("data/PIKTHL.TXT", "Surah 1. Old\r\n\"001.1) Old, and kept.\"\r\n");
    work.write("data/BUKHARI.TXT", "Old hadith\r\n");
    const auto before = snapshot(work.path() / "data");
    const std::string to = "--to " + quoted(work.path() / "data") + " ";
    const std::string good = quoted(work.write("good.txt", translationInput(kSpecial)));

    // One bad input among good ones, or one target named twice in any letter case: nothing is written.
    expectRun(to + "PIKTHL=" + good + " BUKHARI=" + quoted(work.write("broken.json", "[{\"text\": \"x\"")), 1,
              "not valid JSON");
    expectRun(to + "YSFALI=" + quoted(work.write("short.txt", translationInput(kSpecial, 114))), 1,
              "1 surah is missing: 114");
    expectRun(to + "PIKTHL=" + good + " pikthl=" + good, 2, "PIKTHL.TXT is named twice");
    EXPECT_EQ(snapshot(work.path() / "data"), before);

    expectRun(to + "pikthl=" + good, 0,
              "PIKTHL.TXT: 6,236 verses in 6,463 records; 4 characters transliterated");
    EXPECT_EQ(ExtractVerseRange(work.folder() + "data/", "PIKTHL.TXT", 2, 255, 255),
              "255) " + expectedVerse(2, 255) + "\r\n\r\n");
}

TEST(ImportTool, EvenARefusedRunFirstUndoesAnInterruptedImport)
{
    // As a kill leaves it after the new Pickthall took its place: the old one kept, the journal there.
    test::TempDir work;
    work.write("data/PIKTHL.TXT", "new");
    work.write("data/.velmora-import-s.old", "old");
    work.write("data/.velmora-import-t", "a staged file");
    work.write("data/.velmora-import-journal", "PIKTHL.TXT\t.velmora-import-s\t.velmora-import-s.old\n");
    expectRun("--to " + quoted(work.path() / "data") + " NOSUCH=x.txt", 2, "");
    expectRun("--to " + quoted(work.path() / "no such folder") + " PIKTHL=x.txt", 1, "does not exist");
    EXPECT_FALSE(std::filesystem::exists(work.path() / "no such folder"));
    expectRun("--version", 0, "velmora-import 1.1\n");
    EXPECT_EQ(snapshot(work.path() / "data"), (std::map<std::string, std::string>{{"PIKTHL.TXT", "old"}}));
}

TEST(ImportTool, RecordingsComeInByVerseEntryWithThePauses)
{
    if (!test::installed("lame"))
        GTEST_SKIP() << "lame (Debian package lame) is not installed";
    test::TempDir work;
    for (int v = 1; v <= 7; ++v)
        work.write("in/00100" + std::to_string(v) + ".mp3", "ID3 1:" + std::to_string(v));
    work.write("in/009001.MP3", "\xff\xfb 9:1");
    work.write("in/002001.mp3", "\xff\xfb 2:1");
    work.write("in/notes.txt", "not a recording");
    work.write("data/PIKTHL.TXT", "kept");
    work.write("data/114-006.mp3", "ID3 an earlier reciter"); // the new set has no 114:6
    const auto data = work.path() / "data";
    const std::string run = "--to " + quoted(data) + " --recordings " + quoted(work.path() / "in");

    // Files that are no MP3 refuse the whole import, every one named: the data folder stays as it was.
    work.write("in/002002.mp3", "<html>not found</html>");
    work.write("in/002003.mp3", "");
    expectRun(run, 1, "002002.mp3 is not an MP3 file; 002003.mp3 is not an MP3 file");
    EXPECT_EQ(snapshot(data), (std::map<std::string, std::string>{
                                  {"PIKTHL.TXT", "kept"}, {"114-006.mp3", "ID3 an earlier reciter"}}));

    std::filesystem::remove(work.path() / "in" / "002002.mp3");
    std::filesystem::remove(work.path() / "in" / "002003.mp3");
    // Names nearly right, and a link, are named beside the missing verses.
    for (const char *name : {"002002 (copy).mp3", "2003.mp3", "002004.mp3.part", "002005.mp3 "})
        work.write(std::string("in/") + name, "ID3");
    std::filesystem::create_symlink(work.path() / "in" / "001001.mp3", work.path() / "in" / "002006.mp3");
    expectRun(run, 0,
              "no recording for 6,227 verse entries: 002002.mp3 (entry 002-002), 002003.mp3 (entry 002-003)");
    // The pauses are made through pipes: no shell sees the temporary folder's name, which need not exist.
    const auto marker = work.path() / "ran";
    const std::string odd = "TMPDIR='" + work.path().string() + "/no/t$(touch " + marker.string() + ")x' ";
    EXPECT_TRUE(test::holds(test::runCommand(odd + "\"" VELMORA_IMPORT_TOOL "\" --quiet " + run).out,
                            "a.mp3 and b.mp3"));
    EXPECT_FALSE(std::filesystem::exists(marker));
    expectRun(run, 0,
              "not taken, though named like recordings: \"002002 (copy).mp3\", \"002004.mp3.part\", "
              "\"002005.mp3 \", \"002006.mp3\" (a link), \"2003.mp3\"\n");
    EXPECT_EQ(work.read("data/001-000.mp3"), "ID3 1:1") << "surah 1 counts its entries from verse 1";
    EXPECT_EQ(work.read("data/001-006.mp3"), "ID3 1:7");
    EXPECT_EQ(work.read("data/002-000.mp3"), "ID3 1:1") << "the invocation";
    EXPECT_EQ(work.read("data/114-000.mp3"), "ID3 1:1");
    EXPECT_EQ(work.read("data/002-001.mp3"), "\xff\xfb 2:1");
    EXPECT_EQ(work.read("data/009-001.mp3"), "\xff\xfb 9:1");
    EXPECT_FALSE(std::filesystem::exists(data / "009-000.mp3")) << "surah 9 opens without the invocation";
    for (const char *pause : {"a.mp3", "b.mp3"})
        EXPECT_TRUE(looksLikeMp3(work.read(std::string("data/") + pause))) << pause;
    EXPECT_LT(std::filesystem::file_size(data / "a.mp3"), std::filesystem::file_size(data / "b.mp3"));
    EXPECT_EQ(work.read("data/PIKTHL.TXT"), "kept");
    EXPECT_FALSE(std::filesystem::exists(data / "114-006.mp3")) << "the whole set is replaced";
}

TEST(ImportTool, RecitersAreKeptSideBySide)
{
    if (!test::installed("lame"))
        GTEST_SKIP() << "lame (Debian package lame) is not installed";
    test::TempDir work;
    work.write("one/002255.mp3", "ID3 first");
    work.write("two/002255.mp3", "ID3 second");
    work.write("data/002-255.mp3", "ID3 beside the program");
    const std::string to = "--to " + quoted(work.path() / "data") + " --recordings ";
    expectRun(to + quoted(work.path() / "one") + " --reciter 'Mishary Alafasy'", 0,
              "reciters/Mishary Alafasy");
    expectRun(to + quoted(work.path() / "two") + " --reciter 'الحصري'", 0, "a.mp3 and b.mp3");
    EXPECT_EQ(work.read("data/reciters/Mishary Alafasy/002-255.mp3"), "ID3 first");
    EXPECT_EQ(work.read("data/reciters/الحصري/002-255.mp3"), "ID3 second");
    EXPECT_TRUE(looksLikeMp3(work.read("data/reciters/الحصري/a.mp3")));
    EXPECT_EQ(work.read("data/002-255.mp3"), "ID3 beside the program");
    EXPECT_EQ(recitersOf(work.folder() + "data/"), (std::vector<std::string>{"Mishary Alafasy", "الحصري"}));
    for (const char *bad : {"'../up'", "'a/b'", "' lead'", "'.hidden'", "''"})
        expectRun(to + quoted(work.path() / "one") + " --reciter " + bad, 2, "cannot name a reciter");
    expectRun("--to " + quoted(work.path() / "data") + " --reciter x", 2, "--reciter names the reciter");
    EXPECT_FALSE(std::filesystem::exists(work.path() / "up"));
}
#endif
