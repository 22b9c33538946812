#include "mprisplayer.h"

#include "core/utf8.h"
#include "mpris.h"
#include "process.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>

namespace velmora::platform {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackListInterface = QStringLiteral("org.mpris.MediaPlayer2.TrackList");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The monitor asks every half second on the user-interface thread: a player that hangs must not
// hold the window for long.
constexpr int kCallTimeoutMs = 300;

std::string toProgramText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return ansi::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))).text;
}

QVariant property(QDBusConnection &bus, const QString &service, const QString &interface, const QString &name)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, kObjectPath, kProperties, QStringLiteral("Get"));
    call << interface << name;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

QVariantMap metadataOf(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>()) {
        QVariantMap map;
        value.value<QDBusArgument>() >> map;
        return map;
    }
    return value.toMap();
}

QString trackIdOf(const QVariant &value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

QStringList stringsOf(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>()) {
        QStringList list;
        const QDBusArgument arg = value.value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            if (arg.currentType() == QDBusArgument::BasicType) {
                QString s;
                arg >> s;
                list << s;
            } else {
                QDBusObjectPath p;
                arg >> p;
                list << p.path();
            }
        }
        arg.endArray();
        return list;
    }
    return value.toStringList();
}

// The track's 1-based place in the playlist: from the track list where the player has one, else
// from the track id where the player numbers it so; 0 when the player does not tell.
int trackPosition(QDBusConnection &bus, const QString &service, const QString &trackId)
{
    if (property(bus, service, kRootInterface, QStringLiteral("HasTrackList")).toBool()) {
        const QStringList tracks =
            stringsOf(property(bus, service, kTrackListInterface, QStringLiteral("Tracks")));
        const auto index = tracks.indexOf(trackId);
        if (index >= 0)
            return static_cast<int>(index) + 1;
    }
    return mpris::positionFromTrackId(trackId.toStdString());
}

} // namespace

MprisPlayerChannel::MprisPlayerChannel() : bus_(QDBusConnection::sessionBus()) {}

void MprisPlayerChannel::usePlayerProgram(const std::string &programPath)
{
    playerName_ = mpris::playerNameOf(programPath);
}

PlayerHandle MprisPlayerChannel::FindPlayer()
{
    if (!bus_.isConnected() || !bus_.interface())
        return 0;
    const auto names = bus_.interface()->registeredServiceNames();
    if (!names.isValid())
        return 0;
    std::vector<std::string> busNames;
    for (const QString &name : names.value())
        busNames.push_back(name.toStdString());
    const std::string service =
        mpris::choosePlayerService(busNames, playerName_, [this](const std::string &name) {
            const QString service = QString::fromStdString(name);
            return mpris::PlayerSelf{
                property(bus_, service, kRootInterface, QStringLiteral("DesktopEntry"))
                    .toString()
                    .toStdString(),
                property(bus_, service, kRootInterface, QStringLiteral("Identity")).toString().toStdString()};
        });
    if (service.empty())
        return 0;
    const auto owner = bus_.interface()->serviceOwner(QString::fromStdString(service));
    return owner.isValid() ? mpris::handleFromUniqueName(owner.value().toStdString()) : 0;
}

QString MprisPlayerChannel::serviceOf(PlayerHandle handle) const
{
    if (!bus_.isConnected())
        return {};
    return QString::fromStdString(mpris::uniqueNameFromHandle(handle));
}

bool MprisPlayerChannel::IsPlayerWindow(PlayerHandle handle)
{
    const QString service = serviceOf(handle);
    if (service.isEmpty() || !bus_.interface())
        return false;
    const auto registered = bus_.interface()->isServiceRegistered(service);
    return registered.isValid() && registered.value();
}

int MprisPlayerChannel::QueryPlayState(PlayerHandle handle)
{
    const QString service = serviceOf(handle);
    if (service.isEmpty())
        return kStateStopped;
    const QVariant status = property(bus_, service, kPlayerInterface, QStringLiteral("PlaybackStatus"));
    return mpris::playStateFromStatus(status.toString().toStdString());
}

std::string MprisPlayerChannel::GetWindowTitle(PlayerHandle handle)
{
    if (!IsPlayerWindow(handle))
        return {};
    const QString service = serviceOf(handle);
    const QVariantMap metadata =
        metadataOf(property(bus_, service, kPlayerInterface, QStringLiteral("Metadata")));
    mpris::TrackInfo track;
    track.playerName =
        toProgramText(property(bus_, service, kRootInterface, QStringLiteral("Identity")).toString());
    track.title = toProgramText(metadata.value(QStringLiteral("xesam:title")).toString());
    track.artist =
        toProgramText(stringsOf(metadata.value(QStringLiteral("xesam:artist"))).join(QStringLiteral(", ")));
    track.url = metadata.value(QStringLiteral("xesam:url")).toString().toStdString();
    const QString trackId = trackIdOf(metadata.value(QStringLiteral("mpris:trackid")));
    if (!metadata.isEmpty())
        track.position = trackPosition(bus_, service, trackId);
    return mpris::windowTitle(track);
}

void MprisPlayerChannel::ClosePlayer(PlayerHandle handle)
{
    const QString service = serviceOf(handle);
    if (service.isEmpty())
        return;
    bus_.send(QDBusMessage::createMethodCall(service, kObjectPath, kRootInterface, QStringLiteral("Quit")));
}

bool MprisPlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    return startDetached(splitPlayerCommandLine(commandLine), style);
}

void MprisPlayerChannel::sendCommand(PlayerHandle handle, int code)
{
    QString method;
    switch (code) {
    case kCmdPlay:
        method = QStringLiteral("Play");
        break;
    case kCmdPause: {
        // The pause button toggles: it pauses a playing player and resumes a paused one; a stopped
        // player stays stopped.
        const int state = QueryPlayState(handle);
        if (state != kStatePlaying && state != kStatePaused)
            return;
        method = QStringLiteral("PlayPause");
        break;
    }
    case kCmdStop:
        method = QStringLiteral("Stop");
        break;
    default:
        return;
    }
    const QString service = serviceOf(handle);
    if (service.isEmpty())
        return;
    // Sent like a window message: the call returns once the player has taken the command.
    bus_.call(QDBusMessage::createMethodCall(service, kObjectPath, kPlayerInterface, method), QDBus::Block,
              kCallTimeoutMs);
}

} // namespace velmora::platform
