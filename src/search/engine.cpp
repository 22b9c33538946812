#include "engine.h"

#include "core/ansi.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "text/extract.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>

namespace velmora {
namespace {

std::string itemsFound(std::size_t n)
{
    return std::to_string(n) + " items found";
}

// Finds, record by record, whether a record holds the needle, by walking the needle's occurrences
// in the whole file: records without one cost nothing but their reading.
class RecordMatcher
{
public:
    RecordMatcher(std::string_view file, const ansi::NoCaseFinder &needle)
        : file_(file), needle_(needle), next_(needle.findFrom(file, 0))
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
    const ansi::NoCaseFinder &needle_;
    std::size_t next_;
};

std::string missingFileMessage(const std::string &folder, const std::string &fileName)
{
    const auto path = platform::resolveDataFile(folder, fileName);
    if (const FileTrouble trouble = fileTroubleOf(path); trouble != FileTrouble::Missing)
        return "The file " + fileName + " in " + utf8Of(path.parent_path()) + " " +
               troubleWords(trouble == FileTrouble::None ? FileTrouble::Unreadable : trouble) + ".";
    return "The file " + fileName + " was not found in " + platform::dataFoldersText(folder) + ".";
}

} // namespace

const std::array<SearchSourceInfo, kSourceCount> &searchSources()
{
    static const std::array<SearchSourceInfo, kSourceCount> sources = {{
        {"M. Pickthall", "PIKTHL.TXT", false, "Complete verse", "pickthall"},
        {"Abdullah Yousuf Ali", "YSFALI.TXT", false, "Complete verse", "yusufali"},
        {"English Transliteration", "TRNSLIT.TXT", false, "Complete verse", "transliteration"},
        {"Shakir", "SHAKIR.TXT", false, "Complete verse", "shakir"},
        {"Urdu word list", "URDU.TXT", true, "Complete phrase", "urdu"},
        {"Bukhari", "BUKHARI.TXT", false, "Complete verse", "bukhari"},
        {"Muslim", "MUSLIM.TXT", false, "Complete verse", "muslim"},
        {"AbuDawud", "ABUDAWUD.TXT", false, "Complete verse", "abudawud"},
        {"Malik", "MALIK.TXT", false, "Complete verse", "malik"},
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
        if (ansi::equalsNoCase(name, s.caption) || ansi::equalsNoCase(name, s.name) ||
            ansi::equalsNoCase(name, file) || ansi::equalsNoCase(name, file.substr(0, file.size() - 4)))
            return i;
    }
    return -1;
}

namespace {

// The hits of one query while its file is open: texts that point into the file, each with the
// place of its record.
struct Hits
{
    std::vector<std::string_view> entries;
    std::vector<int> records;
};

// Scans the file's text for the query and lists the records (for the word list, the keys of the
// entries) that hold it, in file order.
Hits scan(std::string_view text, const SearchSourceInfo &info, std::string_view query,
          const SearchProgress &progress)
{
    Hits hits;
    FieldReader reader = FieldReader::over(text);
    const ansi::NoCaseFinder needle(query);
    const std::string hitText = " items found for " + ansi::upper(query);
    int recordNumber = 0;
    auto hit = [&](std::string_view entry) {
        hits.entries.push_back(entry);
        hits.records.push_back(recordNumber);
        if (progress)
            progress(hits.entries, std::to_string(hits.entries.size()) + hitText, 0);
    };
    RecordMatcher matcher(text, needle);
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
    return hits;
}

// Keeps the hits that also hold the word, in list order as the sorted scratch list has them. The
// word is tested first and only the hits kept are sorted: the same list, for less work; a list
// already in order (from an earlier word) is not sorted again.
void narrow(Hits &hits, const std::string &word, int phase, const SearchProgress &progress)
{
    const ansi::NoCaseFinder needle(word);
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < hits.entries.size(); ++i)
        if (needle.in(hits.entries[i]))
            kept.push_back(i);
    const auto before = [&hits](std::size_t a, std::size_t b) {
        return ansi::collateLess(hits.entries[a], hits.entries[b]);
    };
    if (!std::is_sorted(kept.begin(), kept.end(), before))
        std::stable_sort(kept.begin(), kept.end(), before);
    Hits narrowed;
    narrowed.entries.reserve(kept.size());
    narrowed.records.reserve(kept.size());
    const std::string keptText = " items for + '" + word + "'";
    for (const std::size_t i : kept) {
        narrowed.entries.push_back(hits.entries[i]);
        narrowed.records.push_back(hits.records[i]);
        if (progress)
            progress(narrowed.entries, std::to_string(narrowed.entries.size()) + keptText, phase);
    }
    hits = std::move(narrowed);
}

// Opens the source's file for a search; sets the outcome's problem when it cannot.
std::optional<MappedFile> openSource(const std::string &folder, const SearchSourceInfo &info,
                                     SearchOutcome &out)
{
    auto file = MappedFile::open(platform::resolveDataFile(folder, info.fileName));
    if (!file) {
        out.problem = missingFileMessage(folder, info.fileName);
        out.countText = itemsFound(0);
    } else if (const std::string problem = dataFileProblem(file->text(), DataKind::Records);
               !problem.empty()) {
        // The search tests every record as it stands, headings or not: only a file that holds no
        // text records at all is refused.
        out.problem = "The file " + std::string(info.fileName) + " in " + folder + " " + problem + ".";
        out.countText = itemsFound(0);
        file.reset();
    }
    return file;
}

const SearchSourceInfo &sourceInfo(int source)
{
    return searchSources()[static_cast<std::size_t>(source < 0 || source >= kSourceCount ? 0 : source)];
}

} // namespace

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

std::optional<std::string_view> phraseOf(std::string_view query)
{
    if (query.empty() || query.front() != '\'')
        return std::nullopt;
    query.remove_prefix(1);
    if (!query.empty() && query.back() == '\'')
        query.remove_suffix(1);
    return query;
}

SearchOutcome VisitQuery(const std::string &folder, int source, std::string_view text, SearchWords &words,
                         const HitVisitor &visit, const SearchProgress &progress)
{
    SearchOutcome out;
    words.count = 1;
    const SearchSourceInfo &info = sourceInfo(source);
    const std::optional<std::string_view> phrase = phraseOf(text);
    std::string_view first = phrase.value_or(text);
    if (!phrase) {
        // Words are separated by single blanks, so two blanks in a row give an empty word, which
        // keeps every entry. "$" is an ordinary character of a word.
        std::string marked(text);
        const int blanks = ReplaceChar(marked, ' ', '$');
        if (static_cast<std::size_t>(blanks) + 1 > kMaxSearchWords) {
            out.countText = itemsFound(0);
            out.problem =
                "A search can hold at most five words. Please leave out the words beyond the fifth.";
            return out;
        }
        words.count = blanks + 1;
        std::size_t start = 0;
        for (int k = 0; k < words.count; ++k) {
            const std::size_t blank = std::min(text.find(' ', start), text.size());
            words.words[static_cast<std::size_t>(k)] = std::string(text.substr(start, blank - start));
            start = blank + 1;
        }
        first = words.words[0];
    }

    Hits hits;
    if (!first.empty()) {
        if (const auto file = openSource(folder, info, out)) {
            hits = scan(file->text(), info, first, progress);
            out.heading = info.heading;
            for (int k = 1; k < words.count && !phrase && out.problem.empty(); ++k)
                narrow(hits, words.words[static_cast<std::size_t>(k)], k, progress);
            for (std::size_t i = 0; i < hits.entries.size(); ++i)
                visit(hits.entries[i], hits.records[i]);
        }
    }
    out.countText =
        phrase ? std::to_string(hits.entries.size()) + " items found for '" + ansi::lower(first) + "'"
               : itemsFound(hits.entries.size());
    return out;
}

SearchOutcome RunQuery(const std::string &folder, int source, std::string_view text, SearchWords &words,
                       const SearchProgress &progress)
{
    std::vector<std::string> entries;
    std::vector<int> records;
    SearchOutcome out = VisitQuery(
        folder, source, text, words,
        [&](std::string_view entry, int record) {
            entries.emplace_back(entry);
            records.push_back(record);
        },
        progress);
    out.entries = std::move(entries);
    out.records = std::move(records);
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
