// What a translation published by the Tanzil Project says of itself: its "Text (with aya numbers)"
// download ends in a block of "#" lines naming it ("#  Name: ...", "Translator:", "Language:", "ID:",
// "Last Update:", "Source:").
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The folder of a data folder that the translations are kept in, one "ID.txt" a translation.
inline constexpr const char *kTranslationsFolder = "translations";

struct TanzilDescription
{
    std::string id; // "ur.jalandhry": the language code, a dot and a name
    std::string name;
    std::string translator;
    std::string language; // in English: "Urdu"
    std::string lastUpdate;
    std::string source;
};

// The description block of a file's text; fields it does not name stay empty.
TanzilDescription readTanzilDescription(std::string_view text);

// Whether a translation ID is one Tanzil could give and a file name may carry: a language code of
// two or three small letters, a dot, then small letters, digits, "-" or "_".
bool isTanzilId(std::string_view id);

// Whether a language (in English, as the block names it) is written from right to left.
bool isRightToLeftLanguage(std::string_view language);
// Whether a language is written in the Arabic script: its text is folded as the Arabic is.
bool isArabicScriptLanguage(std::string_view language);

// Whether a text is UTF-8 throughout; where not, offset is set to the first byte at fault.
bool isUtf8(std::string_view text, std::size_t *offset = nullptr);

} // namespace velmora
