#include "import.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/tanzil.h"
#include "core/textfield.h"
#include "core/utf8.h"
#include "platform/paths.h"

#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

namespace velmora::import {
namespace {

// The text without the given characters at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

std::string recordText(std::string_view utf8, ImportStats &stats)
{
    const ansi::Utf8Conversion converted = ansi::fromUtf8(utf8);
    stats.transliterated += converted.transliterated;
    stats.replaced += converted.replaced;
    stats.invalidBytes += converted.invalid;

    std::string text;
    text.reserve(converted.text.size());
    for (const char c : converted.text) {
        if (c == '"')
            text.push_back('\'');
        else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F')
            text.push_back(' '); // line breaks, tabs, NUL and the other control characters
        else
            text.push_back(c);
    }
    return std::string(trimmed(text, " \xA0"));
}

std::string recordLine(std::string_view text, ImportStats &stats)
{
    ++stats.records;
    return quotedIfNeeded(text) + "\r\n";
}

std::string dataRecord(std::string_view utf8, ImportStats &stats)
{
    return recordLine(recordText(utf8, stats), stats);
}

namespace {

// The surah's name as the surah list gives it, without its number: "Al Baqara (The Cow)".
std::string surahName(int surah)
{
    const std::string &row = surahRows()[static_cast<std::size_t>(surah - 1)];
    const auto blank = row.find(' ');
    return blank == std::string::npos ? std::string() : row.substr(blank + 1);
}

std::optional<int> wholeNumber(std::string_view text)
{
    text = trimmed(text, " ");
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string describeMissing(const std::vector<std::vector<std::optional<std::string>>> &verses)
{
    std::string missingSurahs;
    std::size_t count = 0;
    for (int s = 1; s <= kSurahCount; ++s) {
        bool any = false;
        for (const auto &v : verses[static_cast<std::size_t>(s)])
            any = any || v.has_value();
        if (!any) {
            if (count < 10)
                missingSurahs += (count ? ", " : "") + std::to_string(s);
            ++count;
        }
    }
    if (count > 0)
        return std::to_string(count) + (count == 1 ? " surah is" : " surahs are") +
               " missing: " + missingSurahs + (count > 10 ? ", ..." : "");
    for (int s = 1; s <= kSurahCount; ++s) {
        const auto &list = verses[static_cast<std::size_t>(s)];
        for (std::size_t v = 1; v < list.size(); ++v)
            if (!list[v])
                return "surah " + std::to_string(s) + " has " + std::to_string(verseCount(s)) +
                       " verses, but verse " + std::to_string(v) + " is missing";
    }
    return {};
}

} // namespace

namespace {

// verses[s][v]: the UTF-8 text of verse v of surah s (index 0 unused).
using VerseGrid = std::vector<std::vector<std::optional<std::string>>>;

// The verses of "sura|aya|text" lines (lines starting with "#" and blank lines passed over), every
// verse of every surah there exactly once; else error says which line is at fault, or what is missing.
VerseGrid parseVerseLines(std::string_view input, const Progress &progress, std::string &error)
{
    VerseGrid verses(kSurahCount + 1);
    for (int s = 1; s <= kSurahCount; ++s)
        verses[static_cast<std::size_t>(s)].resize(static_cast<std::size_t>(verseCount(s)) + 1);
    const auto refuse = [&](std::size_t lineNumber, const std::string &why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return VerseGrid();
    };
    std::size_t pos = input.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t lineNumber = 0;
    std::size_t lastReport = 0;
    while (pos < input.size()) {
        const auto end = input.find('\n', pos);
        std::string_view line =
            input.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? input.size() : end + 1;
        ++lineNumber;
        if (progress && pos - lastReport > 65536) {
            progress(pos, input.size());
            lastReport = pos;
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
            continue;
        const auto bar1 = line.find('|');
        const auto bar2 = bar1 == std::string_view::npos ? bar1 : line.find('|', bar1 + 1);
        if (bar2 == std::string_view::npos)
            return refuse(lineNumber, "not in the form sura|aya|text");
        const auto surah = wholeNumber(line.substr(0, bar1));
        const auto verse = wholeNumber(line.substr(bar1 + 1, bar2 - bar1 - 1));
        if (!surah || !verse)
            return refuse(lineNumber, "the surah and verse must be numbers (sura|aya|text)");
        if (*surah < 1 || *surah > kSurahCount)
            return refuse(lineNumber, "there is no surah " + std::to_string(*surah));
        auto &list = verses[static_cast<std::size_t>(*surah)];
        if (*verse < 1 || static_cast<std::size_t>(*verse) >= list.size())
            return refuse(lineNumber, "surah " + std::to_string(*surah) + " has " +
                                          std::to_string(verseCount(*surah)) +
                                          " verses, so there is no verse " + std::to_string(*verse));
        auto &slot = list[static_cast<std::size_t>(*verse)];
        if (slot)
            return refuse(lineNumber, "verse " + std::to_string(*surah) + ":" + std::to_string(*verse) +
                                          " appears a second time");
        slot = std::string(trimmed(line.substr(bar2 + 1), " \t"));
    }
    error = describeMissing(verses);
    return error.empty() ? verses : VerseGrid();
}

// The line of a text that a byte offset falls in, counted from 1.
std::size_t lineAt(std::string_view text, std::size_t offset)
{
    return 1 + static_cast<std::size_t>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

} // namespace

ImportResult importTranslation(std::string_view input, const Progress &progress)
{
    ImportResult result;
    const VerseGrid verses = parseVerseLines(input, progress, result.error);
    if (!result.error.empty())
        return result;

    std::string &out = result.contents;
    out.reserve(input.size() + input.size() / 8);
    const std::string invocation = *verses[1][1];
    for (int s = 1; s <= kSurahCount; ++s) {
        out += dataRecord("Surah " + std::to_string(s) + ". " + surahName(s), result.stats);
        const std::string prefix = ThreeDigits(s) + ".";
        if (s > 1)
            out += dataRecord(prefix + "0) " + (s == 9 ? std::string(kNoInvocationNote) : invocation),
                              result.stats);
        const auto &list = verses[static_cast<std::size_t>(s)];
        for (std::size_t v = 1; v < list.size(); ++v) {
            out += dataRecord(prefix + std::to_string(v) + ") " + *list[v], result.stats);
            ++result.stats.items;
        }
    }
    if (progress)
        progress(input.size(), input.size());
    return result;
}

TanzilImports importTanzilTranslations(const std::filesystem::path &dataFolder,
                                       const std::vector<std::string> &inputs)
{
    TanzilImports out;
    std::vector<OutputFile> files;
    for (const auto &name : inputs) {
        SourceText input = readSource(pathFromUtf8(name));
        TanzilImport checked =
            input.error.empty() ? checkTanzilTranslation(input.text, name) : TanzilImport{};
        out.error = input.error.empty() ? checked.error : input.error;
        if (!out.error.empty()) {
            out.input = name;
            out.taken.clear();
            return out;
        }
        files.push_back({checked.fileName, std::move(input.text)});
        out.taken.push_back(std::move(checked));
    }
    const std::filesystem::path folder = dataFolder / kTranslationsFolder;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    out.error = recoverInterruptedImport(folder);
    if (out.error.empty())
        out.error = writeDataFiles(folder, files);
    if (!out.error.empty())
        out.taken.clear();
    return out;
}

std::string checkQuranText(std::string_view input)
{
    if (std::size_t bad = 0; !isUtf8(input, &bad))
        return "line " + std::to_string(lineAt(input, bad)) + ": not UTF-8 text, as Tanzil's Quran texts are";
    std::string error;
    parseVerseLines(input, {}, error);
    return error;
}

TanzilImport checkTanzilTranslation(std::string_view input, std::string_view inputName)
{
    TanzilImport out;
    const std::size_t first = input.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        out.error = "the file is empty";
        return out;
    }
    if (std::size_t bad = 0; !isUtf8(input, &bad)) {
        out.error = "line " + std::to_string(lineAt(input, bad)) +
                    ": not UTF-8 text, as Tanzil's translation files are";
        return out;
    }
    if (input[first] == '<') {
        out.error = "a web page, not a translation: take the \"Text (with aya numbers)\" download of "
                    "https://tanzil.net/trans/";
        return out;
    }
    if (parseVerseLines(input, {}, out.error); !out.error.empty()) {
        if (input.substr(first, input.find('\n', first) - first).find(',') != std::string_view::npos &&
            out.error.starts_with("line "))
            out.error += " (a CSV download? Tanzil's \"Text (with aya numbers)\" is the form taken)";
        return out;
    }
    out.description = readTanzilDescription(input);
    if (!isTanzilId(out.description.id)) {
        std::string stem = std::string(inputName.substr(inputName.find_last_of("/\\") + 1));
        if (stem.size() > 4 && ansi::equalsNoCase(std::string_view(stem).substr(stem.size() - 4), ".txt"))
            stem.resize(stem.size() - 4);
        out.description.id = ansi::lower(stem);
    }
    if (!isTanzilId(out.description.id)) {
        out.error = "the file names no translation ID (a line \"#  ID: ur.jalandhry\") and its own name is "
                    "none: name it as Tanzil does, e.g. ur.jalandhry.txt";
        return out;
    }
    out.fileName = out.description.id + ".txt";
    return out;
}

namespace {

namespace fs = std::filesystem;

// Every file the import leaves in the data folder while it works starts with this prefix, so that
// a later run finds what an interrupted one left and clears it.
constexpr std::string_view kWorkPrefix = ".velmora-import-";
constexpr std::string_view kJournalName = ".velmora-import-journal";
// The temporary name of an earlier version of the tool, cleared as well.
constexpr std::string_view kOldTemporarySuffix = ".import-new";

// One file being put in place: the target's name, the staged new file's name, and the name under
// which the old file is kept while the swap runs ("" when there was no old file). All are names in
// the folder.
struct SwapEntry
{
    std::string target;
    std::string staged;
    std::string backup;
};

bool entryExists(const fs::path &path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::string journalText(const std::vector<SwapEntry> &entries)
{
    std::string text;
    for (const auto &e : entries)
        text += e.target + '\t' + e.staged + '\t' + e.backup + '\n';
    return text;
}

// A name of an entry directly in the folder: no path, no parent, no device.
bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

// The journal's entries; nullopt when a line names anything but plain names in the folder (the
// staged and kept files among the import's own), so that a damaged or planted journal never moves
// or removes a file elsewhere.
std::optional<std::vector<SwapEntry>> parseJournal(std::string_view text)
{
    std::vector<SwapEntry> entries;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos)
            return std::nullopt;
        SwapEntry e{std::string(line.substr(0, tab1)), std::string(line.substr(tab1 + 1, tab2 - tab1 - 1)),
                    std::string(line.substr(tab2 + 1))};
        const auto isWork = [](const std::string &name) {
            return isPlainName(name) && name.starts_with(kWorkPrefix);
        };
        const bool removal = e.staged.empty() && !e.backup.empty();
        if (!isPlainName(e.target) || !(removal || isWork(e.staged)) ||
            (!e.backup.empty() && !isWork(e.backup)))
            return std::nullopt;
        entries.push_back(std::move(e));
    }
    return entries;
}

// Puts back what the swap of the entries changed: a kept old file returns over the new one in one
// rename, so that the target never goes missing; a new file whose target had no old file is
// removed. Entries the swap never reached change nothing.
bool rollBack(const fs::path &folder, const std::vector<SwapEntry> &entries)
{
    bool ok = true;
    std::error_code ec;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const fs::path target = folder / pathFromUtf8(it->target);
        if (!it->backup.empty()) {
            if (entryExists(folder / pathFromUtf8(it->backup))) {
                fs::rename(folder / pathFromUtf8(it->backup), target, ec);
                ok = ok && !ec;
            }
        } else if (!entryExists(folder / pathFromUtf8(it->staged)) && entryExists(target)) {
            fs::remove(target, ec); // the staged file became the target
            ok = ok && !ec;
        }
    }
    return ok;
}

bool isWorkFile(const std::string &name)
{
    return name.starts_with(kWorkPrefix) ||
           (name.size() > kOldTemporarySuffix.size() && name.ends_with(kOldTemporarySuffix));
}

// Keeps the old file under a second name while the new one takes its place: a hard link where the
// file system has them (no copy, and the target never disappears), else a copy. A link at the
// target's name is kept as that link.
bool keepOldFile(const fs::path &target, const fs::path &kept)
{
    std::error_code ec;
    fs::create_hard_link(target, kept, ec);
    if (!ec)
        return true;
    if (fs::is_symlink(fs::symlink_status(target, ec)))
        fs::copy_symlink(target, kept, ec);
    else
        fs::copy_file(target, kept, ec);
    return !ec;
}

// The first bytes of a regular file, without blocking on anything else; nullopt for no regular file.
std::optional<std::string> headOf(const fs::path &path, std::size_t bytes)
{
    std::string head;
    if (!readRegularFileInto(path, head, bytes))
        return std::nullopt;
    return head;
}

} // namespace

std::string silentWav(int seconds)
{
    constexpr std::uint32_t kRate = 22050;
    const std::uint32_t dataBytes = kRate * 2 * static_cast<std::uint32_t>(seconds);
    std::string wav;
    const auto u32 = [&wav](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            wav.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto u16 = [&wav](std::uint16_t v) {
        wav.push_back(static_cast<char>(v & 0xFF));
        wav.push_back(static_cast<char>(v >> 8));
    };
    wav += "RIFF";
    u32(36 + dataBytes);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    wav += "data";
    u32(dataBytes);
    wav.append(dataBytes, '\0');
    return wav;
}

Recordings planRecordings(const fs::path &folder)
{
    Recordings plan;
    // The published files by surah and verse, letter case of the names aside. Only regular files
    // are recordings: a link, a FIFO or a device under such a name is passed over, never opened.
    std::map<std::pair<int, int>, fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = utf8NameOf(it->path());
        std::error_code typeEc;
        const bool named = name.size() == 10 &&
                           ansi::equalsNoCase(std::string_view(name).substr(6), ".mp3") &&
                           name.find_first_not_of("0123456789") >= 6;
        const auto type = it->symlink_status(typeEc).type();
        if (named && type == fs::file_type::regular)
            found[{std::stoi(name.substr(0, 3)), std::stoi(name.substr(3, 3))}] = it->path();
        else if (named || ansi::upper(name).find("MP3") != std::string::npos)
            plan.nearMisses.push_back("\"" + name + "\"" +
                                      (type == fs::file_type::symlink ? " (a link)" : ""));
    }
    if (ec)
        return {{}, {}, {}, "cannot read the folder " + utf8Of(folder)};
    std::sort(plan.nearMisses.begin(), plan.nearMisses.end());
    // The recording of a published verse as the recording of a verse entry; each file is looked at
    // once, the recording of 1:1 standing for many entries.
    std::set<fs::path> checked;
    const auto take = [&](int surah, int verse, int entrySurah, int entry) {
        const auto it = found.find({surah, verse});
        if (it == found.end()) {
            // In both numberings: the published file's, and the program's verse entry.
            plan.missing.push_back(ThreeDigits(surah) + ThreeDigits(verse) + ".mp3 (entry " +
                                   verseReference(entrySurah, entry) + ")");
            return;
        }
        if (checked.insert(it->second).second)
            if (const auto head = headOf(it->second, 4); !head || !looksLikeMp3(*head))
                plan.error += (plan.error.empty() ? "" : "; ") + utf8NameOf(it->second) +
                              (head ? " is not an MP3 file" : " cannot be read");
        plan.files.push_back({verseReference(entrySurah, entry) + ".mp3", {}, it->second});
    };
    for (int verse = 1; verse <= verseCount(1); ++verse)
        take(1, verse, 1, verse - 1);
    for (int surah = 2; surah <= kSurahCount; ++surah) {
        if (surah != 9)
            take(1, 1, surah, 0); // the invocation
        for (int verse = 1; verse <= verseCount(surah); ++verse)
            take(surah, verse, surah, verse);
    }
    return plan;
}

std::vector<OutputFile> removalsOfOtherRecordings(const fs::path &folder,
                                                  const std::vector<OutputFile> &files)
{
    std::vector<OutputFile> removals;
    std::set<std::string> kept; // the files' names in upper case
    for (const auto &file : files)
        kept.insert(ansi::upper(file.name));
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = utf8NameOf(it->path());
        // SSS-VVV.mp3, in any letter case.
        if (name.size() != 11 || name[3] != '-' ||
            !ansi::equalsNoCase(std::string_view(name).substr(7), ".mp3") ||
            name.substr(0, 3).find_first_not_of("0123456789") != std::string::npos ||
            name.substr(4, 3).find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (!kept.contains(ansi::upper(name)))
            removals.push_back({name, {}, {}, true});
    }
    return removals;
}

std::string recoverInterruptedImport(const fs::path &folder)
{
    const fs::path journal = folder / pathFromUtf8(kJournalName);
    if (entryExists(journal)) {
        const auto text = readRegularFile(journal);
        const auto entries = text ? parseJournal(*text) : std::nullopt;
        if (!entries)
            return "the journal " + utf8Of(journal) +
                   " of an interrupted import names files outside the folder, or cannot be read; nothing "
                   "was changed (remove it once the folder is in order)";
        if (!rollBack(folder, *entries))
            return "an earlier import into " + utf8Of(folder) +
                   " was interrupted and could not be undone; see the files named " +
                   std::string(kWorkPrefix) + "* there";
    }
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        // A file of the import's own, or a kept link to an old data file.
        const bool removable = it->is_symlink(typeEc) || it->is_regular_file(typeEc);
        if (removable && isWorkFile(utf8NameOf(it->path())))
            fs::remove(it->path(), typeEc);
    }
    return {};
}

SourceText readSource(const fs::path &path, std::uintmax_t limit)
{
    const auto tooLarge = [&] {
        const std::string size = limit % (1u << 30) == 0   ? std::to_string(limit >> 30) + " GiB"
                                 : limit % (1u << 20) == 0 ? std::to_string(limit >> 20) + " MiB"
                                                           : std::to_string(limit) + " bytes";
        return SourceText{{}, "it holds more than " + size + ", more than any text this tool takes"};
    };
    SourceText source;
    switch (readInputInto(path, source.text, limit)) {
    case FileTrouble::None:
        return source;
    case FileTrouble::TooLarge:
        return tooLarge();
    case FileTrouble::Missing:
        return {{}, "there is no such file"};
    case FileTrouble::NotAFile: {
        std::error_code ec;
        return {{}, fs::is_directory(path, ec) ? "it is a folder" : "it is neither a file nor a pipe"};
    }
    default:
        return {{}, "it cannot be read"};
    }
}

std::vector<std::string> twinsOf(const platform::NameIndex &folder, const std::string &name)
{
    auto names = folder.entriesFor(name);
    if (!names.empty())
        names.erase(names.begin());
    return names;
}

namespace {

// Every target is checked before anything is written: named once, and a regular file (or a link)
// where one is there already. The file replaced is the one the program reads. The folder is listed
// once: an import of recordings names thousands of files.
std::string checkTargets(const fs::path &folder, const std::vector<OutputFile> &files,
                         std::vector<SwapEntry> &entries)
{
    std::error_code ec;
    const platform::NameIndex present(utf8Of(folder));
    std::set<std::string> named; // the targets so far, in upper case
    for (const auto &file : files) {
        const std::string entry = present.entryFor(file.name);
        const std::string name = entry.empty() ? file.name : entry;
        const fs::path target = folder / pathFromUtf8(name);
        if (!named.insert(ansi::upper(name)).second)
            return name + " is named twice";
        const auto status = fs::symlink_status(target, ec);
        if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_symlink(status))
            return "cannot replace " + utf8Of(target) + ": it is not a file";
        entries.push_back({name, {}, {}});
    }
    return {};
}

void removeStaged(const fs::path &folder, const std::vector<SwapEntry> &entries)
{
    std::error_code ec;
    for (const auto &e : entries)
        if (!e.staged.empty())
            fs::remove(folder / pathFromUtf8(e.staged), ec);
}

// Each new file written whole under a name of the import's own; each file the import takes away
// named for the name it is kept under until the last new file is in.
std::string stageFiles(const fs::path &folder, const std::vector<OutputFile> &files,
                       std::vector<SwapEntry> &entries)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        SwapEntry &entry = entries[i];
        const bool present = entryExists(folder / pathFromUtf8(entry.target));
        if (files[i].remove) {
            if (present)
                entry.backup = std::string(kWorkPrefix) + "removed-" + entry.target + ".old";
            continue;
        }
        std::optional<std::string> sourceText;
        if (!files[i].source.empty() && !(sourceText = readRegularFile(files[i].source)))
            return "cannot read " + utf8Of(files[i].source);
        const auto staged = writeUniqueFile(folder, kWorkPrefix, sourceText ? *sourceText : files[i].contents,
                                            FileAccess::Shared);
        if (!staged)
            return "cannot write into " + utf8Of(folder);
        entry.staged = utf8NameOf(*staged);
        if (present)
            entry.backup = entry.staged + ".old";
    }
    return {};
}

