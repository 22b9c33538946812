#include "import.h"

#include "platform/paths.h"
#include "shell/catalogue.h"
#include "shell/textfield.h"
#include "shell/utf8.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>

namespace velmora::import {
namespace {

// The text without the given characters at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

std::string dataRecord(std::string_view utf8, ImportStats &stats)
{
    const ansi::Utf8Conversion converted = ansi::fromUtf8(utf8);
    stats.transliterated += converted.transliterated;
    stats.replaced += converted.replaced;
    stats.invalidBytes += converted.invalid;

    std::string text;
    text.reserve(converted.text.size());
    for (const char c : converted.text) {
        if (c == '"')
            text.push_back('\'');
        else if (c == '\r' || c == '\n' || c == '\t')
            text.push_back(' ');
        else
            text.push_back(c);
    }
    ++stats.records;
    return quotedIfNeeded(trimmed(text, " ")) + "\r\n";
}

namespace {

// The surah's name as the surah list gives it, without its number: "Al Baqara (The Cow)".
std::string surahName(int surah)
{
    const std::string &row = surahRows()[static_cast<std::size_t>(surah - 1)];
    const auto blank = row.find(' ');
    return blank == std::string::npos ? std::string() : row.substr(blank + 1);
}

std::optional<int> wholeNumber(std::string_view text)
{
    text = trimmed(text, " ");
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string describeMissing(const std::vector<std::vector<std::optional<std::string>>> &verses)
{
    std::string missingSurahs;
    std::size_t count = 0;
    for (int s = 1; s <= kSurahCount; ++s) {
        bool any = false;
        for (const auto &v : verses[static_cast<std::size_t>(s)])
            any = any || v.has_value();
        if (!any) {
            if (count < 10)
                missingSurahs += (count ? ", " : "") + std::to_string(s);
            ++count;
        }
    }
    if (count > 0)
        return std::to_string(count) + (count == 1 ? " surah is" : " surahs are") +
               " missing: " + missingSurahs + (count > 10 ? ", ..." : "");
    for (int s = 1; s <= kSurahCount; ++s) {
        const auto &list = verses[static_cast<std::size_t>(s)];
        for (std::size_t v = 1; v < list.size(); ++v)
            if (!list[v])
                return "surah " + std::to_string(s) + " has " + std::to_string(verseCount(s)) +
                       " verses, but verse " + std::to_string(v) + " is missing";
    }
    return {};
}

} // namespace

ImportResult importTranslation(std::string_view input, const Progress &progress)
{
    ImportResult result;
    // verses[s][v]: the UTF-8 text of verse v of surah s (index 0 unused).
    std::vector<std::vector<std::optional<std::string>>> verses(kSurahCount + 1);
    for (int s = 1; s <= kSurahCount; ++s)
        verses[static_cast<std::size_t>(s)].resize(static_cast<std::size_t>(verseCount(s)) + 1);

    const auto refuse = [&](std::size_t lineNumber, const std::string &why) {
        result.error = "line " + std::to_string(lineNumber) + ": " + why;
        return result;
    };
    std::size_t pos = input.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t lineNumber = 0;
    std::size_t lastReport = 0;
    while (pos < input.size()) {
        const auto end = input.find('\n', pos);
        std::string_view line =
            input.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? input.size() : end + 1;
        ++lineNumber;
        if (progress && pos - lastReport > 65536) {
            progress(pos, input.size());
            lastReport = pos;
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
            continue;
        const auto bar1 = line.find('|');
        const auto bar2 = bar1 == std::string_view::npos ? bar1 : line.find('|', bar1 + 1);
        if (bar2 == std::string_view::npos)
            return refuse(lineNumber, "not in the form sura|aya|text");
        const auto surah = wholeNumber(line.substr(0, bar1));
        const auto verse = wholeNumber(line.substr(bar1 + 1, bar2 - bar1 - 1));
        if (!surah || !verse)
            return refuse(lineNumber, "the surah and verse must be numbers (sura|aya|text)");
        if (*surah < 1 || *surah > kSurahCount)
            return refuse(lineNumber, "there is no surah " + std::to_string(*surah));
        auto &list = verses[static_cast<std::size_t>(*surah)];
        if (*verse < 1 || static_cast<std::size_t>(*verse) >= list.size())
            return refuse(lineNumber, "surah " + std::to_string(*surah) + " has " +
                                          std::to_string(verseCount(*surah)) +
                                          " verses, so there is no verse " + std::to_string(*verse));
        auto &slot = list[static_cast<std::size_t>(*verse)];
        if (slot)
            return refuse(lineNumber, "verse " + std::to_string(*surah) + ":" + std::to_string(*verse) +
                                          " appears a second time");
        slot = std::string(trimmed(line.substr(bar2 + 1), " \t"));
    }
    if (const std::string missing = describeMissing(verses); !missing.empty()) {
        result.error = missing;
        return result;
    }

    std::string &out = result.contents;
    out.reserve(input.size() + input.size() / 8);
    const std::string invocation = *verses[1][1];
    for (int s = 1; s <= kSurahCount; ++s) {
        out += dataRecord("Surah " + std::to_string(s) + ". " + surahName(s), result.stats);
        const std::string prefix = ThreeDigits(s) + ".";
        if (s > 1)
            out += dataRecord(prefix + "0) " + (s == 9 ? std::string(kNoInvocationNote) : invocation),
                              result.stats);
        const auto &list = verses[static_cast<std::size_t>(s)];
        for (std::size_t v = 1; v < list.size(); ++v) {
            out += dataRecord(prefix + std::to_string(v) + ") " + *list[v], result.stats);
            ++result.stats.items;
        }
    }
    if (progress)
        progress(input.size(), input.size());
    return result;
}

std::string writeDataFiles(const std::filesystem::path &folder, const std::vector<OutputFile> &files)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec))
        return "the folder " + folder.string() + " does not exist and cannot be made";

    std::vector<std::filesystem::path> targets;
    std::vector<std::filesystem::path> temps;
    const auto removeTemps = [&] {
        for (const auto &t : temps)
            std::filesystem::remove(t, ec);
    };
    for (const auto &file : files) {
        targets.push_back(platform::resolveNoCase(folder.string(), file.name));
        std::filesystem::path temp = targets.back();
        temp += ".import-new";
        temps.push_back(temp);
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(file.contents.data(), static_cast<std::streamsize>(file.contents.size()));
        out.close();
        if (!out) {
            removeTemps();
            return "cannot write " + temp.string();
        }
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::filesystem::rename(temps[i], targets[i], ec);
        if (ec) {
            std::string why = "cannot replace " + targets[i].string() + ": " + ec.message();
            for (std::size_t k = i; k < temps.size(); ++k)
                std::filesystem::remove(temps[k], ec);
            return why;
        }
    }
    return {};
}

} // namespace velmora::import
