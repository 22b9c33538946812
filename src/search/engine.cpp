#include "engine.h"

#include "platform/paths.h"
#include "core/ansi.h"
#include "core/safefile.h"
#include "core/textfield.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>

namespace velmora {
namespace {

std::string itemsFound(std::size_t n)
{
    return std::to_string(n) + " items found";
}

// A case-blind substring test over text already in upper case.
class UpperSearcher
{
public:
    explicit UpperSearcher(std::string needle)
        : needle_(std::move(needle)), searcher_(needle_.begin(), needle_.end())
    {
    }
    bool in(std::string_view upperText) const
    {
        return std::search(upperText.begin(), upperText.end(), searcher_) != upperText.end();
    }
    // Position of the first occurrence at or after from, or text.size().
    std::size_t findFrom(std::string_view text, std::size_t from) const
    {
        if (from >= text.size())
            return text.size();
#ifdef __SSE2__
        // Sixteen candidate places at a time: where both the first and the last character of the
        // needle stand at the right distance, the whole needle is compared.
        const std::size_t k = needle_.size();
        if (k >= 2) {
            const __m128i first = _mm_set1_epi8(needle_.front());
            const __m128i last = _mm_set1_epi8(needle_.back());
            const char *base = text.data();
            std::size_t i = from;
            for (; i + k - 1 + 16 <= text.size(); i += 16) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(base + i + k - 1));
                unsigned mask = static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
                while (mask) {
                    const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
                    if (std::memcmp(base + i + bit + 1, needle_.data() + 1, k - 2) == 0)
                        return i + bit;
                    mask &= mask - 1;
                }
            }
            const auto p = text.find(needle_, i);
            return p == std::string_view::npos ? text.size() : p;
        }
#endif
#ifdef __GLIBC__
        const void *hit = memmem(text.data() + from, text.size() - from, needle_.data(), needle_.size());
        return hit ? static_cast<std::size_t>(static_cast<const char *>(hit) - text.data()) : text.size();
#else
        const auto p = text.find(needle_, from);
        return p == std::string_view::npos ? text.size() : p;
#endif
    }
    std::size_t size() const
    {
        return needle_.size();
    }

private:
    std::string needle_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

// Finds, record by record, whether a record holds the needle, by walking the needle's occurrences
// in the whole upper-cased file: records without one cost nothing but their reading.
class RecordMatcher
{
public:
    RecordMatcher(std::string_view upperFile, const UpperSearcher &needle)
        : file_(upperFile), needle_(needle), next_(needle.findFrom(upperFile, 0))
    {
    }
    bool holds(std::size_t offset, std::size_t length)
    {
        if (next_ < offset)
            next_ = needle_.findFrom(file_, offset);
        const std::size_t end = offset + length;
        if (next_ >= end)
            return false;
        if (next_ + needle_.size() <= end)
            return true;
        // The occurrence runs past the record's end: look inside the record itself.
        return needle_.in(file_.substr(offset, length));
    }

private:
    std::string_view file_;
    const UpperSearcher &needle_;
    std::size_t next_;
};

bool containsNoCase(std::string_view text, const UpperSearcher &word)
{
    return word.in(ansi::upper(text));
}

std::string missingFileMessage(const std::string &folder, const std::string &fileName)
{
    const auto path = platform::resolveNoCase(folder, fileName);
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        return "The file " + fileName + " in " + folder + " could not be read.";
    return "The file " + fileName + " was not found in " + folder + ".";
}

} // namespace

const std::array<SearchSourceInfo, kSourceCount> &searchSources()
{
    static const std::array<SearchSourceInfo, kSourceCount> sources = {{
        {"M. Pickthall", "PIKTHL.TXT", false, "Complete verse"},
        {"Abdullah Yousuf Ali", "YSFALI.TXT", false, "Complete verse"},
        {"English Transliteration", "TRNSLIT.TXT", false, "Complete verse"},
        {"Shakir", "SHAKIR.TXT", false, "Complete verse"},
        {"Urdu word list", "URDU.TXT", true, "Complete phrase"},
        {"Bukhari", "BUKHARI.TXT", false, "Complete verse"},
        {"Muslim", "MUSLIM.TXT", false, "Complete verse"},
        {"AbuDawud", "ABUDAWUD.TXT", false, "Complete verse"},
        {"Malik", "MALIK.TXT", false, "Complete verse"},
    }};
    return sources;
}

int sourceIndexFor(std::string_view name)
{
    if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + kSourceCount)
        return name[0] - '0';
    for (int i = 0; i < kSourceCount; ++i) {
        const auto &s = searchSources()[static_cast<std::size_t>(i)];
        const std::string_view file(s.fileName);
        if (ansi::equalsNoCase(name, s.caption) || ansi::equalsNoCase(name, file) ||
            ansi::equalsNoCase(name, file.substr(0, file.size() - 4)))
            return i;
    }
    return -1;
}

