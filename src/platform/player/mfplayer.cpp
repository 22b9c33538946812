#include "mfplayer.h"

#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "core/utf8.h"
#include "platform/process.h"

#include <windows.h>

#include <mfapi.h>
#include <mfplay.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace velmora::platform {
namespace {

constexpr PlayerHandle kBuiltInHandle = 1;
constexpr const char *kBuiltInName = "Velmora player";

// A recording of the playlist: the file as the playlist names it, and its name as the title shows it.
struct Recording
{
    std::wstring file;
    std::string title; // the long file name, in Windows-1252
};

// The recordings a playlist names, one a line; a relative name is in the playlist's folder.
std::vector<Recording> readPlaylist(const std::filesystem::path &playlist)
{
    std::vector<Recording> recordings;
    const auto text = readRegularFile(playlist);
    if (!text)
        return recordings;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const std::string_view line = takeLine(rest);
        if (line.empty() || line.front() == '#')
            continue;
        std::filesystem::path file = pathFromUtf8(line);
        if (file.is_relative())
            file = playlist.parent_path() / file;
        wchar_t longName[MAX_PATH + 1] = {};
        const DWORD n = GetLongPathNameW(file.c_str(), longName, MAX_PATH);
        const std::filesystem::path shown = n > 0 && n <= MAX_PATH ? std::filesystem::path(longName) : file;
        recordings.push_back({file.native(), ansi::fromUtf8(utf8NameOf(shown)).text});
    }
    return recordings;
}

// Ends a player: no event of it comes after Shutdown.
struct EndPlayer
{
    void operator()(IMFPMediaPlayer *player) const
    {
        player->Shutdown();
        player->Release();
    }
};
using Player = std::unique_ptr<IMFPMediaPlayer, EndPlayer>;

} // namespace

// The playlist and the player of the recording that plays. MFPlay tells what a player does through
// OnMediaPlayerEvent, on the thread that made it, from that thread's message loop: the window's.
// Each recording gets a player of its own, made when its turn comes (one player given recording
// after recording does not always play the next); one that cannot be played is passed over. A
// player that has had its turn is ended from outside its own events.
class MediaFoundationPlayerChannel::Session final : public IMFPMediaPlayerCallback
{
public:
    Session(std::vector<Recording> recordings, float rate) : recordings_(std::move(recordings)), rate_(rate)
    {
    }
    ~Session()
    {
        player_.reset();
        retired_.clear();
        if (mediaStarted_)
            MFShutdown();
        if (comStarted_)
            CoUninitialize();
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool start()
    {
        comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        mediaStarted_ = SUCCEEDED(MFStartup(MF_VERSION));
        if (!mediaStarted_)
            return false;
        playFrom(0);
        return true;
    }

    int state()
    {
        retired_.clear();
        if (!playing_)
            return kStateStopped;
        return paused_ ? kStatePaused : kStatePlaying;
    }

    std::string title() const
    {
        if (!playing_ || place_ >= recordings_.size())
            return kBuiltInName;
        // As Winamp shows a tagged recording: "place. artist - title - player".
        return std::to_string(place_ + 1) + ". Velmora - " + recordings_[place_].title + " - " + kBuiltInName;
    }

    // Play goes on from a pause, and starts again at the recording where Stop left off.
    void play()
    {
        if (!playing_) {
            playFrom(stoppedAt_);
        } else if (paused_) {
            paused_ = false;
            player_->Play();
        }
    }

    // The pause button toggles; a stopped player stays stopped.
    void pause()
    {
        if (!playing_)
            return;
        paused_ = !paused_;
        paused_ ? player_->Pause() : player_->Play();
    }

    // Every recording from now on at this rate, the one that plays too.
    void setRate(float rate)
    {
        rate_ = rate;
        if (player_)
            player_->SetRate(rate_);
    }

    void stop()
    {
        if (!playing_)
            return;
        stoppedAt_ = place_;
        playing_ = paused_ = false;
        player_.reset();
    }

    // IUnknown: the session's life is the channel's; MFPlay's references do not end it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (id == IID_IUnknown || id == __uuidof(IMFPMediaPlayerCallback)) {
            *object = static_cast<IMFPMediaPlayerCallback *>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER *event) override
    {
        if (!playing_ || event->pMediaPlayer != player_.get())
            return; // a player whose turn is over
        const bool failed = FAILED(event->hrEvent);
        switch (event->eEventType) {
        case MFP_EVENT_TYPE_MEDIAITEM_SET:
        case MFP_EVENT_TYPE_PLAY:
            if (failed)
                next();
            else if (rate_ != 1.0F)
                player_->SetRate(rate_);
            break;
        case MFP_EVENT_TYPE_PLAYBACK_ENDED:
        case MFP_EVENT_TYPE_ERROR:
            next();
            break;
        default:
            break;
        }
    }

private:
    void playFrom(std::size_t place)
    {
        playing_ = true;
        paused_ = false;
        place_ = place;
        load();
    }

