// The MPRIS player channel against a real player on a private session bus (SessionBus.*, run inside
// dbus-run-session) and with no bus at all (NoBus.*).
#include "import/import.h"
#include "platform/player/mpris.h"
#include "platform/player/mprisplayer.h"
#include "platform/process.h"
#include "players.h"
#include "recite/monitor.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>

#include <csignal>
#include <fstream>

using namespace velmora;

namespace {

void expectNoPlayer(platform::MprisPlayerChannel &channel)
{
    EXPECT_EQ(channel.FindPlayer(), 0u);
    EXPECT_FALSE(channel.IsPlayerWindow(0));
    EXPECT_FALSE(channel.IsPlayerWindow(platform::mpris::handleFromUniqueName(":1.9999")));
    EXPECT_EQ(channel.GetWindowTitle(platform::mpris::handleFromUniqueName(":1.9999")), "");
    EXPECT_EQ(channel.QueryPlayState(0), kStateStopped);
    channel.SendPlayerCommand(kCmdPlay); // nothing to send to, nothing to report
    channel.ClosePlayer(platform::mpris::handleFromUniqueName(":1.9999"));
    const MonitorView view = monitorTick(channel);
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(view.lamp, Lamp::NoPlayer);
    EXPECT_EQ(view.playEnabled, false);
}

std::string mprisPlugin()
{
    for (const char *path : {"/usr/lib/mpv-mpris/mpris.so", "/etc/mpv/scripts/mpris.so"})
        if (std::filesystem::exists(path))
            return path;
    return {};
}

} // namespace

TEST(NoBus, EveryOperationMeansNoPlayer)
{
    ASSERT_FALSE(QDBusConnection::sessionBus().isConnected())
        << "run with DBUS_SESSION_BUS_ADDRESS naming no bus";
    platform::MprisPlayerChannel channel;
    expectNoPlayer(channel);
}

TEST(SessionBus, NoPlayerRunning)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run inside dbus-run-session";
    platform::MprisPlayerChannel channel;
    expectNoPlayer(channel);
}

