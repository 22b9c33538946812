// Searching the Quran's Arabic text: the query and the text are folded alike (the letter forms that
// writers vary between made one, the marks around the letters left out), then matched as the English
// search matches: every word of the query in the verse, or a phrase in apostrophes in sequence.
#pragma once

#include "core/safefile.h"
#include "search/engine.h"
#include "text/quran.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// The source index of the Arabic text, after the nine of the data files.
inline constexpr int kArabicSource = 9;
// The folded text kept between terminal searches, in the program's own folder.
inline constexpr const char *kArabicIndexFileName = "quran-search.index";
// The reading text's spelling and skeleton, kept beside it, and their foldings' names in the keys.
inline constexpr const char *kSpeltIndexFileName = "quran-spelt.index";
inline constexpr const char *kReadingIndexFileName = "quran-reading.index";
inline constexpr std::string_view kSpeltFoldName = "spelt";
inline constexpr std::string_view kSkeletonFoldName = "skeleton";

// The folded form of UTF-8 text: أ إ آ ٱ and the superscript alef become ا; ؤ ئ and the hamza
// marks above and below become ء; ى becomes ي; ة becomes ه; the tatweel, the harakat and other
// combining marks (U+064B to U+065F) and the Quranic marks (U+06D6 to U+06ED) are left out.
std::string foldArabic(std::string_view utf8);
void appendFolded(std::string &out, std::string_view utf8);
// The same folding, the superscript alef kept: the reading text's spelling.
void appendFoldedReading(std::string &out, std::string_view utf8);
// The reading text's spelling without any alef: what a query of it must hold, in whichever way it
// spells its long a.
void appendSkeleton(std::string &out, std::string_view utf8);

// Appends the folded form of UTF-8 text to out: appendFolded for the Arabic text, the folding of a
// translation's script for a translation (search/textfold.h).
using FoldFunction = void (*)(std::string &out, std::string_view utf8);

// Whether a text holds Arabic letters.
bool holdsArabic(std::string_view utf8);

// The searched text folded once for any number of queries: every verse's folded text, in the order
// of the file, one after another with a line end between them. It serves any text of Tanzil's
// "sura|aya|text" form with the folding given: the Arabic text, and the translations.
class ArabicIndex
{
public:
    struct Place
    {
        std::uint16_t surah = 0;
        std::uint16_t aya = 0;
    };

    explicit ArabicIndex(const QuranText &searchText, FoldFunction fold = appendFolded);
    ArabicIndex(ArabicIndex &&other) noexcept;
    ArabicIndex &operator=(ArabicIndex &&) = delete;
    ArabicIndex(const ArabicIndex &) = delete;
    ArabicIndex &operator=(const ArabicIndex &) = delete;
    // The index that save() kept in a file, when it was made from the source file as it is now (the
    // same size and time of change) with the same folding (foldName, "" for the Arabic one);
    // nullopt otherwise. A terminal search so starts at once.
    static std::optional<ArabicIndex> load(const std::filesystem::path &indexFile,
                                           const std::filesystem::path &source,
                                           FoldFunction fold = appendFolded, std::string_view foldName = {});
    bool save(const std::filesystem::path &indexFile, const std::filesystem::path &source,
              std::string_view foldName = {}) const;

    // The text it was made from; nullptr for an index loaded from its file.
    const QuranText *text() const { return text_; }
    // How its text, and so a query of it, is folded.
    FoldFunction fold() const { return fold_; }
    std::size_t size() const { return starts_.size(); }
    const std::vector<Place> &places() const { return places_; }
    std::string_view folded(std::size_t verse) const;
    // A verse's text in its source file's text as it was when the index was made ("" where the
    // index does not fit it): the verse read with no pass over the file.
    std::string_view sourceText(std::string_view source, std::size_t verse) const;
    // The verses whose folded text holds the folded needle, in file order.
    // Those in skip (a bit for each verse) are passed over where the letter pairs narrow the search.
    std::vector<std::size_t> versesHolding(std::string_view foldedNeedle,
                                           const std::vector<std::uint64_t> &skip = {}) const;

private:
    ArabicIndex() = default;
    void makeLetterPairs();
    // The verses that may hold the needle, as bits: those holding each pair of Arabic letters side by
    // side in it; nullopt for a needle without such a pair, whose verses are all looked through.
    std::optional<std::vector<std::uint64_t>> versesWithPairsOf(std::string_view needle) const;
    const QuranText *text_ = nullptr;
    FoldFunction fold_ = appendFolded;  // an index file holds the Arabic folding
    std::string made_;                  // the folded text, when made here
    std::shared_ptr<MappedFile> file_;  // the index file, when loaded from it
    std::string_view folded_;           // one of the two
    std::vector<std::uint32_t> starts_; // where each verse's folded text starts in folded_
    std::vector<Place> places_;
    std::vector<std::uint32_t> spans_; // each verse's offset and length in its source file
    // For each pair of Arabic letters side by side in the text, the verses holding it: the pairs'
    // count (32 bits), their codes (16 bits each, ascending), then each one's verses as bits.
    std::string pairsMade_;
    std::string_view pairs_;
};

