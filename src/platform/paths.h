// Folders and files as the operating system has them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// The path separator the program appends to its folders.
char separator();

// The folder of the running program file, with a separator appended.
std::string programFolder();

// The folder of the program's own files (preferences, history, schemes, scratch files), with a
// separator appended. On Windows the user's temporary folder as the system reports it (empty when it
// does not fit 144 characters). Elsewhere the user's private state folder, $XDG_STATE_HOME/velmora
// (~/.local/state/velmora by default), made with mode 0700 on first use; empty when there is no
// home or the folder cannot be made.
std::string tempFolder();

// The short (8.3) form of an existing file or folder; elsewhere, where there is no short form, its
// absolute path. "" for "" or a path that names nothing.
std::string ShortPathOf(const std::string &path);

// folder + name, where an existing entry whose name differs only in letter case stands for name.
std::filesystem::path resolveNoCase(const std::string &folder, const std::string &name);

// Ordinary files of a folder whose names end in the extension (letter case ignored), as listed.
std::vector<std::string> listFilesWithExtension(const std::string &folder, const std::string &extension);

// Whether a file descriptor of the process (1 for standard output) is a terminal.
bool isTerminal(int fd);

std::optional<std::uintmax_t> fileSize(const std::filesystem::path &path);
bool isRegularFile(const std::filesystem::path &path);

} // namespace velmora::platform
