#include "core/safefile.h"
#include "text/bookmarks.h"
#include "text/extract.h"
#include "text/metadata.h"
#include "text/notes.h"
#include "text/translate.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace velmora;

namespace {

class Extraction : public ::testing::Test
{
protected:
    test::TempDir data;
    test::TempDir temp;

    std::string extract(const std::string &file, int surah, int from, int to, ReadHooks hooks = {})
    {
        return ExtractVerseRange(data.folder(), file, surah, from, to, hooks);
    }
};

} // namespace

TEST_F(Extraction, ReadsTheRangeOfTheSurahsBlock)
{
    data.write("T.TXT", "Surah 1. One\r\n001.0) a\r\n001.1) b\r\nSurah  12. Twelve\r\nR0: zero\r\n"
                        "R1: one\r\n\"R2: two, with comma\"\r\nR3: three\r\n");
    EXPECT_EQ(extract("T.TXT", 12, 0, 0), "zero\r\n\r\n");
    EXPECT_EQ(extract("T.TXT", 12, 1, 2), "one\r\n\r\ntwo, with comma\r\n\r\n");
    EXPECT_EQ(extract("t.txt", 12, 1, 2), extract("T.TXT", 12, 1, 2)); // any letter case
    EXPECT_EQ(extract("T.TXT", 1, 0, 1), "0) a\r\n\r\n1) b\r\n\r\n");
    EXPECT_EQ(extract("T.TXT", 7, 0, 3), "");
    EXPECT_EQ(extract("T.TXT", 12, 2, 1), "");
}

TEST_F(Extraction, ShortBlocksShortRecordsAndOddHeadings)
{
    data.write("T.TXT", "Surah 3 no dot\r\nabcdX\r\nSurah 4. Four\r\nabcd\r\nab\r\nSurah x. none\r\n"
                        "Surah 5. Five\r\nabcdfive\r\n");
    EXPECT_EQ(extract("T.TXT", 3, 0, 5), "X\r\n\r\n");        // a heading without "." still counts
    EXPECT_EQ(extract("T.TXT", 4, 0, 9), "\r\n\r\n\r\n\r\n"); // stops at the next heading
    EXPECT_EQ(extract("T.TXT", 5, 0, 100), "five\r\n\r\n");   // stops at the end of the file
    EXPECT_EQ(headingSurah("Surah 12. Yusuf"), 12);
    EXPECT_EQ(headingSurah("Surah  12. Yusuf"), 12);
    EXPECT_EQ(headingSurah("Surah x. Yusuf"), 0);
    EXPECT_EQ(headingSurah("Surah 99999999999. Too large"), std::numeric_limits<int>::max());
    EXPECT_FALSE(isHeading("surah 2. lower case"));
}

TEST_F(Extraction, TellsAboutAMissingFileAndTheHeading)
{
    std::vector<std::string> missing;
    int headings = 0;
    ReadHooks hooks{[&] { ++headings; }, [&](const std::string &f) { missing.push_back(f); }, {}};
    EXPECT_EQ(extract("NONE.TXT", 1, 0, 0, hooks), "");
    EXPECT_EQ(missing, std::vector<std::string>{"NONE.TXT"});
    data.write("T.TXT", "Surah 1. x\r\nabcdA\r\n");
    extract("T.TXT", 1, 0, 0, hooks);
    EXPECT_EQ(headings, 1);

    // A file that is there but does not give the surah: what is wrong with it, in words.
    std::string problem;
    hooks.unreadable = [&](const std::string &, const std::string &why) { problem = why; };
    const std::pair<std::string, std::string> broken[] = {
        {" \r\n\r\n", "holds no records"},
        {std::string("Surah 1. x\r\nab\0cd\r\n", 15), "is not a text file: it holds NUL bytes"},
        {"Surah 1. x, 001.1) a, 001.2) b", "has no line ends, so it holds no surah blocks"},
        {"Sura 1. x\r\n001.1) a\r\n", "does not open with a surah heading such as \"Surah 1. Al Fatiha\""},
        {"Surah 200. x\r\n", "does not open with a surah heading such as \"Surah 1. Al Fatiha\""},
        {"Surah 1. x\r\nabcdA\r\nSurah 3. y\r\n", "holds no surah 2"},
    };
    for (const auto &[text, why] : broken) {
        data.write("T.TXT", text);
        problem.clear();
        EXPECT_EQ(extract("T.TXT", 2, 0, 0, hooks), "");
        EXPECT_EQ(problem, why) << text;
    }
    // Told by its size alone, before a byte is read (sparse: it takes no disk).
    std::filesystem::resize_file(data.path() / "T.TXT", (std::uintmax_t{2} << 30));
    EXPECT_EQ(extract("T.TXT", 2, 0, 0, hooks), "");
    EXPECT_EQ(problem, "is larger than 64 MiB, far larger than any text the program reads");
}

