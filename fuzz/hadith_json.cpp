// Any bytes as a hadith collection: refused with a reason or taken, never a crash, and what is
// taken reads back as one record per hadith.
#include "core/textfield.h"
#include "import/hadith.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmora::import::HadithFields fields;
    fields.narrator = "n.a";
    const velmora::import::ImportResult result =
        velmora::import::importHadiths({reinterpret_cast<const char *>(data), size}, fields);
    if (!result.error.empty() && !result.contents.empty())
        __builtin_trap();
    velmora::FieldReader reader = velmora::FieldReader::over(result.contents);
    std::size_t records = 0;
    while (!reader.atEnd()) {
        if (reader.next().empty())
            __builtin_trap(); // an empty record would shift every later hadith
        ++records;
    }
    if (records != result.stats.items)
        __builtin_trap();
    return 0;
}
