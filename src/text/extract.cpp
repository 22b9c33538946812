#include "extract.h"

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"

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

std::string dataFileProblem(std::string_view text, DataKind kind, int surah)
{
    constexpr std::size_t kLookedAt = std::size_t{64} * 1024;
    const std::string_view head = text.substr(0, kLookedAt);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return "holds no records";
    if (head.find('\0') != std::string_view::npos)
        return "is not a text file: it holds NUL bytes";
    if (kind == DataKind::Records)
        return {};
    if (head.size() == kLookedAt ? head.find_first_of("\r\n") == std::string_view::npos
                                 : text.find_first_of("\r\n") == std::string_view::npos)
        return "has no line ends, so it holds no surah blocks";
    FieldReader reader = FieldReader::over(text);
    const std::string_view first = reader.next();
    if (!isHeading(first) || headingSurah(first) < 1 || headingSurah(first) > kSurahCount)
        return "does not open with a surah heading such as \"Surah 1. Al Fatiha\"";
    if (surah <= 0)
        return {};
    for (std::string_view record = first;; record = reader.next()) {
        if (isHeading(record) && headingSurah(record) == surah)
            return {};
        if (reader.atEnd())
            return "holds no surah " + std::to_string(surah);
    }
}

std::vector<std::string> ExtractVerses(const std::string &folder, std::string_view fileName, int surah,
                                       int fromVerse, int toVerse, const ReadHooks &hooks)
{
    std::vector<std::string> verses;
    const auto path = platform::resolveDataFile(folder, std::string(fileName));
    auto reader = FieldReader::open(path);
    if (!reader) {
        // Why: nothing there, or something there that is no text file to read.
        const FileTrouble trouble = fileTroubleOf(path);
        if (trouble == FileTrouble::Missing) {
            if (hooks.notFound)
                hooks.notFound(std::string(fileName));
        } else if (hooks.unreadable) {
            hooks.unreadable(std::string(fileName),
                             troubleWords(trouble == FileTrouble::None ? FileTrouble::Unreadable : trouble));
        }
        return verses;
    }
    // A file that holds no text records (a binary one, say) is refused before the surah's heading is
    // looked for in all of it.
    if (const std::string problem = dataFileProblem(reader->data(), DataKind::Records); !problem.empty()) {
        if (hooks.unreadable)
            hooks.unreadable(std::string(fileName), problem);
        return verses;
    }
    bool found = false;
    while (!found && !reader->atEnd()) {
        const std::string_view record = reader->next();
        found = isHeading(record) && headingSurah(record) == surah;
    }
    if (!found) {
        if (hooks.unreadable)
            if (const std::string problem = dataFileProblem(reader->data(), DataKind::Translation, surah);
                !problem.empty())
                hooks.unreadable(std::string(fileName), problem);
        return verses;
    }
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

std::string ExtractVerseRange(const std::string &folder, std::string_view fileName, int surah, int fromVerse,
                              int toVerse, const ReadHooks &hooks)
{
    std::string result;
    for (const auto &verse : ExtractVerses(folder, fileName, surah, fromVerse, toVerse, hooks))
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
        for (const auto &verse : ExtractVerses(folder, fileNames[k], surah, fromVerse, toVerse, hooks))
            text.append(quotedIfNeeded(verse)).append("\r\n\r\n");
        text.append("\r\n");
        // The scratch file keeps the last texts for anyone who looks; the items are read from the
        // very bytes written, so a temporary folder that cannot be written still shows the verses.
        if (!tempFolder.empty())
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
