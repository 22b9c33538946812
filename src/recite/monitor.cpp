#include "monitor.h"

#include "core/textfield.h"

namespace velmora {
namespace {

// 1-based position of '-' at or after position start (1-based); 0 when none.
std::size_t dashFrom(std::string_view t, std::size_t start)
{
    if (start == 0)
        start = 1;
    if (start > t.size())
        return 0;
    const auto p = t.find('-', start - 1);
    return p == std::string_view::npos ? 0 : p + 1;
}

} // namespace

std::string verseFromTitle(std::string_view title)
{
    const std::size_t p1 = dashFrom(title, 1);
    const std::size_t p2 = dashFrom(title, p1 + 1);
    const std::size_t p3 = dashFrom(title, p2 + 1);
    if (p1 == 0 && p2 == 0 && p3 == 0)
        return {};
    const long long length = static_cast<long long>(p3) - static_cast<long long>(p2) - 2;
    if (length < 0)
        return {};
    const std::size_t start = p1 + 2; // 1-based
    if (start > title.size())
        return {};
    return std::string(title.substr(start - 1, static_cast<std::size_t>(length)));
}

StatusVerse verseOfStatus(std::string_view caption)
{
    constexpr std::size_t kReferenceLength = 7; // "SSS-VVV"
    constexpr std::size_t kEntryLength = 3;
    const std::string_view reference =
        caption.size() >= kReferenceLength ? caption.substr(caption.size() - kReferenceLength) : caption;
    const std::string_view entry =
        caption.size() >= kEntryLength ? caption.substr(caption.size() - kEntryLength) : std::string_view();
    return {intInText(reference.substr(0, reference.find('-'))), intInText(entry)};
}

MonitorView monitorTick(PlayerChannel &player)
{
    MonitorView view;
    const PlayerHandle h = player.FindPlayer();
    if (h == 0) {
        view.status = "";
        view.playEnabled = view.pauseEnabled = view.stopEnabled = false;
        view.blinking = false;
        view.lamp = Lamp::NoPlayer;
        return view;
    }
    if (!player.IsPlayerWindow(h)) {
        view.status = "Ready";
        return view;
    }
    switch (player.QueryPlayState(h)) {
    case kStateStopped:
        view.blinking = false;
        view.playEnabled = true;
        view.pauseEnabled = view.stopEnabled = false;
        view.lamp = Lamp::Stopped;
        break;
    case kStatePlaying:
        view.blinking = false;
        view.playEnabled = false;
        view.pauseEnabled = view.stopEnabled = true;
        view.lamp = Lamp::Playing;
        break;
    case kStatePaused:
        view.blinking = true;
        view.playEnabled = true;
        view.pauseEnabled = false;
        view.stopEnabled = true;
        break;
    default:
        break;
    }
    view.status = "Verse: " + verseFromTitle(player.GetWindowTitle(h));
    return view;
}

} // namespace velmora
