// The search history, "Srch.dat" in the temporary folder: one query per line.
#pragma once

#include <filesystem>
#include <optional>
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

// The search window's queries as one list of UTF-8 texts in the list's order (Windows-1252's), kept
// in a folder as the two files above: those Windows-1252 holds in Srch.dat in that form, the others
// beside it.
class SearchHistory
{
public:
    explicit SearchHistory(std::vector<std::string> entries = {});
    // The folder's two files (found whatever their letter case), or the default entries when
    // neither holds any or there is no folder.
    static SearchHistory read(const std::string &folder);

    const std::vector<std::string> &entries() const { return entries_; }
    // Adds a query the list does not hold yet, at its place in the list: one that Windows-1252
    // holds is compared letter case aside, any other (an Arabic one) as it is. The place it took;
    // nullopt when the list holds it.
    std::optional<std::size_t> add(const std::string &query);
    // Both files; false when Srch.dat cannot be written.
    bool write(const std::string &folder) const;

private:
    std::vector<std::string> entries_;
};

} // namespace velmora
