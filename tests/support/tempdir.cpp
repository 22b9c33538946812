#include "tempdir.h"

#include "core/pathname.h"

#include <fstream>
#include <random>
#include <sstream>

namespace velmora::test {

namespace {

std::string contentsOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace

TempDir::TempDir()
{
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("velmora-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(path_))
            break;
    }
}

TempDir::~TempDir()
{
    // Files copied from read-only data are read-only too, which Windows will not delete.
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::folder() const
{
    return utf8Of(path_) + char(std::filesystem::path::preferred_separator);
}

std::filesystem::path TempDir::write(const std::string &name, const std::string &contents) const
{
    const auto file = path_ / pathFromUtf8(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
    return file;
}

std::string TempDir::read(const std::string &name) const
{
    return contentsOf(path_ / pathFromUtf8(name));
}

std::set<std::string> entryNames(const std::filesystem::path &folder)
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.insert(utf8NameOf(entry.path()));
    return names;
}

std::map<std::string, std::string> snapshot(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> out;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        out[utf8NameOf(entry.path())] = entry.is_directory() ? "<folder>" : contentsOf(entry.path());
    return out;
}

std::string realDataFolder()
{
    const std::filesystem::path dir(VELMORA_DATA_DIR);
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec) || !std::filesystem::exists(dir / "PIKTHL.TXT", ec))
        return {};
    return std::filesystem::canonical(dir, ec).string() + "/";
}

} // namespace velmora::test
