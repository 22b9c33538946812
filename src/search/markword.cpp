#include "markword.h"

#include "core/ansi.h"

namespace velmora {

std::string MarkWord(std::string text, std::string_view word, std::string_view capitalWord, int &count)
{
    if (word.empty())
        return text;
    // The first place is looked for in the lower-cased text, every later one in the text as changed,
    // from its start. Places before the last replacement were searched already and are unchanged,
    // so each search starts where an occurrence overlapping the replacement could begin: the text is
    // gone through once, however many places are marked.
    std::size_t p = ansi::lower(text).find(word);
    while (p != std::string::npos) {
        text.replace(p, word.size(), capitalWord);
        ++count;
        if (count > kMarkLimit)
            return text;
        p = text.find(word, p >= word.size() ? p - word.size() + 1 : 0);
    }
    return text;
}

std::string markSearchWords(std::string text, const SearchWords &words)
{
    int count = 0;
    for (int j = 0; j < words.count && j < static_cast<int>(words.words.size()); ++j) {
        const std::string &word = words.words[static_cast<std::size_t>(j)];
        if (!word.empty())
            text = MarkWord(std::move(text), word, ansi::upper(word), count);
    }
    return text;
}

std::string TextAfterLast(std::string_view text, char separator)
{
    const auto p = text.rfind(separator);
    return std::string(p == std::string_view::npos ? text : text.substr(p + 1));
}

std::string recordReference(std::string_view shownText)
{
    const auto blank = shownText.find(' ');
    if (blank == std::string_view::npos || blank < 2)
        return {};
    return std::string(shownText.substr(0, blank - 1));
}

} // namespace velmora
