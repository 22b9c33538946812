// Any index file under the key of the text it was made from: it is refused, or loaded and then every
// verse's folded text lies inside the file, and a search reads nothing outside it.
#include "core/safefile.h"
#include "search/arabic.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A small text, its index file, and the key that ends an index made from it.
struct Files
{
    fs::path folder = fs::temp_directory_path() / ("velmora-fuzz-index-" + std::to_string(::getpid()));
    fs::path source = folder / "quran-simple-clean.txt";
    fs::path index = folder / "quran-search.index";
    std::string key;

    Files()
    {
        fs::create_directories(folder);
        velmora::writeFileReplacing(source, "1|1|\u0628\u0633\u0645\n2|5|\u0623\u0648\u0644\u0626\u0643\n");
        const auto text = velmora::QuranText::open(source);
        velmora::ArabicIndex(*text).save(index, source);
        const std::string made = *velmora::readRegularFile(index);
        key = made.substr(made.rfind("velmora-arabic-index"));
    }
    ~Files() { fs::remove_all(folder); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Files files;
    velmora::writeFileReplacing(files.index,
                                std::string(reinterpret_cast<const char *>(data), size) + files.key);
    const auto index = velmora::ArabicIndex::load(files.index, files.source);
    if (!index)
        return 0;
    std::size_t held = 0;
    for (std::size_t v = 0; v < index->size(); ++v)
        held += index->folded(v).size() + 1;
    if (held > size)
        __builtin_trap();
    index->versesHolding(velmora::foldArabic("\u0628"));
    index->versesHolding("");
    // A needle of letter pairs is looked for through the file's pairs, which must stay inside it.
    index->versesHolding(velmora::foldArabic("\u0628\u0633\u0645"));
    const std::string source(64, 'x');
    for (std::size_t v = 0; v < index->size(); ++v)
        if (const std::string_view text = index->sourceText(source, v);
            !text.empty() &&
            (text.data() < source.data() || text.data() + text.size() > source.data() + source.size()))
            __builtin_trap();
    return 0;
}
