// A fresh folder for one test, removed afterwards, and small helpers for test files.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace velmora::test {

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return path_; }
    // The folder as the program keeps it: with the system's separator at the end.
    std::string folder() const;
    // Writes a file, making the folders its name (in UTF-8) leads through.
    std::filesystem::path write(const std::string &name, const std::string &contents) const;
    std::string read(const std::string &name) const;

private:
    std::filesystem::path path_;
};

// The names of a folder's entries, hidden ones included.
std::set<std::string> entryNames(const std::filesystem::path &folder);
// Every entry of a folder with the contents of its files ("<folder>" for a folder).
std::map<std::string, std::string> snapshot(const std::filesystem::path &folder);

// The folder of the real data files ("" when it is not there), with a separator at the end.
std::string realDataFolder();

} // namespace velmora::test
