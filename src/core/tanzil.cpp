#include "tanzil.h"

#include "ansi.h"
#include "textfield.h"
#include "utf8.h"

#include <algorithm>
#include <array>

namespace velmora {
namespace {

std::string_view trimmedBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The languages Tanzil publishes in the Arabic script; all of them but Hausa's Ajami are written
// from right to left, and so are Dhivehi (Thaana) and Hebrew.
constexpr std::array kArabicScript = {"Arabic", "Persian", "Urdu", "Pashto", "Sindhi", "Uyghur", "Kurdish"};
constexpr std::array kOtherRightToLeft = {"Divehi", "Dhivehi", "Hebrew"};

bool named(std::string_view language, const auto &names)
{
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *name) { return ansi::equalsNoCase(language, name); });
}

} // namespace

TanzilDescription readTanzilDescription(std::string_view text)
{
    TanzilDescription out;
    const std::pair<std::string_view, std::string *> fields[] = {
        {"Name", &out.name}, {"Translator", &out.translator},  {"Language", &out.language},
        {"ID", &out.id},     {"Last Update", &out.lastUpdate}, {"Source", &out.source}};
    // The block stands at the end: the lines are read from the last "sura|aya|text" line on.
    const auto lastVerse = text.rfind('|');
    std::string_view rest =
        text.substr(lastVerse == std::string_view::npos ? 0 : text.rfind('\n', lastVerse) + 1);
    while (!rest.empty()) {
        std::string_view line = takeLine(rest);
        if (!line.starts_with('#'))
            continue;
        line = trimmedBlanks(line.substr(1));
        const auto colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = trimmedBlanks(line.substr(0, colon));
        for (const auto &[name, value] : fields)
            if (ansi::equalsNoCase(key, name) && value->empty())
                *value = std::string(trimmedBlanks(line.substr(colon + 1)));
    }
    return out;
}

bool isTanzilId(std::string_view id)
{
    const auto dot = id.find('.');
    if (dot < 2 || dot > 3 || dot + 1 >= id.size() || id.size() > 64)
        return false;
    const auto small = [](char c) { return c >= 'a' && c <= 'z'; };
    return std::all_of(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(dot), small) &&
           std::all_of(id.begin() + static_cast<std::ptrdiff_t>(dot) + 1, id.end(),
                       [&](char c) { return small(c) || (c >= '0' && c <= '9') || c == '-' || c == '_'; });
}

bool isArabicScriptLanguage(std::string_view language)
{
    return named(language, kArabicScript);
}

bool isRightToLeftLanguage(std::string_view language)
{
    return isArabicScriptLanguage(language) || named(language, kOtherRightToLeft);
}

bool isUtf8(std::string_view text, std::size_t *offset)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t at = i;
        char32_t cp = 0;
        if (!ansi::decodeUtf8(text, i, cp)) {
            if (offset)
                *offset = at;
            return false;
        }
    }
    return true;
}

} // namespace velmora
