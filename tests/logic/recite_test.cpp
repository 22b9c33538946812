#include "platform/paths.h"
#include "platform/process.h"
#include "recite/monitor.h"
#include "recite/mp3length.h"
#include "recite/playlist.h"
#include "substituteplayer.h"

#include "tempdir.h"
#ifndef _WIN32
#include "toolrun.h"
#endif

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;

namespace {

// Whether sox and lame, which make real MP3 files, are at hand (never under Wine).
bool mp3Makers()
{
#ifdef _WIN32
    return false;
#else
    return test::installed("sox") && test::installed("lame");
#endif
}

class Playlists : public ::testing::Test
{
protected:
    test::TempDir app;
    PlaylistRequest request;

    void SetUp() override
    {
        for (const char *f : {"002-005.mp3", "002-006.mp3", "a.mp3", "b.mp3"})
            app.write(f, "ID3");
        request.programFolder = app.folder();
        for (int e = 0; e <= 10; ++e)
            request.entries.push_back("002-" + std::string(e < 10 ? "00" : "0") + std::to_string(e));
        request.from = 5;
        request.to = 6;
        request.everyVerseCount = "2";
        request.selectionCount = "1";
        request.pauseIndex = 1;
    }
    std::vector<std::string> lines() const { return composePlaylist(request).lines; }
    // Playlists hold the short form of each recording's path.
    std::string p(const char *name) const { return platform::ShortPathOf(app.folder() + name); }
};

} // namespace

TEST_F(Playlists, ComposesVersesRepeatsAndPauses)
{
    const std::vector<std::string> expected = {p("002-005.mp3"), p("a.mp3"), p("002-005.mp3"), p("a.mp3"),
                                               p("002-006.mp3"), p("a.mp3"), p("002-006.mp3"), p("a.mp3")};
    EXPECT_EQ(lines(), expected);
    // The selection repeated: the whole range again, not each verse twice over.
    request.selectionCount = "2";
    std::vector<std::string> twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    EXPECT_EQ(lines(), twice);
    request.selectionCount = "1";
    std::swap(request.from, request.to);
    EXPECT_EQ(lines(), expected);
}

TEST_F(Playlists, OnePositionCountsAndMissingRecordings)
{
    request.from = request.to = 5;
    request.everyVerseCount = "3";
    request.pauseIndex = 0;
    EXPECT_EQ(lines(), (std::vector<std::string>(3, p("002-005.mp3"))));
    request.everyVerseCount = "2.5";
    EXPECT_EQ(lines().size(), 2u);
    request.everyVerseCount = "0";
    EXPECT_TRUE(lines().empty());
    request.everyVerseCount = "";
    EXPECT_TRUE(lines().empty());
    request.everyVerseCount = "1";
    request.from = request.to = 7;
    request.pauseIndex = 2;
    EXPECT_EQ(lines(), (std::vector<std::string>{"", p("b.mp3")}));
    request.pauseIndex = 3; // a missing verse with "Duration of verse" gets one pause line
    EXPECT_EQ(lines(), (std::vector<std::string>{"", p("b.mp3")}));

    // Recordings that cannot play are left out, each named once however often it is recited.
    app.write("002-008.mp3", "");
    app.write("002-009.mp3", "<html>");
    request.from = 5;
    request.to = 9;
    request.everyVerseCount = "2";
    const velmora::Playlist playlist = composePlaylist(request);
    EXPECT_EQ(playlist.skipped, (std::vector<std::string>{"002-007.mp3 (missing)", "002-008.mp3 (empty)",
                                                          "002-009.mp3 (not an MP3 file)"}));
    EXPECT_EQ(playlist.recited, 4u);
    EXPECT_EQ(recitations(request), 10u);
}

// The memorising options, each playlist written as its recordings' short names: 5 and 6 the verses,
// a and b the pauses.
TEST_F(Playlists, MemorisingOptionsAsRows)
{
    const auto names = [&] {
        std::string out;
        for (const auto &line : lines())
            out += line == p("a.mp3") ? 'a' : line == p("b.mp3") ? 'b' : line == p("002-005.mp3") ? '5' : '6';
        return out;
    };
    struct Row
    {
        const char *every, *selection;
        bool rising;
        int selectionPause;
        const char *expected;
    };
    request.pauseIndex = 0;
    for (const Row &row : {Row{"3", "1", true, 0, "565566555666"}, Row{"1", "2", false, 2, "56aa56"},
                           Row{"2", "2", true, 1, "565566a565566"}, Row{"2", "1", false, 3, "5566"},
                           Row{"0", "3", true, 1, ""}}) {
        request.everyVerseCount = row.every;
        request.selectionCount = row.selection;
        request.risingRepeats = row.rising;
        request.selectionPauseSeconds = row.selectionPause;
        EXPECT_EQ(names(), row.expected) << row.every << " " << row.selection << " " << row.rising;
        EXPECT_EQ(recitations(request), composePlaylist(request).recited);
    }
    // A reciter's own folder alone gives the verses; the pauses still lie beside the program.
    test::TempDir reciter;
    reciter.write("002-006.mp3", "ID3");
    request.reciterFolder = reciter.folder();
    request.everyVerseCount = "1";
    request.selectionCount = "1";
    request.selectionPauseSeconds = 0;
    request.pauseIndex = 1;
    EXPECT_EQ(lines(),
              (std::vector<std::string>{
                  "", p("a.mp3"), platform::ShortPathOf(reciter.folder() + "002-006.mp3"), p("a.mp3")}));
}

