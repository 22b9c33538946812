// Paths as the program spells them: in UTF-8 on every system, as the windows, the terminal and the
// messages have them. A Windows path is UTF-16 and is converted here, never through the ANSI code
// page, so that a user named "José" or "محمد" reaches their own folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// The path a UTF-8 spelling names. Elsewhere than on Windows the bytes are the path, whatever they
// are; on Windows bytes that are not UTF-8 are taken one by one, as Latin-1.
std::filesystem::path pathFromUtf8(std::string_view utf8);

// The UTF-8 spelling of a path; on Windows a lone surrogate, which UTF-8 cannot spell, becomes "?".
std::string utf8Of(const std::filesystem::path &path);

// The UTF-8 spelling of a path's last part, as a folder listing names it.
std::string utf8NameOf(const std::filesystem::path &path);

} // namespace velmora
