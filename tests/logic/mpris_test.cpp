#include "platform/mpris.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::platform;

TEST(Mpris, PrefersAudaciousElseTheFirstPlayer)
{
    EXPECT_EQ(mpris::choosePlayerService({"org.freedesktop.DBus", ":1.4"}), "");
    EXPECT_EQ(
        mpris::choosePlayerService({":1.4", "org.mpris.MediaPlayer2.mpv", "org.mpris.MediaPlayer2.vlc"}),
        "org.mpris.MediaPlayer2.mpv");
    EXPECT_EQ(mpris::choosePlayerService({"org.mpris.MediaPlayer2.mpv", "org.mpris.MediaPlayer2.Audacious",
                                          "org.mpris.MediaPlayer2.vlc"}),
              "org.mpris.MediaPlayer2.Audacious");
    EXPECT_EQ(mpris::choosePlayerService({"org.mpris.audacious", "org.mpris.MediaPlayer2.mpv"}),
              "org.mpris.MediaPlayer2.mpv")
        << "only MPRIS names count";
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

    track.position = 3;
    track.url = "file:///home/reader/Quran/002-255.mp3";
    track.title = "002-255.mp3"; // a file without tags goes by its name
    EXPECT_EQ(mpris::windowTitle(track), "3. 002-255 - mpv");

    track.title = "Ayat al-Kursi";
    track.artist = "Reciter";
    EXPECT_EQ(mpris::windowTitle(track), "3. Reciter - Ayat al-Kursi - mpv");

    track.position = 0;
    track.artist.clear();
    track.title.clear();
    track.url = "file:///tmp/My%20Recitations/S%C3%BBrah%201.mp3";
    EXPECT_EQ(mpris::windowTitle(track), "S\xFBrah 1 - mpv") << "escapes decoded, UTF-8 to Windows-1252";
}
