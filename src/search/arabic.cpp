#include "arabic.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/utf8.h"
#include "search/presentationforms.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace velmora {
namespace {

constexpr bool isLeftOut(char32_t cp)
{
    return cp == 0x061C || cp == 0x0640 || (cp >= 0x064B && cp <= 0x065F) || cp == 0x0670 ||
           (cp >= 0x06D6 && cp <= 0x06ED);
}

constexpr char32_t foldedLetter(char32_t cp)
{
    switch (cp) {
    case 0x0623: // alef with hamza above
    case 0x0625: // alef with hamza below
    case 0x0622: // alef with madda
    case 0x0671: // alef wasla
    case 0x0670: // superscript alef: the Uthmani script's long a
        return 0x0627;
    case 0x0649: // alef maksura
        return 0x064A;
    case 0x0626:       // yeh with hamza
    case 0x0624:       // waw with hamza
    case 0x0654:       // hamza above
    case 0x0655:       // hamza below
        return 0x0621; // a hamza whatever its seat, which the spellings vary (مسئولا, مسؤولا)
    case 0x0629:       // teh marbuta
        return 0x0647;
    case 0x06CC: // Farsi yeh, as Persian and Urdu keyboards type it
    case 0x06D2: // yeh barree
        return 0x064A;
    case 0x06A9: // keheh, the Persian and Urdu kaf
        return 0x0643;
    case 0x06C1: // heh goal
    case 0x06BE: // heh doachashmee
        return 0x0647;
    default:
        return cp;
    }
}

constexpr char16_t kSmallAlef = 0x0670;
constexpr std::string_view kAlefBytes = "\xD8\xA7";
constexpr std::string_view kSmallAlefBytes = "\xD9\xB0";

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

// The place in the needle of the byte to look for first: the second byte of its first letter that
// is none of the seven most frequent (alef, lam, yeh, meem, waw, noon, heh), so that few places of
// the text hold it; else of its last letter. Every Arabic letter begins with one of four bytes,
// so a search that looks for the first byte stops at every other place of the text.
std::size_t anchorOf(std::string_view needle)
{
    constexpr std::string_view kFrequent[] = {"\xD8\xA7", "\xD9\x84", "\xD9\x8A", "\xD9\x85",
                                              "\xD9\x88", "\xD9\x86", "\xD9\x87"};
    std::size_t last = needle.size() - 1;
    for (std::size_t i = 0; i + 1 < needle.size(); ++i) {
        const auto lead = static_cast<unsigned char>(needle[i]);
        if (lead < 0xD8 || lead > 0xDB)
            continue;
        last = i + 1;
        const std::string_view letter = needle.substr(i, 2);
        if (std::find(std::begin(kFrequent), std::end(kFrequent), letter) == std::end(kFrequent))
            return i + 1;
        ++i;
    }
    return last;
}

// The place of a second byte to test with the anchor: the second byte of a letter in the needle
// farthest from the anchor, else the byte before the anchor. Two bytes apart that must both match
// leave few places to compare whole, the fewer the farther apart they stand (لـه is everywhere,
// الـه rarer).
std::size_t partnerOf(std::string_view needle, std::size_t anchor)
{
    std::optional<std::size_t> partner;
    const auto distance = [&](std::size_t i) { return i > anchor ? i - anchor : anchor - i; };
    for (std::size_t i = 1; i < needle.size(); ++i)
        if (i != anchor && static_cast<unsigned char>(needle[i]) >= 0x80 &&
            static_cast<unsigned char>(needle[i]) < 0xC0 && (!partner || distance(i) > distance(*partner)))
            partner = i;
    return partner ? *partner : anchor > 0 ? anchor - 1 : anchor;
}

// The first place of the needle in [begin, end), or end. Sixteen places at a time are tested for
// both probe bytes at once; only those holding both are compared whole.
const char *findBytes(const char *begin, const char *end, std::string_view needle, std::size_t anchor,
                      [[maybe_unused]] std::size_t partner)
{
    const std::size_t size = needle.size();
    if (static_cast<std::size_t>(end - begin) < size)
        return end;
    const char *const last = end - size; // the last place the needle may start
    const char *at = begin;
#ifdef __SSE2__
    const __m128i a = _mm_set1_epi8(needle[anchor]);
    const __m128i b = _mm_set1_epi8(needle[partner]);
    for (; at + 15 <= last; at += 16) {
        const __m128i hereA = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + anchor));
        const __m128i hereB = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + partner));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(hereA, a), _mm_cmpeq_epi8(hereB, b))));
        for (; mask != 0; mask &= mask - 1) {
            const char *start = at + __builtin_ctz(mask);
            if (std::memcmp(start, needle.data(), size) == 0)
                return start;
        }
    }
