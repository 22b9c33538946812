#include "memorise.h"

#include "core/pathname.h"
#include "core/textfield.h"
#include "core/utf8.h"
#include "platform/paths.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace velmora {
namespace {

std::string numberText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace

ReciteSettings parseReciteSettings(std::string_view text)
{
    ReciteSettings settings;
    forEachSetting(text, [&settings](std::string_view key, std::string_view value) {
        if (key == "reciter" && (value.empty() || isReciterName(value)))
            settings.reciter = value;
        else if (key == "speed")
            readSettingNumber(value, settings.speed, kSlowestSpeed, kFastestSpeed);
        else if (key == "rising" || key == "hide")
            (key == "rising" ? settings.risingRepeats : settings.hideText) = value == "1";
        else if (key == "selectionpause")
            readSettingNumber(value, settings.selectionPauseSeconds, 0, kLongestSelectionPause);
        else if (key == "lengthmultiple")
            readSettingNumber(value, settings.lengthMultiple, 0.5, kMostLengthMultiple);
    });
    return settings;
}

std::string formatReciteSettings(const ReciteSettings &settings)
{
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    return "reciter=" + settings.reciter + "\r\nspeed=" + numberText(settings.speed) +
           "\r\nrising=" + flag(settings.risingRepeats) +
           "\r\nselectionpause=" + std::to_string(settings.selectionPauseSeconds) +
           "\r\nlengthmultiple=" + numberText(settings.lengthMultiple) +
           "\r\nhide=" + flag(settings.hideText) + "\r\n";
}

bool isReciterName(std::string_view name)
{
    if (name.empty() || name.size() > kMostReciterNameBytes || name.front() == '.' || name.back() == '.' ||
        name.back() == ' ' || name.front() == ' ')
        return false;
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        if (!ansi::decodeUtf8(name, i, cp) || cp < 0x20 || cp == 0x7F ||
            std::u32string_view(U"\\/:*?\"<>|").find(cp) != std::u32string_view::npos)
            return false;
    }
    return true;
}

std::vector<std::string> recitersOf(const std::string &programFolder)
{
    std::vector<std::string> names;
    for (const auto &folder : platform::dataFolders(programFolder)) {
        std::error_code ec;
        const auto reciters = pathFromUtf8(folder + kRecitersFolder);
        for (std::filesystem::directory_iterator it(reciters, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code kindEc;
            const std::string name = utf8NameOf(it->path());
            if (it->is_directory(kindEc) && isReciterName(name) &&
                std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string reciterFolderOf(const std::string &programFolder, const std::string &reciter)
{
    if (!isReciterName(reciter))
        return {};
    for (const auto &folder : platform::dataFolders(programFolder)) {
        std::error_code ec;
        const auto candidate = pathFromUtf8(folder) / kRecitersFolder / pathFromUtf8(reciter);
        if (std::filesystem::is_directory(candidate, ec))
            return utf8Of(candidate / "");
    }
    return {};
}

} // namespace velmora
