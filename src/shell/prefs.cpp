#include "prefs.h"

#include "core/textfield.h"

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

} // namespace velmora
