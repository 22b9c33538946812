// The search history, "Srch.dat" in the temporary folder: one query per line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

inline constexpr const char *kHistoryFileName = "Srch.dat";
// Queries that Windows-1252 cannot hold (Arabic ones) are kept beside it, one a line in UTF-8, so
// that Srch.dat keeps the single-byte form every version reads.
inline constexpr const char *kWideHistoryFileName = "Srch-utf8.dat";

// Entries used when the history is empty and written by the count label.
const std::vector<std::string> &defaultHistory();
// Entries that "Reset usage" writes and lists.
const std::vector<std::string> &resetHistory();

// The non-empty fields of the file; empty when it is missing or unreadable.
std::vector<std::string> readHistory(const std::filesystem::path &path);
// Writes each entry on a line of its own, unchanged; false when the file cannot be written.
bool writeHistory(const std::filesystem::path &path, const std::vector<std::string> &entries);

// The UTF-8 history: its non-empty lines; and written as such (the file removed when there are none).
std::vector<std::string> readWideHistory(const std::filesystem::path &path);
bool writeWideHistory(const std::filesystem::path &path, const std::vector<std::string> &entries);

} // namespace velmora
