#include "bookmarks.h"

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"

#include <algorithm>
#include <charconv>

namespace velmora {
namespace {

constexpr std::string_view kTitle = "# Velmora bookmarks";
constexpr std::string_view kLastRead = "Last read: ";

} // namespace

Collection &Bookmarks::collection(const std::string &name)
{
    const auto found = std::find_if(collections.begin(), collections.end(),
                                    [&](const Collection &c) { return c.name == name; });
    if (found != collections.end())
        return *found;
    return collections.emplace_back(Collection{name, {}});
}

Bookmarks parseBookmarks(std::string_view text)
{
    Bookmarks bookmarks;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Collection *current = nullptr;
    while (!text.empty()) {
        const std::string_view line = takeLine(text);
        if (line.empty() || line == kTitle)
            continue;
        if (line.starts_with("## ") && line.size() > 3) {
            current = &bookmarks.collection(std::string(line.substr(3)));
            continue;
        }
        const auto last =
            line.starts_with(kLastRead) ? versePlaceAtStart(line.substr(kLastRead.size())) : std::nullopt;
        const auto mark = line.starts_with("- ") ? versePlaceAtStart(line.substr(2)) : std::nullopt;
        if (last && last->second.empty())
            bookmarks.lastRead = last->first;
        else if (mark && current)
            current->marks.push_back({mark->first, std::string(mark->second)});
        else
            bookmarks.unreadable.append(line).push_back('\n');
    }
    return bookmarks;
}

std::string formatBookmarks(const Bookmarks &bookmarks)
{
    std::string out = std::string(kTitle) + "\n";
    if (bookmarks.lastRead)
        out += "\n" + std::string(kLastRead) + std::to_string(bookmarks.lastRead->surah) + ":" +
               std::to_string(bookmarks.lastRead->aya) + "\n";
    for (const Collection &c : bookmarks.collections) {
        // A name is one line: a line end in it would make two.
        std::string name = c.name;
        std::replace(name.begin(), name.end(), '\n', ' ');
        out += "\n## " + (name.empty() ? std::string("Bookmarks") : name) + "\n\n";
        for (const Bookmark &b : c.marks) {
            std::string mark = b.name;
            std::replace(mark.begin(), mark.end(), '\n', ' ');
            out += "- " + std::to_string(b.place.surah) + ":" + std::to_string(b.place.aya) +
                   (mark.empty() ? "" : " " + mark) + "\n";
        }
    }
    return out;
}

BookmarksFile::Outcome BookmarksFile::take(std::optional<std::string> contents)
{
    Outcome outcome;
    bookmarks_ = contents ? parseBookmarks(*contents) : Bookmarks();
    lastSeen_ = std::move(contents);
    if (!bookmarks_.unreadable.empty()) {
        outcome.keptAside = keepCopyAside(file_, *lastSeen_);
        outcome.written = !outcome.keptAside.empty();
        bookmarks_.unreadable.clear();
    }
    return outcome;
}

BookmarksFile::Outcome BookmarksFile::read()
{
    return take(readRegularFile(file_));
}

BookmarksFile::Outcome BookmarksFile::change(const std::function<void(Bookmarks &)> &edit)
{
    Outcome outcome;
    if (auto now = readRegularFile(file_); now != lastSeen_)
        outcome = take(std::move(now));
    edit(bookmarks_);
    const std::string contents = formatBookmarks(bookmarks_);
    outcome.written = writeFileReplacing(file_, contents);
    if (outcome.written)
        lastSeen_ = contents;
    return outcome;
}

} // namespace velmora
