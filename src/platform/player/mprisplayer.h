// The player channel over MPRIS, the media player interface of the D-Bus session bus: the Linux
// counterpart of the Windows player's window messages.
//
// Nothing here waits for another program: what the players say of themselves and of what they play
// is asked without waiting and kept, and the calls of the monitor answer from what was last told.
// Only the bus itself (which names are on it, and whose they are) is asked and waited for.
#pragma once

#include "platform/playerchannel.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

#include <map>
#include <memory>
#include <string>

class QDBusMessage;
class QDBusServiceWatcher;

namespace velmora::platform {

class MprisPlayerChannel : public PlayerChannel
{
public:
    MprisPlayerChannel();
    ~MprisPlayerChannel() override;
    MprisPlayerChannel(const MprisPlayerChannel &) = delete;
    MprisPlayerChannel &operator=(const MprisPlayerChannel &) = delete;

    // The player is the MPRIS service of this program (Audacious when "").
    void usePlayerProgram(const std::string &programPath) override;
    std::string playerName() const override;
    // The running player on the session bus; 0 without a bus or when that player is not running.
    // Other MPRIS players (a browser, another music player) are never taken for it. While the
    // player the program started runs, only that instance is.
    PlayerHandle FindPlayer() override;
    // Whether the player that the handle names is still on the bus.
    bool IsPlayerWindow(PlayerHandle handle) override;
    // The state last told; kStateUnknown until the player has answered.
    int QueryPlayState(PlayerHandle handle) override;
    std::string GetWindowTitle(PlayerHandle handle) override;
    // Asks the player to quit, without waiting for its answer.
    void ClosePlayer(PlayerHandle handle) override;
    // Ends the instance started before, if it still runs, and starts the player (minimized where the
    // style asks it and the player can).
    bool LaunchPlayer(const std::string &commandLine, WindowStyle style) override;

protected:
    void sendCommand(PlayerHandle handle, int code) override;

private:
    // What a player on the bus has told of itself, kept while its name has the same owner.
    // What the bus daemon told of a bus name's owner: no player is asked about itself unless it
    // is the one driven.
    struct Known
    {
        long pid = -1; // -1 not yet asked
        std::string program;
    };
    // What the followed player last told of its state and track.
    struct Told
    {
        QString service; // unique name
        bool asking = false;
        bool answered = false;
        int state = kStateUnknown;
        QVariantMap metadata;
        QString identity;
        QStringList tracks;
    };

    // The player's unique bus name; "" when the handle names none or there is no bus.
    QString serviceOf(PlayerHandle handle) const;
    Known &knownOf(const QString &name);
    // The owner of a bus name, as the bus daemon tells it.
    Known &ownerOf(const QString &name);
    bool startedByUs(const QString &name);
    // Asks the followed player (starting to follow service) for its state, unless a question to it
    // is still open: a player that hangs gets no pile of calls.
    void refresh(const QString &service);
    void send(const QDBusMessage &call, std::function<void(const QDBusMessage &)> answer);

    QDBusConnection bus_;
    std::string playerName_ = "audacious";
    long launched_ = 0; // the process of the player started last
    std::map<QString, Known> known_;
    Told told_;
    // Last, so that it goes first: the handlers of open answers, and the watcher of owners.
    std::unique_ptr<QObject> context_;
    QDBusServiceWatcher *watcher_ = nullptr;
};

} // namespace velmora::platform
