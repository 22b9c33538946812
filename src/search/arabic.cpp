#include "arabic.h"

#include "core/catalogue.h"
#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <functional>

namespace velmora {
namespace {

// One UTF-8 sequence at text[i] as a code point; advances i (by one byte for a malformed one,
// which stays as it is).
char32_t nextCodePoint(std::string_view text, std::size_t &i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || i + length > text.size()) {
        ++i;
        return lead;
    }
    char32_t cp = lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    i += length;
    return cp;
}

constexpr bool isLeftOut(char32_t cp)
{
    return cp == 0x0640 || (cp >= 0x064B && cp <= 0x065F) || cp == 0x0670 || (cp >= 0x06D6 && cp <= 0x06ED);
}

constexpr char32_t foldedLetter(char32_t cp)
{
    switch (cp) {
    case 0x0623: // alef with hamza above
    case 0x0625: // alef with hamza below
    case 0x0622: // alef with madda
    case 0x0671: // alef wasla
        return 0x0627;
    case 0x0649: // alef maksura
    case 0x0626: // yeh with hamza
        return 0x064A;
    case 0x0629: // teh marbuta
        return 0x0647;
    case 0x0624: // waw with hamza
        return 0x0648;
    default:
        return cp;
    }
}

// The words of a text: its runs between blanks, as byte ranges.
std::vector<std::pair<std::size_t, std::size_t>> wordsOf(std::string_view text)
{
    std::vector<std::pair<std::size_t, std::size_t>> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t begin = text.find_first_not_of(' ', at);
        if (begin == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find(' ', begin), text.size());
        words.emplace_back(begin, end);
        at = end;
    }
    return words;
}

std::string withoutAlefs(std::string folded)
{
    const std::string alef = "\xD8\xA7";
    for (std::size_t at = folded.find(alef); at != std::string::npos; at = folded.find(alef, at))
        folded.erase(at, alef.size());
    return folded;
}

std::string itemsFound(std::size_t n)
{
    return std::to_string(n) + " items found";
}

} // namespace

namespace {

// What folding does to each code point of the Arabic block, U+0600 to U+06FF (all two bytes long in
// UTF-8): 0 keeps it, kDropped leaves it out, any other value is the code point written instead.
constexpr char16_t kDropped = 0xFFFF;
constexpr std::array<char16_t, 256> kFoldTable = [] {
    std::array<char16_t, 256> table{};
    for (char32_t cp = 0x0600; cp <= 0x06FF; ++cp) {
        const std::size_t i = cp - 0x0600;
        if (isLeftOut(cp))
            table[i] = kDropped;
        else if (foldedLetter(cp) != cp)
            table[i] = static_cast<char16_t>(foldedLetter(cp));
    }
    return table;
}();

} // namespace

std::string foldArabic(std::string_view utf8)
{
    std::string out;
    appendFolded(out, utf8);
    return out;
}

void appendFolded(std::string &out, std::string_view utf8)
{
    // One pass over the bytes: the Arabic block's two-byte sequences through the table, every
    // other byte as it is. Folding never lengthens a text.
    const std::size_t had = out.size();
    out.resize(had + utf8.size());
    char *to = out.data() + had;
    const auto *at = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = at + utf8.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0xD8 || lead > 0xDB || at + 1 == end || (at[1] & 0xC0) != 0x80) {
            *to++ = static_cast<char>(*at++);
            continue;
        }
        const std::size_t cp = ((lead & 0x1Fu) << 6 | (at[1] & 0x3Fu)) - 0x0600;
        const char16_t fold = kFoldTable[cp];
        if (fold == 0) {
            *to++ = static_cast<char>(lead);
            *to++ = static_cast<char>(at[1]);
        } else if (fold != kDropped) {
            *to++ = static_cast<char>(0xC0 | (fold >> 6));
            *to++ = static_cast<char>(0x80 | (fold & 0x3F));
        }
        at += 2;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

bool holdsArabic(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = nextCodePoint(utf8, i);
        if ((cp >= 0x0600 && cp <= 0x06FF) || (cp >= 0x0750 && cp <= 0x077F) ||
            (cp >= 0xFB50 && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFF))
            return true;
    }
    return false;
}

ArabicIndex::ArabicIndex(const QuranText &searchText) : text_(searchText)
{
    starts_.reserve(text_.verses().size());
    std::size_t total = 0;
    for (const auto &verse : text_.verses())
        total += verse.text.size() + 1;
    folded_.reserve(total);
    for (const auto &verse : text_.verses()) {
        starts_.push_back(folded_.size());
        appendFolded(folded_, verse.text);
        folded_.push_back('\n');
    }
}

