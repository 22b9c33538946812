// The player channel over MPRIS, the media player interface of the D-Bus session bus: the Linux
// counterpart of the Windows player's window messages.
#pragma once

#include "platform/playerchannel.h"

#include <QDBusConnection>

#include <string>

namespace velmora::platform {

class MprisPlayerChannel : public PlayerChannel
{
public:
    MprisPlayerChannel();

    // The player is the MPRIS service of this program (Audacious when "").
    void usePlayerProgram(const std::string &programPath) override;
    // The running player on the session bus; 0 without a bus or when that player is not running.
    // Other MPRIS players (a browser, another music player) are never taken for it.
    PlayerHandle FindPlayer() override;
    // Whether the player that the handle names is still on the bus.
    bool IsPlayerWindow(PlayerHandle handle) override;
    int QueryPlayState(PlayerHandle handle) override;
    std::string GetWindowTitle(PlayerHandle handle) override;
    // Asks the player to quit, without waiting for its answer.
    void ClosePlayer(PlayerHandle handle) override;
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

protected:
    void sendCommand(PlayerHandle handle, int code) override;

private:
    // The player's unique bus name; "" when the handle names none or there is no bus.
    QString serviceOf(PlayerHandle handle) const;

    QDBusConnection bus_;
    std::string playerName_ = "audacious";
};

} // namespace velmora::platform
