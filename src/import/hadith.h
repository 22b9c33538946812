// Writing a hadith collection file from a JSON array of hadiths.
#pragma once

#include "import/import.h"

#include <string>
#include <string_view>

namespace velmora::import {

// Which members of a hadith object hold its parts; a name may lead into inner objects with "."
// ("english.text").
struct HadithFields
{
    std::string text = "text"; // the hadith's text; every hadith must have it
    std::string narrator;      // optional: written before the text, when the hadith has it
};

// The input is a JSON array of hadith objects, or an object whose "hadiths" member is that array.
// Each hadith becomes one record of its narrator (when asked for) and text. A hadith whose text is
// empty is left out and counted; one without a text member, or not an object, refuses the input.
ImportResult importHadiths(std::string_view input, const HadithFields &fields, const Progress &progress = {});

} // namespace velmora::import
