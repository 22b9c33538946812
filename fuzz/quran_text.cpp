// Any Quran text file: every verse read back is the text of its line, and the folded text found by
// the search holds what the search looked for.
#include "search/arabic.h"
#include "text/quran.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Handed on as the program hands it on: the verses' views must stay valid through the move.
    auto text = velmora::QuranText::fromText(std::string(reinterpret_cast<const char *>(data), size));
    if (!text)
        return 0;
    const velmora::QuranText quran = std::move(*text);
    for (const auto &verse : quran.verses())
        if (quran.verse(verse.surah, verse.aya).data() != verse.text.data())
            __builtin_trap();
    const velmora::ArabicIndex index(quran);
    // The verses found, through the letter pairs or not, are those whose folded text holds the needle.
    const std::string needle = velmora::foldArabic(quran.verses().back().text.substr(0, 6));
    std::vector<std::size_t> holding;
    for (std::size_t v = 0; v < index.size(); ++v)
        if (index.folded(v).find(needle) != std::string_view::npos)
            holding.push_back(v);
    if (index.versesHolding(needle) != holding)
        __builtin_trap();
    // A verse of the reading text pasted whole as a phrase finds itself.
    const velmora::ReadingSpellings spellings(quran, index);
    const std::string_view first = quran.verses().front().text;
    velmora::SearchWords asked;
    if (first.find('\'') == std::string_view::npos && !velmora::foldArabic(first).empty()) {
        const auto found =
            velmora::runArabicQuery(index, "'" + std::string(first) + "'", asked, &spellings).verses;
        if (found.empty() || found.front() != 0)
            __builtin_trap();
    }
    velmora::SearchWords words;
    words.count = 1;
    words.words[0] = std::string(quran.verses().front().text.substr(0, 6));
    for (const auto &[begin, end] :
         velmora::arabicMarks(quran.verses().front().text, quran.verses().back().text, words))
        if (begin > end || end > quran.verses().front().text.size())
            __builtin_trap();
    return 0;
}
