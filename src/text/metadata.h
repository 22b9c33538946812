// Tanzil's Quran metadata (quran-data.xml, https://tanzil.net): each surah's verse count and names,
// where the 30 juz, 240 hizb quarters, 7 manzils, 556 rukus and 604 pages of the Madina mushaf
// begin, and the 15 sajdas with their kind.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

inline constexpr const char *kMetadataFile = "quran-data.xml";

// The mushaf's divisions; a hizb is counted in its quarters, as the file counts them.
enum class Division
{
    Juz,
    HizbQuarter,
    Manzil,
    Ruku,
    Page
};
inline constexpr std::size_t kDivisions = 5;

struct VersePlace
{
    int surah = 0;
    int aya = 0;
    bool operator==(const VersePlace &) const = default;
    bool operator<(const VersePlace &other) const
    {
        return surah != other.surah ? surah < other.surah : aya < other.aya;
    }
};

struct SurahFacts
{
    int verses = 0;
    std::string arabicName;
    std::string name; // transliterated: "Al-Baqara"
    std::string englishName;
    std::string type; // "Meccan" or "Medinan"
};

struct Sajda
{
    VersePlace place;
    std::string type; // "recommended" or "obligatory"
};

class QuranMetadata
{
public:
    // nullopt, with problem saying why after the file's name, when the file cannot be read or lacks
    // any surah or the starts of any division.
    static std::optional<QuranMetadata> open(const std::filesystem::path &path,
                                             std::string *problem = nullptr);
    static std::optional<QuranMetadata> fromText(std::string_view xml);

    // Surah 1 to 114; nullptr for another number.
    const SurahFacts *surah(int number) const;
    std::size_t count(Division division) const { return starts_[index(division)].size(); }
    // The number (from 1) of the division holding a verse: the last to begin at or before it.
    int divisionOf(Division division, VersePlace verse) const;
    // Its first and last verse; nullopt for a number it does not have.
    std::optional<std::pair<VersePlace, VersePlace>> rangeOf(Division division, int number) const;
    bool begins(Division division, VersePlace verse) const;
    // The sajda at a verse; nullptr for a verse without one.
    const Sajda *sajdaAt(VersePlace verse) const;

private:
    QuranMetadata() = default;
    static constexpr std::size_t index(Division d) { return static_cast<std::size_t>(d); }
    std::array<std::vector<VersePlace>, kDivisions> starts_;
    std::vector<SurahFacts> surahs_;
    std::vector<Sajda> sajdas_;
};

// A division's name as readers type and read it ("juz", "hizb", "manzil", "ruku", "page").
std::string_view divisionName(Division division);
// A verse's place at the start of a text ("2:255", then a blank or the end) and what follows it,
// its blanks aside; nullopt where the text starts with no place of a surah 1 to 114.
std::optional<std::pair<VersePlace, std::string_view>> versePlaceAtStart(std::string_view text);
// A place typed "juz 30", "Page 604", "hizb 12": the division and its number; nullopt for other text.
std::optional<std::pair<Division, int>> divisionTyped(std::string_view text);

} // namespace velmora
