// Writing the program's data files from published texts: translations as "sura|aya|text" lines
// and hadith collections as JSON (the hadith half lives in import/hadith.h).
#pragma once

#include "core/tanzil.h"
#include "platform/paths.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::import {

// Counts for the report of one written file.
struct ImportStats
{
    std::size_t records = 0;        // records written, headings included
    std::size_t items = 0;          // verses or hadiths taken from the input
    std::size_t transliterated = 0; // characters written as their nearest Windows-1252 form
    std::size_t replaced = 0;       // characters with no such form, written as "?"
    std::size_t invalidBytes = 0;   // input bytes that were not UTF-8
    std::size_t skipped = 0;        // hadiths with no text, left out
};

// A finished file's text, or why the input was refused.
struct ImportResult
{
    std::string contents; // Windows-1252, CR LF; empty when refused
    ImportStats stats;
    std::string error; // "" when the input was taken
};

// Called now and then with the input bytes handled so far and their total.
using Progress = std::function<void(std::size_t done, std::size_t total)>;

// The text of one record from UTF-8 text: converted to Windows-1252, double quotes inside made
// apostrophes, line breaks, tabs and other control characters (NUL among them) made blanks (the
// field reader cannot give them back), and outer blanks dropped. Empty for a text of blanks and
// invisible characters alone.
std::string recordText(std::string_view utf8, ImportStats &stats);
// A record's text as a line of a data file: in double quotes when it holds a comma, then CR LF.
std::string recordLine(std::string_view text, ImportStats &stats);
// recordLine of recordText.
std::string dataRecord(std::string_view utf8, ImportStats &stats);

// A translation or transliteration from lines "sura|aya|text" (lines starting with "#" and blank
// lines are passed over). Every verse of every surah must be there exactly once, with the verse
// counts of the surah list. The file gets, per surah, the heading "Surah N. name", then for
// surahs 2 to 114 entry 0 (the invocation, taken from verse 1:1, or for surah 9 a note that it has
// none), then one record "SSS.V) text" per verse.
ImportResult importTranslation(std::string_view input, const Progress &progress = {});

// A translation as Tanzil publishes it ("Text (with aya numbers)", https://tanzil.net/trans/), to be
// kept as it is: UTF-8 throughout, every verse of every surah once, as importTranslation asks. Its
// file is named by its ID, from its description block or else from the input's own name
// ("ur.jalandhry.txt"). A web page, a CSV download, an empty file are refused with what they are.
struct TanzilImport
{
    std::string fileName; // "ur.jalandhry.txt"
    TanzilDescription description;
    std::string error; // "" when the input can be taken
};
TanzilImport checkTanzilTranslation(std::string_view input, std::string_view inputName);

// Why a Quran text as Tanzil publishes it (https://tanzil.net/download/, "Text (with aya numbers)")
// cannot be taken: not UTF-8, or not every verse of every surah once; "" when it can.
std::string checkQuranText(std::string_view input);

// Tanzil's files (named in UTF-8) into the translations folder of a data folder, all or none: each
// read and checked, then written as they are, an import there that was stopped half way undone
// first. What was taken; or the input at fault and why (input "" for a fault of the writing).
struct TanzilImports
{
    std::vector<TanzilImport> taken;
    std::string input;
    std::string error; // "" when every input was taken and written
};
TanzilImports importTanzilTranslations(const std::filesystem::path &dataFolder,
                                       const std::vector<std::string> &inputs);

// The note that stands as entry 0 of surah 9, which opens without the invocation.
inline constexpr std::string_view kNoInvocationNote = "(This surah opens without the invocation.)";

// Writes finished files into a folder, all or none. Every target is checked first (named once, a
// file where one exists); each new file is staged under a unique temporary name, and only when all
// are written are they put in place, the old ones moved aside until the last is in. When a step
// fails, the files already replaced are put back; a run that is stopped half way is undone by the
// next one, which also clears what it left. An existing file whose name differs only in letter case
// is the one replaced. "" on success, else what went wrong.
struct OutputFile
{
    std::string name;
    std::string contents;
    std::filesystem::path source{}; // when set, the file's contents are this file's, read as they are staged
    bool remove = false;            // the import takes the file away (with the others, all or nothing)
};
// Called before each rename of the swap, numbered from 0; a false answer fails that step. Tests use
// it to fail or stop the swap half way.
using StepHook = std::function<bool(std::size_t step)>;
std::string writeDataFiles(const std::filesystem::path &folder, const std::vector<OutputFile> &files,
                           const StepHook &beforeStep = {});

// Per-verse recordings as reciters publish them, one file per verse named SSSAAA.mp3 (surah and
// verse, three digits each), as the program's recordings SSS-VVV.mp3 by verse entry: for surah 1
// entry k is verse k + 1; for the others entry 0 is the invocation (the recording of 1:1), which
// surah 9 does not have, and entry k is verse k. Only regular files are taken, never a link; files
// that are not MP3 refuse the whole import, and every one of them is named.
struct Recordings
{
    std::vector<OutputFile> files;    // to write, each with its source
    std::vector<std::string> missing; // verses no recording was found for ("002005.mp3 (entry 002-005)")
    // Entries named nearly as recordings are and not taken, in double quotes, so that a reader
    // sees why a verse is missing: "\"001002 (copy).mp3\"", "\"001003.mp3\" (a link)".
    std::vector<std::string> nearMisses;
    std::string error; // "" when the recordings can be taken
};
Recordings planRecordings(const std::filesystem::path &folder);

// Removals of the recordings (SSS-VVV.mp3) of the folder that the files do not replace, so that an
// import of recordings replaces the whole set and no recitation mixes two reciters.
std::vector<OutputFile> removalsOfOtherRecordings(const std::filesystem::path &folder,
                                                  const std::vector<OutputFile> &files);

// A silent mono WAV file of the given length, which lame encodes into a pause.
std::string silentWav(int seconds);

// The most an input may hold: the largest published texts are a few dozen megabytes.
inline constexpr std::uintmax_t kMaxInputBytes = std::uintmax_t{1} << 30;

// An input named on the command line, read to its end: a file, or a pipe such as <(unzip -p ...).
// Refused with a reason when it cannot be read, holds more than limit bytes (told by its size when
// it is a file, before it is read) or is a device (/dev/zero never ends); a FIFO that no program
// writes to reads as empty, never waited for.
struct SourceText
{
    std::string text;
    std::string error; // "" when read
};
SourceText readSource(const std::filesystem::path &path, std::uintmax_t limit = kMaxInputBytes);

// Other entries of the listed folder named like name but for letter case: the program reads the
// first in byte order, and these not at all.
std::vector<std::string> twinsOf(const platform::NameIndex &folder, const std::string &name);

// Undoes an import into the folder that was stopped half way and removes the files it left. "" when
// the folder is in order.
std::string recoverInterruptedImport(const std::filesystem::path &folder);

} // namespace velmora::import
