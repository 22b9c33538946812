#include "textfold.h"

#include "core/ansi.h"
#include "core/tanzil.h"
#include "core/utf8.h"

#include <array>

namespace velmora {
namespace {

// Generated from the Unicode character database: the small letter of each Latin letter of
// Latin-1, Latin Extended-A and -B, and its base letter (its decomposition's first letter, or the
// letters it is written as).
// U+00C0 to U+024F, one entry a code point.
constexpr std::array<std::string_view, 400> kLatinBase = {
    "a", "a", "a", "a", "a", "a", "ae", "c",  "e", "e", "e", "e",  "i", "i", "i",  "i",  "d", "n", "o",  "o",
    "o", "o", "o", "×", "o", "u", "u",  "u",  "u", "y", "þ", "ss", "a", "a", "a",  "a",  "a", "a", "ae", "c",
    "e", "e", "e", "e", "i", "i", "i",  "i",  "d", "n", "o", "o",  "o", "o", "o",  "÷",  "o", "u", "u",  "u",
    "u", "y", "þ", "y", "a", "a", "a",  "a",  "a", "a", "c", "c",  "c", "c", "c",  "c",  "c", "c", "d",  "d",
    "d", "d", "e", "e", "e", "e", "e",  "e",  "e", "e", "e", "e",  "g", "g", "g",  "g",  "g", "g", "g",  "g",
    "h", "h", "h", "h", "i", "i", "i",  "i",  "i", "i", "i", "i",  "i", "i", "ij", "ij", "j", "j", "k",  "k",
    "ĸ", "l", "l", "l", "l", "l", "l",  "ŀ",  "ŀ", "l", "l", "n",  "n", "n", "n",  "n",  "n", "n", "ŋ",  "ŋ",
    "o", "o", "o", "o", "o", "o", "oe", "oe", "r", "r", "r", "r",  "r", "r", "s",  "s",  "s", "s", "s",  "s",
    "s", "s", "t", "t", "t", "t", "t",  "t",  "u", "u", "u", "u",  "u", "u", "u",  "u",  "u", "u", "u",  "u",
    "w", "w", "y", "y", "y", "z", "z",  "z",  "z", "z", "z", "s",  "ƀ", "ɓ", "ƃ",  "ƃ",  "ƅ", "ƅ", "ɔ",  "ƈ",
    "ƈ", "ɖ", "ɗ", "ƌ", "ƌ", "ƍ", "ǝ",  "ə",  "ɛ", "ƒ", "ƒ", "ɠ",  "ɣ", "ƕ", "ɩ",  "ɨ",  "ƙ", "ƙ", "ƚ",  "ƛ",
    "ɯ", "ɲ", "ƞ", "ɵ", "o", "o", "ƣ",  "ƣ",  "ƥ", "ƥ", "ʀ", "ƨ",  "ƨ", "ʃ", "ƪ",  "ƫ",  "ƭ", "ƭ", "ʈ",  "u",
    "u", "ʊ", "ʋ", "ƴ", "ƴ", "ƶ", "ƶ",  "ʒ",  "ƹ", "ƹ", "ƺ", "ƻ",  "ƽ", "ƽ", "ƾ",  "ƿ",  "ǀ", "ǁ", "ǂ",  "ǃ",
    "ǆ", "ǆ", "ǆ", "ǉ", "ǉ", "ǉ", "ǌ",  "ǌ",  "ǌ", "a", "a", "i",  "i", "o", "o",  "u",  "u", "u", "u",  "u",
    "u", "u", "u", "u", "u", "ǝ", "a",  "a",  "a", "a", "ǣ", "ǣ",  "ǥ", "ǥ", "g",  "g",  "k", "k", "o",  "o",
    "o", "o", "ǯ", "ǯ", "j", "ǳ", "ǳ",  "ǳ",  "g", "g", "ƕ", "ƿ",  "n", "n", "a",  "a",  "ǽ", "ǽ", "ǿ",  "ǿ",
    "a", "a", "a", "a", "e", "e", "e",  "e",  "i", "i", "i", "i",  "o", "o", "o",  "o",  "r", "r", "r",  "r",
    "u", "u", "u", "u", "s", "s", "t",  "t",  "ȝ", "ȝ", "h", "h",  "ƞ", "ȡ", "ȣ",  "ȣ",  "ȥ", "ȥ", "a",  "a",
    "e", "e", "o", "o", "o", "o", "o",  "o",  "o", "o", "y", "y",  "ȴ", "ȵ", "ȶ",  "ȷ",  "ȸ", "ȹ", "ⱥ",  "ȼ",
    "ȼ", "ƚ", "ⱦ", "ȿ", "ɀ", "ɂ", "ɂ",  "ƀ",  "ʉ", "ʌ", "ɇ", "ɇ",  "ɉ", "ɉ", "ɋ",  "ɋ",  "ɍ", "ɍ", "ɏ",  "ɏ"};
// U+00C0 to U+024F, one entry a code point.
constexpr std::array<std::string_view, 400> kLatinLower = {
    "à", "á", "â", "ã", "ä", "å", "æ", "ç", "è", "é", "ê", "ë", "ì", "í", "î", "ï", "ð", "ñ", "ò", "ó",
    "ô", "õ", "ö", "×", "ø", "ù", "ú", "û", "ü", "ý", "þ", "ß", "à", "á", "â", "ã", "ä", "å", "æ", "ç",
    "è", "é", "ê", "ë", "ì", "í", "î", "ï", "ð", "ñ", "ò", "ó", "ô", "õ", "ö", "÷", "ø", "ù", "ú", "û",
    "ü", "ý", "þ", "ÿ", "ā", "ā", "ă", "ă", "ą", "ą", "ć", "ć", "ĉ", "ĉ", "ċ", "ċ", "č", "č", "ď", "ď",
    "đ", "đ", "ē", "ē", "ĕ", "ĕ", "ė", "ė", "ę", "ę", "ě", "ě", "ĝ", "ĝ", "ğ", "ğ", "ġ", "ġ", "ģ", "ģ",
    "ĥ", "ĥ", "ħ", "ħ", "ĩ", "ĩ", "ī", "ī", "ĭ", "ĭ", "į", "į", "i", "ı", "ĳ", "ĳ", "ĵ", "ĵ", "ķ", "ķ",
    "ĸ", "ĺ", "ĺ", "ļ", "ļ", "ľ", "ľ", "ŀ", "ŀ", "ł", "ł", "ń", "ń", "ņ", "ņ", "ň", "ň", "ŉ", "ŋ", "ŋ",
    "ō", "ō", "ŏ", "ŏ", "ő", "ő", "œ", "œ", "ŕ", "ŕ", "ŗ", "ŗ", "ř", "ř", "ś", "ś", "ŝ", "ŝ", "ş", "ş",
    "š", "š", "ţ", "ţ", "ť", "ť", "ŧ", "ŧ", "ũ", "ũ", "ū", "ū", "ŭ", "ŭ", "ů", "ů", "ű", "ű", "ų", "ų",
    "ŵ", "ŵ", "ŷ", "ŷ", "ÿ", "ź", "ź", "ż", "ż", "ž", "ž", "ſ", "ƀ", "ɓ", "ƃ", "ƃ", "ƅ", "ƅ", "ɔ", "ƈ",
    "ƈ", "ɖ", "ɗ", "ƌ", "ƌ", "ƍ", "ǝ", "ə", "ɛ", "ƒ", "ƒ", "ɠ", "ɣ", "ƕ", "ɩ", "ɨ", "ƙ", "ƙ", "ƚ", "ƛ",
    "ɯ", "ɲ", "ƞ", "ɵ", "ơ", "ơ", "ƣ", "ƣ", "ƥ", "ƥ", "ʀ", "ƨ", "ƨ", "ʃ", "ƪ", "ƫ", "ƭ", "ƭ", "ʈ", "ư",
    "ư", "ʊ", "ʋ", "ƴ", "ƴ", "ƶ", "ƶ", "ʒ", "ƹ", "ƹ", "ƺ", "ƻ", "ƽ", "ƽ", "ƾ", "ƿ", "ǀ", "ǁ", "ǂ", "ǃ",
    "ǆ", "ǆ", "ǆ", "ǉ", "ǉ", "ǉ", "ǌ", "ǌ", "ǌ", "ǎ", "ǎ", "ǐ", "ǐ", "ǒ", "ǒ", "ǔ", "ǔ", "ǖ", "ǖ", "ǘ",
    "ǘ", "ǚ", "ǚ", "ǜ", "ǜ", "ǝ", "ǟ", "ǟ", "ǡ", "ǡ", "ǣ", "ǣ", "ǥ", "ǥ", "ǧ", "ǧ", "ǩ", "ǩ", "ǫ", "ǫ",
    "ǭ", "ǭ", "ǯ", "ǯ", "ǰ", "ǳ", "ǳ", "ǳ", "ǵ", "ǵ", "ƕ", "ƿ", "ǹ", "ǹ", "ǻ", "ǻ", "ǽ", "ǽ", "ǿ", "ǿ",
    "ȁ", "ȁ", "ȃ", "ȃ", "ȅ", "ȅ", "ȇ", "ȇ", "ȉ", "ȉ", "ȋ", "ȋ", "ȍ", "ȍ", "ȏ", "ȏ", "ȑ", "ȑ", "ȓ", "ȓ",
    "ȕ", "ȕ", "ȗ", "ȗ", "ș", "ș", "ț", "ț", "ȝ", "ȝ", "ȟ", "ȟ", "ƞ", "ȡ", "ȣ", "ȣ", "ȥ", "ȥ", "ȧ", "ȧ",
    "ȩ", "ȩ", "ȫ", "ȫ", "ȭ", "ȭ", "ȯ", "ȯ", "ȱ", "ȱ", "ȳ", "ȳ", "ȴ", "ȵ", "ȶ", "ȷ", "ȸ", "ȹ", "ⱥ", "ȼ",
    "ȼ", "ƚ", "ⱦ", "ȿ", "ɀ", "ɂ", "ɂ", "ƀ", "ʉ", "ʌ", "ɇ", "ɇ", "ɉ", "ɉ", "ɋ", "ɋ", "ɍ", "ɍ", "ɏ", "ɏ"};

constexpr char32_t kLatinFirst = 0xC0;
constexpr char32_t kLatinLast = 0x24F;

bool isInvisible(char32_t cp)
{
    return (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) || cp == 0x2060 ||
           (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF || cp == 0x061C || cp == 0x00AD;
}

// The small letter of a Greek, Cyrillic or Armenian capital; the letter itself otherwise.
char32_t smallLetter(char32_t cp)
{
    if ((cp >= 0x0391 && cp <= 0x03A9 && cp != 0x03A2) || (cp >= 0x0410 && cp <= 0x042F))
        return cp + 0x20;
    if (cp == 0x03C2) // final sigma
        return 0x03C3;
    if (cp >= 0x0400 && cp <= 0x040F)
        return cp + 0x50;
    if (((cp >= 0x0460 && cp <= 0x0481) || (cp >= 0x048A && cp <= 0x04BF) ||
         (cp >= 0x04D0 && cp <= 0x052F)) &&
        cp % 2 == 0)
        return cp + 1;
    if (cp >= 0x04C1 && cp <= 0x04CE && cp % 2 == 1)
        return cp + 1;
    if (cp >= 0x0531 && cp <= 0x0556)
        return cp + 0x30;
    return cp;
}

template <bool kTurkish> void appendFoldedText(std::string &out, std::string_view utf8)
{
    out.reserve(out.size() + utf8.size());
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            ++i;
            if (byte == ' ' || byte == '\t') {
                if (out.size() > start && out.back() != ' ')
                    out.push_back(' ');
            } else if (byte >= 'A' && byte <= 'Z') {
                if (kTurkish && byte == 'I')
                    ansi::appendUtf8(out, 0x0131);
                else
                    out.push_back(static_cast<char>(byte + ('a' - 'A')));
            } else {
                out.push_back(static_cast<char>(byte));
            }
            continue;
        }
        const std::size_t at = i;
        char32_t cp = 0;
        if (!ansi::decodeUtf8(utf8, i, cp)) {
            out.append(utf8.substr(at, i - at)); // not UTF-8: the byte as it is
            continue;
        }
        if (isInvisible(cp) || (!kTurkish && cp >= 0x0300 && cp <= 0x036F))
            continue;
        if (cp >= kLatinFirst && cp <= kLatinLast) {
            out.append((kTurkish ? kLatinLower : kLatinBase)[cp - kLatinFirst]);
            continue;
        }
        if (!kTurkish && (cp == 0x0451 || cp == 0x0401)) // ё, Ё
            cp = 0x0435;
        ansi::appendUtf8(out, smallLetter(cp));
    }
    if (out.size() > start && out.back() == ' ')
        out.pop_back();
}

} // namespace

