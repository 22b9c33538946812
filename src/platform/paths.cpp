#include "paths.h"

#include "core/ansi.h"
#include "core/pathname.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace velmora::platform {

char separator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

namespace {

std::string withSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != separator() && folder.back() != '/')
        folder.push_back(separator());
    return folder;
}

#ifdef _WIN32
// A folder of the user's that the environment names (APPDATA, LOCALAPPDATA), with Velmora appended;
// "" when it names none.
std::string windowsUserFolder(const wchar_t *variable)
{
    const wchar_t *value = _wgetenv(variable);
    return value && *value ? utf8Of(fs::path(value) / "Velmora") : std::string();
}

// What a wide call that fills a buffer gives, in UTF-8: call(buffer, size) returns the length
// written, or the size needed when the buffer is too small, or 0 when it fails.
template <typename Call> std::string wideResult(Call call)
{
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return utf8Of(fs::path(std::move(buffer)));
        }
        buffer.assign(static_cast<std::size_t>(n) + 1, L'\0');
    }
    return {};
}
#else
// An absolute folder from the environment; relative ones are ignored, as the base directory rules
// ask.
fs::path absoluteFromEnvironment(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value == '/' ? fs::path(value) : fs::path();
}

// The program's folder in one of the user's base folders: the one the variable names, else
// ~/.local/<fallback>; "" without a home.
fs::path userFolder(const char *variable, const char *fallback)
{
    fs::path base = absoluteFromEnvironment(variable);
    if (base.empty()) {
        const fs::path home = absoluteFromEnvironment("HOME");
        if (home.empty())
            return {};
        base = home / ".local" / fallback;
    }
    return base / "velmora";
}

// Creates the folder and any missing parents with mode 0700, as the base directory rules ask, and
// makes the folder itself private to its owner. False when it is no folder of this user's.
bool makePrivateFolder(const fs::path &folder)
{
    fs::path partial;
    for (const auto &part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st
    {
    };
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
        return false;
    return true;
}
#endif

} // namespace

std::string programFolder()
{
#ifdef _WIN32
    // GetModuleFileNameW fills the whole buffer, cutting the name, when it is too small.
    std::wstring buffer(MAX_PATH + 1, L'\0');
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) ==
               buffer.size() &&
           buffer.size() < 32768)
        buffer.resize(buffer.size() * 4);
    buffer.resize(n);
    return withSeparator(utf8Of(fs::path(std::move(buffer)).parent_path()));
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return withSeparator(utf8Of(fs::current_path(ec)));
    return withSeparator(utf8Of(exe.parent_path()));
#endif
}

std::string tempFolderLocation()
{
#ifdef _WIN32
    return windowsUserFolder(L"LOCALAPPDATA");
#else
    // The user's own lasting folder for program state, never a folder other users can write to.
    const fs::path folder = userFolder("XDG_STATE_HOME", "state");
    return utf8Of(folder);
#endif
}

std::string olderTempFolder()
{
#ifdef _WIN32
    return wideResult([](wchar_t *buffer, DWORD size) { return GetTempPathW(size, buffer); });
#else
    return {};
#endif
}

std::vector<std::string> takeOverFiles(const std::string &from, const std::string &to,
                                       const std::function<bool(std::string_view name)> &take)
{
    std::vector<std::string> names;
    std::error_code ec;
    if (from.empty() || to.empty() || fs::equivalent(pathFromUtf8(from), pathFromUtf8(to), ec))
        return names;
    for (const auto &name : listFilesWithExtension(to, ""))
        if (take(name))
            return names; // the reader's files are here already
    for (const auto &name : listFilesWithExtension(from, ""))
        if (take(name) &&
            fs::copy_file(pathFromUtf8(from) / pathFromUtf8(name), pathFromUtf8(to) / pathFromUtf8(name), ec))
            names.push_back(name);
    return names;
}

std::string tempFolder()
{
#ifdef _WIN32
    const std::string folder = tempFolderLocation();
    if (folder.empty())
        return {};
    std::error_code ec;
    fs::create_directories(pathFromUtf8(folder), ec);
    return fs::is_directory(pathFromUtf8(folder), ec) ? withSeparator(folder) : std::string();
#else
    const std::string folder = tempFolderLocation();
    if (folder.empty() || !makePrivateFolder(pathFromUtf8(folder)))
        return {};
    return withSeparator(folder);
#endif
}

