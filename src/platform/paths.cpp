#include "paths.h"

#include "core/ansi.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
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

#ifndef _WIN32
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
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return withSeparator(fs::path(std::string(buf, n)).parent_path().string());
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return withSeparator(fs::current_path(ec).string());
    return withSeparator(exe.parent_path().string());
#endif
}

std::string tempFolderLocation()
{
#ifdef _WIN32
    return {};
#else
    // The user's own lasting folder for program state, never a folder other users can write to.
    const auto fromEnvironment = [](const char *name) -> fs::path {
        const char *value = std::getenv(name);
        return value && *value == '/' ? fs::path(value) : fs::path();
    };
    fs::path base = fromEnvironment("XDG_STATE_HOME");
    if (base.empty()) {
        const fs::path home = fromEnvironment("HOME");
        if (home.empty())
            return {};
        base = home / ".local" / "state";
    }
    return (base / "velmora").string();
#endif
}

std::string tempFolder()
{
#ifdef _WIN32
    char buf[144] = {};
    const DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf)
        return {};
    return std::string(buf); // up to the first NUL
#else
    const std::string folder = tempFolderLocation();
    if (folder.empty() || !makePrivateFolder(folder))
        return {};
    return withSeparator(folder);
#endif
}

std::string ShortPathOf(const std::string &path)
{
    if (path.empty())
        return {};
#ifdef _WIN32
    char buf[256];
    const DWORD n = GetShortPathNameA(path.c_str(), buf, 255);
    if (n == 0 || n >= 255)
        return {}; // no such path, or a short form too long for the buffer
    return std::string(buf, n);
#else
    std::error_code ec;
    const fs::path p(path);
    if (!fs::exists(p, ec))
        return {};
    return fs::absolute(p, ec).lexically_normal().string();
#endif
}

namespace {

fs::path inFolder(const std::string &folder, const std::string &entry)
{
    return folder.empty() ? fs::path(entry) : fs::path(folder) / entry;
}

// Every entry of the folder, as (upper-case name, name), sorted so that names alike but for letter
// case stand together in byte order.
std::vector<std::pair<std::string, std::string>> foldedEntries(const std::string &folder)
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
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
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
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

FolderIndex::FolderIndex(std::string folder) : folder_(std::move(folder)), entries_(foldedEntries(folder_)) {}

fs::path FolderIndex::resolve(const std::string &name) const
{
    const std::string key = ansi::upper(name);
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), std::pair<std::string, std::string>(key, ""));
    return inFolder(folder_, it != entries_.end() && it->first == key ? it->second : name);
}

std::vector<std::string> listFilesWithExtension(const std::string &folder, const std::string &extension)
{
    std::vector<std::string> names;
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        // Only the regular files the program writes: a link planted under such a name is no scheme.
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || it->is_symlink(fileEc))
            continue;
        const std::string name = it->path().filename().string();
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

bool isRegularFile(const fs::path &path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

} // namespace velmora::platform
