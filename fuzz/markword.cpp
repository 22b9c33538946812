// Marking a search word in a shown text: the result is the one of the plain rule (search the
// lower-cased text, then the changed text, each time from its start), however the word and text are.
#include "search/markword.h"
#include "core/ansi.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string plainRule(std::string text, std::string_view word, std::string_view capital, int &count)
{
    std::string work = velmora::ansi::lower(text);
    for (;;) {
        const std::size_t p = work.find(word);
        if (p == std::string::npos)
            return text;
        text.replace(p, word.size(), capital);
        work = text;
        if (++count > velmora::kMarkLimit)
            return text;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first byte gives the word's length; the word follows, then the text.
    if (size < 2)
        return 0;
    const std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string_view word = rest.substr(0, data[0] % 8 + 1);
    const std::string text(rest.substr(word.size()));
    const std::string capital = velmora::ansi::upper(word);
    int count = 0;
    int expectedCount = 0;
    if (!word.empty() &&
        velmora::MarkWord(text, word, capital, count) != plainRule(text, word, capital, expectedCount))
        __builtin_trap();
    if (count != expectedCount)
        __builtin_trap();
    return 0;
}
