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
    DurationOfVerse = 3,
    // As long as the recording plays (read from its frames), in one-second pause lines: the time a
    // reader needs to say the verse again.
    LengthOfVerse = 4
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
    // For memorising; as they stand, the playlist is the one of the four inputs above.
    std::string reciterFolder;     // a chosen reciter's own recordings; "" for those of programFolder
    bool risingRepeats = false;    // round k recites each verse k times, up to the every-verse count
    int selectionPauseSeconds = 0; // one-second pause lines between two passes over the selection
    double lengthMultiple = 1.0;   // "Length of verse" pauses this many times the recording's length
};

// The most either count box takes: a verse, or the selection, recited at most this many times.
inline constexpr double kMostRepeats = 100;
// The longest playlist composed: days of recitation, written in well under a second.
inline constexpr std::size_t kMostPlaylistLines = 100000;
// From this many recited verses on, composing and writing a playlist shows that the program is busy.
inline constexpr std::size_t kLongRecitation = 5000;

struct Playlist
{
    std::vector<std::string> lines;
    // The recordings left out (missing, empty, or no MP3), each named once in the order of the
    // playlist: "002-005.mp3 (missing)".
    std::vector<std::string> skipped;
    std::size_t recited = 0; // verse lines that name a recording
    std::string problem;     // why no playlist was composed, for the reader; "" when one was
};

// The playlist lines: for every pass, every position and every repetition the verse's short path
// followed by its pause lines. With rising repeats, a pass is rounds 1 to the every-verse count over
// the positions, round k reciting each verse k times; a selection pause goes between two passes. A recording
// that is missing, empty or no MP3 gives an empty line; a missing verse file with "Duration of verse" counts
// as a recording of no length (one pause line). A count above kMostRepeats, or a playlist longer than
// kMostPlaylistLines, composes nothing.
Playlist composePlaylist(const PlaylistRequest &request);

// How many verses the playlist of a request recites, repetitions counted, without looking at a file.
std::size_t recitations(const PlaylistRequest &request);

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
