#include "ansi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
// The C library's header is C (it uses _Bool), which only GCC takes in C++ as well.
#if defined(__GLIBC__) && !defined(__clang__) && __has_include(<sys/platform/x86.h>)
#define VELMORA_LIBC_CPU_FEATURES 1
#include <sys/platform/x86.h>
#endif
#endif

namespace velmora::ansi {
namespace {

struct CaseTables
{
    std::array<char, 256> up{};
    std::array<char, 256> down{};
    CaseTables()
    {
        for (int i = 0; i < 256; ++i) {
            up[i] = static_cast<char>(i);
            down[i] = static_cast<char>(i);
        }
        auto pair = [this](int upper, int lower) {
            up[lower] = static_cast<char>(upper);
            down[upper] = static_cast<char>(lower);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7)
                pair(c, c + 32);
        pair(0x8A, 0x9A); // Š š
        pair(0x8C, 0x9C); // Œ œ
        pair(0x8E, 0x9E); // Ž ž
        pair(0x9F, 0xFF); // Ÿ ÿ
        rankCharacters();
    }

    // Places in list order, from the primary weights: punctuation, then digits, then letters, each
    // by its upper-case byte, an accented letter with its plain one (É with E).
    std::array<unsigned char, 256> rank{};

private:
    // The plain letter an accented capital sorts with; other bytes stand for themselves.
    static unsigned char baseLetter(unsigned char u)
    {
        static constexpr std::pair<unsigned char, unsigned char> kRuns[] = {
            {0xC0, 'A'}, {0xC6, 'A'}, {0xC7, 'C'}, {0xC8, 'E'}, {0xCC, 'I'}, {0xD0, 'D'}, {0xD1, 'N'},
            {0xD2, 'O'}, {0xD7, 0},   {0xD8, 'O'}, {0xD9, 'U'}, {0xDD, 'Y'}, {0xDE, 0},   {0xDF, 'S'}};
        switch (u) {
        case 0x8A:
            return 'S'; // Š
        case 0x8C:
            return 'O'; // Œ
        case 0x8E:
            return 'Z'; // Ž
        case 0x9F:
            return 'Y'; // Ÿ
        default:
            break;
        }
        if (u < 0xC0 || u > 0xDF)
            return u;
        unsigned char base = u;
        for (const auto &[first, letter] : kRuns)
            if (u >= first)
                base = letter ? letter : u;
        return base;
    }

    void rankCharacters()
    {
        std::array<int, 256> weights{};
        for (int c = 0; c < 256; ++c) {
            const auto u = baseLetter(static_cast<unsigned char>(up[c]));
            const bool digit = u >= '0' && u <= '9';
            const bool letter = (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7) ||
                                u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9F;
            weights[c] = (digit ? 0x200 : letter ? 0x300 : 0x100) + u;
        }
        std::array<int, 256> sorted = weights;
        std::sort(sorted.begin(), sorted.end());
        for (int c = 0; c < 256; ++c)
            rank[c] = static_cast<unsigned char>(std::lower_bound(sorted.begin(), sorted.end(), weights[c]) -
                                                 sorted.begin());
    }
};

const CaseTables &tables()
{
    static const CaseTables t;
    return t;
}

constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isIgnorable(unsigned char c)
{
    return c == '\'' || c == '-';
}

} // namespace

char toUpper(char c)
{
    return tables().up[static_cast<unsigned char>(c)];
}
char toLower(char c)
{
    return tables().down[static_cast<unsigned char>(c)];
}

void upperInto(std::string_view text, char *out)
{
    const auto &up = tables().up;
    const char *in = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    // Eight plain ASCII bytes at a time: only a-z change, by clearing their 0x20 bit.
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t high = 0x8080808080808080ULL;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        if (word & high) {
            for (std::size_t k = 0; k < 8; ++k)
                out[i + k] = up[static_cast<unsigned char>(in[i + k])];
            continue;
        }
        const std::uint64_t aboveA = word + (0x80 - 'a') * ones;     // high bit set where byte >= 'a'
        const std::uint64_t aboveZ = word + (0x80 - 'z' - 1) * ones; // high bit set where byte > 'z'
        const std::uint64_t lowerMask = (aboveA & ~aboveZ) & high;
        word ^= lowerMask >> 2; // 0x80 >> 2 == 0x20
        std::memcpy(out + i, &word, 8);
    }
    for (; i < n; ++i)
        out[i] = up[static_cast<unsigned char>(in[i])];
}

std::string upper(std::string_view text)
{
    std::string out(text.size(), '\0');
    upperInto(text, out.data());
    return out;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = toLower(c);
    return out;
}

char16_t toUnicode(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0)
        return kHigh[c - 0x80];
    return c;
}