#endif
    for (; at <= last; ++at) {
        at = static_cast<const char *>(
            std::memchr(at + anchor, needle[anchor], static_cast<std::size_t>(last - at) + 1));
        if (!at)
            return end;
        at -= anchor;
        if (std::memcmp(at, needle.data(), size) == 0)
            return at;
    }
    return end;
}

std::string withoutAlefs(std::string folded)
{
    const std::string alef = "\xD8\xA7";
    for (std::size_t at = folded.find(alef); at != std::string::npos; at = folded.find(alef, at))
        folded.erase(at, alef.size());
    return folded;
}

// A folded needle looked for in the reading text folded with its superscript alefs, each of them
// taken as an alef or as nothing. The places of the needle reached so far are stepped on one letter
// of the text at a time, a new start at each: as the bits of a word for a needle of up to 63 bytes
// (bit j: its first j bytes matched), as a list for a longer one.
class SpeltNeedle
{
public:
    explicit SpeltNeedle(std::string_view needle) : needle_(needle)
    {
        if (needle.size() >= 64)
            return;
        for (std::size_t j = 0; j < needle.size(); ++j) {
            bytes_[static_cast<unsigned char>(needle[j])] |= std::uint64_t{1} << (j + 1);
            if (needle.substr(j, 2) == kAlefBytes)
                alefs_ |= std::uint64_t{1} << j;
        }
    }

    bool foundIn(std::string_view text) const
    {
        if (needle_.empty())
            return true;
        if (needle_.size() < 64)
            return foundByBits(text);
        if (text.find(needle_) != std::string_view::npos)
            return true;
        return text.find(kSmallAlefBytes) != std::string_view::npos && foundByList(text);
    }

private:
    static bool smallAlefAt(std::string_view text, std::size_t at)
    {
        return text[at] == kSmallAlefBytes[0] && at + 1 < text.size() && text[at + 1] == kSmallAlefBytes[1];
    }

    bool foundByBits(std::string_view text) const
    {
        const std::uint64_t whole = std::uint64_t{1} << needle_.size();
        std::uint64_t reached = 0;
        for (std::size_t at = 0; at < text.size();) {
            if (reached == 0 && needle_.size() >= 2) {
                // Nothing under way: on to the next place the needle's first two bytes stand.
                const std::size_t second = text.find(needle_[1], at + 1);
                if (second == std::string_view::npos)
                    return false;
                if (text[second - 1] != needle_[0]) {
                    at = second;
                    continue;
                }
                at = second - 1;
            }
            if (smallAlefAt(text, at)) {
                reached |= ((reached | 1) & alefs_) << 2;
                at += 2;
            } else {
                reached = ((reached | 1) << 1) & bytes_[static_cast<unsigned char>(text[at])];
                ++at;
            }
            if (reached & whole)
                return true;
        }
        return false;
    }

    bool foundByList(std::string_view text) const
    {
        std::vector<std::size_t> reached;
        std::vector<std::size_t> next;
        for (std::size_t at = 0; at < text.size();) {
            reached.push_back(0);
            const bool small = smallAlefAt(text, at);
            next.clear();
            for (const std::size_t j : reached) {
                if (small) {
                    next.push_back(j);
                    if (needle_.substr(j, 2) == kAlefBytes)
                        next.push_back(j + 2);
                } else if (needle_[j] == text[at]) {
                    next.push_back(j + 1);
                }
            }
            at += small ? 2 : 1;
            std::sort(next.begin(), next.end());
            next.erase(std::unique(next.begin(), next.end()), next.end());
            if (!next.empty() && next.back() == needle_.size())
                return true;
            reached.swap(next);
        }
        return false;
    }

    std::string_view needle_;
    std::array<std::uint64_t, 256> bytes_{}; // bit j + 1 where the needle's byte j is this one
    std::uint64_t alefs_ = 0;                // bit j where an alef starts at the needle's byte j
};

bool holdsTakingSmallAlefs(std::string_view text, std::string_view needle)
{
    return SpeltNeedle(needle).foundIn(text);
}

std::string foldedReading(std::string_view utf8)
{
    std::string out;
    appendFoldedReading(out, utf8);
    return out;
}

std::string itemsFound(std::size_t n)
{
    return std::to_string(n) + " items found";
}

} // namespace