TEST(RealPlayer, PlaysPausesStopsShowsTheTrackAndCloses)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run inside dbus-run-session";
    if (!test::installed("mpv") || mprisPlugin().empty())
        GTEST_SKIP() << "mpv with its MPRIS plugin is not installed (Debian packages mpv, mpv-mpris)";

    test::PlayerScripts players;
    const test::TempDir &dir = players.dir;
    for (const char *name : {"001-001.mp3", "001-002.mp3", "002-001.mp3", "003-001.mp3"})
        dir.write(name, import::silentWav(30)); // the player goes by the content, not the name
    const auto playlist = dir.write("scheme.m3u", (dir.path() / "001-001.mp3").string() + "\r\n" +
                                                      (dir.path() / "001-002.mp3").string() + "\r\n");
    const auto second = dir.write("second.m3u", (dir.path() / "002-001.mp3").string() + "\r\n");
    const auto own = dir.write("own.m3u", (dir.path() / "003-001.mp3").string() + "\r\n");
    // The player program the program starts: mpv, headless and silent, as the only argument's player.
    const auto player = players.player("mpv", "mpv --no-config --no-video --ao=null --idle=yes --no-terminal "
                                              "--script='" +
                                                  mprisPlugin() + "'");
    // Another MPRIS player on the bus, which must never be taken for the player.
    ASSERT_TRUE(players.startStandIn(QCoreApplication::applicationFilePath()));

    platform::MprisPlayerChannel channel;
    channel.usePlayerProgram(player.string());
    EXPECT_EQ(channel.FindPlayer(), 0u) << "another program's player is no player";
    channel.SendPlayerCommand(kCmdPlay);
    EXPECT_EQ(monitorTick(channel).lamp, Lamp::NoPlayer);
    // The reader's own mpv, playing something else: never followed once the program has started one.
    ASSERT_TRUE(QProcess::startDetached(QString::fromStdString(player.string()),
                                        {QString::fromStdString(own.string())}));
    ASSERT_TRUE(test::waitUntil([&] { return channel.FindPlayer() != 0; }));

    // Each Recite ends the instance it started before: one mpv recites, the second playlist.
    for (const auto &list : {playlist, second})
        ASSERT_TRUE(
            channel.LaunchPlayer(player.string() + "  " + list.string(), WindowStyle::MinimizedNoActivate));
    EXPECT_TRUE(test::waitUntil(
        [&] { return channel.GetWindowTitle(channel.FindPlayer()) == "1. Velmora - 002-001.mp3 - mpv"; }));
    // The reader's and the second: the first may have been ended before it could even note itself.
    EXPECT_TRUE(test::waitUntil([&] { return players.running() == 2; })) << players.running();
    ::kill(static_cast<pid_t>(players.pids().front()), SIGTERM);

    ASSERT_TRUE(
        channel.LaunchPlayer(player.string() + "  " + playlist.string(), WindowStyle::MinimizedNoActivate));
    ASSERT_TRUE(test::waitUntil([&] { return channel.FindPlayer() != 0; }))
        << "the player never came onto the bus";
    const PlayerHandle h = channel.FindPlayer();
    EXPECT_TRUE(channel.IsPlayerWindow(h));

    ASSERT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStatePlaying; }));
    EXPECT_TRUE(test::waitUntil([&] {
        return channel.GetWindowTitle(h) == "1. Velmora - 001-001.mp3 - mpv";
    })) << channel.GetWindowTitle(h);
    MonitorView view = monitorTick(channel);
    EXPECT_EQ(view.lamp, Lamp::Playing);
    EXPECT_EQ(view.playEnabled, false);
    EXPECT_EQ(view.pauseEnabled, true);

    // Pause toggles, as the player's own button does; Play plays.
    channel.SendPlayerCommand(kCmdPause);
    EXPECT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStatePaused; }));
    EXPECT_EQ(monitorTick(channel).blinking, true);
    channel.SendPlayerCommand(kCmdPause);
    EXPECT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStatePlaying; }));
    channel.SendPlayerCommand(kCmdPause);
    EXPECT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStatePaused; }));
    channel.SendPlayerCommand(kCmdPlay);
    EXPECT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStatePlaying; }));
    channel.SendPlayerCommand(kCmdStop);
    EXPECT_TRUE(test::waitUntil([&] { return channel.QueryPlayState(h) == kStateStopped; }));
    view = monitorTick(channel);
    EXPECT_EQ(view.lamp, Lamp::Stopped);
    EXPECT_EQ(view.playEnabled, true);
    EXPECT_EQ(view.stopEnabled, false);

    channel.ClosePlayer(h);
    EXPECT_TRUE(test::waitUntil([&] { return channel.FindPlayer() == 0; })) << "the player did not quit";
    // The player gives up its well-known name before its connection closes: wait for both.
    EXPECT_TRUE(test::waitUntil([&] { return !channel.IsPlayerWindow(h); }));
    EXPECT_EQ(channel.GetWindowTitle(h), "");
    // Neither driven nor asked to quit: the other player's log names no command.
    EXPECT_EQ(players.standInLog(), "");
}

// The stand-in for another MPRIS player (a browser's, say): it is on the bus under its own name,
// and every message that reaches it, a question about its properties as much as a command, goes
// into a log ("org.freedesktop.DBus.Properties.GetAll") and is answered with an error.
class StandInPlayer : public QDBusVirtualObject
{
public:
    explicit StandInPlayer(std::string log) : log_(std::move(log)) {}
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        std::ofstream(log_, std::ios::app)
            << message.interface().toStdString() << '.' << message.member().toStdString() << '\n';
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("stand-in")));
        return true;
    }

private:
    std::string log_;
};

int runStandIn(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::ofstream(argv[2]).flush(); // an empty log: nothing sent yet
    StandInPlayer player(argv[2]);
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerVirtualObject(QStringLiteral("/org/mpris/MediaPlayer2"), &player);
    if (!bus.registerService(test::kStandInService))
        return 1;
    return QCoreApplication::exec();
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--stand-in")
        return runStandIn(argc, argv);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
