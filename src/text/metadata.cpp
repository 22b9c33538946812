#include "metadata.h"

#include "core/catalogue.h"
#include "core/safefile.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace velmora {
namespace {

constexpr std::array<std::string_view, kDivisions> kElements = {"juz", "quarter", "manzil", "ruku", "page"};
constexpr std::array<std::string_view, kDivisions> kNames = {"juz", "hizb quarter", "manzil", "ruku", "page"};

// The entities an attribute of the file may hold, as the characters they stand for.
std::string unescaped(std::string_view value)
{
    constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                         [&](const auto &e) { return value.substr(i).starts_with(e.first); });
        if (entity == std::end(kEntities)) {
            out.push_back(value[i]);
        } else {
            out.push_back(entity->second);
            i += entity->first.size() - 1;
        }
    }
    return out;
}

// One element of the file: its name and the value of an attribute ("" for one it lacks). The file
// holds empty elements with quoted attributes only, as Tanzil writes it.
struct Element
{
    std::string_view name;
    std::string_view attributes;
    std::string operator[](std::string_view key) const
    {
        for (std::size_t at = attributes.find(key); at != std::string_view::npos;
             at = attributes.find(key, at + 1)) {
            const bool whole = (at == 0 || std::isspace(static_cast<unsigned char>(attributes[at - 1]))) &&
                               attributes.substr(at + key.size()).starts_with("=\"");
            if (!whole)
                continue;
            const std::size_t begin = at + key.size() + 2;
            const std::size_t end = attributes.find('"', begin);
            return end == std::string_view::npos ? std::string()
                                                 : unescaped(attributes.substr(begin, end - begin));
        }
        return {};
    }
    int number(std::string_view key) const
    {
        const std::string value = (*this)[key];
        int n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        return ec == std::errc() && end == value.data() + value.size() ? n : 0;
    }
};

template <typename F> void forEachElement(std::string_view xml, F &&f)
{
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::size_t end = xml.find('>', at);
        if (end == std::string_view::npos)
            return;
        const std::string_view inside = xml.substr(at + 1, end - at - 1);
        const std::size_t nameEnd = std::min(inside.find_first_of(" \t\r\n/"), inside.size());
        f(Element{inside.substr(0, nameEnd), inside.substr(nameEnd)});
        at = end;
    }
}

} // namespace

std::optional<QuranMetadata> QuranMetadata::open(const std::filesystem::path &path, std::string *problem)
{
    auto text = readRegularFile(path);
    if (!text) {
        if (problem)
            *problem = troubleWords(fileTroubleOf(path));
        return std::nullopt;
    }
    auto metadata = fromText(*text);
    if (!metadata && problem)
        *problem = "holds no surahs, juz, hizb quarters, manzils, rukus and pages as Tanzil's metadata does";
    return metadata;
}

std::optional<QuranMetadata> QuranMetadata::fromText(std::string_view xml)
{
    QuranMetadata metadata;
    metadata.surahs_.resize(kSurahCount);
    forEachElement(xml, [&](const Element &e) {
        if (e.name == "sura") {
            const int n = e.number("index");
            if (n >= 1 && n <= kSurahCount)
                metadata.surahs_[static_cast<std::size_t>(n - 1)] = {e.number("ayas"), e["name"], e["tname"],
                                                                     e["ename"], e["type"]};
        } else if (e.name == "sajda") {
            metadata.sajdas_.push_back({{e.number("sura"), e.number("aya")}, e["type"]});
        } else if (const auto kind = std::find(kElements.begin(), kElements.end(), e.name);
                   kind != kElements.end()) {
            const VersePlace start{e.number("sura"), e.number("aya")};
            if (start.surah >= 1 && start.surah <= kSurahCount && start.aya >= 1)
                metadata.starts_[static_cast<std::size_t>(kind - kElements.begin())].push_back(start);
        }
    });
    const bool everySurah = std::all_of(metadata.surahs_.begin(), metadata.surahs_.end(),
                                        [](const SurahFacts &s) { return s.verses > 0; });
    if (!everySurah)
        return std::nullopt;
    for (auto &starts : metadata.starts_) {
        // A start past its surah's last verse is no verse at all.
        std::erase_if(starts, [&](const VersePlace &v) { return v.aya > metadata.surah(v.surah)->verses; });
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    }
    if (std::any_of(metadata.starts_.begin(), metadata.starts_.end(),
                    [](const auto &s) { return s.empty(); }))
        return std::nullopt;
    std::sort(metadata.sajdas_.begin(), metadata.sajdas_.end(),
              [](const Sajda &a, const Sajda &b) { return a.place < b.place; });
    return metadata;
}

