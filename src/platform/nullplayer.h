// The player channel of a system whose player offers no remote control: no player is ever found,
// and only starting the player program does anything.
#pragma once

#include "recite/playerchannel.h"

namespace velmora::platform {

class NullPlayerChannel : public PlayerChannel
{
public:
    PlayerHandle FindPlayer() override { return 0; }
    bool IsPlayerWindow(PlayerHandle) override { return false; }
    int QueryPlayState(PlayerHandle) override { return kStateStopped; }
    std::string GetWindowTitle(PlayerHandle) override { return {}; }
    void ClosePlayer(PlayerHandle) override {}
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

protected:
    void sendCommand(PlayerHandle, int) override {}
};

} // namespace velmora::platform
