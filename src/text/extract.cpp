#include "extract.h"

#include "platform/paths.h"
#include "core/safefile.h"
#include "core/textfield.h"

namespace velmora {

bool isHeading(std::string_view record)
{
    return record.substr(0, 6) == "Surah ";
}

int headingSurah(std::string_view record)
{
    const auto blank = record.find(' ');
    if (blank == std::string_view::npos)
        return 0;
    const auto dot = record.find('.');
    const auto end = (dot == std::string_view::npos || dot < blank) ? record.size() : dot;
    return intInText(record.substr(blank + 1, end - blank - 1));
}

namespace {

// The shown texts of the verses from..to of the surah's block, each without its prefix.
std::vector<std::string> extractVerses(const std::string &folder, std::string_view fileName, int surah,
                                       int fromVerse, int toVerse, const ReadHooks &hooks)
{
    std::vector<std::string> verses;
    auto reader = FieldReader::open(platform::resolveNoCase(folder, std::string(fileName)));
    if (!reader) {
        if (hooks.notFound)
            hooks.notFound(std::string(fileName));
        return verses;
    }
    bool found = false;
    while (!found && !reader->atEnd()) {
        const std::string_view record = reader->next();
        found = isHeading(record) && headingSurah(record) == surah;
    }
    if (!found)
        return verses;
    if (hooks.headingFound)
        hooks.headingFound();

    for (int counter = 0; counter <= toVerse && !reader->atEnd(); ++counter) {
        const std::string_view record = reader->next();
        if (isHeading(record))
            break;
        if (counter >= fromVerse)
            verses.emplace_back(record.substr(std::min<std::size_t>(4, record.size())));
    }
    return verses;
}

} // namespace

std::string ExtractVerseRange(const std::string &folder, std::string_view fileName, int surah, int fromVerse,
                              int toVerse, const ReadHooks &hooks)
{
    std::string result;
    for (const auto &verse : extractVerses(folder, fileName, surah, fromVerse, toVerse, hooks))
        result.append(verse).append("\r\n\r\n");
    return result;
}

std::string InterleaveTranslations(const std::string &folder, const std::string &tempFolder,
                                   const std::vector<std::string> &fileNames, int surah, int fromVerse,
                                   int toVerse, const ReadHooks &hooks)
{
    const std::size_t n = std::min(fileNames.size(), kScratchFiles.size());
    if (n == 0)
        return {};
    std::vector<FieldReader> scratch;
    scratch.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        // Each verse is one item of its scratch file: a verse holding a comma is written in double
        // quotes, so that its parts are not paired with the other translations' next verses.
        std::string text;
        for (const auto &verse : extractVerses(folder, fileNames[k], surah, fromVerse, toVerse, hooks))
            text.append(quotedIfNeeded(verse)).append("\r\n\r\n");
        text.append("\r\n");
        // The scratch file keeps the last texts for anyone who looks; the items are read from the
        // very bytes written, so a temporary folder that cannot be written still shows the verses.
        writeFileReplacing(platform::resolveNoCase(tempFolder, kScratchFiles[k]), text);
        scratch.emplace_back(std::move(text));
    }
    std::string result;
    std::vector<std::string_view> items(n);
    do {
        for (std::size_t k = 0; k < n; ++k)
            items[k] = scratch[k].atEnd() ? std::string_view() : scratch[k].next();
        const std::string_view separator = items[n - 1].empty() ? "" : "---\r\n";
        result.append(items[0]).append("\r\n");
        for (std::size_t k = 1; k < n; ++k)
            result.append(separator).append(items[k]).append("\r\n");
    } while (result.size() <= kInterleaveLimit && !scratch[0].atEnd());
    return result;
}

std::string InterleaveTranslations2(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2, int surah,
                                    int fromVerse, int toVerse, const ReadHooks &hooks)
{
    return InterleaveTranslations(folder, tempFolder, {file1, file2}, surah, fromVerse, toVerse, hooks);
}

std::string InterleaveTranslations3(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2,
                                    const std::string &file3, int surah, int fromVerse, int toVerse,
                                    const ReadHooks &hooks)
{
    return InterleaveTranslations(folder, tempFolder, {file1, file2, file3}, surah, fromVerse, toVerse,
                                  hooks);
}

std::string InterleaveTranslations4(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2,
                                    const std::string &file3, const std::string &file4, int surah,
                                    int fromVerse, int toVerse, const ReadHooks &hooks)
{
    return InterleaveTranslations(folder, tempFolder, {file1, file2, file3, file4}, surah, fromVerse, toVerse,
                                  hooks);
}

} // namespace velmora
