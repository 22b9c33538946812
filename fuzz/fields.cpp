// The field reader over any bytes, every field read as a number and the number written back.
#include "core/textfield.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    velmora::FieldReader reader = velmora::FieldReader::over(text);
    std::size_t fields = 0;
    while (!reader.atEnd()) {
        const std::string_view field = reader.next();
        // Every field lies in the text, and every read moves on.
        if (field.size() > size || ++fields > size)
            __builtin_trap();
        const std::string written = velmora::formatNumber(velmora::numberInText(field));
        if (written.empty() || written.find_first_not_of("-0123456789.") != std::string::npos)
            __builtin_trap();
        velmora::intInText(field);
    }
    return 0;
}
