#include "notes.h"

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"

#include <algorithm>
#include <charconv>

namespace velmora {
namespace {

constexpr std::string_view kTitle = "# Velmora notes";

// The verse a heading line names: "## 2:255" and anything after a blank; nullopt for another line.
std::optional<VersePlace> headingPlace(std::string_view line)
{
    if (!line.starts_with("## "))
        return std::nullopt;
    line.remove_prefix(3);
    const auto place = versePlaceAtStart(line);
    return place ? std::optional(place->first) : std::nullopt;
}

// Whether a line of a note would read as a heading once its backslashes are gone: such lines are
// written with one backslash more, and read with one less.
bool headingLike(std::string_view line)
{
    return line.substr(std::min(line.find_first_not_of('\\'), line.size())).starts_with("## ");
}

std::string withoutTrailingBlankLines(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

Notes parseNotes(std::string_view markdown)
{
    Notes notes;
    if (markdown.starts_with("\xEF\xBB\xBF"))
        markdown.remove_prefix(3);
    std::optional<VersePlace> current;
    bool headingSeen = false;
    std::string body;
    std::string stray; // lines under a heading that names no verse, or before the first
    const auto finish = [&] {
        if (current) {
            std::string &note = notes.byVerse[*current];
            const std::string text = withoutTrailingBlankLines(body);
            note = note.empty() ? text : note + "\n\n" + text;
        }
        body.clear();
    };
    while (!markdown.empty()) {
        std::string_view line = takeLine(markdown);
        if (line.starts_with("## ")) {
            finish();
            current = headingPlace(line);
            headingSeen = true;
            if (!current)
                stray.append(line).push_back('\n');
            continue;
        }
        if (line.starts_with('\\') && headingLike(line))
            line.remove_prefix(1); // a note's own line that would read as a heading
        if (current) {
            if (!body.empty() || !line.empty())
                body.append(line).push_back('\n');
        } else if (headingSeen || (line != kTitle && !line.empty())) {
            stray.append(line).push_back('\n');
        }
    }
    finish();
    for (auto it = notes.byVerse.begin(); it != notes.byVerse.end();)
        it = it->second.empty() ? notes.byVerse.erase(it) : std::next(it);
    notes.unreadable = withoutTrailingBlankLines(stray);
    return notes;
}

std::string formatNotes(const std::map<VersePlace, std::string> &notes,
                        const std::function<std::string(int surah)> &surahName)
{
    std::string out = std::string(kTitle) + "\n";
    for (const auto &[place, text] : notes) {
        const std::string note = withoutTrailingBlankLines(text);
        if (note.empty())
            continue;
        out += "\n## " + std::to_string(place.surah) + ":" + std::to_string(place.aya);
        if (const std::string name = surahName ? surahName(place.surah) : std::string(); !name.empty())
            out += " " + name;
        out += "\n\n";
        for (std::string_view rest = note; !rest.empty();) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (headingLike(line))
                out += "\\";
            out.append(line).push_back('\n');
        }
    }
    return out;
}

NotesFile::NotesFile(std::filesystem::path file, std::function<std::string(int surah)> surahName)
    : file_(std::move(file)), surahName_(std::move(surahName))
{
}

NotesFile::Outcome NotesFile::takeUnreadable(const Notes &parsed, std::string_view contents)
{
    Outcome outcome;
    notes_ = parsed.byVerse;
    lastSeen_ = std::string(contents);
    if (parsed.unreadable.empty())
        return outcome;
    // The whole file as it was, beside it under a name no file has yet.
    outcome.keptAside = keepCopyAside(file_, contents);
    outcome.written = !outcome.keptAside.empty();
    return outcome;
}

NotesFile::Outcome NotesFile::read()
{
    return take(readRegularFile(file_));
}

NotesFile::Outcome NotesFile::take(const std::optional<std::string> &contents)
{
    if (!contents) {
        notes_.clear();
        lastSeen_.reset();
        return {};
    }
    return takeUnreadable(parseNotes(*contents), *contents);
}

std::string NotesFile::noteOn(VersePlace verse) const
{
    const auto found = notes_.find(verse);
    return found == notes_.end() ? std::string() : found->second;
}

NotesFile::Outcome NotesFile::refresh()
{
    const auto now = readRegularFile(file_);
    if (now == lastSeen_)
        return {};
    Outcome outcome = take(now);
    outcome.changedOutside = true;
    return outcome;
}

NotesFile::Outcome NotesFile::set(VersePlace verse, const std::string &text)
{
    Outcome outcome = refresh();
    if (text.empty())
        notes_.erase(verse);
    else
        notes_[verse] = text;
    const std::string contents = formatNotes(notes_, surahName_);
    outcome.written = writeFileReplacing(file_, contents);
    if (outcome.written)
        lastSeen_ = contents;
    return outcome;
}

std::string notesAsVerseLines(const std::map<VersePlace, std::string> &notes)
{
    std::string lines;
    for (const auto &[verse, text] : notes) {
        if (text.empty())
            continue;
        lines.append(std::to_string(verse.surah)).append("|").append(std::to_string(verse.aya)).append("|");
        const std::size_t at = lines.size();
        lines.append(text);
        std::replace_if(
            lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end(),
            [](char c) { return c == '\n' || c == '\r'; }, ' ');
        lines.push_back('\n');
    }
    return lines;
}

} // namespace velmora
