// Folders and files as the operating system has them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::platform {

// The path separator the program appends to its folders.
char separator();

// The folder of the running program file, with a separator appended.
std::string programFolder();

// The folder of the program's own files (preferences, history, schemes, scratch files), with a
// separator appended, made on first use. On Windows the user's own %LOCALAPPDATA%\Velmora, which
// Windows' cleaning of temporary files leaves alone. Elsewhere the user's private state folder,
// $XDG_STATE_HOME/velmora (~/.local/state/velmora by default), made with mode 0700; empty when there
// is no home or the folder cannot be made.
std::string tempFolder();

// Where the folder of the program's own files belongs, whether or not it can be used: on Linux
// $XDG_STATE_HOME/velmora or ~/.local/state/velmora, on Windows %LOCALAPPDATA%\Velmora; "" when
// there is no such folder of the user's.
std::string tempFolderLocation();

// The folder that earlier versions kept their files in on Windows, the user's temporary folder as
// the system reports it, with a separator appended; "" elsewhere.
std::string olderTempFolder();

// Copies the files of from that take accepts into to, once: only while to holds none of them, so
// that what the reader saved since is never overwritten. The names copied.
std::vector<std::string> takeOverFiles(const std::string &from, const std::string &to,
                                       const std::function<bool(std::string_view name)> &take);

// The short (8.3) form of an existing file or folder; elsewhere, where there is no short form, its
// absolute path. "" for "" or a path that names nothing.
std::string ShortPathOf(const std::string &path);

// The entries of a folder named like name, letter case aside, in byte order. The first is the one
// the program reads and the importer writes: where a folder holds names that differ only in letter
// case (PIKTHL.TXT beside pikthl.txt), every caller reaches the same file however it spells the name.
std::vector<std::string> entriesNamedNoCase(const std::string &folder, const std::string &name);

// folder + the first entry named like name, letter case aside; folder + name when there is none.
std::filesystem::path resolveNoCase(const std::string &folder, const std::string &name);

// The folders the data files and recordings are looked for in, in order, when the program reads
// them from its own folder: on Linux that folder, the user's data folder $XDG_DATA_HOME/velmora/
// (~/.local/share/velmora/ by default) and the system's, each folder of $XDG_DATA_DIRS with
// velmora/ appended (/usr/local/share and /usr/share by default); on Windows the user's data
// folder %APPDATA%\Velmora\ first, so that an import there stands before the files installed with
// the program, then the program's folder. A folder other than the program's own (a test's, or
// velmora-search --data) is the only one looked in.
std::vector<std::string> dataFolders(const std::string &folder);

// The folders of dataFolders as the reader is told them: "A", "A or B", "A, B or C".
std::string dataFoldersText(const std::string &folder);

// The user's own data folder, where the importer writes: $XDG_DATA_HOME/velmora/ on Linux,
// %APPDATA%\Velmora\ on Windows; "" when there is no such folder of the user's.
std::string userDataFolder();

// The folder that texts brought in from the window go to: for the program's own folder the user's
// data folder ("" when there is none), else the one folder the program reads (a test's).
std::string importFolder(const std::string &folder);

// A data file: resolveNoCase in the first of dataFolders(folder) that holds it, each file on its
// own; in folder itself when none does.
std::filesystem::path resolveDataFile(const std::string &folder, const std::string &name);

// One folder's entries listed once, for many lookups by the rule of entriesNamedNoCase.
class NameIndex
{
public:
    explicit NameIndex(const std::string &folder);
    // Every entry named like name, letter case aside, in byte order.
    std::vector<std::string> entriesFor(const std::string &name) const;
    // The first of them, the one that stands for name; "" for none.
    std::string entryFor(const std::string &name) const;

private:
    std::vector<std::pair<std::string, std::string>> entries_; // (upper-case name, name), sorted
};

// Folders' entries listed once, for many lookups by the rule of resolveDataFile.
class FolderIndex
{
public:
    explicit FolderIndex(const std::string &folder);
    std::filesystem::path resolve(const std::string &name) const;

private:
    std::vector<std::pair<std::string, NameIndex>> folders_; // in the order they are looked in
};

// Ordinary files of a folder whose names end in the extension (letter case ignored), as listed.
std::vector<std::string> listFilesWithExtension(const std::string &folder, const std::string &extension);

// Whether a file descriptor of the process (1 for standard output) is a terminal.
bool isTerminal(int fd);

// The program's arguments after its name, in UTF-8: on Windows as the system holds them, in UTF-16,
// so that a letter the ANSI code page lacks (an Arabic one) arrives whole; elsewhere as given.
std::vector<std::string> argumentsInUtf8(int argc, char **argv);

#ifdef _WIN32
// UTF-8 as the system's UTF-16, and UTF-16 in a code page (CP_UTF8, CP_ACP), for the wide calls.
std::wstring widenedFromUtf8(const std::string &utf8);
std::string narrowed(const wchar_t *wide, unsigned codePage);
#endif

// Standard output ready for UTF-8 text and colour escapes while the object lives. A Windows console
// is set to the UTF-8 code page and, where it has it, to virtual-terminal processing, and both are
// set back afterwards; terminals elsewhere need nothing.
class Utf8Output
{
public:
    Utf8Output();
#ifdef _WIN32
    ~Utf8Output();
#else
    ~Utf8Output() = default; // nothing to set back
#endif
    Utf8Output(const Utf8Output &) = delete;
    Utf8Output &operator=(const Utf8Output &) = delete;
    // Whether a terminal on standard output shows colour escapes as colours.
    bool showsColour() const
    {
        return colour_;
    }

private:
    bool colour_ = true;
    unsigned codePage_ = 0;  // the console's code page before, 0 when untouched
    unsigned long mode_ = 0; // the console's mode before
    bool modeChanged_ = false;
};

std::optional<std::uintmax_t> fileSize(const std::filesystem::path &path);
bool isRegularFile(const std::filesystem::path &path);

} // namespace velmora::platform
