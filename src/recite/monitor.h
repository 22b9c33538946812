// The playback monitor: what one poll of the player shows in the main window.
#pragma once

#include "platform/playerchannel.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

enum class Lamp
{
    Unchanged,
    NoPlayer,
    Stopped,
    Playing
};

inline constexpr unsigned kLampStoppedRed = 668380; // colour values: red in the lowest byte
inline constexpr unsigned kLampPlayingGreen = 58880;
inline constexpr unsigned kLampPauseYellow = 65535;
// No player: the system's button-face colour, a system colour's value rather than red, green and blue.
inline constexpr unsigned kLampButtonFace = 0x8000000F;

struct MonitorView
{
    std::optional<std::string> status; // the status line's new caption
    std::optional<bool> playEnabled, pauseEnabled, stopEnabled;
    std::optional<bool> blinking; // start or stop the blink timer
    Lamp lamp = Lamp::Unchanged;
};

// One tick: find the player, ask its state and read the verse from its window title.
MonitorView monitorTick(PlayerChannel &player);

// The verse entry a status caption ends with, "Verse: 002-255": the surah from the number before
// the dash of its last seven characters, the entry from its last three; 0 and 0 when it names none.
struct StatusVerse
{
    int surah = 0;
    int entry = 0;
};
StatusVerse verseOfStatus(std::string_view caption);

// The verse the title names, by the player title rule: the text after the first "-" (one
// character skipped), as long as the distance between the second and third "-" allows.
std::string verseFromTitle(std::string_view title);

} // namespace velmora
