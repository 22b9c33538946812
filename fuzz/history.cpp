// Any history file, single-byte or UTF-8: it reads without failing, and what is written of it reads
// back the same.
#include "search/history.h"

#include "core/safefile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    namespace fs = std::filesystem;
    static const fs::path folder = [] {
        const fs::path f = fs::temp_directory_path() / ("velmora-fuzz-history-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    const std::string text(reinterpret_cast<const char *>(data), size);
    const fs::path single = folder / velmora::kHistoryFileName;
    const fs::path wide = folder / velmora::kWideHistoryFileName;
    velmora::writeFileReplacing(single, text);
    velmora::writeFileReplacing(wide, text);
    const auto entries = velmora::readHistory(single);
    const auto wideEntries = velmora::readWideHistory(wide);
    // An entry the field reader gives back whole (no line end, comma or double quote, no blank at
    // either end) reads back as written.
    for (const auto &entry : entries)
        if (entry.find_first_of("\r\n\",") != std::string::npos || entry.front() == ' ' ||
            entry.front() == '\t' || entry.back() == ' ' || entry.back() == '\t')
            return 0;
    if (velmora::writeHistory(single, entries) && velmora::readHistory(single) != entries)
        __builtin_trap();
    if (velmora::writeWideHistory(wide, wideEntries) && velmora::readWideHistory(wide) != wideEntries)
        __builtin_trap();
    return 0;
}
