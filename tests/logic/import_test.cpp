#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "search/engine.h"
#include "import/hadith.h"
#include "text/extract.h"
#include "import/import.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

    const SearchOutcome hits = SearchSource(data.folder(), 0, "self-subsisting");
    ASSERT_EQ(hits.entries.size(), 1u);
    EXPECT_EQ(hits.entries[0], "002.255) " + expectedVerse(2, 255));
    const SearchOutcome headings = SearchSource(data.folder(), 0, "surah 2. al baqara (the cow)");
    EXPECT_EQ(headings.entries, std::vector<std::string>{"Surah 2. Al Baqara (The Cow)"});
    EXPECT_EQ(SearchSource(data.folder(), 0, "bismi").entries.size(), 0u);
}

TEST(TranslationImport, RefusesInputNotInTheExpectedForm)
{
    const auto errorOf = [](const std::string &input) { return import::importTranslation(input).error; };
    EXPECT_EQ(errorOf(translationInput({}, 9)), "1 surah is missing: 9");
    EXPECT_EQ(errorOf(""), "114 surahs are missing: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, ...");

    std::string input = translationInput({});
    EXPECT_NE(
        errorOf(input + "1|8|One verse too many.\n").find("surah 1 has 7 verses, so there is no verse 8"),
        std::string::npos);
    EXPECT_NE(errorOf(input + "2|255|Again.\n").find("verse 2:255 appears a second time"), std::string::npos);
    EXPECT_NE(errorOf(input + "115|1|No such surah.\n").find("there is no surah 115"), std::string::npos);
    EXPECT_NE(errorOf("1,1,Commas instead of bars\n").find("line 1: not in the form sura|aya|text"),
              std::string::npos);
    EXPECT_NE(errorOf("# comment\none|1|x\n").find("line 2: the surah and verse must be numbers"),
              std::string::npos);

    const auto cut = input.find("\n36|12|");
    input.erase(cut, input.find('\n', cut + 1) - cut);
    EXPECT_EQ(errorOf(input), "surah 36 has 83 verses, but verse 12 is missing");
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
    EXPECT_EQ(SearchSource(data.folder(), bukhari, "every person").entries,
              std::vector<std::string>{expected[0]});
    EXPECT_EQ(SearchSource(data.folder(), bukhari, "(pbuh)").entries, std::vector<std::string>{expected[1]});
}

TEST(HadithImport, RefusesBrokenJsonAndHadithsWithoutText)
{
    const import::HadithFields plain;
    const auto errorOf = [&](const std::string &json) { return import::importHadiths(json, plain).error; };
    EXPECT_EQ(errorOf("[{\"text\": \"one\"},\n {\"text\": \"two\" ]"),
              "not valid JSON: syntax error while parsing object - unexpected ']'; expected '}' (line 2, "
              "column 17)");
    EXPECT_EQ(
        errorOf("[{\"text\": \"cut off"),
        "not valid JSON: syntax error while parsing value - invalid string: missing closing quote; last "
        "read: '\"cut off' (line 1, column 18)");
    EXPECT_EQ(errorOf("[{\"body\": \"x\"}]"), "hadith 1 has no text member \"text\"");
    EXPECT_EQ(errorOf("[{\"text\": \"x\"}, 7]"), "hadith 2 is not an object");
    EXPECT_EQ(errorOf("{\"text\": \"x\"}"),
              "expected a JSON array of hadiths, or an object with a \"hadiths\" array");
    EXPECT_EQ(errorOf("[]"), "the array holds no hadith");
    EXPECT_EQ(errorOf("[{\"text\": \"x\"}] trailing"),
              "not valid JSON: syntax error while parsing value - invalid literal; last read: '\"x\"}] tra'; "
              "expected end of input (line 1, column 19)");
    EXPECT_EQ(errorOf(std::string(1000, '[') + std::string(1000, ']')),
              "not valid JSON: values are nested more than 200 deep");
    EXPECT_EQ(errorOf("[{\"text\": \"[[[ in a string ]]]\", \"number\": 1e999}]"),
              "not valid JSON: number overflow parsing '1e999'");
    for (const char *bad :
         {"", "[1,]", "{\"a\" 1}", "[\"\\x\"]", "[\"\\uD800\"]", "01x", "[\"a\nb\"]", "tru"})
        EXPECT_EQ(errorOf(bad).rfind("not valid JSON: ", 0), 0u) << bad;
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
    EXPECT_EQ(SearchSource(data.folder(), sourceIndexFor("malik"), "m").entries,
              std::vector<std::string>{"m"});
    if (twins) {
        for (const char *asked : {"MALIK.TXT", "malik.txt"})
            EXPECT_EQ(platform::resolveNoCase(data.folder(), asked).filename(), "MALIK.TXT") << asked;
        EXPECT_EQ(data.read("Malik.txt"), "old Malik");
        EXPECT_EQ(import::twinsOf(platform::NameIndex(data.folder()), "MALIK.TXT"),
                  std::vector<std::string>{"Malik.txt"});
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(data.path()))
        ++files;
    EXPECT_EQ(files, twins ? 3u : 2u) << "no further file, no temporary left";
}

