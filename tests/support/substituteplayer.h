// An in-memory player that stands in for the real one in tests: it answers the state query, acts
// on the three transport commands, shows a title, closes on request and records what it was sent.
#pragma once

#include "platform/playerchannel.h"

#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

class SubstitutePlayer : public PlayerChannel
{
public:
    static constexpr PlayerHandle kHandle = 0x5150;

    void start(int playState = kStateStopped, std::string windowTitle = {});
    // The window is still found by class but no longer answers as a window.
    void vanish() { windowAlive = false; }

    PlayerHandle FindPlayer() override { return running ? kHandle : 0; }
    bool IsPlayerWindow(PlayerHandle h) override { return running && windowAlive && h == kHandle; }
    int QueryPlayState(PlayerHandle h) override { return IsPlayerWindow(h) ? state : 0; }
    std::string GetWindowTitle(PlayerHandle h) override { return IsPlayerWindow(h) ? title : std::string(); }
    void ClosePlayer(PlayerHandle h) override;
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

    bool running = false;
    bool windowAlive = true;
    int state = kStateStopped;
    std::string title;
    bool launchSucceeds = true;
    std::vector<int> commands;
    int closeRequests = 0;
    std::vector<std::pair<std::string, WindowStyle>> launches;

protected:
    void sendCommand(PlayerHandle h, int code) override;
};

} // namespace velmora::test
