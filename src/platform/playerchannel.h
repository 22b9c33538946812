// The operations by which the program drives the outside audio player.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

using PlayerHandle = std::uintptr_t; // 0: no player window

enum class WindowStyle
{
    MinimizedNoActivate,
    NormalActivate
};

// The speeds a player inside the program plays at, 1 the recordings' own.
inline constexpr double kSlowestSpeed = 0.5;
inline constexpr double kFastestSpeed = 2.0;

inline constexpr int kCmdPlay = 40045;
inline constexpr int kCmdPause = 40046;
inline constexpr int kCmdStop = 40047;

inline constexpr int kStateStopped = 0;
inline constexpr int kStatePlaying = 1;
inline constexpr int kStatePaused = 3;
// The player has not told its state yet: the monitor leaves the lamp and buttons as they are.
inline constexpr int kStateUnknown = -1;

class PlayerChannel
{
public:
    virtual ~PlayerChannel() = default;

    // The player program of the preferences ("" for none), for channels that tell players apart
    // by their program.
    virtual void usePlayerProgram(const std::string &) {}
    // The speed of a player inside the program, 1 the recordings' own, for this and every later
    // recitation; a player outside keeps its own.
    virtual void setSpeed(double) {}
    // The speed a player inside the program plays at; 1 for those outside.
    virtual double speed() const { return 1.0; }
    // Whether setSpeed reaches the player that recites now.
    virtual bool setsSpeed() const { return false; }
    // The player's name as the reader knows it, for the questions and tips about it.
    virtual std::string playerName() const { return "WinAMP"; }
    // The player's main window, 0 when the player is not running.
    virtual PlayerHandle FindPlayer() = 0;
    virtual bool IsPlayerWindow(PlayerHandle handle) = 0;
    // Sends a command to the window found afresh; nothing when there is none.
    void SendPlayerCommand(int code)
    {
        const PlayerHandle h = FindPlayer();
        if (h != 0 && IsPlayerWindow(h))
            sendCommand(h, code);
    }
    // 0 stopped, 1 playing, 3 paused; other values pass through unchanged.
    virtual int QueryPlayState(PlayerHandle handle) = 0;
    // "" when the handle is no window.
    virtual std::string GetWindowTitle(PlayerHandle handle) = 0;
    // Asks the player to close and returns at once.
    virtual void ClosePlayer(PlayerHandle handle) = 0;
    // Starts the player program with a command line "program  playlist"; false when it could not
    // be started.
    virtual bool LaunchPlayer(const std::string &commandLine, WindowStyle style) = 0;

protected:
    virtual void sendCommand(PlayerHandle handle, int code) = 0;
};

} // namespace velmora
