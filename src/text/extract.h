// Verse ranges out of the translation files, alone or interleaved verse by verse.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::size_t kInterleaveLimit = 32000;
inline const std::vector<std::string> kScratchFiles = {"p185.txt", "y185.txt", "t185.txt", "z185.txt"};

// What a read tells its caller while it works.
struct ReadHooks
{
    std::function<void()> headingFound;                        // the surah's block was reached
    std::function<void(const std::string &fileName)> notFound; // the file could not be opened
    // The file was read but did not yield the surah; problem says why (see dataFileProblem).
    std::function<void(const std::string &fileName, const std::string &problem)> unreadable;
};

// What keeps a data file's text from being read as one, as words that follow its name ("holds no
// records"); "" when nothing does. Every data file holds text records; a translation file (kind
// Translation) has line ends and opens with a surah heading, and, given a surah, holds its heading.
// Only the first part of a large file is looked at for the text and the line ends.
enum class DataKind
{
    Records,
    Translation
};
std::string dataFileProblem(std::string_view text, DataKind kind, int surah = 0);

// The surah number of a heading record ("Surah 12. Yusuf"): the number between the first blank
// and the first "." (the end of the record when there is no ".").
int headingSurah(std::string_view record);
bool isHeading(std::string_view record);

// Each verse from..to of the surah's block, less its four-character prefix: the verses of
// ExtractVerseRange one by one.
std::vector<std::string> ExtractVerses(const std::string &folder, std::string_view fileName, int surah,
                                       int fromVerse, int toVerse, const ReadHooks &hooks = {});

// Each verse from..to of the surah's block, less its four-character prefix, followed by two CR LF
// pairs. The block ends at the next heading or the end of the file, so a short block gives the
// verses it holds; a missing surah or an empty range gives "".
std::string ExtractVerseRange(const std::string &folder, std::string_view fileName, int surah, int fromVerse,
                              int toVerse, const ReadHooks &hooks = {});

// The same range from two to four files, item by item: the first file's item, then every further
// file's item after a "---" line (when the last file's item is not empty). The texts pass through
// the scratch files of the temporary folder, slot k for file k, one item per verse (a verse holding
// a comma is quoted there); the result is cut after the pass that takes it past 32000 characters.
// A file that runs out of items gives empty items.
std::string InterleaveTranslations(const std::string &folder, const std::string &tempFolder,
                                   const std::vector<std::string> &fileNames, int surah, int fromVerse,
                                   int toVerse, const ReadHooks &hooks = {});

std::string InterleaveTranslations2(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2, int surah,
                                    int fromVerse, int toVerse, const ReadHooks &hooks = {});
std::string InterleaveTranslations3(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2,
                                    const std::string &file3, int surah, int fromVerse, int toVerse,
                                    const ReadHooks &hooks = {});
std::string InterleaveTranslations4(const std::string &folder, const std::string &tempFolder,
                                    const std::string &file1, const std::string &file2,
                                    const std::string &file3, const std::string &file4, int surah,
                                    int fromVerse, int toVerse, const ReadHooks &hooks = {});

} // namespace velmora
