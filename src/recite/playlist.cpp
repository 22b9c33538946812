#include "playlist.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "recite/mp3length.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {

std::uintmax_t durationPauseLines(std::uintmax_t verseFileBytes)
{
    return verseFileBytes / kBytesPerPauseStep + 1;
}

namespace {

// The lines of one recitation of a position: the verse's line and its pause lines.
struct PositionLines
{
    std::string verse;   // "" when the recording is left out
    std::string skipped; // why it is left out, "" when it is not
    std::size_t pauses = 0;
};

// The positions of the range in the verse list, forwards: [first, last], empty when last < first.
std::pair<int, int> rangeOf(const PlaylistRequest &request)
{
    return {std::max(std::min(request.from, request.to), 0),
            std::min(std::max(request.from, request.to), static_cast<int>(request.entries.size()) - 1)};
}

// Where a playlist's recordings lie, each folder listed once for all its lookups: the verses in a
// chosen reciter's folder alone, so that no recitation mixes two reciters; the pauses there where
// the import made them, else in the program's folders.
struct RecordingFolders
{
    explicit RecordingFolders(const PlaylistRequest &request) : program(request.programFolder)
    {
        if (!request.reciterFolder.empty())
            reciter.emplace(request.reciterFolder);
    }
    std::filesystem::path verse(const std::string &name) const
    {
        return reciter ? reciter->resolve(name) : program.resolve(name);
    }
    std::filesystem::path pause(const std::string &name) const
    {
        if (reciter)
            if (auto own = reciter->resolve(name); platform::isRegularFile(own))
                return own;
        return program.resolve(name);
    }

    platform::FolderIndex program;
    std::optional<platform::FolderIndex> reciter;
};

// Every position of the range once, each recording looked at once however often it is recited.
std::vector<PositionLines> positionsOf(const PlaylistRequest &request, const RecordingFolders &folders)
{
    const auto [from, to] = rangeOf(request);
    std::vector<PositionLines> positions;
    for (int p = from; p <= to; ++p) {
        const std::string name = request.entries[static_cast<std::size_t>(p)] + ".mp3";
        const auto path = folders.verse(name);
        PositionLines position;
        const auto size = platform::fileSize(path);
        std::string head;
        if (!size)
            position.skipped = name + " (missing)";
        else if (*size == 0)
            position.skipped = name + " (empty)";
        else if (!readRegularFileInto(path, head, 4) || !looksLikeMp3(head))
            position.skipped = name + " (not an MP3 file)";
        else
            position.verse = platform::ShortPathOf(utf8Of(path));
        switch (static_cast<PauseChoice>(request.pauseIndex)) {
        case PauseChoice::OneSecond:
        case PauseChoice::ThreeSeconds:
            position.pauses = 1;
            break;
        case PauseChoice::DurationOfVerse:
            position.pauses = static_cast<std::size_t>(durationPauseLines(size.value_or(0)));
            break;
        case PauseChoice::LengthOfVerse:
            // A recording that cannot play is no time to pause for; the encoder's padding aside.
            position.pauses = position.verse.empty()
                                  ? 0
                                  : static_cast<std::size_t>(
                                        std::ceil(std::max(mp3FileSeconds(path).value_or(0) - 0.05, 0.0) *
                                                  std::clamp(request.lengthMultiple, 0.0, 10.0)));
            break;
        default:
            break;
        }
        positions.push_back(std::move(position));
    }
    return positions;
}

// How often a count box recites: its whole part, none below 1.
std::size_t timesOf(const std::string &countText)
{
    const double count = numberInText(countText);
    return count < 1 ? 0 : static_cast<std::size_t>(std::min(count, kMostRepeats + 1));
}

// How often a pass recites each verse: the every-verse count, or 1 + 2 + ... up to it when rising.
std::size_t timesInPass(const PlaylistRequest &request)
{
    const std::size_t k = timesOf(request.everyVerseCount);
    return request.risingRepeats ? k * (k + 1) / 2 : k;
}

// The pause lines between two passes; none between passes that recite nothing.
std::size_t selectionPauseLines(const std::vector<PositionLines> &positions, const PlaylistRequest &request)
{
    return positions.empty() || timesInPass(request) == 0
               ? 0
               : static_cast<std::size_t>(std::clamp(request.selectionPauseSeconds, 0, 3600));
}

std::size_t lengthOf(const std::vector<PositionLines> &positions, const PlaylistRequest &request)
{
    std::size_t pass = 0;
    for (const auto &position : positions)
        pass += 1 + position.pauses;
    const std::size_t passes = timesOf(request.selectionCount);
    return pass * timesInPass(request) * passes +
           (passes > 0 ? passes - 1 : 0) * selectionPauseLines(positions, request);
}

// One pass over the positions: each verse as often as the round asks, with its pause lines.
void writePass(const std::vector<PositionLines> &positions, const PlaylistRequest &request,
               const std::string &pause, std::vector<std::string> &lines)
{
    const std::size_t everyVerse = timesOf(request.everyVerseCount);
    const auto round = [&](std::size_t times) {
        for (const auto &position : positions)
            for (std::size_t k = 0; k < times; ++k) {
                lines.push_back(position.verse);
                lines.insert(lines.end(), position.pauses, pause);
            }
    };
    if (!request.risingRepeats)
        round(everyVerse);
    else
        for (std::size_t times = 1; times <= everyVerse; ++times)
            round(times);
}

} // namespace

