// Any bytes under a recording's name: the playing time is read without failing, and is a time.
#include "recite/mp3length.h"

#include <cmath>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto seconds = velmora::mp3Seconds({reinterpret_cast<const char *>(data), size});
    if (seconds && (!std::isfinite(*seconds) || *seconds < 0))
        __builtin_trap();
    return 0;
}