namespace {

// Every entry of a folder, hidden ones included, with the contents of its files.
std::map<std::string, std::string> snapshot(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> out;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        out[name] =
            entry.is_directory() ? "<folder>" : readRegularFile(entry.path()).value_or("<unreadable>");
    }
    return out;
}

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
    std::filesystem::create_directory(data);
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
    for (const char *source : {"/dev/zero", "big.txt"})
        EXPECT_EQ(import::readSource(in.path() / source, 2048).error,
                  "it holds more than 2048 bytes, more than any text this tool takes")
            << source;
    EXPECT_EQ(import::readSource(in.path() / "big.txt", 3000).text.size(), 3000u);
    EXPECT_EQ(import::readSource(in.path()).error, "it is a folder");
}
#endif

#ifdef VELMORA_IMPORT_TOOL
namespace {

int runImport(const std::string &arguments, const test::TempDir &dir)
{
    const std::string command = std::string("\"") + VELMORA_IMPORT_TOOL + "\" --quiet " + arguments + " >\"" +
                                (dir.path() / "report.txt").string() + "\" 2>&1";
    const int status = std::system(command.c_str());
    return status;
}

} // namespace

TEST(ImportTool, BadInputLeavesTheDataFolderAsItWas)
{
    test::TempDir work;
    std::filesystem::create_directory(work.path() / "data");
    const auto data = work.path() / "data";
    const std::string oldText = "Surah 1. Old\r\n\"001.1) Old, and kept.\"\r\n";
    work.write("data/PIKTHL.TXT", oldText);
    work.write("data/BUKHARI.TXT", "Old hadith\r\n");
    work.write("good.txt", translationInput(kSpecial));
    work.write("short.txt", translationInput(kSpecial, 114));
    work.write("broken.json", "[{\"text\": \"x\"");

    // One bad input among good ones: nothing is written at all.
    EXPECT_NE(runImport("--to \"" + data.string() + "\" PIKTHL=\"" + (work.path() / "good.txt").string() +
                            "\" BUKHARI=\"" + (work.path() / "broken.json").string() + "\"",
                        work),
              0);
    EXPECT_NE(work.read("report.txt").find("not valid JSON"), std::string::npos) << work.read("report.txt");
    EXPECT_NE(
        runImport("--to \"" + data.string() + "\" YSFALI=\"" + (work.path() / "short.txt").string() + "\"",
                  work),
        0);
    EXPECT_NE(work.read("report.txt").find("1 surah is missing: 114"), std::string::npos)
        << work.read("report.txt");
    // The same target twice, in any letter case, good inputs or not.
    const std::string good = "\"" + (work.path() / "good.txt").string() + "\"";
    EXPECT_NE(runImport("--to \"" + data.string() + "\" PIKTHL=" + good + " pikthl=" + good, work), 0);
    EXPECT_NE(work.read("report.txt").find("PIKTHL.TXT is named twice"), std::string::npos)
        << work.read("report.txt");
    EXPECT_EQ(work.read("data/PIKTHL.TXT"), oldText);
    EXPECT_EQ(work.read("data/BUKHARI.TXT"), "Old hadith\r\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(data))
        ++files;
    EXPECT_EQ(files, 2u);

    ASSERT_EQ(
        runImport("--to \"" + data.string() + "\" pikthl=\"" + (work.path() / "good.txt").string() + "\"",
                  work),
        0)
        << work.read("report.txt");
    EXPECT_NE(work.read("report.txt")
                  .find("PIKTHL.TXT: 6,236 verses in 6,463 records; 4 characters transliterated"),
              std::string::npos)
        << work.read("report.txt");
    EXPECT_EQ(ExtractVerseRange(data.string() + "/", "PIKTHL.TXT", 2, 255, 255),
              "255) " + expectedVerse(2, 255) + "\r\n\r\n");
}

TEST(ImportTool, EvenARefusedRunFirstUndoesAnInterruptedImport)
{
    // As a kill leaves it after the new Pickthall took its place: the old one kept, the journal there.
    test::TempDir work;
    std::filesystem::create_directory(work.path() / "data");
    work.write("data/PIKTHL.TXT", "new");
    work.write("data/.velmora-import-s.old", "old");
    work.write("data/.velmora-import-t", "a staged file");
    work.write("data/.velmora-import-journal", "PIKTHL.TXT\t.velmora-import-s\t.velmora-import-s.old\n");
    EXPECT_EQ(runImport("--to \"" + (work.path() / "data").string() + "\" NOSUCH=x.txt", work) >> 8, 2);
    EXPECT_NE(runImport("--to \"" + (work.path() / "no such folder").string() + "\" PIKTHL=x.txt", work), 0);
    EXPECT_NE(work.read("report.txt").find("does not exist"), std::string::npos) << work.read("report.txt");
    EXPECT_FALSE(std::filesystem::exists(work.path() / "no such folder"));
    EXPECT_EQ(runImport("--version", work), 0);
    EXPECT_EQ(work.read("report.txt"), "velmora-import 1.0\n");
    EXPECT_EQ(snapshot(work.path() / "data"), (std::map<std::string, std::string>{{"PIKTHL.TXT", "old"}}));
}

TEST(ImportTool, RecordingsComeInByVerseEntryWithThePauses)
{
    if (std::system("command -v lame >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lame (Debian package lame) is not installed";
    test::TempDir work;
    std::filesystem::create_directories(work.path() / "in");
    std::filesystem::create_directories(work.path() / "data");
    const auto data = work.path() / "data";
    for (int v = 1; v <= 7; ++v)
        work.write("in/00100" + std::to_string(v) + ".mp3", "ID3 1:" + std::to_string(v));
    work.write("in/009001.MP3", "\xff\xfb 9:1");
    work.write("in/002001.mp3", "\xff\xfb 2:1");
    work.write("in/notes.txt", "not a recording");
    work.write("data/PIKTHL.TXT", "kept");
    work.write("data/114-006.mp3", "ID3 an earlier reciter"); // the new set has no 114:6
    const std::string in = "\"" + (work.path() / "in").string() + "\"";
    const std::string to = "--to \"" + data.string() + "\" ";

    // A file that is no MP3 refuses the whole import: the data folder stays as it was.
    work.write("in/002002.mp3", "<html>not found</html>");
    EXPECT_NE(runImport(to + "--recordings " + in, work), 0);
    EXPECT_NE(work.read("report.txt").find("002002.mp3 is not an MP3 file"), std::string::npos)
        << work.read("report.txt");
    EXPECT_EQ(snapshot(data), (std::map<std::string, std::string>{
                                  {"PIKTHL.TXT", "kept"}, {"114-006.mp3", "ID3 an earlier reciter"}}));

    std::filesystem::remove(work.path() / "in" / "002002.mp3");
    ASSERT_EQ(runImport(to + "--recordings " + in, work), 0) << work.read("report.txt");
    EXPECT_NE(work.read("report.txt")
                  .find("no recording for 6,227 verse entries: 002002.mp3 (entry 002-002), 002003.mp3 (entry "
                        "002-003)"),
              std::string::npos)
        << work.read("report.txt");
    EXPECT_EQ(work.read("data/001-000.mp3"), "ID3 1:1") << "surah 1 counts its entries from verse 1";
    EXPECT_EQ(work.read("data/001-006.mp3"), "ID3 1:7");
    EXPECT_EQ(work.read("data/002-000.mp3"), "ID3 1:1") << "the invocation";
    EXPECT_EQ(work.read("data/114-000.mp3"), "ID3 1:1");
    EXPECT_EQ(work.read("data/002-001.mp3"), "\xff\xfb 2:1");
    EXPECT_EQ(work.read("data/009-001.mp3"), "\xff\xfb 9:1");
    EXPECT_FALSE(std::filesystem::exists(data / "009-000.mp3")) << "surah 9 opens without the invocation";
    for (const char *pause : {"a.mp3", "b.mp3"})
        EXPECT_TRUE(import::looksLikeMp3(work.read(std::string("data/") + pause))) << pause;
    EXPECT_LT(std::filesystem::file_size(data / "a.mp3"), std::filesystem::file_size(data / "b.mp3"));
    EXPECT_EQ(work.read("data/PIKTHL.TXT"), "kept");
    EXPECT_FALSE(std::filesystem::exists(data / "114-006.mp3")) << "the whole set is replaced";
}
#endif