TEST_F(Extraction, InterleavesItemByItemAndKeepsAVerseWithACommaOneItem)
{
    struct Case
    {
        const char *a, *x, *shown, *pickthall, *yusufAli;
    };
    const Case cases[] = {
        {"Surah 1. x\r\nabcdA\r\nabcdB\r\n", "Surah 1. x\r\nabcdX\r\nabcdY\r\n",
         "A\r\n---\r\nX\r\n\r\n\r\nB\r\n---\r\nY\r\n\r\n\r\n\r\n\r\n", "A\r\n\r\nB\r\n\r\n\r\n",
         "X\r\n\r\nY\r\n\r\n\r\n"},
        // Verses stay paired with the same verses of the other translation.
        {"Surah 1. x\r\n\"abcdA, a\"\r\nabcdB\r\n", "Surah 1. x\r\nabcdX\r\n\"abcdY, y\"\r\n",
         "A, a\r\n---\r\nX\r\n\r\n\r\nB\r\n---\r\nY, y\r\n\r\n\r\n\r\n\r\n", "\"A, a\"\r\n\r\nB\r\n\r\n\r\n",
         "X\r\n\r\n\"Y, y\"\r\n\r\n\r\n"},
    };
    for (const Case &c : cases) {
        data.write("A.TXT", c.a);
        data.write("X.TXT", c.x);
        EXPECT_EQ(InterleaveTranslations2(data.folder(), temp.folder(), "A.TXT", "X.TXT", 1, 0, 1), c.shown);
        EXPECT_EQ(temp.read("p185.txt"), c.pickthall);
        EXPECT_EQ(temp.read("y185.txt"), c.yusufAli);
    }
    EXPECT_EQ(InterleaveTranslations2(data.folder(), temp.folder(), "A.TXT", "X.TXT", 1, 0, 0),
              "A, a\r\n---\r\nX\r\n\r\n\r\n\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "t185.txt"));
}

TEST_F(Extraction, ThreeAndFourFilesAndUnevenScratchFiles)
{
    data.write("A.TXT", "Surah 1. x\r\nabcdA\r\nabcdB\r\n");
    data.write("B.TXT", "Surah 1. x\r\nabcdC\r\n");
    data.write("C.TXT", "Surah 1. x\r\nabcdE\r\nabcdF\r\n");
    data.write("D.TXT", "Surah 1. x\r\nabcdG\r\nabcdH\r\n");
    const std::string three =
        InterleaveTranslations3(data.folder(), temp.folder(), "A.TXT", "B.TXT", "C.TXT", 1, 0, 1);
    EXPECT_EQ(three, "A\r\n---\r\nC\r\n---\r\nE\r\n\r\n\r\n\r\nB\r\n---\r\n\r\n---\r\nF\r\n\r\n\r\n\r\n"
                     "\r\n\r\n\r\n");
    const std::string four =
        InterleaveTranslations4(data.folder(), temp.folder(), "A.TXT", "B.TXT", "C.TXT", "D.TXT", 1, 0, 0);
    EXPECT_EQ(four.substr(0, 25), "A\r\n---\r\nC\r\n---\r\nE\r\n---\r\nG");
    EXPECT_EQ(temp.read("z185.txt"), "G\r\n\r\n\r\n");
}

TEST_F(Extraction, CutsAfterThePassThatPasses32000Characters)
{
    std::string file = "Surah 1. x\r\n";
    for (int i = 0; i < 400; ++i)
        file += "abcd" + std::string(100, 'v') + "\r\n";
    data.write("A.TXT", file);
    data.write("B.TXT", file);
    const std::string text =
        InterleaveTranslations2(data.folder(), temp.folder(), "A.TXT", "B.TXT", 1, 0, 399);
    EXPECT_GT(text.size(), kInterleaveLimit);
    EXPECT_LT(text.size(), kInterleaveLimit + 220);
    EXPECT_EQ(ExtractVerseRange(data.folder(), "A.TXT", 1, 0, 399).size(), 400u * 104);
}

TEST_F(Extraction, AnUnwritableTemporaryFolderStillGivesTheText)
{
    data.write("A.TXT", "Surah 1. x\r\nabcdA\r\n");
    data.write("X.TXT", "Surah 1. x\r\nabcdX\r\n");
    EXPECT_EQ(InterleaveTranslations2(data.folder(), temp.folder() + "missing/", "A.TXT", "X.TXT", 1, 0, 0),
              "A\r\n---\r\nX\r\n\r\n\r\n\r\n\r\n");
}

TEST(Translate, SelectionCodesAndTheirFiles)
{
    EXPECT_EQ(selectionCode({false, false, false, false}), 0);
    EXPECT_EQ(selectionCode({true, true, true, true}), 30);
    EXPECT_EQ(selectionCode({true, false, false, true}), 18);
    EXPECT_TRUE(filesForCode(0).empty());
    // The transliteration first, then Pickthall, Yusuf Ali, Shakir; Shakir's name is upper case
    // only when it stands alone.
    EXPECT_EQ(filesForCode(30),
              (std::vector<std::string>{"TRNSLIT.TXT", "PIKTHL.txt", "YSFALI.txt", "SHAKIR.txt"}));
    EXPECT_EQ(filesForCode(16), std::vector<std::string>{"SHAKIR.TXT"});
    EXPECT_EQ(filesForCode(20), (std::vector<std::string>{"YSFALI.txt", "SHAKIR.txt"}));
}

// A division typed as readers type it, and a metadata file that lacks what the program needs.
TEST(Metadata, TypedDivisionsAndUnsoundFiles)
{
    const std::pair<const char *, std::optional<std::pair<Division, int>>> typed[] = {
        {"juz 30", std::pair(Division::Juz, 30)},
        {" Page 604 ", std::pair(Division::Page, 604)},
        {"hizb12", std::pair(Division::HizbQuarter, 12)},
        {"juz x", std::nullopt},
        {"Al-Baqara", std::nullopt},
        {"page 6 4", std::nullopt},
    };
    for (const auto &[text, expected] : typed)
        EXPECT_EQ(divisionTyped(text), expected) << text;
    EXPECT_FALSE(QuranMetadata::fromText(""));
    EXPECT_FALSE(
        QuranMetadata::fromText("<sura index=\"1\" ayas=\"7\" /><juz index=\"1\" sura=\"1\" aya=\"1\" />"));
}

// Notes read as far as they are sound and written back as read; what cannot be read is kept aside
// whole, and a file changed outside the program keeps its changes.
TEST(Notes, ReadAsFarAsSoundAndNeverLost)
{
    const std::pair<const char *, const char *> rows[] = {
        {"# Velmora notes\n\n## 2:255 Al-Baqara\n\nThe throne.\n", ""},
        {"## 1:1\nOne\n## 1:1\nTwo\n", ""}, // two notes on one verse are joined
        {"stray line\n## 2:255\nThe throne.\n", "stray line"},
        {"## Chapter two\nmine\n## 2:255\nThe throne.\n", "## Chapter two\nmine"},
    };
    for (const auto &[text, unreadable] : rows) {
        const Notes notes = parseNotes(text);
        EXPECT_EQ(notes.unreadable, unreadable) << text;
        EXPECT_EQ(parseNotes(formatNotes(notes.byVerse)).byVerse, notes.byVerse) << text;
    }
    EXPECT_EQ(parseNotes("## 1:1\nOne\n## 1:1\nTwo\n").byVerse.at({1, 1}), "One\n\nTwo");
    // A note's own line that reads as a heading comes back as written.
    const std::map<VersePlace, std::string> tricky = {{{3, 7}, "## 4:1 is next\n\\## kept"}};
    EXPECT_EQ(parseNotes(formatNotes(tricky)).byVerse, tricky);

    test::TempDir dir;
    const auto path = dir.write("Notes.md", "scribble\n## 2:255\nThe throne.\n");
    NotesFile file(path, [](int) { return std::string("S"); });
    const auto read = file.read();
    EXPECT_EQ(dir.read("Notes-unread-1.md"), "scribble\n## 2:255\nThe throne.\n");
    EXPECT_EQ(read.keptAside, dir.path() / "Notes-unread-1.md");
    EXPECT_EQ(file.noteOn({2, 255}), "The throne.");
    // Changed outside since: its notes stay beside the one set here.
    dir.write("Notes.md", "## 1:1\nOpening\n## 2:255\nThe throne.\n");
    const auto set = file.set({112, 1}, "Sincerity");
    EXPECT_TRUE(set.changedOutside && set.written);
    EXPECT_EQ(dir.read("Notes.md"), "# Velmora notes\n\n## 1:1 S\n\nOpening\n\n## 2:255 S\n\nThe throne.\n\n"
                                    "## 112:1 S\n\nSincerity\n");
    EXPECT_FALSE(file.set({1, 1}, "").changedOutside);
    EXPECT_EQ(parseNotes(dir.read("Notes.md")).byVerse.count({1, 1}), 0u);
}

#ifndef _WIN32
// A program killed while it writes a note leaves the file as it was or as it was to be.
TEST(Notes, AKillDuringASaveLeavesTheOldOrTheNew)
{
    test::TempDir dir;
    const auto path = dir.path() / "Notes.md";
    const auto version = [](int n) { return std::string(200000, static_cast<char>('a' + n % 26)); };
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            NotesFile file(path);
            file.read();
            for (int n = 0;; ++n)
                file.set({2, 255}, version(n));
        }
        usleep(static_cast<useconds_t>(2000 + round * 1500));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const auto text = readRegularFile(path);
        if (!text)
            continue; // killed before its first write
        const std::string note = parseNotes(*text).byVerse[{2, 255}];
        EXPECT_EQ(note.size(), 200000u) << "round " << round;
        EXPECT_EQ(note.find_first_not_of(note.front()), std::string::npos) << "round " << round;
    }
}
#endif

