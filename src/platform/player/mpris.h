// The parts of the MPRIS player channel that need no bus: which player to drive, how its bus name
// stands in a player handle, and the window title the monitor reads, built from the current track.
#pragma once

#include "platform/playerchannel.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform::mpris {

inline constexpr std::string_view kServicePrefix = "org.mpris.MediaPlayer2.";

// The name a player program goes by on the bus: its file name without folder and extension, in
// lower case; "audacious" when there is no program.
std::string playerNameOf(std::string_view programPath);

// What the bus tells of a player without asking the player itself: the name of the program that
// owns its bus name ("" when that is not known).
struct PlayerSelf
{
    std::string program;
};

// Of the bus names, the MPRIS player that is the named player (playerNameOf): the one whose bus
// name (less an instance suffix, "vlc.instance42") or owning program is that name, letter case
// ignored. No other player is ever chosen; "" when none is the one. describe is asked only about
// MPRIS names whose bus name does not already tell. Where accept is given, only a player it
// accepts is chosen (the instance the program started, say).
std::string choosePlayerService(const std::vector<std::string> &busNames, std::string_view playerName,
                                const std::function<PlayerSelf(const std::string &busName)> &describe,
                                const std::function<bool(const std::string &busName)> &accept = {});

// The options that start the named player without its window in the way (minimized, inactive, or
// without one where the player has no minimized start): none for a player not known.
std::vector<std::string> minimizedStartOptions(std::string_view playerName);

// A unique bus name ":X.Y" as a nonzero handle, and back; 0 and "" for anything else.
PlayerHandle handleFromUniqueName(std::string_view uniqueName);
std::string uniqueNameFromHandle(PlayerHandle handle);

// "Playing" 1, "Paused" 3, "Stopped" (and anything else) 0.
int playStateFromStatus(std::string_view status);

// What the player tells of its current track, in Windows-1252.
struct TrackInfo
{
    int position = 0; // 1-based place in the playlist; 0 when the player does not say
    std::string title;
    std::string artist;
    std::string url; // of the track's file, as the player gives it (percent-escaped UTF-8)
    std::string playerName;
};

// The 1-based playlist place of a track id, where the player numbers its tracks in the id itself
// ("/0" for the first, as mpv does); 0 otherwise.
int positionFromTrackId(std::string_view trackId);

// The file name in a URL, percent-escapes decoded, in Windows-1252.
std::string fileNameOfUrl(std::string_view url);

// The title in the form the Windows player shows for a tagged recording, which is the form the
// playback monitor reads: "track number. artist - title - player name", the number only when the
// player says it. The title is the recording's file name from its URL and the artist the program's
// name, whatever tags the file has or the player guesses, so "1. Velmora - 001-003.mp3 - Audacious"
// reads as the verse 001-003. A track without a URL goes by its tags. No track: the player alone.
inline constexpr const char *kTitleArtist = "Velmora";
std::string windowTitle(const TrackInfo &track);

} // namespace velmora::platform::mpris