std::string_view ArabicIndex::folded(std::size_t verse) const
{
    const std::size_t end = verse + 1 < starts_.size() ? starts_[verse + 1] : folded_.size();
    return std::string_view(folded_).substr(starts_[verse], end - starts_[verse] - 1);
}

std::vector<std::size_t> ArabicIndex::versesHolding(std::string_view needle) const
{
    std::vector<std::size_t> verses;
    if (needle.empty()) {
        verses.resize(starts_.size());
        for (std::size_t v = 0; v < verses.size(); ++v)
            verses[v] = v;
        return verses;
    }
    // The letters of an Arabic needle all begin with one of four bytes, so a search that looks for
    // its first byte finds a candidate at every other place: the searcher skips by the whole needle.
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    const char *const begin = folded_.data();
    const char *const end = begin + folded_.size();
    const char *at = std::search(begin, end, searcher);
    while (at != end) {
        const auto offset = static_cast<std::size_t>(at - begin);
        const std::size_t verse =
            static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                                     starts_.begin()) -
            1;
        verses.push_back(verse);
        // On from the next verse: one hit a verse.
        if (verse + 1 >= starts_.size())
            break;
        at = std::search(begin + starts_[verse + 1], end, searcher);
    }
    return verses;
}

ArabicOutcome runArabicQuery(const ArabicIndex &index, std::string_view query, SearchWords &words)
{
    ArabicOutcome out;
    words.count = 1;
    const std::optional<std::string_view> phrase = phraseOf(query);
    std::vector<std::string> needles;
    if (phrase) {
        words.words[0] = std::string(*phrase);
        needles.push_back(foldArabic(*phrase));
    } else {
        const std::size_t blanks = static_cast<std::size_t>(std::count(query.begin(), query.end(), ' '));
        if (blanks + 1 > kMaxSearchWords) {
            out.countText = itemsFound(0);
            out.problem =
                "A search can hold at most five words. Please leave out the words beyond the fifth.";
            return out;
        }
        words.count = static_cast<int>(blanks) + 1;
        std::size_t start = 0;
        for (int k = 0; k < words.count; ++k) {
            const std::size_t blank = std::min(query.find(' ', start), query.size());
            words.words[static_cast<std::size_t>(k)] = std::string(query.substr(start, blank - start));
            needles.push_back(foldArabic(words.words[static_cast<std::size_t>(k)]));
            start = blank + 1;
        }
    }
    if (!needles.front().empty()) {
        out.verses = index.versesHolding(needles.front());
        for (std::size_t k = 1; k < needles.size(); ++k)
            std::erase_if(out.verses, [&](std::size_t v) {
                return index.folded(v).find(needles[k]) == std::string_view::npos;
            });
    }
    out.countText =
        phrase ? std::to_string(out.verses.size()) + " items found for '" + std::string(*phrase) + "'"
               : itemsFound(out.verses.size());
    return out;
}

std::vector<std::pair<std::size_t, std::size_t>>
arabicMarks(std::string_view readingVerse, std::string_view searchedVerse, const SearchWords &words)
{
    // Every word of the query, those of a phrase each on its own.
    std::vector<std::string> needles;
    for (int k = 0; k < words.count && k < static_cast<int>(words.words.size()); ++k) {
        const std::string folded = foldArabic(words.words[static_cast<std::size_t>(k)]);
        for (const auto &[begin, end] : wordsOf(folded))
            needles.push_back(folded.substr(begin, end - begin));
    }
    const auto reading = wordsOf(readingVerse);
    const auto searched = wordsOf(searchedVerse);
    const auto holdsNeedle = [&](const std::string &folded) {
        return std::any_of(needles.begin(), needles.end(),
                           [&](const std::string &n) { return folded.find(n) != std::string::npos; });
    };
    std::vector<std::pair<std::size_t, std::size_t>> marks;
    for (std::size_t w = 0; w < reading.size(); ++w) {
        const auto [begin, end] = reading[w];
        bool marked = false;
        if (reading.size() == searched.size()) {
            marked = holdsNeedle(
                foldArabic(searchedVerse.substr(searched[w].first, searched[w].second - searched[w].first)));
        } else {
            const std::string skeleton = withoutAlefs(foldArabic(readingVerse.substr(begin, end - begin)));
            marked = std::any_of(needles.begin(), needles.end(), [&](const std::string &n) {
                const std::string needle = withoutAlefs(n);
                return !needle.empty() && skeleton.find(needle) != std::string::npos;
            });
        }
        if (marked)
            marks.emplace_back(begin, end);
    }
    return marks;
}

std::string arabicEntry(const QuranText::Verse &verse)
{
    return ThreeDigits(verse.surah) + "." + std::to_string(verse.aya) + ") " + std::string(verse.text);
}

} // namespace velmora