namespace {

// What folding does to each code point of the Arabic block, U+0600 to U+06FF (all two bytes long in
// UTF-8): 0 keeps it, kDropped leaves it out, any other value is the code point written instead.
// The reading text's folding keeps the superscript alef, which a query may take as an alef or as
// nothing, and a hamza's seat: there ؤ is و and ئ is ي, the hamza marks above and below are left
// out, so that a word typed with its seat and no hamza (مومن) finds the word (مؤمن).
constexpr char16_t kDropped = 0xFFFF;
using FoldTable = std::array<char16_t, 256>;
enum class Seats
{
    Dropped,
    Kept
};
constexpr FoldTable foldTable(bool keepSmallAlef, Seats seats)
{
    FoldTable table{};
    for (char32_t cp = 0x0600; cp <= 0x06FF; ++cp) {
        const std::size_t i = cp - 0x0600;
        if (keepSmallAlef && cp == kSmallAlef)
            table[i] = 0;
        else if (seats == Seats::Kept && (cp == 0x0624 || cp == 0x0626))
            table[i] = cp == 0x0624 ? 0x0648 : 0x064A;
        else if ((seats == Seats::Kept && (cp == 0x0654 || cp == 0x0655)) ||
                 (foldedLetter(cp) == cp && isLeftOut(cp)))
            table[i] = kDropped; // a seat's hamza mark, or a mark the search leaves out
        else if (foldedLetter(cp) != cp)
            table[i] = static_cast<char16_t>(foldedLetter(cp));
    }
    return table;
}
constexpr FoldTable kFoldTable = foldTable(false, Seats::Dropped);
constexpr FoldTable kReadingFoldTable = foldTable(true, Seats::Kept);
// A query as the reading text is searched for it: its seats kept, a superscript alef an alef.
constexpr FoldTable kReadingQueryTable = foldTable(false, Seats::Kept);

} // namespace

std::string foldArabic(std::string_view utf8)
{
    std::string out;
    appendFolded(out, utf8);
    return out;
}

namespace {

// The length of the invisible mark at the bytes, 0 for none: the zero-width space, non-joiner and
// joiner, the direction marks and embeddings, the word joiner and the byte order mark, which pasted
// and typed Arabic often carries and which no text holds.
std::size_t invisibleMarkAt(const unsigned char *at, const unsigned char *end)
{
    if (end - at < 3)
        return 0;
    if (at[0] == 0xEF)
        return at[1] == 0xBB && at[2] == 0xBF ? 3 : 0;
    if (at[0] != 0xE2)
        return 0;
    if (at[1] == 0x80)
        return (at[2] >= 0x8B && at[2] <= 0x8F) || (at[2] >= 0xAA && at[2] <= 0xAE) ? 3 : 0;
    return at[1] == 0x81 && (at[2] == 0xA0 || (at[2] >= 0xA6 && at[2] <= 0xA9)) ? 3 : 0;
}

} // namespace

namespace {

// The letters of the Arabic presentation form that a three-byte sequence at the offset spells; ""
// when it spells none (unassigned places of the blocks among them).
std::string_view presentationFormAt(std::string_view text, std::size_t at)
{
    if (at + 2 >= text.size() || static_cast<unsigned char>(text[at]) != 0xEF)
        return {};
    std::size_t i = at;
    char32_t cp = 0;
    if (!ansi::decodeUtf8(text, i, cp) || cp < 0xFB50)
        return {};
    const auto *form =
        std::lower_bound(std::begin(kPresentationForms), std::end(kPresentationForms), cp,
                         [](const auto &entry, char32_t wanted) { return entry.first < wanted; });
    return form != std::end(kPresentationForms) && form->first == cp ? form->second : std::string_view();
}

// The text with each presentation form written as the letters it stands for (ﻟﺎ as لا, ﷲ as الله);
// nullopt when it holds none.
std::optional<std::string> withoutPresentationForms(std::string_view utf8)
{
    std::optional<std::string> plain;
    std::size_t copied = 0;
    for (std::size_t at = utf8.find('\xEF'); at != std::string_view::npos; at = utf8.find('\xEF', at + 1)) {
        const std::string_view letters = presentationFormAt(utf8, at);
        if (letters.empty())
            continue;
        if (!plain)
            plain.emplace().reserve(utf8.size() + 16);
        plain->append(utf8.substr(copied, at - copied)).append(letters);
        copied = at + 3;
        at += 2;
    }
    if (plain)
        plain->append(utf8.substr(copied));
    return plain;
}

} // namespace

namespace {

void appendFoldedLetters(std::string &out, std::string_view utf8, const FoldTable &table);

void appendFoldedBy(std::string &out, std::string_view utf8, const FoldTable &table)
{
    // Presentation forms are first written as their letters, which may be more bytes than the form.
    if (const auto plain = withoutPresentationForms(utf8))
        appendFoldedLetters(out, *plain, table);
    else
        appendFoldedLetters(out, utf8, table);
}

} // namespace

void appendFolded(std::string &out, std::string_view utf8)
{
    appendFoldedBy(out, utf8, kFoldTable);
}

void appendFoldedReading(std::string &out, std::string_view utf8)
{
    appendFoldedBy(out, utf8, kReadingFoldTable);
}

namespace {

std::string foldedReadingQuery(std::string_view utf8)
{
    std::string out;
    appendFoldedBy(out, utf8, kReadingQueryTable);
    return out;
}

} // namespace