TEST_F(Playlists, CountsAndLengthsAreBounded)
{
    request.entries.resize(300, "002-005");
    request.from = 0;
    request.to = 299;
    for (const auto &[every, selection, refused] :
         {std::tuple{"100", "1", false}, {"101", "1", true}, {"1", "100.5", true}, {"100", "2", true}}) {
        request.everyVerseCount = every;
        request.selectionCount = selection;
        const velmora::Playlist playlist = composePlaylist(request);
        EXPECT_EQ(playlist.problem.empty(), !refused) << every << " " << selection;
        EXPECT_EQ(playlist.lines.empty(), refused);
    }
    EXPECT_EQ(composePlaylist(request).problem,
              "This recitation would be a playlist of 120000 lines, more than the "
              "100000 a playlist may hold: please choose fewer verses or fewer "
              "repetitions.");
}

TEST_F(Playlists, DurationOfVerseFollowsTheFileSize)
{
    EXPECT_EQ(durationPauseLines(20399), 1u);
    EXPECT_EQ(durationPauseLines(20400), 2u);
    EXPECT_EQ(durationPauseLines(45000), 3u);
    app.write("002-005.mp3", "ID3" + std::string(44997, 'x'));
    request.from = request.to = 5;
    request.everyVerseCount = "1";
    request.pauseIndex = 3;
    EXPECT_EQ(lines(), (std::vector<std::string>{p("002-005.mp3"), p("b.mp3"), p("b.mp3"), p("b.mp3")}));
    // "Length of verse": the recording's own playing time in one-second pauses, whatever its size; a
    // file without frames is no time at all.
    request.pauseIndex = 4;
    EXPECT_EQ(lines(), (std::vector<std::string>{p("002-005.mp3")}));
    if (!mp3Makers())
        GTEST_SKIP() << "sox and lame (Debian packages) are needed";
    for (const char *bitrate : {"32", "320"}) {
        const std::string mp3 = app.folder() + "002-005.mp3";
        ASSERT_EQ(
            std::system(("sox -n -r 44100 -c 1 '" + mp3 + ".wav' synth 2.5 sine 440 && lame --quiet -b " +
                         bitrate + " '" + mp3 + ".wav' '" + mp3 + "'")
                            .c_str()),
            0);
        EXPECT_EQ(lines(), (std::vector<std::string>{p("002-005.mp3"), p("a.mp3"), p("a.mp3"), p("a.mp3")}))
            << bitrate;
    }
    request.lengthMultiple = 2; // twice the 2.5 s of the recording
    std::vector<std::string> twice(6, p("a.mp3"));
    twice.front() = p("002-005.mp3");
    EXPECT_EQ(lines(), twice);
}

