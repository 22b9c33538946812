// Any track a player on the bus tells of: its URL gives a file name without its folders, and the
// title built from it, as the monitor reads it, names the playlist place the player gave.
#include "platform/player/mpris.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace velmora::platform;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = input.find('\n');
    mpris::TrackInfo track;
    track.url = std::string(input.substr(0, cut));
    track.title = cut == std::string_view::npos ? "" : std::string(input.substr(cut + 1));
    track.artist = "a";
    track.playerName = "mpv";
    track.position = mpris::positionFromTrackId(track.title);
    // An escaped "%2F" may decode to a slash; a plain one always ends the folders.
    if (track.url.find('%') == std::string::npos &&
        mpris::fileNameOfUrl(track.url).find('/') != std::string::npos)
        __builtin_trap();
    const std::string title = mpris::windowTitle(track);
    if (track.position > 0 && !title.starts_with(std::to_string(track.position) + ". "))
        __builtin_trap();
    mpris::handleFromUniqueName(input);
    return 0;
}