void appendSkeleton(std::string &out, std::string_view utf8)
{
    const std::size_t had = out.size();
    appendFoldedReading(out, utf8);
    const auto alef = [&](std::size_t at) {
        const std::string_view two = std::string_view(out).substr(at, 2);
        return two == kAlefBytes || two == kSmallAlefBytes;
    };
    std::size_t to = had;
    for (std::size_t at = had; at < out.size();) {
        if (alef(at)) {
            at += 2;
            continue;
        }
        out[to++] = out[at++];
    }
    out.resize(to);
}

namespace {

void appendFoldedLetters(std::string &out, std::string_view utf8, const FoldTable &table)
{
    // One pass over the bytes: the Arabic block's two-byte sequences through the table, invisible
    // marks left out, every other byte as it is; then the blanks that marks left out stood between
    // made one, and none at either end. Folding never lengthens a text.
    const std::size_t had = out.size();
    out.resize(had + utf8.size());
    char *const start = out.data() + had;
    char *to = start;
    const auto *at = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = at + utf8.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead == ' ') {
            if (to != start && to[-1] != ' ')
                *to++ = ' ';
            ++at;
            continue;
        }
        if (const std::size_t mark = invisibleMarkAt(at, end)) {
            at += mark;
            continue;
        }
        if (lead < 0xD8 || lead > 0xDB || at + 1 == end || (at[1] & 0xC0) != 0x80) {
            *to++ = static_cast<char>(*at++);
            continue;
        }
        const std::size_t cp = ((lead & 0x1Fu) << 6 | (at[1] & 0x3Fu)) - 0x0600;
        const char16_t fold = table[cp];
        if (fold == 0) {
            *to++ = static_cast<char>(lead);
            *to++ = static_cast<char>(at[1]);
        } else if (fold != kDropped) {
            *to++ = static_cast<char>(0xC0 | (fold >> 6));
            *to++ = static_cast<char>(0x80 | (fold & 0x3F));
        }
        at += 2;
    }
    if (to != start && to[-1] == ' ')
        --to;
    out.resize(static_cast<std::size_t>(to - out.data()));
}

} // namespace

bool holdsArabic(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        if (!ansi::decodeUtf8(utf8, i, cp))
            continue;
        if ((cp >= 0x0600 && cp <= 0x06FF) || (cp >= 0x0750 && cp <= 0x077F) ||
            (cp >= 0xFB50 && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFF))
            return true;
    }
    return false;
}

ArabicIndex::ArabicIndex(const QuranText &searchText, FoldFunction fold) : text_(&searchText), fold_(fold)
{
    starts_.reserve(searchText.verses().size());
    places_.reserve(searchText.verses().size());
    std::size_t total = 0;
    for (const auto &verse : searchText.verses())
        total += verse.text.size() + 1;
    made_.reserve(total);
    for (const auto &verse : searchText.verses()) {
        starts_.push_back(static_cast<std::uint32_t>(made_.size()));
        places_.push_back({static_cast<std::uint16_t>(verse.surah), static_cast<std::uint16_t>(verse.aya)});
        spans_.push_back(static_cast<std::uint32_t>(verse.text.data() - searchText.whole().data()));
        spans_.push_back(static_cast<std::uint32_t>(verse.text.size()));
        fold_(made_, verse.text);
        made_.push_back('\n');
    }
    folded_ = made_;
    makeLetterPairs();
}

ArabicIndex::ArabicIndex(ArabicIndex &&other) noexcept
    : text_(other.text_), fold_(other.fold_), made_(std::move(other.made_)), file_(std::move(other.file_)),
      starts_(std::move(other.starts_)), places_(std::move(other.places_)), spans_(std::move(other.spans_)),
      pairsMade_(std::move(other.pairsMade_))
{
    folded_ = file_ ? file_->text().substr(0, other.folded_.size()) : std::string_view(made_);
    pairs_ = file_ ? other.pairs_ : std::string_view(pairsMade_);
}

namespace {

// Calls f with the code of each pair of Arabic letters side by side in a text: each letter of the
// block U+0600 to U+06FF as its place there, the first in the high byte.
template <typename F> void forEachLetterPair(std::string_view text, F &&f)
{
    int previous = -1;
    for (std::size_t i = 0; i + 1 < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (lead < 0xD8 || lead > 0xDB || (next & 0xC0) != 0x80) {
            previous = -1;
            ++i;
            continue;
        }
        const int letter = (lead - 0xD8) << 6 | (next & 0x3F);
        if (previous >= 0)
            f(static_cast<std::uint16_t>(previous << 8 | letter));
        previous = letter;
        i += 2;
    }
}

template <typename T> T readAt(std::string_view data, std::size_t at)
{
    T value{};
    std::memcpy(&value, data.data() + at, sizeof value);
    return value;
}

std::size_t bitWords(std::size_t verses)
{
    return (verses + 63) / 64;
}

} // namespace