void appendCaseFolded(std::string &out, std::string_view utf8)
{
    appendFoldedText<false>(out, utf8);
}

void appendTurkishFolded(std::string &out, std::string_view utf8)
{
    appendFoldedText<true>(out, utf8);
}

namespace {

// The Arabic script's blocks: the letters and marks, their supplements and presentation forms.
bool isArabicScript(char32_t cp)
{
    return (cp >= 0x0600 && cp <= 0x06FF) || (cp >= 0x0750 && cp <= 0x077F) ||
           (cp >= 0x08A0 && cp <= 0x08FF) || (cp >= 0xFB50 && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFC);
}

} // namespace

void appendMixedFolded(std::string &out, std::string_view utf8)
{
    // Runs of one script each, a run ending at a blank, folded as their script asks; the blank
    // stands after the folded run, one for any number.
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t end = i;
        bool arabic = false;
        bool first = true;
        bool blank = false;
        while (end < utf8.size()) {
            std::size_t next = end;
            char32_t cp = 0;
            ansi::decodeUtf8(utf8, next, cp);
            blank = cp == ' ' || cp == '\t';
            if (!blank && !first && isArabicScript(cp) != arabic)
                break;
            if (first && !blank) {
                arabic = isArabicScript(cp);
                first = false;
            }
            end = next;
            if (blank)
                break;
        }
        (arabic ? appendFolded : appendCaseFolded)(out, utf8.substr(i, end - i));
        if (blank && out.size() > start && out.back() != ' ')
            out.push_back(' ');
        i = end;
    }
    if (out.size() > start && out.back() == ' ')
        out.pop_back();
}

