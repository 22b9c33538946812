// Windows-1252 text: the single-byte encoding of every data file the program reads and writes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ansi {

// Letter case as Windows-1252 defines it (a-z, the accented Latin letters, š, œ, ž, ÿ).
char toUpper(char c);
char toLower(char c);
std::string upper(std::string_view text);
std::string lower(std::string_view text);
// Upper-cases into a caller's buffer of the same length; used by the search for whole files.
void upperInto(std::string_view text, char *out);

// Unicode code point of a Windows-1252 byte (0x80-0x9F mapped through the real table).
char16_t toUnicode(unsigned char c);
// Windows-1252 byte for a code point, or '?' when the code page has none.
char fromUnicode(char32_t cp);

// Order of a sorted list control: letter case is ignored, apostrophes and hyphens count only
// to break ties, punctuation sorts before digits and digits before letters.
int collate(std::string_view a, std::string_view b);
inline bool collateLess(std::string_view a, std::string_view b)
{
    return collate(a, b) < 0;
}
// A text's key for that order: the places of its characters, ignorable ones left out. Sorting many
// texts compares their keys (made once each) instead of the texts themselves.
std::string collationKey(std::string_view text);
// collate(a, b) from the texts and their keys.
int collateWithKeys(std::string_view keyA, std::string_view a, std::string_view keyB, std::string_view b);
// The texts' places in that order (the first place is that of the text that comes first), equal
// texts in the order given; each text's key is made once, so that a million texts sort at once.
std::vector<std::size_t> listOrder(const std::vector<std::string> &texts);
bool equalsNoCase(std::string_view a, std::string_view b);

// Finds a needle in a text, letter case ignored, without an upper-case copy of the text: candidate
// places are where both the first and the last character of the needle stand, in either case, at
// the right distance (sixteen places at a time where the processor allows), and only there is the
// whole needle compared.
class NoCaseFinder
{
public:
    explicit NoCaseFinder(std::string_view needle);
    std::size_t size() const { return upper_.size(); }
    // Position of the first occurrence at or after from, or text.size().
    std::size_t findFrom(std::string_view text, std::size_t from) const;
    // Whether the text holds the needle; every text holds the empty one.
    bool in(std::string_view text) const { return upper_.empty() || findFrom(text, 0) < text.size(); }

    // Whether the needle stands at the place, letter case ignored.
    bool matchesAt(const char *at) const;

private:
    std::string upper_;
    std::array<char, 2> first_{}; // the needle's first character in both cases
    std::array<char, 2> last_{};
};

} // namespace velmora::ansi
