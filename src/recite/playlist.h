// Playlists of per-verse recordings: the reciting schemes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr const char *kDefaultScheme = "Default";
inline constexpr std::size_t kMaxSchemeNameLength = 8;
// "Duration of verse": one three-second pause line for every this many bytes (1700 × 4 × 3) of the
// recording, and one more.
inline constexpr std::uintmax_t kBytesPerPauseStep = 20400;

enum class PauseChoice
{
    None = 0,
    OneSecond = 1,
    ThreeSeconds = 2,
    DurationOfVerse = 3
};

struct PlaylistRequest
{
    std::string programFolder;        // where the recordings lie
    std::vector<std::string> entries; // the verse list, "002-255" ...
    int from = 0;                     // range positions in the verse list, either order
    int to = 0;
    std::string everyVerseCount; // the count boxes as typed
    std::string selectionCount;
    int pauseIndex = 0; // row of the pause list, -1 for none
};

// The playlist lines: for every pass, every position and every repetition the verse's short path
// followed by its pause lines. A missing recording gives an empty line; a missing verse file with
// "Duration of verse" counts as a recording of no length (one pause line).
std::vector<std::string> composePlaylist(const PlaylistRequest &request);

// Pause lines written after a verse file of that size for "Duration of verse".
std::uintmax_t durationPauseLines(std::uintmax_t verseFileBytes);

// The playlist file name of a scheme: first character upper case, the rest lower case, ".m3u".
std::string playlistFileName(std::string_view schemeName);

enum class SchemeNameCheck
{
    Ok,
    Empty,
    TooLong,
    NotAFileName
};
SchemeNameCheck checkSchemeName(std::string_view name);

// The count a recite run uses for a count box: the box's number, or "1" when that is not above 0.
std::string reciteCountText(const std::string &boxText);

} // namespace velmora
