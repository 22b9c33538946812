// The search history, "Srch.dat" in the temporary folder: one query per line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char *kHistoryFileName = "Srch.dat";

// Entries used when the history is empty and written by the count label.
const std::vector<std::string> &defaultHistory();
// Entries that "Reset usage" writes and lists.
const std::vector<std::string> &resetHistory();

// The non-empty fields of the file; empty when it is missing or unreadable.
std::vector<std::string> readHistory(const std::filesystem::path &path);
// Writes each entry on a line of its own, unchanged; false when the file cannot be written.
bool writeHistory(const std::filesystem::path &path, const std::vector<std::string> &entries);

} // namespace velmora
