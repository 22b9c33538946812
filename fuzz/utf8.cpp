// Any bytes as UTF-8: converted to Windows-1252 without failing, one byte or a short text for each
// character, and the result's UTF-8 form converts back to it.
#include "core/utf8.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const velmora::ansi::Utf8Conversion out =
        velmora::ansi::fromUtf8({reinterpret_cast<const char *>(data), size});
    if (out.text.size() > size * 4)
        __builtin_trap();
    const std::string utf8 = velmora::ansi::toUtf8(out.text);
    const velmora::ansi::Utf8Conversion back = velmora::ansi::fromUtf8(utf8);
    if (back.invalid != 0)
        __builtin_trap();
    return 0;
}