std::string ShortPathOf(const std::string &path)
{
    if (path.empty())
        return {};
#ifdef _WIN32
    const std::wstring wide = pathFromUtf8(path).native();
    return wideResult(
        [&wide](wchar_t *buffer, DWORD size) { return GetShortPathNameW(wide.c_str(), buffer, size); });
#else
    std::error_code ec;
    const fs::path p = pathFromUtf8(path);
    if (!fs::exists(p, ec))
        return {};
    return utf8Of(fs::absolute(p, ec).lexically_normal());
#endif
}

namespace {

fs::path inFolder(const std::string &folder, const std::string &entry)
{
    return folder.empty() ? pathFromUtf8(entry) : pathFromUtf8(folder) / pathFromUtf8(entry);
}

// Every entry of the folder, as (upper-case name, name), sorted so that names alike but for letter
// case stand together in byte order.
std::vector<std::pair<std::string, std::string>> foldedEntries(const std::string &folder)
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::error_code ec;
    const fs::path dir = pathFromUtf8(folder.empty() ? "." : folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = utf8NameOf(it->path());
        entries.emplace_back(ansi::upper(entry), std::move(entry));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

std::vector<std::string> entriesNamedNoCase(const std::string &folder, const std::string &name)
{
    std::vector<std::string> found;
    std::error_code ec;
    const fs::path dir = pathFromUtf8(folder.empty() ? "." : folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = utf8NameOf(it->path());
        if (ansi::equalsNoCase(entry, name))
            found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end());
    return found;
}

fs::path resolveNoCase(const std::string &folder, const std::string &name)
{
    const auto found = entriesNamedNoCase(folder, name);
    return inFolder(folder, found.empty() ? name : found.front());
}

namespace {

#ifndef _WIN32
fs::path sameFolder(const std::string &folder)
{
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(pathFromUtf8(folder.empty() ? "." : folder), ec);
    return ec ? pathFromUtf8(folder) : canonical;
}
#endif

// Whether the program reads its data from its own folder, and so from the user's and the system's
// beside it, rather than from a folder named to it alone.
bool isProgramFolder(const std::string &folder)
{
#ifdef _WIN32
    return ansi::equalsNoCase(folder, programFolder());
#else
    return sameFolder(folder) == sameFolder(programFolder());
#endif
}

} // namespace

std::string userDataFolder()
{
#ifdef _WIN32
    const std::string folder = windowsUserFolder(L"APPDATA");
    return folder.empty() ? std::string() : withSeparator(folder);
#else
    const fs::path folder = userFolder("XDG_DATA_HOME", "share");
    return folder.empty() ? std::string() : withSeparator(utf8Of(folder));
#endif
}

std::vector<std::string> dataFolders(const std::string &folder)
{
    std::vector<std::string> folders{folder};
#ifdef _WIN32
    if (const std::string user = userDataFolder(); !user.empty() && isProgramFolder(folder))
        folders.insert(folders.begin(), user);
#else
    if (!isProgramFolder(folder))
        return folders;
    if (const std::string user = userDataFolder(); !user.empty())
        folders.push_back(user);
    const char *dirs = std::getenv("XDG_DATA_DIRS");
    std::string_view list =
        dirs && *dirs ? std::string_view(dirs) : std::string_view("/usr/local/share:/usr/share");
    while (!list.empty()) {
        const std::string_view dir = list.substr(0, list.find(':'));
        list.remove_prefix(std::min(list.size(), dir.size() + 1));
        if (!dir.empty() && dir.front() == '/') // relative entries are ignored, as the rules say
            folders.push_back(withSeparator(utf8Of(pathFromUtf8(dir) / "velmora")));
    }
#endif
    return folders;
}

std::string importFolder(const std::string &folder)
{
    return isProgramFolder(folder) ? userDataFolder() : folder;
}

std::string dataFoldersText(const std::string &folder)
{
    const auto folders = dataFolders(folder);
    std::string text;
    for (std::size_t i = 0; i < folders.size(); ++i)
        text += (i == 0 ? "" : i + 1 == folders.size() ? " or " : ", ") + folders[i];
    return text;
}

fs::path resolveDataFile(const std::string &folder, const std::string &name)
{
    // On Linux the folder itself first, which holds the file in the common case: the others (and
    // the comparison with the program's folder that decides them) only when it does not.
    std::size_t lookedIn = 0;
#ifndef _WIN32
    if (const auto found = entriesNamedNoCase(folder, name); !found.empty())
        return inFolder(folder, found.front());
    lookedIn = 1;
#endif
    const auto folders = dataFolders(folder);
    for (auto candidate = folders.begin() + static_cast<std::ptrdiff_t>(lookedIn); candidate != folders.end();
         ++candidate)
        if (const auto found = entriesNamedNoCase(*candidate, name); !found.empty())
            return inFolder(*candidate, found.front());
    return inFolder(folder, name);
}

NameIndex::NameIndex(const std::string &folder) : entries_(foldedEntries(folder)) {}

std::vector<std::string> NameIndex::entriesFor(const std::string &name) const
{
    const std::string key = ansi::upper(name);
    std::vector<std::string> found;
    for (auto it =
             std::lower_bound(entries_.begin(), entries_.end(), std::pair<std::string, std::string>(key, ""));
         it != entries_.end() && it->first == key; ++it)
        found.push_back(it->second);
    return found;
}

std::string NameIndex::entryFor(const std::string &name) const
{
    const auto found = entriesFor(name);
    return found.empty() ? std::string() : found.front();
}

FolderIndex::FolderIndex(const std::string &folder)
{
    for (const auto &candidate : dataFolders(folder))
        folders_.emplace_back(candidate, NameIndex(candidate));
}

fs::path FolderIndex::resolve(const std::string &name) const
{
    for (const auto &[folder, index] : folders_)
        if (const std::string entry = index.entryFor(name); !entry.empty())
            return inFolder(folder, entry);
    return inFolder(folders_.front().first, name);
}

std::vector<std::string> listFilesWithExtension(const std::string &folder, const std::string &extension)
{
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path dir = pathFromUtf8(folder.empty() ? "." : folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        // Only the regular files the program writes: a link planted under such a name is no scheme.
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || it->is_symlink(fileEc))
            continue;
        const std::string name = utf8NameOf(it->path());
        if (name == "." || name == ".." || name.front() == '.' || name.size() < extension.size())
            continue;
        if (ansi::equalsNoCase(std::string_view(name).substr(name.size() - extension.size()), extension))
            names.push_back(name);
    }
    return names;
}

std::optional<std::uintmax_t> fileSize(const fs::path &path)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        return std::nullopt;
    return size;
}

