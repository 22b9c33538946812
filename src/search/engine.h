// The search engine: finds every record of one source file that holds a phrase or a set of words.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FieldReader;

struct SearchSourceInfo
{
    const char *caption;
    const char *fileName;
    bool wordList;       // four-field entries: field 4 is searched, field 2 listed
    const char *heading; // the complete-text heading after a scan
    const char *name;    // a one-word name for the terminal: "pickthall", "bukhari", ...
};

inline constexpr int kSourceCount = 9;
inline constexpr int kWordListSource = 4;
inline constexpr std::size_t kMaxSearchWords = 5;

// The nine sources by source index, in the order of the search window's buttons.
const std::array<SearchSourceInfo, kSourceCount> &searchSources();
// A source index for a number ("5"), a caption ("M. Pickthall"), a file name ("PIKTHL.TXT" or
// "PIKTHL") or a one-word name ("pickthall"), in any letter case; -1 when none.
int sourceIndexFor(std::string_view name);

// The words of the last word query, as typed, and how many it had (1 for a phrase).
struct SearchWords
{
    std::array<std::string, kMaxSearchWords> words;
    int count = 0;
};

// Called after every hit with the entries so far and the count label's text at that moment. phase
// is 0 while the file is scanned and k while the list is narrowed by word k + 1; each phase starts
// its list afresh.
using SearchProgress =
    std::function<void(const std::vector<std::string_view> &entries, std::string_view countText, int phase)>;

struct SearchOutcome
{
    std::vector<std::string> entries;
    // For each entry, the position of its record in the file, counted from 1 (for the word list,
    // of its four-field entry), so that a hit leads back to exactly its record.
    std::vector<int> records;
    std::optional<std::string> countText; // unset when the label keeps its text
    std::optional<std::string> heading;   // unset when the heading keeps its text
    std::string problem;                  // a message for the reader, "" when none
};

// Runs a query as typed: 'a phrase' (closing apostrophe optional) or words separated by blanks,
// each of which a listed record must hold. More than five words are refused with a message.
SearchOutcome RunQuery(const std::string &folder, int source, std::string_view text, SearchWords &words,
                       const SearchProgress &progress = {});

// The phrase of a query that begins with an apostrophe, without its apostrophes ("'a b'" and "'a b"
// give "a b"); nullopt for a query of words.
std::optional<std::string_view> phraseOf(std::string_view query);

// Called with each hit of a query's final list, in order: the entry's text (valid during the call
// only) and the place of its record in the file.
using HitVisitor = std::function<void(std::string_view entry, int record)>;

// RunQuery without the copies: the hits go to the visitor straight from the file, and the
// outcome's entries stay empty.
SearchOutcome VisitQuery(const std::string &folder, int source, std::string_view text, SearchWords &words,
                         const HitVisitor &visit, const SearchProgress &progress = {});

// Replaces every occurrence of find by replacement; gives the number of replacements.
int ReplaceChar(std::string &text, char find, char replacement);

// Field 4 of the first four-field entry whose field 2 equals key (letter case ignored), read on
// from where the reader stands; "" when none.
std::string FindWordEntry(FieldReader &wordList, std::string key);

} // namespace velmora
