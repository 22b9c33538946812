// What the Quranic Arabic Corpus (https://corpus.quran.com) says of each word of the reading text:
// its English gloss, root, lemma and grammar, and how often its root and lemma occur.
#pragma once

#include "search/corpus.h"
#include "text/quran.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The corpus's glosses and lemma meanings in the data folder, beside its morphology.
inline constexpr const char *kGlossFile = "quranic-corpus-word-by-word.txt";
inline constexpr const char *kLemmaFile = "quranic-corpus-lemmas.txt";

struct WordFacts
{
    std::string word;       // as the reading text writes it
    std::string gloss;      // the corpus's English
    std::string root;       // in Buckwalter, "" for a word without one
    std::string rootArabic; // its letters apart: "ك ت ب"
    std::string lemma;      // in Buckwalter
    std::string lemmaArabic;
    std::string meaning; // the lemma's, where the lemma list gives one
    std::string grammar; // "verb, imperfect, form IV, third person masculine plural"
    std::size_t rootWords = 0;
    std::size_t rootVerses = 0;
    std::size_t lemmaWords = 0;
    std::size_t lemmaVerses = 0;
};

// A morphology line's segments in plain English, the prefixes and suffixes joined to the stem by
// " + ": "conjunction wa + verb, imperfect, form IV, third person masculine plural".
std::string grammarOf(std::string_view morphologyLine);
// A root's letters in Arabic with blanks between them, the hamza as أ: "Amn" as "أ م ن".
std::string rootInArabic(std::string_view root);

class CorpusWords
{
public:
    // The corpus's three files for the reading text and the word index made from it; nullopt, and
    // problem naming the file that cannot be read, when one cannot.
    static std::optional<CorpusWords> open(const std::filesystem::path &folder, const QuranText &reading,
                                           const WordIndex &index, std::string *problem = nullptr);
    // Word w (from 0, the pause marks not counted) of verse v of the reading text; nullopt where
    // the verse has no such word.
    std::optional<WordFacts> factsOf(std::size_t verse, std::size_t word) const;
    // How many words verse v has.
    std::size_t wordCount(std::size_t verse) const;
    // The gloss of each word of verse v, in order.
    std::vector<std::string_view> glossesOf(std::size_t verse) const;

private:
    CorpusWords(const QuranText &reading, const WordIndex &index) : reading_(&reading), index_(&index) {}
    std::optional<std::uint32_t> corpusWordAt(std::size_t verse, std::size_t word) const;
    const QuranText *reading_;
    const WordIndex *index_;
    std::string morphology_;
    std::string glosses_;
    std::vector<std::string_view> morphologyLines_;
    std::vector<std::string_view> glossLines_;
    std::map<std::string, std::string, std::less<>> meanings_;
    // For each verse, the corpus word of each of its words: a word the corpus joins to the one
    // before it has that one's.
    std::vector<std::vector<std::uint32_t>> corpusWords_;
};

} // namespace velmora
