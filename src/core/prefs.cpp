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
    constexpr int kFar = 1 << 20; // a place on any screen, however large
    forEachSetting(text, [&settings](std::string_view key, std::string_view value) {
        if (key == "scale")
            readSettingNumber(value, settings.scale, kMinReadingScale, kMaxReadingScale);
        else if (key == "dark" || key == "maximized" || key == "fullscreen")
            (key == "dark"        ? settings.dark
             : key == "maximized" ? settings.maximized
                                  : settings.fullScreen) = value == "1";
        else if (key == "left")
            readSettingNumber(value, settings.left, -kFar, kFar);
        else if (key == "top")
            readSettingNumber(value, settings.top, -kFar, kFar);
        else if (key == "width")
            readSettingNumber(value, settings.width, 0, kFar);
        else if (key == "height")
            readSettingNumber(value, settings.height, 0, kFar);
    });
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