// Bookmarks read as far as they are sound and written back as read; what cannot be read is kept
// aside whole, and a change made outside the program stays.
TEST(Bookmarks, ReadAsFarAsSoundAndKeptWhole)
{
    const std::pair<const char *, const char *> rows[] = {
        {"# Velmora bookmarks\n\nLast read: 2:255\n\n## Mine\n\n- 2:255 The throne\n- 36:1\n", ""},
        {"- 1:1 before any collection\n## A\n- 1:1 one\n", "- 1:1 before any collection\n"},
        {"## A\n- 1:x\nLast read: soon\n", "- 1:x\nLast read: soon\n"},
    };
    for (const auto &[text, unreadable] : rows) {
        const Bookmarks read = parseBookmarks(text);
        EXPECT_EQ(read.unreadable, unreadable) << text;
        const Bookmarks again = parseBookmarks(formatBookmarks(read));
        EXPECT_EQ(again.collections, read.collections) << text;
        EXPECT_EQ(again.lastRead, read.lastRead) << text;
    }
    const Bookmarks sound = parseBookmarks(rows[0].first);
    EXPECT_EQ(sound.lastRead, (VersePlace{2, 255}));
    EXPECT_EQ(sound.collections.at(0).marks.at(0), (Bookmark{{2, 255}, "The throne"}));

    test::TempDir dir;
    const auto path = dir.write("Bookmarks.md", "scribble\n## A\n- 1:1 one\n");
    BookmarksFile file(path);
    EXPECT_EQ(file.read().keptAside, dir.path() / "Bookmarks-unread-1.md");
    EXPECT_EQ(dir.read("Bookmarks-unread-1.md"), "scribble\n## A\n- 1:1 one\n");
    dir.write("Bookmarks.md", "## B\n- 2:2 two\n");
    file.change([](Bookmarks &b) { b.collection("A").marks.push_back({{3, 3}, "three"}); });
    EXPECT_EQ(dir.read("Bookmarks.md"), "# Velmora bookmarks\n\n## B\n\n- 2:2 two\n\n## A\n\n- 3:3 three\n");
}
