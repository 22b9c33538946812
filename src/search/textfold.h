// Folding a translation's text for search, as its script asks: the query and the text folded alike
// are matched byte for byte.
#pragma once

#include "search/arabic.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// Scripts with letter case, and those without: Latin, Greek, Cyrillic and Armenian letters in small
// form (ß as "ss"), Latin letters without their accents (é as e, ł as l) and marks typed apart left
// out, ё as е; every other character as it is (Devanagari, Bengali, Chinese...). Invisible marks
// (the zero-width joiners, direction marks) are left out and runs of blanks made one.
void appendCaseFolded(std::string &out, std::string_view utf8);

// Turkish: letters keep their marks (ş is not s, ı is not i), and letter case follows the Turkish
// alphabet: I is the capital of ı, İ that of i.
void appendTurkishFolded(std::string &out, std::string_view utf8);

// A reader's own writing, in any script and often in two: Arabic letters folded as the Arabic text
// is (appendFolded), every other character as appendCaseFolded folds it.
void appendMixedFolded(std::string &out, std::string_view utf8);

// The folding of a translation's language (in English, as Tanzil names it): the Arabic folding for
// the Arabic script (Persian and Urdu letters among it), the Turkish one for Turkish and
// Azerbaijani, appendCaseFolded for every other.
FoldFunction foldFor(std::string_view language);
// The folding's name, which a kept index names: "" for the Arabic, "case", "turkish", "mixed".
std::string_view foldName(FoldFunction fold);

// The byte ranges [begin, end) of a text that hold the search words (or the phrase), found in the
// text folded as fold folds it and given back in the text as it is, in order, overlapping ones made
// one: what a hit marks.
std::vector<std::pair<std::size_t, std::size_t>> foldedMatches(FoldFunction fold, std::string_view text,
                                                               const SearchWords &words);

} // namespace velmora