// The playing time of real MP3 files, constant and variable rate, MPEG 1 and 2, tagged or not,
// against the length of the tone encoded: within the encoder's few frames of delay and padding,
// whatever the file's size.
TEST(Mp3Length, IsReadFromTheFramesAtEveryBitRate)
{
    if (!mp3Makers())
        GTEST_SKIP() << "sox and lame (Debian packages) are needed";
    const velmora::test::TempDir dir;
    const std::pair<const char *, const char *> encodings[] = {
        {"-r 44100", "-b 32"}, {"-r 44100", "-b 128"}, {"-r 48000", "-b 320 --noreplaygain -t"},
        {"-r 44100", "-V 4"},  {"-r 16000", "-b 24"},  {"-r 22050", "-V 6 --tt Verse --add-id3v2"},
    };
    for (const auto &[rate, lame] : encodings) {
        const std::string mp3 = (dir.path() / "verse.mp3").string();
        const std::string make = "sox -n " + std::string(rate) + " -c 1 '" + mp3 +
                                 ".wav' synth 1.56 sine 440" + " && lame --quiet " + lame + " '" + mp3 +
                                 ".wav' '" + mp3 + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        const auto seconds = mp3FileSeconds(mp3);
        ASSERT_TRUE(seconds) << lame;
        EXPECT_NEAR(*seconds, 1.56, 0.12) << rate << " " << lame; // the encoder's delay and padding
    }
    EXPECT_FALSE(mp3Seconds("no frames here"));
    EXPECT_FALSE(mp3Seconds(std::string("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10))); // a tag that claims all
}

TEST(SchemeNames, FileNamesAndRules)
{
    EXPECT_EQ(playlistFileName("mYnAmE"), "Myname.m3u");
    EXPECT_EQ(playlistFileName("Default"), "Default.m3u");
    using enum SchemeNameCheck;
    const std::pair<const char *, SchemeNameCheck> names[] = {
        {"abcdefgh", Ok},      {"abcdefghi", TooLong}, {"my name", Ok},      {"", Empty},
        {"a/b", NotAFileName}, {"a:b", NotAFileName},  {"..", NotAFileName},
    };
    for (const auto &[name, check] : names)
        EXPECT_EQ(checkSchemeName(name), check) << name;
    for (const char *count : {"0", "", "-2"})
        EXPECT_EQ(reciteCountText(count), "1") << count;
    EXPECT_EQ(reciteCountText("3"), "3");
}

TEST(Monitor, TitleRule)
{
    EXPECT_EQ(verseFromTitle("a-bc-def-g"), "c-");
    EXPECT_EQ(verseFromTitle("no dash"), "");
    EXPECT_EQ(verseFromTitle("one-two-three"), "");
    EXPECT_EQ(verseFromTitle("abcd-efghij"), "fgh"); // one dash at 5: 3 characters from 7
    EXPECT_EQ(verseFromTitle("-x"), "");
    EXPECT_EQ(verseFromTitle(""), "");
    // The status line's caption back to the entry it names.
    const std::pair<const char *, std::pair<int, int>> captions[] = {
        {"Verse: 002-255", {2, 255}}, {"Verse: 114-000", {114, 0}}, {"Verse: ", {0, 0}}, {"Ready", {0, 0}}};
    for (const auto &[caption, verse] : captions)
        EXPECT_EQ(std::pair(verseOfStatus(caption).surah, verseOfStatus(caption).entry), verse) << caption;
}

TEST(Monitor, EveryStateOfThePlayer)
{
    using B = std::optional<bool>;
    struct Row
    {
        const char *what;
        bool running, window;
        int state;
        const char *status;
        B play, pause, stop, blinking;
        Lamp lamp;
    };
    const Row rows[] = {
        {"no player", false, true, kStateStopped, "", false, false, false, false, Lamp::NoPlayer},
        {"no window", true, false, kStatePlaying, "Ready", {}, {}, {}, {}, Lamp::Unchanged},
        {"stopped", true, true, kStateStopped, "Verse: c-", true, false, false, false, Lamp::Stopped},
        {"playing", true, true, kStatePlaying, "Verse: c-", false, true, true, false, Lamp::Playing},
        {"paused", true, true, kStatePaused, "Verse: c-", true, false, true, true, Lamp::Unchanged},
        {"another value", true, true, 2, "Verse: c-", {}, {}, {}, {}, Lamp::Unchanged},
        {"not told yet", true, true, kStateUnknown, "Verse: c-", {}, {}, {}, {}, Lamp::Unchanged},
    };
    for (const Row &row : rows) {
        test::SubstitutePlayer player;
        if (row.running)
            player.start(row.state, "a-bc-def-g");
        if (!row.window)
            player.vanish();
        const MonitorView v = monitorTick(player);
        EXPECT_EQ(v.status, row.status) << row.what;
        EXPECT_EQ(v.playEnabled, row.play) << row.what;
        EXPECT_EQ(v.pauseEnabled, row.pause) << row.what;
        EXPECT_EQ(v.stopEnabled, row.stop) << row.what;
        EXPECT_EQ(v.blinking, row.blinking) << row.what;
        EXPECT_EQ(v.lamp, row.lamp) << row.what;
    }
}

TEST(Platform, ShortPathsAndCaseBlindLookup)
{
    test::TempDir dir;
    dir.write("PIKTHL.TXT", "x");
    EXPECT_EQ(platform::ShortPathOf(""), "");
    EXPECT_EQ(platform::ShortPathOf(dir.folder() + "missing"), "");
    EXPECT_TRUE(std::filesystem::equivalent(platform::resolveNoCase(dir.folder(), "pikthl.txt"),
                                            dir.path() / "PIKTHL.TXT"));
    EXPECT_EQ(platform::resolveNoCase(dir.folder(), "new.txt"), dir.path() / "new.txt");
    EXPECT_EQ(platform::splitPlayerCommandLine("/usr/bin/player  /tmp/a b.m3u"),
              (std::vector<std::string>{"/usr/bin/player", "/tmp/a b.m3u"}));
    EXPECT_FALSE(platform::startDetached({dir.folder() + "no-such-program"}, WindowStyle::NormalActivate));
#ifndef _WIN32
    // No short forms here: the absolute path stands for itself, and the names are matched by hand.
    EXPECT_EQ(platform::ShortPathOf(dir.folder() + "PIKTHL.TXT"), dir.folder() + "PIKTHL.TXT");
    EXPECT_EQ(platform::resolveNoCase(dir.folder(), "pikthl.txt"), dir.path() / "PIKTHL.TXT");
    EXPECT_TRUE(platform::startDetached({"true"}, WindowStyle::NormalActivate));
#endif
}