FoldFunction foldFor(std::string_view language)
{
    if (isArabicScriptLanguage(language))
        return appendFolded;
    if (ansi::equalsNoCase(language, "Turkish") || ansi::equalsNoCase(language, "Azerbaijani"))
        return appendTurkishFolded;
    return appendCaseFolded;
}

std::string_view foldName(FoldFunction fold)
{
    if (fold == appendTurkishFolded)
        return "turkish";
    if (fold == appendMixedFolded)
        return "mixed";
    return fold == appendCaseFolded ? "case" : "";
}

std::vector<std::pair<std::size_t, std::size_t>> foldedMatches(FoldFunction fold, std::string_view text,
                                                               const SearchWords &words)
{
    // The text folded a character at a time, each folded byte knowing the character it came from.
    std::string folded;
    std::vector<std::size_t> from; // for each folded byte, the offset of its character in text
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
        char32_t cp = 0;
        ansi::decodeUtf8(text, i, cp);
        if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r') { // a note's lines run on
            if (!folded.empty() && folded.back() != ' ')
                folded.push_back(' ');
        } else {
            fold(folded, text.substr(at, i - at));
        }
        from.resize(folded.size(), at);
    }
    from.push_back(text.size());
    std::vector<bool> marked(text.size() + 1, false);
    for (int k = 0; k < words.count; ++k) {
        std::string needle;
        fold(needle, words.words[static_cast<std::size_t>(k)]);
        if (needle.empty())
            continue;
        for (std::size_t p = folded.find(needle); p != std::string::npos; p = folded.find(needle, p + 1)) {
            // From the first character of the match to the end of its last.
            const std::size_t last = from[p + needle.size() - 1];
            std::size_t end = last;
            char32_t cp = 0;
            ansi::decodeUtf8(text, end, cp);
            std::fill(marked.begin() + static_cast<std::ptrdiff_t>(from[p]),
                      marked.begin() + static_cast<std::ptrdiff_t>(end), true);
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (marked[i] && (ranges.empty() || ranges.back().second != i))
            ranges.emplace_back(i, i + 1);
        else if (marked[i])
            ranges.back().second = i + 1;
    return ranges;
}

} // namespace velmora
