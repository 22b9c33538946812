#include "prefs.h"

#include "core/textfield.h"

#include <charconv>

#include <algorithm>

namespace velmora {
namespace {

int checkValue(std::string_view field)
{
    return numberInText(field) == 1.0 ? 1 : 0;
}

} // namespace

Preferences parsePreferences(FieldReader &reader)
{
    Preferences prefs;
    auto field = [&reader](auto &&apply) {
        if (!reader.atEnd())
            apply(reader.next());
    };
    field([&](std::string_view f) { prefs.playerPath = std::string(f); });
    field([&](std::string_view f) { prefs.fontName = std::string(f); });
    field([&](std::string_view f) {
        const double size = numberInText(f);
        if (size >= kMinFontSize && size <= kMaxFontSize)
            prefs.fontSize = size;
    });
    field([&](std::string_view f) {
        if (f == "True" || f == "#TRUE#")
            prefs.bold = true;
    });
    for (int &check : prefs.checks)
        field([&](std::string_view f) { check = checkValue(f); });
    field([&](std::string_view f) { prefs.arabic = checkValue(f); });
    field([&](std::string_view f) { prefs.wordByWord = checkValue(f); });
    if (prefs.fontName.empty())
        prefs.fontName = kDefaultFontName;
    return prefs;
}

std::string formatPreferences(const Preferences &prefs)
{
    LineWriter w;
    w.text(quotedIfNeeded(prefs.playerPath));
    w.text(quotedIfNeeded(prefs.fontName));
    w.number(prefs.fontSize);
    w.truth(prefs.bold);
    for (const int check : prefs.checks)
        w.number(check);
    w.number(prefs.arabic);
    w.number(prefs.wordByWord);
    return w.contents();
}

ReadingSettings parseReadingSettings(std::string_view text)
{
    ReadingSettings settings;
    const auto number = [](std::string_view value, auto &into, auto low, auto high) {
        auto read = into;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), read);
        if (error == std::errc() && end == value.data() + value.size() && read >= low && read <= high)
            into = read;
    };
    constexpr int kFar = 1 << 20; // a place on any screen, however large
    while (!text.empty()) {
        const std::string_view line = takeLine(text);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "scale")
            number(value, settings.scale, kMinReadingScale, kMaxReadingScale);
        else if (key == "dark" || key == "maximized" || key == "fullscreen")
            (key == "dark"        ? settings.dark
             : key == "maximized" ? settings.maximized
                                  : settings.fullScreen) = value == "1";
        else if (key == "left")
            number(value, settings.left, -kFar, kFar);
        else if (key == "top")
            number(value, settings.top, -kFar, kFar);
        else if (key == "width")
            number(value, settings.width, 0, kFar);
        else if (key == "height")
            number(value, settings.height, 0, kFar);
    }
    return settings;
}

std::string formatReadingSettings(const ReadingSettings &settings)
{
    char scale[32];
    const auto end = std::to_chars(scale, scale + sizeof scale, settings.scale).ptr;
    std::string out = "scale=" + std::string(scale, end) + "\r\n";
    out += "dark=" + std::string(settings.dark ? "1" : "0") + "\r\n";
    out += "left=" + std::to_string(settings.left) + "\r\ntop=" + std::to_string(settings.top) + "\r\n";
    out +=
        "width=" + std::to_string(settings.width) + "\r\nheight=" + std::to_string(settings.height) + "\r\n";
    out += "maximized=" + std::string(settings.maximized ? "1" : "0") + "\r\n";
    out += "fullscreen=" + std::string(settings.fullScreen ? "1" : "0") + "\r\n";
    return out;
}

} // namespace velmora