const SurahFacts *QuranMetadata::surah(int number) const
{
    return number >= 1 && number <= static_cast<int>(surahs_.size())
               ? &surahs_[static_cast<std::size_t>(number - 1)]
               : nullptr;
}

int QuranMetadata::divisionOf(Division division, VersePlace verse) const
{
    const auto &starts = starts_[index(division)];
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), verse) - starts.begin());
}

std::optional<std::pair<VersePlace, VersePlace>> QuranMetadata::rangeOf(Division division, int number) const
{
    const auto &starts = starts_[index(division)];
    if (number < 1 || number > static_cast<int>(starts.size()))
        return std::nullopt;
    const VersePlace first = starts[static_cast<std::size_t>(number - 1)];
    // The last verse: the one before the next division's first, else the Quran's last.
    VersePlace last{kSurahCount, surahs_.back().verses};
    if (number < static_cast<int>(starts.size())) {
        last = starts[static_cast<std::size_t>(number)];
        if (last.aya > 1)
            --last.aya;
        else if (last.surah > 1)
            last = {last.surah - 1, surah(last.surah - 1)->verses};
    }
    return std::pair(first, last);
}

bool QuranMetadata::begins(Division division, VersePlace verse) const
{
    const auto &starts = starts_[index(division)];
    return std::binary_search(starts.begin(), starts.end(), verse);
}

const Sajda *QuranMetadata::sajdaAt(VersePlace verse) const
{
    const auto found = std::lower_bound(sajdas_.begin(), sajdas_.end(), verse,
                                        [](const Sajda &s, const VersePlace &v) { return s.place < v; });
    return found != sajdas_.end() && found->place == verse ? &*found : nullptr;
}

std::string_view divisionName(Division division)
{
    return kNames[static_cast<std::size_t>(division)];
}

std::optional<std::pair<Division, int>> divisionTyped(std::string_view text)
{
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    constexpr std::pair<std::string_view, Division> kWords[] = {
        {"juz", Division::Juz},       {"hizb", Division::HizbQuarter}, {"quarter", Division::HizbQuarter},
        {"manzil", Division::Manzil}, {"ruku", Division::Ruku},        {"page", Division::Page}};
    for (const auto &[word, division] : kWords) {
        if (!std::string_view(lower).starts_with(word))
            continue;
        std::string_view rest = std::string_view(lower).substr(word.size());
        while (!rest.empty() && blank(rest.front()))
            rest.remove_prefix(1);
        int n = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), n);
        if (ec == std::errc() && end == rest.data() + rest.size() && !rest.empty())
            return std::pair(division, n);
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::pair<VersePlace, std::string_view>> versePlaceAtStart(std::string_view text)
{
    VersePlace place;
    const char *end = text.data() + text.size();
    const auto [colon, ec1] = std::from_chars(text.data(), end, place.surah);
    if (ec1 != std::errc() || colon == end || *colon != ':')
        return std::nullopt;
    const auto [after, ec2] = std::from_chars(colon + 1, end, place.aya);
    if (ec2 != std::errc() || (after != end && *after != ' ') || place.surah < 1 ||
        place.surah > kSurahCount || place.aya < 1)
        return std::nullopt;
    std::string_view rest(after, static_cast<std::size_t>(end - after));
    while (rest.starts_with(' '))
        rest.remove_prefix(1);
    return std::pair(place, rest);
}

} // namespace velmora
