// The player channel over the Windows player's window messages.
#pragma once

#include "platform/playerchannel.h"

namespace velmora::platform {

// A text in the system's ANSI code page, as the "A" calls give it (a player's window title), in
// Windows-1252, which the program shows. The same bytes where the two are one code page, as on
// Western systems.
std::string ansiToProgramText(const std::string &ansi);

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
