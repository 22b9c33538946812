#include "substituteplayer.h"

namespace velmora::test {

void SubstitutePlayer::start(int playState, std::string windowTitle)
{
    running = true;
    windowAlive = true;
    state = playState;
    title = std::move(windowTitle);
}

void SubstitutePlayer::ClosePlayer(PlayerHandle h)
{
    ++closeRequests;
    if (h == kHandle)
        running = false;
}

bool SubstitutePlayer::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    launches.emplace_back(commandLine, style);
    if (launchSucceeds && !running)
        start(kStatePlaying);
    return launchSucceeds;
}

void SubstitutePlayer::sendCommand(PlayerHandle, int code)
{
    commands.push_back(code);
    switch (code) {
    case kCmdPlay:
        state = kStatePlaying;
        break;
    case kCmdPause:
        state = state == kStatePaused ? kStatePlaying : (state == kStatePlaying ? kStatePaused : state);
        break;
    case kCmdStop:
        state = kStateStopped;
        break;
    default:
        break;
    }
}

} // namespace velmora::test
