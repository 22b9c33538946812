// Reading and writing the program's files safely.
//
// Reads take regular files only: a FIFO, a device or a folder under a name the program reads counts
// as unreadable and never blocks. Writes never open a fixed name: the contents go into a new file with
// a unique name beside the target, created exclusively (so no link or FIFO planted there is followed),
// flushed to disk, and only then renamed over the target.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Whether a link at the file's own name is followed. The program's own files are written as
// regular files and read only as such; data files may be links (a build links them in).
enum class Links
{
    Follow,
    Refuse
};

// The largest text file the program reads: many times the largest of its data files (a hadith
// collection of a few megabytes), so that a file that holds no text under a data file's name (a disk
// image, say) is refused at once instead of being read whole.
inline constexpr std::uintmax_t kLargestTextFile = std::uintmax_t{64} << 20;

// What keeps a path from being read as a text file, looking at its kind, its size and its first
// bytes only; never blocks on a FIFO.
enum class FileTrouble
{
    None,
    Missing,    // nothing by that name
    NotAFile,   // a folder, a FIFO, a device
    TooLarge,   // larger than kLargestTextFile
    NotText,    // a NUL byte among its first bytes
    Unreadable, // it could not be opened or read
};
FileTrouble fileTroubleOf(const std::filesystem::path &path, Links links = Links::Follow);
// The trouble as words that follow the file's name ("was not found"); "" for None.
std::string troubleWords(FileTrouble trouble);

// The contents of a regular file, at most limit bytes, into a buffer whose memory is reused; false
// when the path names no regular file or it cannot be read. Without a limit, a file larger than
// kLargestTextFile counts as unreadable and is not read.
bool readRegularFileInto(const std::filesystem::path &path, std::string &buffer,
                         std::size_t limit = std::string::npos, Links links = Links::Follow);
std::optional<std::string> readRegularFile(const std::filesystem::path &path, Links links = Links::Follow);

// A regular file's text, read-only, for as long as the object lives: mapped into memory where the
// system can (no copy, and pages that are already in the cache cost nothing), else read whole.
class MappedFile
{
public:
    // How much of the file the reader will go through: the whole of it is mapped in one call,
    // part of it page by page as it is read.
    enum class Use
    {
        Whole,
        Part
    };
    // nullopt when the path names no regular file, one larger than kLargestTextFile, or it cannot
    // be read; never blocks on a FIFO.
    static std::optional<MappedFile> open(const std::filesystem::path &path, Use use = Use::Whole,
                                          Links links = Links::Follow);
    MappedFile(MappedFile &&other) noexcept;
    MappedFile &operator=(MappedFile &&other) noexcept;
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;
    ~MappedFile();

    std::string_view text() const { return text_; }

private:
    MappedFile() = default;
    void release();

    std::string_view text_;
    void *mapping_ = nullptr; // what to unmap, when mapped
    std::string copy_;        // the text, when read instead
};

// An input that may be a pipe (a command-line input such as <(unzip -p ...)): a regular file or a
// pipe read to its end, at most limit bytes (more is refused as TooLarge, and reading stops there).
// A device, a folder or a FIFO that no program writes to is refused at once, never waited for.
FileTrouble readInputInto(const std::filesystem::path &path, std::string &buffer, std::uintmax_t limit);

// Who may read a file the program writes: the user alone (the program's own files), or everyone the
// user's file-creation mask allows (data files that other users of the program read).
enum class FileAccess
{
    Private,
    Shared
};

// Writes the contents into a new file in the folder, named prefix + a random suffix, created
// exclusively and flushed to disk. The path of the file, or nullopt when it cannot be written (no
// file is left behind then).
std::optional<std::filesystem::path> writeUniqueFile(const std::filesystem::path &folder,
                                                     std::string_view prefix, std::string_view contents,
                                                     FileAccess access = FileAccess::Private);

// Writes contents beside a file under a name no file has yet, the file's own with "-unread-N"
// ("Notes.md": "Notes-unread-1.md", then -2 ...), so that nothing is overwritten; the path
// written, or empty when none could be.
std::filesystem::path keepCopyAside(const std::filesystem::path &file, std::string_view contents);

// Replaces the file whole: the contents go to a unique temporary file beside it, which is then
// renamed over it, so a failed write leaves the old file as it was. A link at the target's name is
// replaced, never written through.
bool writeFileReplacing(const std::filesystem::path &path, std::string_view contents,
                        FileAccess access = FileAccess::Private);

// Removes what replacing writes that were stopped half way (by a kill, say) left in the folder: their
// temporary files, regular files named "." + a target + "." + eight letters or digits, for targets
// that isOwnFile accepts (the folder may be shared, as the temporary folder on Windows is), last
// written longer ago than the given age (a younger one may belong to a write under way). Gives
// the count.
std::size_t removeStaleTemporaryFiles(const std::filesystem::path &folder, std::chrono::seconds olderThan,
                                      const std::function<bool(std::string_view target)> &isOwnFile);

} // namespace velmora
