// The Quran's Arabic text as the Tanzil Project publishes it: "sura|aya|text" lines in UTF-8, lines
// of comment and the copyright block starting with "#". The text is read and kept exactly as the
// file has it; nothing of it passes through a single-byte step.
#pragma once

#include "text/extract.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// The file names of the two texts in the data folder: the Uthmani script to read, and the same text
// without diacritics (Simple Clean) to search.
inline constexpr const char *kQuranReadingFile = "quran-uthmani.txt";
inline constexpr const char *kQuranSearchFile = "quran-simple-clean.txt";

class QuranText
{
public:
    struct Verse
    {
        int surah = 0;
        int aya = 0;
        std::string_view text;
    };

    // nullopt when the file cannot be read or holds no verse; then problem, where given, says why in
    // words that follow the file's name ("was not found", "holds no verses").
    static std::optional<QuranText> open(const std::filesystem::path &path, std::string *problem = nullptr);
    static std::optional<QuranText> fromText(std::string text);

    QuranText(QuranText &&) noexcept = default;
    QuranText &operator=(QuranText &&) noexcept = default;
    QuranText(const QuranText &) = delete;
    QuranText &operator=(const QuranText &) = delete;

    // Every verse in the order of the file.
    const std::vector<Verse> &verses() const { return verses_; }
    // The file's whole text, which the verses' texts are parts of.
    std::string_view whole() const { return *text_; }
    // The text of verse aya of the surah; "" when the file has none.
    std::string_view verse(int surah, int aya) const;
    // That verse's place in verses(); nullopt when the file has none.
    std::optional<std::size_t> placeOf(int surah, int aya) const;
    // The verse of a verse entry as the program numbers them: surah 1's entry k is verse k + 1; of
    // the others entry 0 is the invocation, verse 1:1 (which surah 9 does not have), and entry k is
    // verse k. Verse 0 (no verse) for surah 9's entry 0.
    static int ayaOfEntry(int surah, int entry);
    std::string_view entryText(int surah, int entry) const;

private:
    QuranText() = default;
    // The file's text on the heap, where the verses' views point: it stays in place when the
    // object moves (a short string kept inside the object would not).
    std::unique_ptr<const std::string> text_;
    std::vector<Verse> verses_;
    std::vector<std::vector<std::size_t>> bySurah_; // [surah][aya] -> index in verses_ + 1, 0 for none
};

// The texts of the verses at places (surah, aya) of a text of "sura|aya|text" lines, the places in
// the order the verses first stand in it, as QuranText lists them: found in one pass over the
// text, without reading the rest of it. "" for a place it does not have.
std::vector<std::string_view> versesAt(std::string_view text, const std::vector<std::pair<int, int>> &places);

// A verse number in Arabic-Indic digits after the end-of-ayah sign, as printed copies mark the end
// of a verse: " ۝١٢".
std::string ayaMark(int aya);

// One verse entry of the display: its Arabic text (UTF-8, with its verse mark; "" where the entry
// has none) and the texts of the translations for it (Windows-1252), interleaved as the display
// interleaves several translations.
struct DisplayVerse
{
    int entry = 0;
    std::string arabic;
    std::string translations;
    // The entry in each installed translation chosen (UTF-8), "N) " and its text; "" where a
    // translation has none.
    std::vector<std::string> more;
};

// The entries from..to of the surah with the Arabic text first. Each entry gets its Arabic text and
// its verse from every file in fileNames: one translation gives the verse and a blank line; several
// give the first file's verse, every further one after a "---" line (when the last file's verse is
// not empty), then a blank line for each file. Then the entry of each of more, the installed
// translations chosen, in their order.
std::vector<DisplayVerse> arabicDisplay(const QuranText *quran, const std::string &folder,
                                        const std::vector<std::string> &fileNames, int surah, int fromVerse,
                                        int toVerse, const ReadHooks &hooks = {},
                                        const std::vector<const QuranText *> &more = {});

} // namespace velmora
