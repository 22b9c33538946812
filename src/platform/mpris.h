// The parts of the MPRIS player channel that need no bus: which player to drive, how its bus name
// stands in a player handle, and the window title the monitor reads, built from the current track.
#pragma once

#include "platform/playerchannel.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform::mpris {

inline constexpr std::string_view kServicePrefix = "org.mpris.MediaPlayer2.";

// Of the bus names, the MPRIS player to drive: the first one whose name says Audacious, else the
// first MPRIS player; "" when there is none.
std::string choosePlayerService(const std::vector<std::string> &busNames);

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

// The title as the Windows player shows it: "track number. artist - title - player name", the artist
// only when known, the number only when the player says it. A track with no title goes by its file
// name without the extension. No track: the player name alone.
std::string windowTitle(const TrackInfo &track);

} // namespace velmora::platform::mpris
