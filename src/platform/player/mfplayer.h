// The player inside the program on Windows, on Media Foundation's player (MFPlay), a part of
// Windows itself: it plays the program's playlists with no outside program and knows exactly which
// recording plays. When the preferences name a player, or a Winamp stands at its usual place, every
// call goes to the channel of outside players instead, as it always has.
#pragma once

#include "platform/playerchannel.h"

#include <memory>
#include <string>

namespace velmora::platform {

class MediaFoundationPlayerChannel : public PlayerChannel
{
public:
    // usualPlayer: the player program taken when the preferences name none; where it is installed
    // it is used, and the built-in player otherwise.
    MediaFoundationPlayerChannel(PlayerChannel &outside, std::string usualPlayer);
    ~MediaFoundationPlayerChannel() override;
    MediaFoundationPlayerChannel(const MediaFoundationPlayerChannel &) = delete;
    MediaFoundationPlayerChannel &operator=(const MediaFoundationPlayerChannel &) = delete;

    void usePlayerProgram(const std::string &programPath) override;
    std::string playerName() const override;
    // 0.5 to 2 times; nothing for an outside player.
    void setSpeed(double speed) override;
    double speed() const override;
    bool setsSpeed() const override { return builtIn_; }
    // The built-in player is there from Recite to Exit (or ClosePlayer): handle 1.
    PlayerHandle FindPlayer() override;
    bool IsPlayerWindow(PlayerHandle handle) override;
    int QueryPlayState(PlayerHandle handle) override;
    // "N. Velmora - FILE - Velmora player": the playlist place and file name of the recording that
    // plays, in the form the playback monitor reads.
    std::string GetWindowTitle(PlayerHandle handle) override;
    void ClosePlayer(PlayerHandle handle) override;
    // Plays the playlist after the command line's two blanks, replacing what plays; the player
    // program before them is not started.
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

    class Session; // one playlist playing, from LaunchPlayer to ClosePlayer

protected:
    void sendCommand(PlayerHandle handle, int code) override;

private:
    PlayerChannel &outside_;
    std::string usualPlayer_;
    bool builtIn_ = true;
    std::unique_ptr<Session> session_;
    double speed_ = 1.0;
};

} // namespace velmora::platform
