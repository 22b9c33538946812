// The Quranic Arabic Corpus (https://corpus.quran.com): for each word of the Quran in order, its
// segments with their lemmas and root in Buckwalter's transliteration. Its words are tied to the
// words of the reading text, so that a search by root or lemma finds verses and marks the words.
#pragma once

#include "core/safefile.h"
#include "search/arabic.h"
#include "text/quran.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// The corpus's morphology file in the data folder, and the word index kept in the program's folder.
inline constexpr const char *kMorphologyFile = "quranic-corpus-morphology.txt";
inline constexpr const char *kWordIndexFileName = "quran-words.index";

// Buckwalter's transliteration as UTF-8 Arabic; characters it does not name are left out.
std::string fromBuckwalter(std::string_view buckwalter);

// A root as the corpus writes it (ROOT:ktb, ROOT:Amn), from Arabic letters or Buckwalter: every
// alef and hamza as A, alef maksura as y.
std::string rootKey(std::string_view typed);
// A lemma's letters as the Arabic search folds them, from the corpus's Buckwalter or from what a
// reader types (كتاب, kitaAb).
std::string lemmaKey(std::string_view typed);

// A corpus word's place in the reading text: its verse (the place in the text's list of verses) and
// its word there, the verse's words counted between blanks with the pause marks left out.
struct WordPlace
{
    std::uint32_t verse = 0;
    std::uint32_t word = 0;
    bool operator==(const WordPlace &) const = default;
};

// The corpus's words tied to the reading text's. The two count words differently in a few verses
// (a reading word the corpus takes as two, two it takes as one); the ties are found by comparing
// each corpus word's root or lemma with the letters of the reading words around its place.
std::vector<WordPlace> alignCorpus(std::string_view morphology, const QuranText &reading);

// The reading text's words by root and by lemma, made from the corpus once and kept in a file.
class WordIndex
{
public:
    static WordIndex make(std::string_view morphology, const QuranText &reading);
    // The index kept in the file, when made from the two files as they are now; nullopt otherwise.
    static std::optional<WordIndex> load(const std::filesystem::path &indexFile,
                                         const std::filesystem::path &morphology,
                                         const std::filesystem::path &reading);
    bool save(const std::filesystem::path &indexFile, const std::filesystem::path &morphology,
              const std::filesystem::path &reading) const;

    enum class Kind
    {
        Root,
        Lemma
    };
    // The places of the words of a root (rootKey) or lemma (lemmaKey), in the text's order.
    std::vector<WordPlace> placesOf(Kind kind, std::string_view key) const;
    // Each corpus word's place in the reading text, in the corpus's order.
    std::vector<WordPlace> corpusPlaces() const;
    // The surah and aya of each verse of the reading text it was made from.
    const std::vector<std::pair<int, int>> &verses() const { return verses_; }

private:
    WordIndex() = default;
    std::vector<WordPlace> placesOnLine(std::string_view name) const;
    // "v\tS:A S:A ...\n" for the verses, then "r KEY\tV.W V.W ...\n" for each root,
    // "l KEY\t..." for each lemma and "k words\t..." for every corpus word
    std::string text_;
    std::vector<std::pair<int, int>> verses_;
    std::optional<MappedFile> file_;
    std::string_view lines_;
};

// The word index kept in a file (kept; none when empty) while it fits the corpus's morphology and
// the reading text, else made from them, and kept; nullopt, with problem naming what went wrong,
// when the morphology cannot be read.
std::optional<WordIndex> wordIndexKeptIn(const std::filesystem::path &kept,
                                         const std::filesystem::path &morphology,
                                         const std::filesystem::path &readingFile, const QuranText &reading,
                                         std::string *problem = nullptr);

// The word index of the program's data: the corpus's morphology and the reading text as the data
// folders hold them, kept in ownFolder (none when empty). morphology, where given, is told the
// morphology file's path.
std::optional<WordIndex> programWordIndex(const std::string &programFolder, const std::string &ownFolder,
                                          const QuranText &reading, std::string *problem,
                                          std::filesystem::path *morphology = nullptr);

// A search by root or lemma: the verses (their places in the reading text) and, for marking, the
// words of each; the count line gives both counts.
struct WordOutcome
{
    std::vector<std::size_t> verses;
    std::vector<std::vector<std::uint32_t>> words; // for each verse, its words of the root or lemma
    std::size_t wordCount = 0;
    std::string countText;
    std::string problem;
};
WordOutcome runWordQuery(const WordIndex &index, WordIndex::Kind kind, std::string_view typed);

// A query that asks for a root or lemma: "root:كتب", "lemma:kitaAb"; nullopt for any other.
std::optional<std::pair<WordIndex::Kind, std::string_view>> wordQueryOf(std::string_view query);

// The byte ranges [begin, end) of the words of a reading verse: its runs between blanks, the pause
// marks left out.
std::vector<std::pair<std::size_t, std::size_t>> readingWords(std::string_view verse);
// The byte ranges [begin, end) of words of a reading verse, as the corpus's places count them.
std::vector<std::pair<std::size_t, std::size_t>> readingWordRanges(std::string_view verse,
                                                                   const std::vector<std::uint32_t> &words);

} // namespace velmora