    // A player for the recording at place_, started at once.
    void load()
    {
        if (player_)
            retired_.push_back(std::move(player_));
        for (; place_ < recordings_.size(); ++place_) {
            IMFPMediaPlayer *player = nullptr;
            if (SUCCEEDED(MFPCreateMediaPlayer(recordings_[place_].file.c_str(), TRUE, 0, this, nullptr,
                                               &player))) {
                player_.reset(player);
                return;
            }
        }
        // At the playlist's end the player stays, stopped, and Play starts it again from the top.
        playing_ = paused_ = false;
        place_ = stoppedAt_ = 0;
    }

    void next()
    {
        ++place_;
        load();
    }

    std::vector<Recording> recordings_;
    Player player_;
    std::vector<Player> retired_;
    bool comStarted_ = false;
    bool mediaStarted_ = false;
    bool playing_ = false; // between Recite or Play and Stop or the playlist's end
    bool paused_ = false;
    std::size_t place_ = 0;     // the recording that plays
    std::size_t stoppedAt_ = 0; // the recording that Play starts from after Stop
    float rate_ = 1.0F;
};

MediaFoundationPlayerChannel::MediaFoundationPlayerChannel(PlayerChannel &outside, std::string usualPlayer)
    : outside_(outside), usualPlayer_(std::move(usualPlayer))
{
}

MediaFoundationPlayerChannel::~MediaFoundationPlayerChannel() = default;

void MediaFoundationPlayerChannel::usePlayerProgram(const std::string &programPath)
{
    // Without a player in the preferences, a Winamp at its usual place is still the one recited with.
    std::error_code ec;
    const std::filesystem::path usual = pathFromUtf8(usualPlayer_);
    const bool usualInstalled =
        !usualPlayer_.empty() && (std::filesystem::is_regular_file(usual, ec) ||
                                  std::filesystem::is_regular_file(pathFromUtf8(usualPlayer_ + ".exe"), ec));
    builtIn_ = programPath.empty() && !usualInstalled;
    outside_.usePlayerProgram(programPath);
}

std::string MediaFoundationPlayerChannel::playerName() const
{
    return builtIn_ ? kBuiltInName : outside_.playerName();
}

PlayerHandle MediaFoundationPlayerChannel::FindPlayer()
{
    if (!builtIn_)
        return outside_.FindPlayer();
    return session_ ? kBuiltInHandle : 0;
}

bool MediaFoundationPlayerChannel::IsPlayerWindow(PlayerHandle handle)
{
    if (!builtIn_)
        return outside_.IsPlayerWindow(handle);
    return handle == kBuiltInHandle && session_;
}

int MediaFoundationPlayerChannel::QueryPlayState(PlayerHandle handle)
{
    if (!builtIn_)
        return outside_.QueryPlayState(handle);
    return IsPlayerWindow(handle) ? session_->state() : kStateStopped;
}

std::string MediaFoundationPlayerChannel::GetWindowTitle(PlayerHandle handle)
{
    if (!builtIn_)
        return outside_.GetWindowTitle(handle);
    return IsPlayerWindow(handle) ? session_->title() : std::string();
}

void MediaFoundationPlayerChannel::ClosePlayer(PlayerHandle handle)
{
    if (!builtIn_) {
        outside_.ClosePlayer(handle);
        return;
    }
    session_.reset();
}

bool MediaFoundationPlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    if (!builtIn_)
        return outside_.LaunchPlayer(commandLine, style);
    const std::vector<std::string> parts = splitPlayerCommandLine(commandLine);
    if (parts.size() < 2)
        return false;
    session_.reset();
    auto session =
        std::make_unique<Session>(readPlaylist(pathFromUtf8(parts[1])), static_cast<float>(speed_));
    if (!session->start())
        return false;
    session_ = std::move(session);
    return true;
}

void MediaFoundationPlayerChannel::setSpeed(double speed)
{
    speed_ = std::clamp(speed, kSlowestSpeed, kFastestSpeed);
    if (builtIn_ && session_)
        session_->setRate(static_cast<float>(speed_));
}

double MediaFoundationPlayerChannel::speed() const
{
    return builtIn_ ? speed_ : outside_.speed();
}

void MediaFoundationPlayerChannel::sendCommand(PlayerHandle handle, int code)
{
    if (!builtIn_) {
        outside_.SendPlayerCommand(code);
        return;
    }
    if (!IsPlayerWindow(handle))
        return;
    switch (code) {
    case kCmdPlay:
        session_->play();
        break;
    case kCmdPause:
        session_->pause();
        break;
    case kCmdStop:
        session_->stop();
        break;
    default:
        break;
    }
}

} // namespace velmora::platform