void ArabicIndex::makeLetterPairs()
{
    const std::size_t words = bitWords(starts_.size());
    std::vector<std::int32_t> slot(1 << 16, -1);
    std::vector<std::uint16_t> codes;
    std::vector<std::uint64_t> bits;
    for (std::size_t v = 0; v < starts_.size(); ++v)
        forEachLetterPair(folded(v), [&](std::uint16_t code) {
            if (slot[code] < 0) {
                slot[code] = static_cast<std::int32_t>(codes.size());
                codes.push_back(code);
                bits.resize(bits.size() + words);
            }
            bits[static_cast<std::size_t>(slot[code]) * words + v / 64] |= std::uint64_t{1} << (v % 64);
        });
    std::sort(codes.begin(), codes.end());
    const auto count = static_cast<std::uint32_t>(codes.size());
    pairsMade_.append(reinterpret_cast<const char *>(&count), sizeof count);
    pairsMade_.append(reinterpret_cast<const char *>(codes.data()), codes.size() * sizeof(std::uint16_t));
    for (const std::uint16_t code : codes)
        pairsMade_.append(
            reinterpret_cast<const char *>(bits.data() + static_cast<std::size_t>(slot[code]) * words),
            words * sizeof(std::uint64_t));
    pairs_ = pairsMade_;
}

std::optional<std::vector<std::uint64_t>> ArabicIndex::versesWithPairsOf(std::string_view needle) const
{
    if (pairs_.size() < sizeof(std::uint32_t))
        return std::nullopt;
    const auto count = readAt<std::uint32_t>(pairs_, 0);
    const std::size_t words = bitWords(starts_.size());
    const std::size_t bitsAt = sizeof(std::uint32_t) + count * sizeof(std::uint16_t);
    std::optional<std::vector<std::uint64_t>> verses;
    forEachLetterPair(needle, [&](std::uint16_t code) {
        if (!verses)
            verses.emplace(words, ~std::uint64_t{0});
        // The pair's place among the codes, found by halves.
        std::size_t low = 0;
        std::size_t high = count;
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (readAt<std::uint16_t>(pairs_, sizeof(std::uint32_t) + middle * sizeof(std::uint16_t)) < code)
                low = middle + 1;
            else
                high = middle;
        }
        const bool held =
            low < count &&
            readAt<std::uint16_t>(pairs_, sizeof(std::uint32_t) + low * sizeof(std::uint16_t)) == code;
        for (std::size_t w = 0; w < words; ++w)
            (*verses)[w] &=
                held ? readAt<std::uint64_t>(pairs_, bitsAt + (low * words + w) * sizeof(std::uint64_t)) : 0;
    });
    return verses;
}

namespace {

// What an index file was made from: the source's size and time of change.
std::string indexKey(const std::filesystem::path &source, std::string_view foldName)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(source, ec);
    if (ec)
        return {};
    const auto changed = std::filesystem::last_write_time(source, ec);
    if (ec)
        return {};
    // The number after the name is the folding's: an index folded by an earlier rule is made anew.
    // A translation's index names its folding and its file too: two folders may hold one ID.
    return "velmora-arabic-index 6 " +
           (foldName.empty() ? std::string() : std::string(foldName) + " " + utf8Of(source) + " ") +
           std::to_string(size) + " " + std::to_string(changed.time_since_epoch().count()) + "\n";
}

} // namespace

