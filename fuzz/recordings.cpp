// Any folder of recordings, its entries named by the input (one a line, "L" before a name makes it a
// link, "D" a folder): the plan takes regular files only, each for a verse entry of its own.
#include "core/safefile.h"
#include "import/import.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    namespace fs = std::filesystem;
    static const fs::path folder =
        fs::temp_directory_path() / ("velmora-fuzz-recordings-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    for (int made = 0; !rest.empty() && made < 64; ++made) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const char kind = line.empty() ? 'F' : line.front();
        if (kind == 'L' || kind == 'D')
            line.remove_prefix(1);
        const std::string name(line);
        if (name.empty() || name == "." || name == ".." ||
            name.find_first_of(std::string("/\0", 2)) != std::string::npos)
            continue;
        const fs::path path = folder / name;
        if (kind == 'L')
            fs::create_symlink("001001.mp3", path, ec);
        else if (kind == 'D')
            fs::create_directory(path, ec);
        else
            velmora::writeFileReplacing(path, name.size() % 2 ? "ID3" : "<html>");
    }
    const velmora::import::Recordings plan = velmora::import::planRecordings(folder);
    std::set<std::string> targets;
    for (const auto &file : plan.files) {
        if (fs::symlink_status(file.source, ec).type() != fs::file_type::regular)
            __builtin_trap();
        if (file.name.size() != 11 || file.name[3] != '-')
            __builtin_trap();
        if (!targets.insert(file.name).second)
            __builtin_trap();
    }
    return 0;
}