SearchOutcome SearchSource(const std::string &folder, int source, std::string_view query,
                           const SearchProgress &progress)
{
    SearchOutcome out;
    if (source < 0 || source >= kSourceCount)
        source = 0;
    const SearchSourceInfo &info = searchSources()[static_cast<std::size_t>(source)];
    const std::string upperQuery = ansi::upper(query);
    if (upperQuery.empty())
        return out;

    // The file and its upper-case copy are read into buffers kept from search to search: fresh
    // memory for a file of megabytes costs more than scanning it.
    thread_local std::string fileBuffer;
    thread_local std::string upperBuffer;
    if (!readRegularFileInto(platform::resolveNoCase(folder, info.fileName), fileBuffer)) {
        out.problem = missingFileMessage(folder, info.fileName);
        out.countText = itemsFound(0);
        return out;
    }
    if (fileBuffer.empty())
        out.problem = "The file " + std::string(info.fileName) + " in " + folder + " holds no records.";

    upperBuffer.resize(fileBuffer.size());
    ansi::upperInto(fileBuffer, upperBuffer.data());
    const std::string_view upperData(upperBuffer);
    FieldReader reader(std::move(fileBuffer));
    const UpperSearcher needle(upperQuery);
    const std::string hitText = " items found for " + upperQuery;
    int recordNumber = 0;
    auto hit = [&](std::string_view entry) {
        out.entries.emplace_back(entry);
        out.records.push_back(recordNumber);
        if (progress)
            progress(out.entries, std::to_string(out.entries.size()) + hitText, 0);
    };
    RecordMatcher matcher(upperData, needle);
    do {
        ++recordNumber;
        if (info.wordList) {
            std::array<std::string_view, 4> fields{};
            bool holds = false;
            for (std::size_t f = 0; f < fields.size() && !reader.atEnd(); ++f) {
                fields[f] = reader.next();
                if (f == 3)
                    holds = matcher.holds(reader.lastOffset(), fields[f].size());
            }
            if (holds)
                hit(fields[1]);
        } else {
            const std::string_view record = reader.next();
            if (matcher.holds(reader.lastOffset(), record.size()))
                hit(record);
        }
    } while (!reader.atEnd());
    fileBuffer = reader.takeData();

    out.countText = itemsFound(out.entries.size());
    out.heading = info.heading;
    return out;
}

int ReplaceChar(std::string &text, char find, char replacement)
{
    int count = 0;
    for (char &c : text) {
        if (c == find) {
            c = replacement;
            ++count;
        }
    }
    return count;
}

SearchOutcome RunQuery(const std::string &folder, int source, std::string_view text, SearchWords &words,
                       const SearchProgress &progress)
{
    words.count = 1;
    if (!text.empty() && text.front() == '\'') {
        std::string_view phrase = text.substr(1);
        if (!phrase.empty() && phrase.back() == '\'')
            phrase.remove_suffix(1);
        SearchOutcome out = SearchSource(folder, source, phrase, progress);
        out.countText = std::to_string(out.entries.size()) + " items found for '" + ansi::lower(phrase) + "'";
        return out;
    }

    // Words are separated by single blanks, so two blanks in a row give an empty word, which
    // keeps every entry. "$" is an ordinary character of a word.
    std::string marked(text);
    const int blanks = ReplaceChar(marked, ' ', '$');
    if (static_cast<std::size_t>(blanks) + 1 > kMaxSearchWords) {
        SearchOutcome out;
        out.countText = itemsFound(0);
        out.problem = "A search can hold at most five words. Please leave out the words beyond the fifth.";
        return out;
    }
    words.count = blanks + 1;
    std::size_t start = 0;
    for (int k = 0; k < words.count; ++k) {
        const std::size_t blank = std::min(text.find(' ', start), text.size());
        words.words[static_cast<std::size_t>(k)] = std::string(text.substr(start, blank - start));
        start = blank + 1;
    }

    SearchOutcome out = SearchSource(folder, source, words.words[0], progress);
    for (int k = 1; k < words.count && out.problem.empty(); ++k) {
        const std::string &word = words.words[static_cast<std::size_t>(k)];
        // The entries pass through a sorted scratch list, each with its record.
        std::vector<std::pair<std::string, int>> scratch;
        scratch.reserve(out.entries.size());
        for (std::size_t i = 0; i < out.entries.size(); ++i)
            scratch.emplace_back(std::move(out.entries[i]), out.records[i]);
        std::stable_sort(scratch.begin(), scratch.end(),
                         [](const auto &a, const auto &b) { return ansi::collateLess(a.first, b.first); });
        out.entries.clear();
        out.records.clear();
        const UpperSearcher needle(ansi::upper(word));
        const std::string keptText = " items for + '" + word + "'";
        for (auto &[entry, record] : scratch) {
            if (!containsNoCase(entry, needle))
                continue;
            out.entries.push_back(std::move(entry));
            out.records.push_back(record);
            if (progress)
                progress(out.entries, std::to_string(out.entries.size()) + keptText, k);
        }
    }
    out.countText = itemsFound(out.entries.size());
    return out;
}

std::string FindWordEntry(FieldReader &wordList, std::string key)
{
    if (!key.empty() && key.back() == '\r')
        key.erase(key.size() - std::min<std::size_t>(3, key.size()));
    while (!wordList.atEnd()) {
        std::array<std::string_view, 4> fields{};
        for (std::size_t f = 0; f < fields.size() && !wordList.atEnd(); ++f)
            fields[f] = wordList.next();
        if (ansi::equalsNoCase(fields[1], key))
            return std::string(fields[3]);
    }
    return {};
}

} // namespace velmora