// The journal names every step, so that a run stopped half way is undone by the next one.
bool writeJournal(const fs::path &folder, const std::vector<SwapEntry> &entries)
{
    std::error_code ec;
    const auto journalTemp = writeUniqueFile(folder, kWorkPrefix, journalText(entries));
    if (journalTemp)
        fs::rename(*journalTemp, folder / pathFromUtf8(kJournalName), ec);
    if (journalTemp && ec)
        fs::remove(*journalTemp, ec);
    return journalTemp && !ec;
}

// Each old file is first kept under a second name, then the new file is renamed over it: at no
// moment is a target missing, whenever the run stops. On a failure every old file is put back.
std::string swapIn(const fs::path &folder, const std::vector<SwapEntry> &entries, const StepHook &beforeStep)
{
    std::error_code ec;
    std::size_t step = 0;
    const auto stepAllowed = [&] {
        if (beforeStep && !beforeStep(step++)) {
            ec = std::make_error_code(std::errc::interrupted);
            return false;
        }
        return true;
    };
    const auto keep = [&](const SwapEntry &e) {
        if (!stepAllowed())
            return false;
        if (keepOldFile(folder / pathFromUtf8(e.target), folder / pathFromUtf8(e.backup)))
            return true;
        ec = std::make_error_code(std::errc::io_error);
        return false;
    };
    const auto putInPlace = [&](const SwapEntry &e) {
        if (!stepAllowed())
            return false;
        if (e.staged.empty())
            fs::remove(folder / pathFromUtf8(e.target), ec); // a file the import takes away
        else
            fs::rename(folder / pathFromUtf8(e.staged), folder / pathFromUtf8(e.target), ec);
        return !ec;
    };
    const fs::path journal = folder / pathFromUtf8(kJournalName);
    for (const auto &e : entries) {
        if (e.staged.empty() && e.backup.empty())
            continue; // a removal of a file that is not there
        if ((e.backup.empty() || keep(e)) && putInPlace(e))
            continue;
        const std::string why =
            "cannot replace " + utf8Of(folder / pathFromUtf8(e.target)) + ": " + ec.message();
        if (!rollBack(folder, entries))
            return why + "; the old files could not all be put back, see " + utf8Of(journal);
        for (const auto &other : entries)
            for (const auto &name : {other.staged, other.backup})
                if (!name.empty())
                    fs::remove(folder / pathFromUtf8(name), ec);
        fs::remove(journal, ec);
        return why + "; the old files were kept";
    }
    fs::remove(journal, ec); // from here on the new files stand
    for (const auto &e : entries)
        if (!e.backup.empty())
            fs::remove(folder / pathFromUtf8(e.backup), ec);
    return {};
}

} // namespace

std::string writeDataFiles(const fs::path &folder, const std::vector<OutputFile> &files,
                           const StepHook &beforeStep)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return "the folder " + utf8Of(folder) + " does not exist";
    if (std::string problem = recoverInterruptedImport(folder); !problem.empty())
        return problem;
    std::vector<SwapEntry> entries;
    if (std::string problem = checkTargets(folder, files, entries); !problem.empty())
        return problem;
    if (std::string problem = stageFiles(folder, files, entries); !problem.empty()) {
        removeStaged(folder, entries);
        return problem;
    }
    if (!writeJournal(folder, entries)) {
        removeStaged(folder, entries);
        return "cannot write into " + utf8Of(folder);
    }
    return swapIn(folder, entries, beforeStep);
}

} // namespace velmora::import
