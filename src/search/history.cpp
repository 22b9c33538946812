#include "history.h"

#include "core/ansi.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "core/utf8.h"
#include "platform/paths.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace velmora {

const std::vector<std::string> &defaultHistory()
{
    static const std::vector<std::string> entries = {"Day", "Day Judgment", "'Day of Judgment'"};
    return entries;
}

const std::vector<std::string> &resetHistory()
{
    static const std::vector<std::string> entries = {"Day", "Day Judgment", "'Day of Judgement'"};
    return entries;
}

std::vector<std::string> readHistory(const std::filesystem::path &path)
{
    std::vector<std::string> entries;
    // The program's own file: read only as the regular file it writes, never through a link.
    auto reader = FieldReader::open(path, Links::Refuse);
    if (!reader)
        return entries;
    while (!reader->atEnd()) {
        const std::string_view field = reader->next();
        if (!field.empty())
            entries.emplace_back(field);
    }
    return entries;
}

bool writeHistory(const std::filesystem::path &path, const std::vector<std::string> &entries)
{
    LineWriter w;
    for (const auto &entry : entries)
        w.text(entry);
    return writeFileReplacing(path, w.contents());
}

std::vector<std::string> readWideHistory(const std::filesystem::path &path)
{
    std::vector<std::string> entries;
    const auto text = readRegularFile(path, Links::Refuse);
    if (!text)
        return entries;
    std::string_view rest = *text;
    while (!rest.empty())
        if (const std::string_view line = takeLine(rest); !line.empty())
            entries.emplace_back(line);
    return entries;
}

bool writeWideHistory(const std::filesystem::path &path, const std::vector<std::string> &entries)
{
    if (entries.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return !ec;
    }
    std::string text;
    for (const auto &entry : entries)
        text.append(entry).append("\r\n");
    return writeFileReplacing(path, text);
}

namespace {

// The Windows-1252 form of a UTF-8 text, when it holds every character of it.
std::optional<std::string> inAnsi(const std::string &utf8)
{
    std::string ansi = ansi::fromUtf8(utf8).text;
    if (ansi::toUtf8(ansi) != utf8)
        return std::nullopt;
    return ansi;
}

// Where the list orders a text: by its Windows-1252 form.
std::string listKey(const std::string &utf8)
{
    return ansi::fromUtf8(utf8).text;
}

} // namespace

SearchHistory::SearchHistory(std::vector<std::string> entries)
{
    std::vector<std::string> texts;
    texts.reserve(entries.size());
    for (const auto &entry : entries)
        texts.push_back(listKey(entry));
    entries_.reserve(entries.size());
    for (const std::size_t i : ansi::listOrder(texts))
        entries_.push_back(std::move(entries[i]));
}

SearchHistory SearchHistory::read(const std::string &folder)
{
    std::vector<std::string> entries;
    if (!folder.empty()) {
        for (const auto &entry : readHistory(platform::resolveNoCase(folder, kHistoryFileName)))
            entries.push_back(ansi::toUtf8(entry));
        const auto wide = readWideHistory(platform::resolveNoCase(folder, kWideHistoryFileName));
        entries.insert(entries.end(), wide.begin(), wide.end());
    }
    if (entries.empty())
        std::transform(defaultHistory().begin(), defaultHistory().end(), std::back_inserter(entries),
                       [](const std::string &entry) { return ansi::toUtf8(entry); });
    return SearchHistory(std::move(entries));
}

std::optional<std::size_t> SearchHistory::add(const std::string &query)
{
    // An entry's Windows-1252 form is asked whether it is whole only when it matches: a search
    // does not convert a long history twice over.
    const std::optional<std::string> single = inAnsi(query);
    const bool held = std::any_of(entries_.begin(), entries_.end(), [&](const std::string &entry) {
        if (!single)
            return entry == query;
        return ansi::equalsNoCase(listKey(entry), *single) && inAnsi(entry);
    });
    if (held)
        return std::nullopt;
    const std::string key = listKey(query);
    const auto at = std::upper_bound(
        entries_.begin(), entries_.end(), key,
        [](const std::string &k, const std::string &entry) { return ansi::collate(k, listKey(entry)) < 0; });
    const auto place = static_cast<std::size_t>(at - entries_.begin());
    entries_.insert(at, query);
    return place;
}

bool SearchHistory::write(const std::string &folder) const
{
    if (folder.empty())
        return false;
    std::vector<std::string> single;
    std::vector<std::string> wide;
    for (const auto &entry : entries_) {
        if (std::optional<std::string> ansi = inAnsi(entry))
            single.push_back(std::move(*ansi));
        else
            wide.push_back(entry);
    }
    writeWideHistory(platform::resolveNoCase(folder, kWideHistoryFileName), wide);
    return writeHistory(platform::resolveNoCase(folder, kHistoryFileName), single);
}

} // namespace velmora
