// UTF-8 text, as other programs and most published texts have it, in Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::ansi {

struct Utf8Conversion
{
    std::string text;               // Windows-1252
    std::size_t transliterated = 0; // characters written as the nearest Windows-1252 letters
    std::size_t replaced = 0;       // characters with no such form, written as "?"
    std::size_t invalid = 0;        // bytes that are not UTF-8, written as "?"
};

// Characters Windows-1252 holds keep their meaning; Latin letters with other marks (the
// transliteration's ā, ḥ, ṣ, ʿ, ...) lose the marks, combining marks are dropped, dashes and
// quotes become their nearest forms, and the rest becomes "?".
Utf8Conversion fromUtf8(std::string_view utf8);

// Decodes one UTF-8 sequence at text[i]; advances i. Returns false (and advances by one byte) for
// a byte that does not start a well-formed sequence.
bool decodeUtf8(std::string_view text, std::size_t &i, char32_t &cp);

// Appends the UTF-8 form of a code point.
void appendUtf8(std::string &out, char32_t cp);

// The UTF-8 form of a Windows-1252 text, appended or returned.
void appendAsUtf8(std::string &out, std::string_view text);
std::string toUtf8(std::string_view text);

} // namespace velmora::ansi
