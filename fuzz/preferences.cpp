// Any preferences file: start-up reads it without failing, and what Exit writes of it reads back
// the same (for texts a file can hold on one line: Exit writes the font of the font list and the
// player path read at start-up, neither of which holds a line end or a double quote); the same for
// the reading view's settings and the memorising ones.
#include "core/prefs.h"
#include "core/textfield.h"
#include "recite/memorise.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmora::FieldReader reader = velmora::FieldReader::over({reinterpret_cast<const char *>(data), size});
    const velmora::Preferences read = velmora::parsePreferences(reader);
    if ((read.fontName + read.playerPath).find_first_of("\r\n\"") != std::string::npos)
        return 0;
    const std::string written = velmora::formatPreferences(read);
    velmora::FieldReader again = velmora::FieldReader::over(written);
    const velmora::Preferences reread = velmora::parsePreferences(again);
    if (reread.fontSize != read.fontSize || reread.bold != read.bold || reread.checks != read.checks)
        __builtin_trap();
    // The reading view's settings: what is kept reads back the same, its scale within its bounds.
    const velmora::ReadingSettings reading =
        velmora::parseReadingSettings({reinterpret_cast<const char *>(data), size});
    const velmora::ReadingSettings kept =
        velmora::parseReadingSettings(velmora::formatReadingSettings(reading));
    if (kept.scale != reading.scale || kept.dark != reading.dark || kept.left != reading.left ||
        kept.width != reading.width || reading.scale < velmora::kMinReadingScale ||
        reading.scale > velmora::kMaxReadingScale)
        __builtin_trap();
    // The memorising choices: a reciter that names a folder of its own, a speed within bounds,
    // and what is kept read back the same.
    const velmora::ReciteSettings recite =
        velmora::parseReciteSettings({reinterpret_cast<const char *>(data), size});
    if ((!recite.reciter.empty() && !velmora::isReciterName(recite.reciter)) ||
        recite.reciter.find_first_of("/\\") != std::string::npos || recite.speed < velmora::kSlowestSpeed ||
        recite.speed > velmora::kFastestSpeed ||
        velmora::formatReciteSettings(velmora::parseReciteSettings(velmora::formatReciteSettings(recite))) !=
            velmora::formatReciteSettings(recite))
        __builtin_trap();
    return 0;
}
