#include "platform/player/mpris.h"
#include "recite/monitor.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::platform;

TEST(Mpris, OnlyThePlayerProgramOfThePreferencesIsThePlayer)
{
    EXPECT_EQ(mpris::playerNameOf(""), "audacious");
    EXPECT_EQ(mpris::playerNameOf("/usr/bin/mpv"), "mpv");
    EXPECT_EQ(mpris::playerNameOf("C:\\PROGRA~1\\Winamp\\WINAMP.EXE"), "winamp");
    EXPECT_EQ(mpris::playerNameOf("/opt/players/Audacious"), "audacious");

    std::vector<std::string> asked;
    const auto describe = [&asked](const std::string &name) {
        asked.push_back(name);
        if (name == "org.mpris.MediaPlayer2.chromium.instance42")
            return mpris::PlayerSelf{"chromium"};
        if (name == "org.mpris.MediaPlayer2.io.mpv")
            return mpris::PlayerSelf{"mpv"};
        return mpris::PlayerSelf{};
    };
    const std::vector<std::string> names = {":1.4",
                                            "org.freedesktop.DBus",
                                            "org.mpris.MediaPlayer2.chromium.instance42",
                                            "org.mpris.MediaPlayer2.vlc",
                                            "org.mpris.MediaPlayer2.Audacious",
                                            "org.mpris.audacious"};
    // With no program, Audacious, found by its bus name without asking anyone.
    EXPECT_EQ(mpris::choosePlayerService(names, "audacious", describe), "org.mpris.MediaPlayer2.Audacious");
    EXPECT_EQ(asked, (std::vector<std::string>{"org.mpris.MediaPlayer2.chromium.instance42",
                                               "org.mpris.MediaPlayer2.vlc"}));
    // Another program: by its bus name less the instance, or by the program that owns the name.
    EXPECT_EQ(mpris::choosePlayerService(names, "vlc", describe), "org.mpris.MediaPlayer2.vlc");
    EXPECT_EQ(mpris::choosePlayerService(names, "chromium", describe),
              "org.mpris.MediaPlayer2.chromium.instance42");
    EXPECT_EQ(mpris::choosePlayerService({"org.mpris.MediaPlayer2.io.mpv"}, "mpv", describe),
              "org.mpris.MediaPlayer2.io.mpv");
    // A player of another program is never taken, and neither is a name outside MPRIS.
    EXPECT_EQ(mpris::choosePlayerService(names, "mpv", describe), "");
    EXPECT_EQ(mpris::choosePlayerService({"org.mpris.audacious"}, "audacious", describe), "");
    // Of two instances, only the one accepted (the one the program started).
    const std::vector<std::string> two = {"org.mpris.MediaPlayer2.mpv",
                                          "org.mpris.MediaPlayer2.mpv.instance7"};
    EXPECT_EQ(mpris::choosePlayerService(two, "mpv", describe,
                                         [](const std::string &name) { return name.ends_with("7"); }),
              two[1]);
}

TEST(Mpris, UniqueBusNamesRoundTripThroughHandles)
{
    for (const char *name : {":1.0", ":1.42", ":0.0", ":7.4294967295"}) {
        const PlayerHandle h = mpris::handleFromUniqueName(name);
        EXPECT_NE(h, 0u) << name;
        EXPECT_EQ(mpris::uniqueNameFromHandle(h), name);
    }
    for (const char *bad : {"", ":", ":1", ":1.", "1.2", ":a.2", ":1.2x", "org.mpris.MediaPlayer2.mpv"})
        EXPECT_EQ(mpris::handleFromUniqueName(bad), 0u) << bad;
    EXPECT_EQ(mpris::uniqueNameFromHandle(0), "");
    EXPECT_EQ(mpris::uniqueNameFromHandle(12345), "");
}

TEST(Mpris, PlaybackStatusAndTrackPositions)
{
    EXPECT_EQ(mpris::playStateFromStatus("Playing"), 1);
    EXPECT_EQ(mpris::playStateFromStatus("Paused"), 3);
    EXPECT_EQ(mpris::playStateFromStatus("Stopped"), 0);
    EXPECT_EQ(mpris::playStateFromStatus(""), 0);
    EXPECT_EQ(mpris::positionFromTrackId("/0"), 1);
    EXPECT_EQ(mpris::positionFromTrackId("/11"), 12);
    EXPECT_EQ(mpris::positionFromTrackId("/org/mpris/MediaPlayer2/CurrentTrack"), 0);
    EXPECT_EQ(mpris::positionFromTrackId("/org/mpris/MediaPlayer2/TrackList/NoTrack"), 0);
    EXPECT_EQ(mpris::positionFromTrackId(""), 0);
}

TEST(Mpris, WindowTitleFollowsTheWindowsPlayer)
{
    mpris::TrackInfo track;
    track.playerName = "mpv";
    EXPECT_EQ(mpris::windowTitle(track), "mpv") << "no track";

    // The recording's name from its URL, whatever the tags or the player's guesses say, in the form
    // the monitor reads the verse from; a pause reads as no verse.
    track.position = 3;
    track.url = "file:///usr/lib/velmora/002-255.mp3";
    track.title = "Ayat al-Kursi";
    track.artist = "lib";
    EXPECT_EQ(mpris::windowTitle(track), "3. Velmora - 002-255.mp3 - mpv");
    EXPECT_EQ(verseFromTitle(mpris::windowTitle(track)), "002-255");
    track.url = "file:///usr/lib/velmora/b.mp3";
    EXPECT_EQ(verseFromTitle(mpris::windowTitle(track)), "");
    track.url.clear();
    EXPECT_EQ(mpris::windowTitle(track), "3. lib - Ayat al-Kursi - mpv") << "no URL: the tags";

    track.position = 0;
    track.artist.clear();
    track.title.clear();
    track.url = "file:///tmp/My%20Recitations/S%C3%BBrah%201.mp3";
    EXPECT_EQ(mpris::windowTitle(track), "Velmora - S\xFBrah 1.mp3 - mpv")
        << "escapes decoded, UTF-8 to Windows-1252";
}
