// The records of a data file as the search window shows and steps them: a hadith by its place in
// the file, a verse by the reference its record begins with ("002.255").
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// A record longer than this is shown cut, with a note of how much more it holds.
inline constexpr std::size_t kShownLimit = 1'000'000;
std::string cutForView(std::string_view record);

// The record at a place of the file (counted from 1), and how many records were read: fewer than
// asked when the file ends before it.
struct RecordAt
{
    std::string text;
    int read = 0;
};
RecordAt recordAt(const std::filesystem::path &file, int number);

// The reference of the verse before (step -1) or after (step 1) the one a shown record names;
// nullopt when it names none.
std::optional<std::string> steppedVerseKey(std::string_view shownText, int step);

// The first record holding the key, nullopt when none does (or the file cannot be read).
std::optional<std::string> recordHolding(const std::filesystem::path &file, std::string_view key);

} // namespace velmora