// The file holds the folded text first, so that it is read into place with no copy, then each
// verse's place, start and span in the source, the letter pairs' verses, the verse count, the folded text's
// length, the letter pairs' length, and last the key.
std::optional<ArabicIndex> ArabicIndex::load(const std::filesystem::path &indexFile,
                                             const std::filesystem::path &source, FoldFunction fold,
                                             std::string_view foldName)
{
    const std::string key = indexKey(source, foldName);
    auto file =
        key.empty() ? std::nullopt : MappedFile::open(indexFile, MappedFile::Use::Part, Links::Refuse);
    if (!file || !file->text().ends_with(key))
        return std::nullopt;
    const std::string_view data = file->text();
    std::uint32_t count = 0;
    std::uint64_t length = 0;
    std::uint64_t pairsLength = 0;
    const std::size_t trailer = sizeof count + sizeof length + sizeof pairsLength + key.size();
    if (data.size() < trailer)
        return std::nullopt;
    const std::size_t numbers = data.size() - trailer;
    count = readAt<std::uint32_t>(data, numbers);
    length = readAt<std::uint64_t>(data, numbers + sizeof count);
    pairsLength = readAt<std::uint64_t>(data, numbers + sizeof count + sizeof length);
    // The counts are the file's own: checked against what the file holds before any is used, by
    // division, so that no product or sum of them can wrap.
    constexpr std::size_t kEntry = sizeof(Place) + 3 * sizeof(std::uint32_t);
    if (pairsLength > numbers)
        return std::nullopt;
    const std::size_t held = numbers - static_cast<std::size_t>(pairsLength);
    if (count == 0 || length == 0 || count > held / kEntry || length != held - count * kEntry)
        return std::nullopt;
    const std::string_view pairs = data.substr(held, static_cast<std::size_t>(pairsLength));
    const std::uint32_t pairCount =
        pairs.size() >= sizeof(std::uint32_t) ? readAt<std::uint32_t>(pairs, 0) : 0;
    if (pairs.size() < sizeof(std::uint32_t) || pairCount > (1U << 16) ||
        pairs.size() != sizeof(std::uint32_t) +
                            pairCount * (sizeof(std::uint16_t) + bitWords(count) * sizeof(std::uint64_t)))
        return std::nullopt;
    ArabicIndex index;
    index.fold_ = fold;
    index.places_.resize(count);
    index.starts_.resize(count);
    std::memcpy(index.places_.data(), data.data() + length, count * sizeof(Place));
    std::memcpy(index.starts_.data(), data.data() + length + count * sizeof(Place),
                count * sizeof(std::uint32_t));
    index.spans_.resize(2 * std::size_t{count});
    std::memcpy(index.spans_.data(), data.data() + length + count * (sizeof(Place) + sizeof(std::uint32_t)),
                index.spans_.size() * sizeof(std::uint32_t));
    index.file_ = std::make_shared<MappedFile>(std::move(*file));
    index.folded_ = index.file_->text().substr(0, static_cast<std::size_t>(length));
    index.pairs_ = index.file_->text().substr(held, pairs.size());
    for (std::size_t i = 0; i < count; ++i)
        if (index.starts_[i] >= index.folded_.size() || (i > 0 && index.starts_[i] <= index.starts_[i - 1]))
            return std::nullopt; // damaged
    if (index.folded_.back() != '\n')
        return std::nullopt;
    return index;
}

bool ArabicIndex::save(const std::filesystem::path &indexFile, const std::filesystem::path &source,
                       std::string_view foldName) const
{
    const std::string key = indexKey(source, foldName);
    if (key.empty())
        return false;
    std::string data(folded_);
    const auto count = static_cast<std::uint32_t>(starts_.size());
    const auto length = static_cast<std::uint64_t>(folded_.size());
    data.append(reinterpret_cast<const char *>(places_.data()), places_.size() * sizeof(Place));
    data.append(reinterpret_cast<const char *>(starts_.data()), starts_.size() * sizeof(std::uint32_t));
    data.append(reinterpret_cast<const char *>(spans_.data()), spans_.size() * sizeof(std::uint32_t));
    data.append(pairs_);
    const auto pairsLength = static_cast<std::uint64_t>(pairs_.size());
    data.append(reinterpret_cast<const char *>(&count), sizeof count);
    data.append(reinterpret_cast<const char *>(&length), sizeof length);
    data.append(reinterpret_cast<const char *>(&pairsLength), sizeof pairsLength);
    data.append(key);
    return writeFileReplacing(indexFile, data);
}

std::string_view ArabicIndex::sourceText(std::string_view source, std::size_t verse) const
{
    if (2 * verse + 1 >= spans_.size())
        return {};
    const std::size_t at = spans_[2 * verse];
    const std::size_t size = spans_[2 * verse + 1];
    return at <= source.size() && size <= source.size() - at ? source.substr(at, size) : std::string_view();
}

std::string_view ArabicIndex::folded(std::size_t verse) const
{
    const std::size_t end = verse + 1 < starts_.size() ? starts_[verse + 1] : folded_.size();
    return folded_.substr(starts_[verse], end - starts_[verse] - 1);
}

std::vector<std::size_t> ArabicIndex::versesHolding(std::string_view needle,
                                                    const std::vector<std::uint64_t> &skip) const
{
    std::vector<std::size_t> verses;
    if (needle.empty()) {
        verses.resize(starts_.size());
        for (std::size_t v = 0; v < verses.size(); ++v)
            verses[v] = v;
        return verses;
    }
    const char *const begin = folded_.data();
    const char *const end = begin + folded_.size();
    const std::size_t anchor = anchorOf(needle);
    const std::size_t partner = partnerOf(needle, anchor);
    // Only the verses holding the needle's letter pairs are looked through; without such a pair, the
    // whole text.
    if (const auto candidates = versesWithPairsOf(needle)) {
        for (std::size_t w = 0; w < candidates->size(); ++w)
            for (std::uint64_t bits = (*candidates)[w] & ~(w < skip.size() ? skip[w] : 0); bits != 0;
                 bits &= bits - 1) {
                const std::size_t v = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
                const std::string_view verse = folded(v);
                if (findBytes(verse.data(), verse.data() + verse.size(), needle, anchor, partner) !=
                    verse.data() + verse.size())
                    verses.push_back(v);
            }
        return verses;
    }
    const char *at = findBytes(begin, end, needle, anchor, partner);
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
        at = findBytes(begin + starts_[verse + 1], end, needle, anchor, partner);
    }
    return verses;
}