// The reading text's own spellings, searched beside the searched text. The Uthmani script writes
// many a long a as a superscript alef over a letter (ٱلْكِتَـٰبُ, where the searched text has الكتاب) or
// over a waw (ٱلصَّلَوٰةَ, الصلاة), and the older and Indo-Pak spellings that readers type follow it
// (الصلوة, السموات, الرحمان). A query word is also found in a verse whose reading text holds it, each
// superscript alef there taken as an alef or as nothing.
class ReadingSpellings
{
public:
    // The reading text, indexed here, and the searched text's index, whose verse numbers the hits
    // are given in.
    ReadingSpellings(const QuranText &reading, const ArabicIndex &searched);
    // The reading text's two indexes, as kept in files: its spelling (appendFoldedReading) and its
    // skeleton (appendSkeleton). Both must list the same verses.
    ReadingSpellings(ArabicIndex spelt, ArabicIndex skeleton, const ArabicIndex &searched);
    // The searched verses whose reading text holds the folded needle, in file order, but for those
    // found already (in file order).
    std::vector<std::size_t> versesHolding(std::string_view foldedNeedle,
                                           const std::vector<std::size_t> &found = {}) const;
    bool holds(std::size_t searchedVerse, std::string_view foldedNeedle) const;
    // Whether the verse's reading text holds each search word (as typed) as a whole word.
    bool holdsWholeWords(std::size_t searchedVerse, const SearchWords &words) const;
    // The reading text's verse for a verse of the searched text; nullopt where it has none.
    std::optional<std::size_t> readingVerseOf(std::size_t searchedVerse) const
    {
        return searchedVerse < toReading_.size() && toReading_[searchedVerse] != kNone
                   ? std::optional(toReading_[searchedVerse])
                   : std::nullopt;
    }
    // The searched text's verse for a verse of the reading text; nullopt where it has none.
    std::optional<std::size_t> searchedVerseOf(std::size_t readingVerse) const
    {
        return readingVerse < toSearched_.size() && toSearched_[readingVerse] != kNone
                   ? std::optional(toSearched_[readingVerse])
                   : std::nullopt;
    }
    const ArabicIndex &spelt() const { return spelt_; }
    const ArabicIndex &skeleton() const { return skeleton_; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    void placeBeside(const ArabicIndex &searched);
    ArabicIndex spelt_;
    ArabicIndex skeleton_;
    std::vector<std::size_t> toSearched_; // a reading verse's place in the searched text, or kNone
    std::vector<std::size_t> toReading_;
};

struct ArabicOutcome
{
    std::vector<std::size_t> verses; // the hits: places in the searched text's verse list
    std::string countText;
    std::string problem; // a message for the reader, "" when none
};

// Runs a query as typed (UTF-8), folded as the index is: 'a phrase' or up to five words separated
// by blanks; the words go to words as typed, for marking. With the reading text's spellings, a word
// is found in either text.
ArabicOutcome runArabicQuery(const ArabicIndex &index, std::string_view query, SearchWords &words,
                             const ReadingSpellings *reading = nullptr);

// The words of a verse of the reading text to mark for the last query, as byte ranges [begin, end)
// of readingVerse. Where the reading and the searched text have the same number of words, word k of
// the one is word k of the other and is marked when the searched word holds a search word; elsewhere
// a reading word is marked when its folded form, alefs aside, holds a search word's. A reading word
// whose own spelling holds a search word is marked in either case.
std::vector<std::pair<std::size_t, std::size_t>>
arabicMarks(std::string_view readingVerse, std::string_view searchedVerse, const SearchWords &words);

// A hit as the result list shows it: "SSS.V) " and the verse.
std::string arabicEntry(const QuranText::Verse &verse);

} // namespace velmora
