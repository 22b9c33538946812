// The user's display preferences, kept in "Prefs.dat" in the temporary folder.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace velmora {

class FieldReader;

inline constexpr const char *kDefaultFontName = "Comic Sans MS";
inline constexpr double kDefaultFontSize = 9.75;
inline constexpr const char *kPrefsFileName = "Prefs.dat";

struct Preferences
{
    std::string playerPath; // as written in the file; the caller takes its short form
    std::string fontName = kDefaultFontName;
    double fontSize = kDefaultFontSize;
    bool bold = false;
    std::array<int, 3> checks{0, 0, 0}; // Pickthall, Yousuf Ali, transliteration
    int arabic = 0;                     // the Arabic text shown: the eighth line, after the seven
    int wordByWord = 0;                 // the Arabic shown word by word: the ninth
};

// Reads the fields in order: the seven of every version, then the Arabic box and the word-by-word
// box (a file of seven or eight lines, as older versions write it, leaves them unticked). A missing field
// keeps its default; a size that is no number or lies outside the sizes a reader can use becomes the default
// size; a check value other than 1 counts as unchecked; a bold field that is no truth value leaves the text
// regular.
Preferences parsePreferences(FieldReader &reader);

// The nine lines as Exit writes them. A text holding a comma is written in double quotes so that
// it reads back as one field instead of shifting every later line.
std::string formatPreferences(const Preferences &prefs);

// Font sizes that start-up accepts from the file, in points.
inline constexpr double kMinFontSize = 1.0;
inline constexpr double kMaxFontSize = 96.0;

// The reading view's own settings, kept beside Prefs.dat in "Reading.dat": "key=value" lines of its
// scale, its light or dark reading and its place on the screen. A line that is missing or no sound
// value keeps the default.
inline constexpr const char *kReadingSettingsFileName = "Reading.dat";
struct ReadingSettings
{
    double scale = 2.0; // the text's size against the main window's display
    bool dark = false;
    int left = 0, top = 0, width = 0, height = 0; // no size: placed as the window system places it
    bool maximized = false;
    bool fullScreen = false;
};
inline constexpr double kMinReadingScale = 1.0;
inline constexpr double kMaxReadingScale = 6.0;
ReadingSettings parseReadingSettings(std::string_view text);
std::string formatReadingSettings(const ReadingSettings &settings);

} // namespace velmora