ReadingSpellings::ReadingSpellings(const QuranText &reading, const ArabicIndex &searched)
    : spelt_(reading, appendFoldedReading), skeleton_(reading, appendSkeleton)
{
    placeBeside(searched);
}

ReadingSpellings::ReadingSpellings(ArabicIndex spelt, ArabicIndex skeleton, const ArabicIndex &searched)
    : spelt_(std::move(spelt)), skeleton_(std::move(skeleton))
{
    placeBeside(searched);
}

void ReadingSpellings::placeBeside(const ArabicIndex &searched)
{
    const std::size_t count = spelt_.size() == skeleton_.size() ? spelt_.size() : 0;
    toSearched_.assign(count, kNone);
    toReading_.assign(searched.size(), kNone);
    const auto same = [](const ArabicIndex::Place &a, const ArabicIndex::Place &b) {
        return a.surah == b.surah && a.aya == b.aya;
    };
    // Most often verse v of the one is verse v of the other; else each is looked for by its place.
    const auto &places = spelt_.places();
    const auto key = [](const ArabicIndex::Place &p) { return std::uint32_t{p.surah} << 16 | p.aya; };
    std::vector<std::pair<std::uint32_t, std::size_t>> byPlace;
    for (std::size_t r = 0; r < count; ++r) {
        if (r < searched.size() && same(places[r], searched.places()[r])) {
            toSearched_[r] = r;
            toReading_[r] = r;
            continue;
        }
        if (byPlace.empty()) {
            for (std::size_t v = 0; v < searched.size(); ++v)
                byPlace.emplace_back(key(searched.places()[v]), v);
            std::sort(byPlace.begin(), byPlace.end());
        }
        const auto found =
            std::lower_bound(byPlace.begin(), byPlace.end(), std::pair(key(places[r]), std::size_t{0}));
        if (found != byPlace.end() && found->first == key(places[r])) {
            toSearched_[r] = found->second;
            toReading_[found->second] = r;
        }
    }
}

std::vector<std::size_t> ReadingSpellings::versesHolding(std::string_view foldedNeedle,
                                                         const std::vector<std::size_t> &found) const
{
    std::string skeleton;
    appendSkeleton(skeleton, foldedNeedle);
    const SpeltNeedle spelt(foldedNeedle);
    std::vector<std::uint64_t> skip((toSearched_.size() + 63) / 64);
    for (const std::size_t v : found)
        if (v < toReading_.size() && toReading_[v] != kNone)
            skip[toReading_[v] / 64] |= std::uint64_t{1} << (toReading_[v] % 64);
    std::vector<std::size_t> verses;
    for (const std::size_t r : skeleton_.versesHolding(skeleton, skip)) {
        if (r >= toSearched_.size() || toSearched_[r] == kNone)
            continue;
        const std::size_t v = toSearched_[r];
        if (!std::binary_search(found.begin(), found.end(), v) && spelt.foundIn(spelt_.folded(r)))
            verses.push_back(v);
    }
    std::sort(verses.begin(), verses.end());
    return verses;
}

bool ReadingSpellings::holds(std::size_t searchedVerse, std::string_view foldedNeedle) const
{
    if (searchedVerse >= toReading_.size() || toReading_[searchedVerse] == kNone)
        return false;
    const std::size_t r = toReading_[searchedVerse];
    std::string skeleton;
    appendSkeleton(skeleton, foldedNeedle);
    return skeleton_.folded(r).find(skeleton) != std::string_view::npos &&
           holdsTakingSmallAlefs(spelt_.folded(r), foldedNeedle);
}

bool ReadingSpellings::holdsWholeWords(std::size_t searchedVerse, const SearchWords &words) const
{
    const auto r = readingVerseOf(searchedVerse);
    if (!r)
        return false;
    // Blanks around the verse and each word: a word stands whole where it stands between blanks.
    const std::string verse = " " + std::string(spelt_.folded(*r)) + " ";
    for (int k = 0; k < words.count && k < static_cast<int>(words.words.size()); ++k) {
        const std::string word = " " + foldedReadingQuery(words.words[static_cast<std::size_t>(k)]) + " ";
        if (!SpeltNeedle(word).foundIn(verse))
            return false;
    }
    return true;
}

