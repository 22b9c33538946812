// What a reader who memorises chooses: the reciter, the repeats and pauses, the player's speed and
// the hidden text, kept beside the preferences.
#pragma once

#include "platform/playerchannel.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// "key=value" lines in the program's own folder; a line that is missing or no sound value keeps
// the default.
inline constexpr const char *kReciteSettingsFileName = "Recite.dat";

inline constexpr double kMostLengthMultiple = 4.0;
inline constexpr int kLongestSelectionPause = 600; // seconds

struct ReciteSettings
{
    std::string reciter; // "" for the recordings beside the program
    double speed = 1.0;  // the built-in player's; outside players keep their own
    bool risingRepeats = false;
    int selectionPauseSeconds = 0;
    double lengthMultiple = 1.0; // of "Length of verse"
    bool hideText = false;       // each verse shown once it has been recited, or clicked
};

ReciteSettings parseReciteSettings(std::string_view text);
std::string formatReciteSettings(const ReciteSettings &settings);

// Reciters side by side: each one's recordings in a folder of its own, named for the reciter, in
// the folder "reciters" of a data folder.
inline constexpr const char *kRecitersFolder = "reciters";
inline constexpr std::size_t kMostReciterNameBytes = 64;

// Whether a name can stand for a reciter's folder on every system: UTF-8 of at most 64 bytes,
// without control characters, \ / : * ? " < > |, a leading dot or a trailing blank or dot.
bool isReciterName(std::string_view name);

// The reciters whose folders the data folders of the program folder hold, each once, in order.
std::vector<std::string> recitersOf(const std::string &programFolder);

// The folder of a reciter's recordings, in the first data folder that has it; "" when none does.
std::string reciterFolderOf(const std::string &programFolder, const std::string &reciter);

} // namespace velmora
