// Writing the search words of a shown text in capitals, and cutting record references.
#pragma once

#include <string>
#include <string_view>

#include "engine.h"

namespace velmora {

inline constexpr int kMarkLimit = 500;

// Replaces occurrences of word by capitalWord, always searching from the start: the first search
// runs on the lower-cased text, later ones on the text as changed. So a word typed with capitals
// is never found, and after the first hit only occurrences written in lower case are. count is
// shared by all words of one display; once it passes 500 the loop ends.
std::string MarkWord(std::string text, std::string_view word, std::string_view capitalWord, int &count);

// Every search word of the last query marked in turn; empty words mark nothing.
std::string markSearchWords(std::string text, const SearchWords &words);

std::string TextAfterLast(std::string_view text, char separator);

// The record reference of a shown verse: its first word less the word's last character
// ("002.255" of "002.255) ..."); "" when the text holds no blank or its first word is too short.
std::string recordReference(std::string_view shownText);

} // namespace velmora
