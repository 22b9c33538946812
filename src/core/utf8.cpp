#include "utf8.h"

#include "ansi.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace velmora::ansi {
namespace {

// Base letters of Latin Extended-A, U+0100 to U+017F; a blank where Windows-1252 has the letter
// itself (Œ, œ, Š, š, Ÿ, Ž, ž), which fromUnicode handles first.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOo"
    "  RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYy ZzZzZzs";

// Letters with marks below or above from Latin Extended Additional (U+1E00 to U+1EFF) and the
// modifier letters that transliterations of Arabic use.
constexpr std::array<std::pair<char32_t, std::string_view>, 52> kNearest = {{
    {0x1E0C, "D"}, {0x1E0D, "d"}, {0x1E0E, "D"}, {0x1E0F, "d"},    {0x1E24, "H"}, {0x1E25, "h"},
    {0x1E2A, "H"}, {0x1E2B, "h"}, {0x1E32, "K"}, {0x1E33, "k"},    {0x1E34, "K"}, {0x1E35, "k"},
    {0x1E42, "M"}, {0x1E43, "m"}, {0x1E44, "N"}, {0x1E45, "n"},    {0x1E46, "N"}, {0x1E47, "n"},
    {0x1E5A, "R"}, {0x1E5B, "r"}, {0x1E62, "S"}, {0x1E63, "s"},    {0x1E6C, "T"}, {0x1E6D, "t"},
    {0x1E6E, "T"}, {0x1E6F, "t"}, {0x1E92, "Z"}, {0x1E93, "z"},    {0x1E94, "Z"}, {0x1E95, "z"},
    {0x1E96, "h"}, {0x1E97, "t"}, {0x1EA0, "A"}, {0x1EA1, "a"},    {0x1EBC, "E"}, {0x1EBD, "e"},
    {0x1ECA, "I"}, {0x1ECB, "i"}, {0x1ECC, "O"}, {0x1ECD, "o"},    {0x1EE4, "U"}, {0x1EE5, "u"},
    {0x02BC, "'"}, {0x02BE, "'"}, {0x02BF, "'"}, {0x02C8, "'"},    {0x2010, "-"}, {0x2011, "-"},
    {0x2012, "-"}, {0x2015, "-"}, {0x2212, "-"}, {0xFDFA, "pbuh"},
}};

constexpr std::array<std::pair<char32_t, std::string_view>, 4> kPunctuation = {{
    {0x2032, "'"},
    {0x2033, "\""},
    {0x201B, "'"},
    {0x201F, "\""},
}};

// Combining marks and the invisible format characters (zero-width spaces and joiners, direction
// marks, the byte-order mark): written as nothing.
bool isDroppedMark(char32_t cp)
{
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
           (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
           (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2060 && cp <= 0x2064) || cp == 0xFEFF;
}

// The Windows-1252 letter that a letter and a combining mark after it make ("a" and U+0303, the
// tilde, make "ã"), as text in its decomposed form (NFD) writes it; 0 when the code page has none.
char composedWith(const std::string &text, char32_t mark)
{
    struct Composition
    {
        char32_t mark;
        std::string_view bases;
        std::string_view letters; // Windows-1252, one for each base
    };
    static constexpr Composition kCompositions[] = {
        {0x0300, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
        {0x0301, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},
        {0x0302, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},
        {0x0303, "ANOano", "\xC3\xD1\xD5\xE3\xF1\xF5"},
        {0x0308, "AEIOUYaeiouy", "\xC4\xCB\xCF\xD6\xDC\x9F\xE4\xEB\xEF\xF6\xFC\xFF"},
        {0x030A, "Aa", "\xC5\xE5"},
        {0x0327, "Cc", "\xC7\xE7"},
        {0x030C, "SsZz", "\x8A\x9A\x8E\x9E"},
    };
    if (text.empty())
        return 0;
    for (const auto &c : kCompositions)
        if (c.mark == mark)
            if (const auto at = c.bases.find(text.back()); at != std::string_view::npos)
                return c.letters[at];
    return 0;
}

std::string_view nearestForm(char32_t cp)
{
    // The typographic spaces are blanks.
    if ((cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F || cp == 0x205F || cp == 0x3000)
        return " ";
    if (cp >= 0x0100 && cp <= 0x017F && kLatinExtendedA[cp - 0x0100] != ' ')
        return kLatinExtendedA.substr(cp - 0x0100, 1);
    for (const auto &[code, text] : kNearest)
        if (code == cp)
            return text;
    for (const auto &[code, text] : kPunctuation)
        if (code == cp)
            return text;
    return {};
}

} // namespace

bool decodeUtf8(std::string_view text, std::size_t &i, char32_t &cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    if (lead < 0x80) {
        cp = lead;
        ++i;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++i;
        return false;
    }
    if (i + length > text.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += length;
    return true;
}

Utf8Conversion fromUtf8(std::string_view utf8)
{
    Utf8Conversion out;
    out.text.reserve(utf8.size());
    std::size_t i = 0;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        i = 3; // a byte-order mark is no text
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!decodeUtf8(utf8, i, cp)) {
            out.text.push_back('?');
            ++out.invalid;
            continue;
        }
        const char c = fromUnicode(cp);
        if (c != '?' || cp == '?') {
            out.text.push_back(c);
        } else if (const char composed = composedWith(out.text, cp); composed != 0) {
            out.text.back() = composed; // a letter and its mark written apart, as one character
        } else if (isDroppedMark(cp)) {
            ++out.transliterated;
        } else if (const std::string_view near = nearestForm(cp); !near.empty()) {
            out.text.append(near);
            ++out.transliterated;
        } else {
            out.text.push_back('?');
            ++out.replaced;
        }
    }
    return out;
}

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void appendAsUtf8(std::string &out, std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Plain ASCII, most of every text, is copied a run at a time.
        std::size_t run = i;
        // Eight bytes at a time while none has its high bit set.
        for (std::uint64_t word = 0; run + 8 <= text.size(); run += 8) {
            std::memcpy(&word, text.data() + run, 8);
            if (word & 0x8080808080808080ULL)
                break;
        }
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80)
            ++run;
        out.append(text.substr(i, run - i));
        if (run < text.size())
            appendUtf8(out, toUnicode(static_cast<unsigned char>(text[run++])));
        i = run;
    }
}

std::string toUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendAsUtf8(out, text);
    return out;
}

} // namespace velmora::ansi