std::size_t recitations(const PlaylistRequest &request)
{
    const auto [from, to] = rangeOf(request);
    const auto positions = static_cast<std::size_t>(std::max(to - from + 1, 0));
    return positions * timesInPass(request) * timesOf(request.selectionCount);
}

Playlist composePlaylist(const PlaylistRequest &request)
{
    Playlist out;
    if (numberInText(request.everyVerseCount) > kMostRepeats ||
        numberInText(request.selectionCount) > kMostRepeats) {
        out.problem =
            "A verse, and the selection, can be recited at most 100 times: please enter counts from 1 "
            "to 100.";
        return out;
    }
    const RecordingFolders folders(request);
    const auto positions = positionsOf(request, folders);
    const std::size_t length = lengthOf(positions, request);
    if (length > kMostPlaylistLines) {
        out.problem = "This recitation would be a playlist of " + std::to_string(length) +
                      " lines, more than the " + std::to_string(kMostPlaylistLines) +
                      " a playlist may hold: please choose fewer verses or fewer repetitions.";
        return out;
    }
    const auto pauseLine = [&](const char *name) {
        return platform::ShortPathOf(utf8Of(folders.pause(name)));
    };
    const bool bySeconds = request.pauseIndex == static_cast<int>(PauseChoice::OneSecond) ||
                           request.pauseIndex == static_cast<int>(PauseChoice::LengthOfVerse);
    const std::string pause = bySeconds                ? pauseLine("a.mp3")
                              : request.pauseIndex > 0 ? pauseLine("b.mp3")
                                                       : std::string();
    out.lines.reserve(length);
    const std::size_t passes = timesOf(request.selectionCount);
    const std::string second = request.selectionPauseSeconds > 0 ? pauseLine("a.mp3") : std::string();
    for (std::size_t r = 0; r < passes; ++r) {
        if (r > 0)
            out.lines.insert(out.lines.end(), selectionPauseLines(positions, request), second);
        writePass(positions, request, pause, out.lines);
    }
    const std::size_t everyVerse = timesInPass(request);
    for (const auto &position : positions)
        if (!position.skipped.empty() && passes * everyVerse > 0 &&
            std::find(out.skipped.begin(), out.skipped.end(), position.skipped) == out.skipped.end())
            out.skipped.push_back(position.skipped);
        else if (position.skipped.empty())
            out.recited += passes * everyVerse;
    return out;
}

std::string playlistFileName(std::string_view schemeName)
{
    std::string name = ansi::lower(schemeName);
    if (!name.empty())
        name[0] = ansi::toUpper(name[0]);
    return name + ".m3u";
}

SchemeNameCheck checkSchemeName(std::string_view name)
{
    if (name.empty())
        return SchemeNameCheck::Empty;
    if (name.size() > kMaxSchemeNameLength)
        return SchemeNameCheck::TooLong;
    if (name == "." || name == ".." || name.find_first_of("\\/:*?\"<>|") != std::string_view::npos ||
        std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
        return SchemeNameCheck::NotAFileName;
    return SchemeNameCheck::Ok;
}

std::string reciteCountText(const std::string &boxText)
{
    return numberInText(boxText) <= 0 ? std::string("1") : boxText;
}

} // namespace velmora
