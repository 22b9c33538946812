// How long an MP3 recording plays, read from its frames rather than guessed from its size.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace velmora {

// The playing time in seconds of MPEG audio layer III data (MPEG 1, 2 or 2.5, constant or
// variable bit rate): the frame count of a Xing, Info or VBRI header where the first frame has one,
// else the frames counted one by one; an ID3v2 tag before them is passed over. nullopt when no
// frame is found.
std::optional<double> mp3Seconds(std::string_view bytes);

// The same for a file; nullopt when it cannot be read or holds no MP3 frame.
std::optional<double> mp3FileSeconds(const std::filesystem::path &file);

} // namespace velmora
