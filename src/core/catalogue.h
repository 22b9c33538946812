// The surahs: their list rows, their verse-entry counts and the supplication list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr int kSurahCount = 114;
inline constexpr const char *kSupplicationRow = "Quranic Duas";

// n with leading zeros to three digits ("007", "042", "286"; 1000 gives "1000").
std::string ThreeDigits(int n);

// The 115 rows of the surah list: "001 Al Fatiha (The Opening)" ... "114 An Nas (Mankind)",
// then "Quranic Duas".
const std::vector<std::string> &surahRows();

// Verses of a surah (1 to 114) in the Kufan numbering; 0 outside that range.
int verseCount(int surah);
// Verse entries of the surah list row (0-based): 7 for Al Fatiha, verses + 1 for the others
// (entry 000 stands before verse 1), 62 for the supplication row.
int entryCountOfRow(int row);
// The rows of the hidden entry-count list as stored: the number with a blank on either side.
std::vector<std::string> entryCountRows();

// The 61 verse references of the supplication list, in the order they are added.
const std::vector<std::string> &supplicationRefs();

// "SSS-VVV" for a surah and entry.
std::string verseReference(int surah, int entry);

// A count with a comma between thousands: "6,227".
std::string withThousands(std::size_t n);
// The first dozen entries of a list, with commas between them, and how many more there are:
// "a, b, c and 3 more".
std::string listedEntries(const std::vector<std::string> &entries);

// Whether the bytes begin as an MP3 file does: an ID3 tag or an MPEG audio frame.
bool looksLikeMp3(std::string_view head);

} // namespace velmora
