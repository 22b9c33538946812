#include "mpris.h"

#include "core/ansi.h"
#include "core/utf8.h"

#include <charconv>

namespace velmora::platform::mpris {

std::string playerNameOf(std::string_view programPath)
{
    const auto slash = programPath.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return name.empty() ? std::string("audacious") : ansi::lower(name);
}

std::string choosePlayerService(const std::vector<std::string> &busNames, std::string_view playerName,
                                const std::function<PlayerSelf(const std::string &busName)> &describe,
                                const std::function<bool(const std::string &busName)> &accept)
{
    const auto isThePlayer = [&](const std::string &name) {
        const std::string_view own = std::string_view(name).substr(kServicePrefix.size());
        if (ansi::equalsNoCase(own.substr(0, own.find('.')), playerName))
            return true;
        if (!describe)
            return false;
        return ansi::equalsNoCase(describe(name).program, playerName);
    };
    for (const auto &name : busNames)
        if (name.starts_with(kServicePrefix) && isThePlayer(name) && (!accept || accept(name)))
            return name;
    return {};
}

std::vector<std::string> minimizedStartOptions(std::string_view playerName)
{
    // Audacious has no minimized start: headless, it plays without a window, driven from here.
    static const std::pair<std::string_view, std::vector<std::string>> kOptions[] = {
        {"mpv", {"--window-minimized=yes", "--focus-on-open=no"}},
        {"audacious", {"--headless"}},
        {"vlc", {"--qt-start-minimized"}},
    };
    for (const auto &[player, options] : kOptions)
        if (ansi::equalsNoCase(player, playerName))
            return options;
    return {};
}

namespace {

bool readNumber(std::string_view text, std::uint32_t &value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

PlayerHandle handleFromUniqueName(std::string_view uniqueName)
{
    if (!uniqueName.starts_with(':'))
        return 0;
    const auto dot = uniqueName.find('.');
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (dot == std::string_view::npos || !readNumber(uniqueName.substr(1, dot - 1), major) ||
        !readNumber(uniqueName.substr(dot + 1), minor))
        return 0;
    // The major part is kept off zero so that ":0.0" still is a handle.
    return (static_cast<PlayerHandle>(major + 1ULL) << 32) | minor;
}

std::string uniqueNameFromHandle(PlayerHandle handle)
{
    static_assert(sizeof(PlayerHandle) >= 8, "a bus name needs a 64-bit handle");
    const auto major = handle >> 32;
    if (major == 0)
        return {};
    return ":" + std::to_string(major - 1) + "." + std::to_string(handle & 0xFFFFFFFFULL);
}

int playStateFromStatus(std::string_view status)
{
    if (status == "Playing")
        return kStatePlaying;
    if (status == "Paused")
        return kStatePaused;
    return kStateStopped;
}

int positionFromTrackId(std::string_view trackId)
{
    std::uint32_t index = 0;
    if (!trackId.starts_with('/') || !readNumber(trackId.substr(1), index) || index >= 1000000)
        return 0;
    return static_cast<int>(index) + 1;
}

std::string fileNameOfUrl(std::string_view url)
{
    const auto cut = url.find_last_of('/');
    const std::string_view name = cut == std::string_view::npos ? url : url.substr(cut + 1);
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned value = 0;
        if (name[i] == '%' && i + 2 < name.size() &&
            std::from_chars(name.data() + i + 1, name.data() + i + 3, value, 16).ptr == name.data() + i + 3) {
            out.push_back(static_cast<char>(value));
            i += 2;
        } else {
            out.push_back(name[i]);
        }
    }
    return ansi::fromUtf8(out).text; // URLs escape the bytes of UTF-8
}

std::string windowTitle(const TrackInfo &track)
{
    // The recording's own name, from what the player plays: the tags of a file, or what a player
    // guesses from its folder, name no verse.
    std::string title = fileNameOfUrl(track.url);
    std::string artist = kTitleArtist;
    if (title.empty()) {
        title = track.title;
        artist = track.artist;
    }
    if (title.empty())
        return track.playerName;
    std::string out;
    if (track.position > 0)
        out = std::to_string(track.position) + ". ";
    if (!artist.empty())
        out += artist + " - ";
    out += title;
    out += " - ";
    out += track.playerName;
    return out;
}

} // namespace velmora::platform::mpris