ArabicOutcome runArabicQuery(const ArabicIndex &index, std::string_view query, SearchWords &words,
                             const ReadingSpellings *reading)
{
    ArabicOutcome out;
    // Blanks around the query, as a paste brings them, are no part of it.
    const std::size_t first = query.find_first_not_of(' ');
    query = first == std::string_view::npos ? std::string_view() : query.substr(first);
    query = query.substr(0, query.find_last_not_of(' ') + 1);
    const std::optional<std::string_view> phrase = phraseOf(query);
    // The words of the query as the text is searched: folded, and split where blanks are left.
    std::string folded;
    index.fold()(folded, phrase ? *phrase : query);
    std::vector<std::string> needles;
    words.count = 1;
    if (phrase) {
        words.words[0] = std::string(*phrase);
        needles.push_back(folded);
    } else {
        const auto parts = wordsOf(folded);
        if (parts.size() > kMaxSearchWords) {
            out.countText = itemsFound(0);
            out.problem =
                "A search can hold at most five words. Please leave out the words beyond the fifth.";
            return out;
        }
        for (const auto &[begin, end] : parts)
            needles.push_back(folded.substr(begin, end - begin));
        if (needles.empty())
            needles.emplace_back();
        words.count = static_cast<int>(needles.size());
        // The words as typed where each stands for one searched word (what the reading text is
        // searched for keeps their hamzas' seats), else as folded.
        const auto typed = wordsOf(query);
        if (typed.size() == needles.size())
            for (std::size_t k = 0; k < typed.size(); ++k)
                words.words[k] = std::string(query.substr(typed[k].first, typed[k].second - typed[k].first));
        else
            std::copy(needles.begin(), needles.end(), words.words.begin());
    }
    std::vector<std::string> spelt;
    spelt.reserve(static_cast<std::size_t>(words.count));
    for (int k = 0; k < words.count; ++k)
        spelt.push_back(foldedReadingQuery(words.words[static_cast<std::size_t>(k)]));
    if (!needles.front().empty()) {
        // A word is in a verse when it is in its searched text or in its reading text's spelling.
        out.verses = index.versesHolding(needles.front());
        if (reading) {
            const std::vector<std::size_t> more = reading->versesHolding(spelt.front(), out.verses);
            std::vector<std::size_t> both;
            both.reserve(out.verses.size() + more.size());
            std::set_union(out.verses.begin(), out.verses.end(), more.begin(), more.end(),
                           std::back_inserter(both));
            out.verses = std::move(both);
        }
        for (std::size_t k = 1; k < needles.size(); ++k)
            std::erase_if(out.verses, [&](std::size_t v) {
                return index.folded(v).find(needles[k]) == std::string_view::npos &&
                       !(reading && reading->holds(v, spelt[k]));
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
    // Every word of the query, those of a phrase each on its own: as the searched text is folded,
    // and as the reading text's spelling is.
    std::vector<std::string> needles;
    std::vector<std::string> spelt;
    const auto addWords = [](std::vector<std::string> &to, const std::string &folded) {
        for (const auto &[begin, end] : wordsOf(folded))
            to.push_back(folded.substr(begin, end - begin));
    };
    for (int k = 0; k < words.count && k < static_cast<int>(words.words.size()); ++k) {
        addWords(needles, foldArabic(words.words[static_cast<std::size_t>(k)]));
        addWords(spelt, foldedReadingQuery(words.words[static_cast<std::size_t>(k)]));
    }
    const auto reading = wordsOf(readingVerse);
    const auto searched = wordsOf(searchedVerse);
    const auto holdsNeedle = [&](const std::string &folded) {
        return std::any_of(needles.begin(), needles.end(),
                           [&](const std::string &n) { return folded.find(n) != std::string::npos; });
    };
    const auto markedAt = [&](std::size_t w) {
        const auto [begin, end] = reading[w];
        const std::string word = foldedReading(readingVerse.substr(begin, end - begin));
        if (std::any_of(spelt.begin(), spelt.end(),
                        [&](const std::string &n) { return holdsTakingSmallAlefs(word, n); }))
            return true;
        if (reading.size() == searched.size())
            return holdsNeedle(
                foldArabic(searchedVerse.substr(searched[w].first, searched[w].second - searched[w].first)));
        const std::string skeleton = withoutAlefs(foldArabic(readingVerse.substr(begin, end - begin)));
        return std::any_of(needles.begin(), needles.end(), [&](const std::string &n) {
            const std::string needle = withoutAlefs(n);
            return !needle.empty() && skeleton.find(needle) != std::string::npos;
        });
    };
    std::vector<std::pair<std::size_t, std::size_t>> marks;
    for (std::size_t w = 0; w < reading.size(); ++w)
        if (markedAt(w))
            marks.push_back(reading[w]);
    return marks;
}

std::string arabicEntry(const QuranText::Verse &verse)
{
    return ThreeDigits(verse.surah) + "." + std::to_string(verse.aya) + ") " + std::string(verse.text);
}

} // namespace velmora
