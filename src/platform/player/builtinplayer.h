// The player inside the program, on libmpv: it plays the program's playlists with no outside program
// and no session bus, and knows exactly which recording plays. When the preferences name a player,
// every call goes to the channel of outside players instead.
#pragma once

#include "platform/playerchannel.h"

#include <memory>
#include <string>

struct mpv_handle;

namespace velmora::platform {

class BuiltInPlayerChannel : public PlayerChannel
{
public:
    // audioOutput: libmpv's audio output ("pulse", "alsa", "null", ...); "" for its own choice.
    BuiltInPlayerChannel(PlayerChannel &outside, std::string audioOutput);
    ~BuiltInPlayerChannel() override;
    BuiltInPlayerChannel(const BuiltInPlayerChannel &) = delete;
    BuiltInPlayerChannel &operator=(const BuiltInPlayerChannel &) = delete;

    // "" chooses the built-in player, any program the outside one.
    void usePlayerProgram(const std::string &programPath) override;
    std::string playerName() const override;
    // 0.5 to 2 times, the pitch kept; nothing for an outside player.
    void setSpeed(double speed) override;
    double speed() const override;
    bool setsSpeed() const override { return builtIn_; }
    // The built-in player is there from Recite to Exit (or ClosePlayer): handle 1.
    PlayerHandle FindPlayer() override;
    bool IsPlayerWindow(PlayerHandle handle) override;
    int QueryPlayState(PlayerHandle handle) override;
    // "N. Velmora - FILE - Velmora player" (mpris::windowTitle): the playlist place and file name
    // of the recording that plays, in the form the playback monitor reads.
    std::string GetWindowTitle(PlayerHandle handle) override;
    void ClosePlayer(PlayerHandle handle) override;
    // Plays the playlist after the command line's two blanks, replacing what plays; the player
    // program before them is not started.
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

protected:
    void sendCommand(PlayerHandle handle, int code) override;

private:
    bool builtIn() const { return builtIn_; }
    // Handles what libmpv has queued; false once the player has shut down (and is gone).
    bool drainEvents();

    struct Destroy
    {
        void operator()(mpv_handle *handle) const;
    };

    PlayerChannel &outside_;
    std::string audioOutput_;
    bool builtIn_ = true;
    std::unique_ptr<mpv_handle, Destroy> mpv_;
    long long stoppedAt_ = 0; // the playlist place that Play starts from after Stop
    double speed_ = 1.0;
};

} // namespace velmora::platform
