#include "builtinplayer.h"

#include "core/utf8.h"
#include "mpris.h"
#include "platform/process.h"

#include <algorithm>
#include <mpv/client.h>

#include <clocale>
#include <cstdint>
#include <utility>

namespace velmora::platform {
namespace {

constexpr PlayerHandle kBuiltInHandle = 1;
constexpr const char *kBuiltInName = "Velmora player";

// What libmpv is told before it starts: sound only, no window, no terminal, no keys, no scripts and
// no configuration of the user's own mpv, and it stays up, stopped, when a playlist has ended.
constexpr std::pair<const char *, const char *> kOptions[] = {{"vid", "no"},
                                                              {"vo", "null"},
                                                              {"audio-display", "no"},
                                                              {"terminal", "no"},
                                                              {"input-default-bindings", "no"},
                                                              {"input-vo-keyboard", "no"},
                                                              {"load-scripts", "no"},
                                                              {"ytdl", "no"},
                                                              {"idle", "yes"},
                                                              {"keep-open", "no"},
                                                              {"config", "no"}};

std::int64_t int64Property(mpv_handle *mpv, const char *name, std::int64_t fallback)
{
    std::int64_t value = fallback;
    return mpv_get_property(mpv, name, MPV_FORMAT_INT64, &value) >= 0 ? value : fallback;
}

bool flagProperty(mpv_handle *mpv, const char *name)
{
    int value = 0;
    return mpv_get_property(mpv, name, MPV_FORMAT_FLAG, &value) >= 0 && value != 0;
}

std::string stringProperty(mpv_handle *mpv, const char *name)
{
    char *value = mpv_get_property_string(mpv, name);
    std::string out = value ? value : "";
    mpv_free(value);
    return out;
}

void setFlag(mpv_handle *mpv, const char *name, bool on)
{
    int value = on ? 1 : 0;
    mpv_set_property(mpv, name, MPV_FORMAT_FLAG, &value);
}

bool command(mpv_handle *mpv, std::initializer_list<const char *> words)
{
    std::vector<const char *> args(words);
    args.push_back(nullptr);
    return mpv_command(mpv, args.data()) >= 0;
}

} // namespace

void BuiltInPlayerChannel::Destroy::operator()(mpv_handle *handle) const
{
    mpv_terminate_destroy(handle);
}

BuiltInPlayerChannel::BuiltInPlayerChannel(PlayerChannel &outside, std::string audioOutput)
    : outside_(outside), audioOutput_(std::move(audioOutput))
{
}

BuiltInPlayerChannel::~BuiltInPlayerChannel() = default;

void BuiltInPlayerChannel::usePlayerProgram(const std::string &programPath)
{
    builtIn_ = programPath.empty();
    outside_.usePlayerProgram(programPath);
}

std::string BuiltInPlayerChannel::playerName() const
{
    return builtIn() ? kBuiltInName : outside_.playerName();
}

bool BuiltInPlayerChannel::drainEvents()
{
    if (!mpv_)
        return false;
    for (;;) {
        const mpv_event *event = mpv_wait_event(mpv_.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            return true;
        if (event->event_id == MPV_EVENT_SHUTDOWN) {
            mpv_.reset();
            return false;
        }
    }
}

PlayerHandle BuiltInPlayerChannel::FindPlayer()
{
    if (!builtIn())
        return outside_.FindPlayer();
    return drainEvents() ? kBuiltInHandle : 0;
}

bool BuiltInPlayerChannel::IsPlayerWindow(PlayerHandle handle)
{
    if (!builtIn())
        return outside_.IsPlayerWindow(handle);
    return handle == kBuiltInHandle && drainEvents();
}

int BuiltInPlayerChannel::QueryPlayState(PlayerHandle handle)
{
    if (!builtIn())
        return outside_.QueryPlayState(handle);
    if (!IsPlayerWindow(handle) || flagProperty(mpv_.get(), "idle-active"))
        return kStateStopped;
    return flagProperty(mpv_.get(), "pause") ? kStatePaused : kStatePlaying;
}

std::string BuiltInPlayerChannel::GetWindowTitle(PlayerHandle handle)
{
    if (!builtIn())
        return outside_.GetWindowTitle(handle);
    if (!IsPlayerWindow(handle))
        return {};
    const std::int64_t place = int64Property(mpv_.get(), "playlist-pos", -1);
    const std::string path = stringProperty(mpv_.get(), "path");
    if (place < 0 || path.empty())
        return kBuiltInName;
    // The title the monitor reads, as the outside players' channel gives it.
    mpris::TrackInfo track;
    track.position = static_cast<int>(place) + 1;
    track.title = ansi::fromUtf8(path.substr(path.find_last_of('/') + 1)).text;
    track.artist = mpris::kTitleArtist;
    track.playerName = kBuiltInName;
    return mpris::windowTitle(track);
}

void BuiltInPlayerChannel::ClosePlayer(PlayerHandle handle)
{
    if (!builtIn()) {
        outside_.ClosePlayer(handle);
        return;
    }
    mpv_.reset();
}

bool BuiltInPlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    if (!builtIn())
        return outside_.LaunchPlayer(commandLine, style);
    const std::vector<std::string> parts = splitPlayerCommandLine(commandLine);
    if (parts.size() < 2)
        return false;
    if (!mpv_ || !drainEvents()) {
        // libmpv reads and writes numbers in the C locale, and refuses to start in any other.
        std::setlocale(LC_NUMERIC, "C");
        std::unique_ptr<mpv_handle, Destroy> mpv(mpv_create());
        if (!mpv)
            return false;
        for (const auto &[name, value] : kOptions)
            mpv_set_option_string(mpv.get(), name, value);
        if (!audioOutput_.empty())
            mpv_set_option_string(mpv.get(), "ao", audioOutput_.c_str());
        if (mpv_initialize(mpv.get()) < 0)
            return false;
        mpv_ = std::move(mpv);
    }
    if (!command(mpv_.get(), {"loadlist", parts[1].c_str(), "replace"}))
        return false;
    setFlag(mpv_.get(), "pause", false);
    stoppedAt_ = 0;
    setSpeed(speed_);
    return true;
}

void BuiltInPlayerChannel::setSpeed(double speed)
{
    speed_ = std::clamp(speed, kSlowestSpeed, kFastestSpeed);
    if (builtIn() && mpv_)
        mpv_set_property(mpv_.get(), "speed", MPV_FORMAT_DOUBLE, &speed_);
}

double BuiltInPlayerChannel::speed() const
{
    if (!builtIn())
        return outside_.speed();
    double now = speed_;
    if (mpv_)
        mpv_get_property(mpv_.get(), "speed", MPV_FORMAT_DOUBLE, &now);
    return now;
}

void BuiltInPlayerChannel::sendCommand(PlayerHandle handle, int code)
{
    if (!builtIn()) {
        outside_.SendPlayerCommand(code);
        return;
    }
    const int state = QueryPlayState(handle);
    switch (code) {
    case kCmdPlay:
        // Play goes on from a pause, and starts again at the recording where Stop left off.
        if (state == kStatePaused) {
            setFlag(mpv_.get(), "pause", false);
        } else if (state == kStateStopped) {
            std::int64_t place = stoppedAt_;
            mpv_set_property(mpv_.get(), "playlist-pos", MPV_FORMAT_INT64, &place);
            setFlag(mpv_.get(), "pause", false);
        }
        break;
    case kCmdPause:
        // The pause button toggles; a stopped player stays stopped.
        if (state == kStatePlaying || state == kStatePaused)
            setFlag(mpv_.get(), "pause", state == kStatePlaying);
        break;
    case kCmdStop:
        if (state != kStateStopped) {
            stoppedAt_ = std::max<std::int64_t>(0, int64Property(mpv_.get(), "playlist-pos", 0));
            command(mpv_.get(), {"stop", "keep-playlist"});
        }
        break;
    default:
        break;
    }
}

} // namespace velmora::platform
