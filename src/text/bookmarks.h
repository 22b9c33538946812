// The reader's bookmarks: verses named in collections of the reader's own, and the last verse read,
// in one plain UTF-8 file of the reader's folder, read as far as it is sound.
#pragma once

#include "text/metadata.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr const char *kBookmarksFileName = "Bookmarks.md";

struct Bookmark
{
    VersePlace place;
    std::string name;
    bool operator==(const Bookmark &) const = default;
};

struct Collection
{
    std::string name;
    std::vector<Bookmark> marks;
    bool operator==(const Collection &) const = default;
};

struct Bookmarks
{
    std::vector<Collection> collections;
    std::optional<VersePlace> lastRead;
    std::string unreadable;                          // lines that are none of the file's, as they stood
    Collection &collection(const std::string &name); // made where missing, at the end
};

// "# Velmora bookmarks", "Last read: 2:255", then each collection as "## NAME" and its bookmarks as
// "- 2:255 NAME" lines.
Bookmarks parseBookmarks(std::string_view text);
std::string formatBookmarks(const Bookmarks &bookmarks);

// The file, written whole at every change. What cannot be read is copied aside whole first; a file
// changed outside the program since it was read is read again before a change is made to it.
class BookmarksFile
{
public:
    explicit BookmarksFile(std::filesystem::path file) : file_(std::move(file)) {}
    struct Outcome
    {
        bool written = true;
        std::filesystem::path keptAside;
    };
    Outcome read();
    const Bookmarks &bookmarks() const { return bookmarks_; }
    Outcome change(const std::function<void(Bookmarks &)> &edit);

private:
    Outcome take(std::optional<std::string> contents);
    std::filesystem::path file_;
    Bookmarks bookmarks_;
    std::optional<std::string> lastSeen_;
};

} // namespace velmora
