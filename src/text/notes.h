// The reader's notes on verses: one plain UTF-8 Markdown file of the reader's own, each note under a
// heading that names its verse ("## 2:255 Al-Baqara"), read as far as it is sound.
#pragma once

#include "text/metadata.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char *kNotesFileName = "Notes.md";

struct Notes
{
    std::map<VersePlace, std::string> byVerse; // each note's text, without its heading
    std::string unreadable;                    // what stood outside any verse's heading, as it stood
};

// The notes of a file's text. A heading "## S:V" (what follows the place is the surah's name, for
// the reader) begins a verse's note, which runs to the next heading; two notes on one verse are
// joined. Anything else before the first such heading (but the file's title), or under a heading
// that names no verse, is unreadable.
Notes parseNotes(std::string_view markdown);

// The file's text: a title, then every note under its heading in the Quran's order; surahName names
// a surah in the headings ("" leaves it out). A note with no text is left out.
std::string formatNotes(const std::map<VersePlace, std::string> &notes,
                        const std::function<std::string(int surah)> &surahName = {});

// The notes as a text a search reads as it reads a translation: a "sura|aya|text" line a note, in the
// Quran's order, its line ends as blanks.
std::string notesAsVerseLines(const std::map<VersePlace, std::string> &notes);

// The notes file of the reader's folder, kept whole: every change writes it anew (a unique
// temporary file, then a rename), so that it is always the old or the new, never a part.
class NotesFile
{
public:
    explicit NotesFile(std::filesystem::path file, std::function<std::string(int surah)> surahName = {});
    struct Outcome
    {
        bool written = true;
        // What could not be read, copied first to a file of its own beside the notes, never
        // overwritten; empty when all was read.
        std::filesystem::path keptAside;
        bool changedOutside = false; // the file was changed since the program read it
    };
    // Reads the file; a missing file is no notes.
    Outcome read();
    // Reads the file again if it was changed outside the program since it was read or written here.
    Outcome refresh();
    const std::map<VersePlace, std::string> &notes() const { return notes_; }
    std::string noteOn(VersePlace verse) const;
    // Sets a verse's note ("" removes it) and writes the file. A file changed outside the program
    // since it was read is read again first: its notes stay, this one is set among them.
    Outcome set(VersePlace verse, const std::string &text);

private:
    // The notes of the file's contents as just read (nullopt: no file).
    Outcome take(const std::optional<std::string> &contents);
    Outcome takeUnreadable(const Notes &parsed, std::string_view contents);
    std::filesystem::path file_;
    std::function<std::string(int surah)> surahName_;
    std::map<VersePlace, std::string> notes_;
    std::optional<std::string> lastSeen_; // the file as last read or written here
};

} // namespace velmora
