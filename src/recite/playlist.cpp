#include "playlist.h"

#include "core/ansi.h"
#include "core/textfield.h"
#include "platform/paths.h"

#include <algorithm>

namespace velmora {

std::uintmax_t durationPauseLines(std::uintmax_t verseFileBytes)
{
    return verseFileBytes / kBytesPerPauseStep + 1;
}

std::vector<std::string> composePlaylist(const PlaylistRequest &request)
{
    // The recordings folder is listed once for all the lookups of a playlist.
    const platform::FolderIndex folder(request.programFolder);
    auto shortPath = [&folder](const std::string &name) {
        return platform::ShortPathOf(folder.resolve(name).string());
    };
    const std::string lineA = shortPath("a.mp3");
    const std::string lineB = shortPath("b.mp3");
    const int from = std::min(request.from, request.to);
    const int to = std::max(request.from, request.to);
    const double everyVerse = numberInText(request.everyVerseCount);
    const double passes = numberInText(request.selectionCount);

    std::vector<std::string> lines;
    for (double r = 1; r <= passes; ++r) {
        for (int p = std::max(from, 0); p <= to && p < static_cast<int>(request.entries.size()); ++p) {
            const auto versePath = folder.resolve(request.entries[static_cast<std::size_t>(p)] + ".mp3");
            const std::string verseLine = platform::ShortPathOf(versePath.string());
            for (double k = 1; k <= everyVerse; ++k) {
                lines.push_back(verseLine);
                switch (static_cast<PauseChoice>(request.pauseIndex)) {
                case PauseChoice::OneSecond:
                    lines.push_back(lineA);
                    break;
                case PauseChoice::ThreeSeconds:
                    lines.push_back(lineB);
                    break;
                case PauseChoice::DurationOfVerse: {
                    const auto n = durationPauseLines(platform::fileSize(versePath).value_or(0));
                    lines.insert(lines.end(), n, lineB);
                    break;
                }
                default:
                    break;
                }
            }
        }
    }
    return lines;
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
