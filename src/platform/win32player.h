// The player channel over the Windows player's window messages.
#pragma once

#include "recite/playerchannel.h"

namespace velmora::platform {

class Win32PlayerChannel : public PlayerChannel
{
public:
    PlayerHandle FindPlayer() override;
    bool IsPlayerWindow(PlayerHandle handle) override;
    int QueryPlayState(PlayerHandle handle) override;
    std::string GetWindowTitle(PlayerHandle handle) override;
    void ClosePlayer(PlayerHandle handle) override;
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

protected:
    void sendCommand(PlayerHandle handle, int code) override;
};

} // namespace velmora::platform