bool isTerminal(int fd)
{
#ifdef _WIN32
    return _isatty(fd) != 0;
#else
    return isatty(fd) != 0;
#endif
}

#ifdef _WIN32
std::wstring widenedFromUtf8(const std::string &utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<std::size_t>(n) : 1u, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
    out.pop_back(); // the terminating NUL
    return out;
}

std::string narrowed(const wchar_t *wide, unsigned codePage)
{
    const int n = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 1u, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.pop_back(); // the terminating NUL
    return out;
}

std::vector<std::string> argumentsInUtf8(int argc, char **argv)
{
    int n = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide || n != argc)
        return {argv + std::min(argc, 1), argv + argc};
    std::vector<std::string> args;
    for (int i = 1; i < n; ++i)
        args.push_back(narrowed(wide[i], CP_UTF8));
    LocalFree(wide);
    return args;
}

Utf8Output::Utf8Output()
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(out, &mode))
        return; // a pipe or a file: the bytes go as they are
    codePage_ = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    mode_ = mode;
    modeChanged_ = SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    colour_ = modeChanged_ || (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

Utf8Output::~Utf8Output()
{
    std::fflush(stdout);
    if (codePage_ != 0)
        SetConsoleOutputCP(codePage_);
    if (modeChanged_)
        SetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), mode_);
}
#else
std::vector<std::string> argumentsInUtf8(int argc, char **argv)
{
    return {argv + std::min(argc, 1), argv + argc};
}

Utf8Output::Utf8Output() = default;
#endif

bool isRegularFile(const fs::path &path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

} // namespace velmora::platform