char fromUnicode(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

namespace {

// Equal but for ignorable characters and case: the shorter first, then byte order.
int breakTie(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int collate(std::string_view a, std::string_view b)
{
    const auto &rank = tables().rank;
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && isIgnorable(static_cast<unsigned char>(a[i])))
            ++i;
        while (j < b.size() && isIgnorable(static_cast<unsigned char>(b[j])))
            ++j;
        if (i == a.size() || j == b.size())
            break;
        const int ra = rank[static_cast<unsigned char>(a[i])];
        const int rb = rank[static_cast<unsigned char>(b[j])];
        if (ra != rb)
            return ra < rb ? -1 : 1;
        ++i;
        ++j;
    }
    const bool aDone = i == a.size();
    const bool bDone = j == b.size();
    if (aDone != bDone)
        return aDone ? -1 : 1;
    return breakTie(a, b);
}

std::string collationKey(std::string_view text)
{
    const auto &rank = tables().rank;
    std::string key;
    key.reserve(text.size());
    for (const char c : text)
        if (!isIgnorable(static_cast<unsigned char>(c)))
            key.push_back(static_cast<char>(rank[static_cast<unsigned char>(c)]));
    return key;
}

int collateWithKeys(std::string_view keyA, std::string_view a, std::string_view keyB, std::string_view b)
{
    const int c = keyA.compare(keyB); // char_traits<char> compares as unsigned bytes
    if (c != 0)
        return c < 0 ? -1 : 1;
    return breakTie(a, b);
}

std::vector<std::size_t> listOrder(const std::vector<std::string> &texts)
{
    std::vector<std::string> keys;
    keys.reserve(texts.size());
    for (const auto &text : texts)
        keys.push_back(collationKey(text));
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return collateWithKeys(keys[a], texts[a], keys[b], texts[b]) < 0;
    });
    return order;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toUpper(a[i]) != toUpper(b[i]))
            return false;
    return true;
}

NoCaseFinder::NoCaseFinder(std::string_view needle) : upper_(upper(needle))
{
    if (!upper_.empty()) {
        first_ = {upper_.front(), toLower(upper_.front())};
        last_ = {upper_.back(), toLower(upper_.back())};
    }
}

#if defined(__SSE2__) || (defined(__GNUC__) && defined(__x86_64__))
namespace {

// The candidate scans below mark in a bit mask the places (bit n: at + n) where the needle's first
// and last characters both stand; the first of them where the whole needle matches, or 32 for none.
std::size_t firstMatch(const NoCaseFinder &finder, const char *at, unsigned mask)
{
    for (; mask != 0; mask &= mask - 1) {
        const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
        if (finder.matchesAt(at + bit))
            return bit;
    }
    return 32;
}

} // namespace
#endif

#if defined(__GNUC__) && defined(__x86_64__)
#define VELMORA_HAVE_AVX2 1
namespace {

// The candidate scan of findFrom, 32 places at a time, for processors that have AVX2.
__attribute__((target("avx2"))) std::size_t avx2Find(const NoCaseFinder &finder, const char *base,
                                                     std::size_t size, std::size_t k, std::size_t &i,
                                                     const std::array<char, 2> &first,
                                                     const std::array<char, 2> &last)
{
    const __m256i f0 = _mm256_set1_epi8(first[0]);
    const __m256i f1 = _mm256_set1_epi8(first[1]);
    const __m256i l0 = _mm256_set1_epi8(last[0]);
    const __m256i l1 = _mm256_set1_epi8(last[1]);
    for (; i + k - 1 + 32 <= size; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(base + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(base + i + k - 1));
        const __m256i firstHere = _mm256_or_si256(_mm256_cmpeq_epi8(a, f0), _mm256_cmpeq_epi8(a, f1));
        const __m256i lastThere = _mm256_or_si256(_mm256_cmpeq_epi8(b, l0), _mm256_cmpeq_epi8(b, l1));
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(firstHere, lastThere)));
        if (const std::size_t bit = firstMatch(finder, base + i, mask); bit < 32)
            return i + bit;
    }
    return size;
}

bool hasAvx2()
{
#ifdef VELMORA_LIBC_CPU_FEATURES
    // What the C library found at start: asking the processor again costs a trap under a
    // hypervisor, at every start of the command-line tool.
    static const bool has = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool has = __builtin_cpu_supports("avx2");
#endif
    return has;
}

} // namespace
#endif

std::size_t NoCaseFinder::findFrom(std::string_view text, std::size_t from) const
{
    const std::size_t k = upper_.size();
    if (k == 0)
        return std::min(from, text.size());
    if (from >= text.size() || text.size() - from < k)
        return text.size();
    const char *base = text.data();
    std::size_t i = from;
#ifdef VELMORA_HAVE_AVX2
    if (hasAvx2()) {
        const std::size_t at = avx2Find(*this, base, text.size(), k, i, first_, last_);
        if (at < text.size())
            return at;
    }
#endif
#ifdef __SSE2__
    const __m128i f0 = _mm_set1_epi8(first_[0]);
    const __m128i f1 = _mm_set1_epi8(first_[1]);
    const __m128i l0 = _mm_set1_epi8(last_[0]);
    const __m128i l1 = _mm_set1_epi8(last_[1]);
    for (; i + k - 1 + 16 <= text.size(); i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i + k - 1));
        const __m128i firstHere = _mm_or_si128(_mm_cmpeq_epi8(a, f0), _mm_cmpeq_epi8(a, f1));
        const __m128i lastThere = _mm_or_si128(_mm_cmpeq_epi8(b, l0), _mm_cmpeq_epi8(b, l1));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(firstHere, lastThere)));
        if (const std::size_t bit = firstMatch(*this, base + i, mask); bit < 16)
            return i + bit;
    }
#endif
    for (; i + k <= text.size(); ++i)
        if ((base[i] == first_[0] || base[i] == first_[1]) && matchesAt(base + i))
            return i;
    return text.size();
}

bool NoCaseFinder::matchesAt(const char *at) const
{
    const auto &up = tables().up;
    for (std::size_t j = 0; j < upper_.size(); ++j)
        if (up[static_cast<unsigned char>(at[j])] != upper_[j])
            return false;
    return true;
}

} // namespace velmora::ansi
