// Any metadata file: it is refused, or every division's ranges lie within the Quran, in order, and
// every verse's division is the one whose range holds it; a morphology file of any bytes ties its
// words to a small text without leaving it, and its grammar reads without failing.
#include "text/metadata.h"
#include "search/corpus.h"
#include "search/wordfacts.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (const auto metadata = velmora::QuranMetadata::fromText(text)) {
        for (const velmora::Division d :
             {velmora::Division::Juz, velmora::Division::HizbQuarter, velmora::Division::Manzil,
              velmora::Division::Ruku, velmora::Division::Page})
            for (int n = 1; n <= static_cast<int>(metadata->count(d)); ++n) {
                const auto range = metadata->rangeOf(d, n);
                if (!range || range->second < range->first || metadata->divisionOf(d, range->first) != n)
                    __builtin_trap();
            }
    }
    static const auto reading = velmora::QuranText::fromText(
        "1|1|\u0628\u0650\u0633\u0652\u0645\u0650 \u0671\u0644\u0644\u0651\u064E\u0647\u0650\n"
        "1|2|\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F \u06DB "
        "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n");
    for (const velmora::WordPlace &place : velmora::alignCorpus(text, *reading))
        if (place.verse >= reading->verses().size() || place.word >= 2)
            __builtin_trap();
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        velmora::grammarOf(std::string_view(text).substr(at, end - at));
        at = end + 1;
    }
    return 0;
}
