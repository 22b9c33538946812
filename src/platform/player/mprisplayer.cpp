#include "mprisplayer.h"

#include "core/utf8.h"
#include "mpris.h"
#include "platform/process.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>

#include <cctype>

namespace velmora::platform {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackListInterface = QStringLiteral("org.mpris.MediaPlayer2.TrackList");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A question a player has not answered in this time counts as unanswered, and is asked again.
constexpr int kCallTimeoutMs = 2000;
// How long a player started before has to end of itself when another recitation starts.
constexpr int kPlayerEndWaitMs = 400;

std::string toProgramText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return ansi::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))).text;
}

// The question for every property of one of a player's interfaces.
QDBusMessage getAll(const QString &service, const QString &interface)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, kObjectPath, kProperties, QStringLiteral("GetAll"));
    call << interface;
    return call;
}

// A map as QtDBus hands it over: still marshalled, or already a map.
QVariantMap mapOf(const QVariant &value)
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

} // namespace

MprisPlayerChannel::MprisPlayerChannel()
    : bus_(QDBusConnection::sessionBus()), context_(std::make_unique<QObject>())
{
    watcher_ = new QDBusServiceWatcher(context_.get());
    watcher_->setConnection(bus_);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    // A name with a new owner (or none) is another player: what its old owner told is forgotten.
    QObject::connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, context_.get(),
                     [this](const QString &name, const QString &, const QString &) {
                         known_.erase(name);
                         watcher_->removeWatchedService(name);
                     });
}

MprisPlayerChannel::~MprisPlayerChannel() = default;

void MprisPlayerChannel::usePlayerProgram(const std::string &programPath)
{
    playerName_ = mpris::playerNameOf(programPath);
}

std::string MprisPlayerChannel::playerName() const
{
    if (!told_.identity.isEmpty())
        return toProgramText(told_.identity);
    std::string name = playerName_;
    if (!name.empty())
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

void MprisPlayerChannel::send(const QDBusMessage &call, std::function<void(const QDBusMessage &)> answer)
{
    auto *watch = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), context_.get());
    QObject::connect(watch, &QDBusPendingCallWatcher::finished, context_.get(),
                     [watch, answer = std::move(answer)] {
                         answer(watch->reply());
                         watch->deleteLater();
                     });
}

MprisPlayerChannel::Known &MprisPlayerChannel::knownOf(const QString &name)
{
    const auto [at, added] = known_.try_emplace(name);
    if (added)
        watcher_->addWatchedService(name);
    return at->second;
}

MprisPlayerChannel::Known &MprisPlayerChannel::ownerOf(const QString &name)
{
    Known &known = knownOf(name);
    if (known.pid < 0) {
        const auto pid = bus_.interface()->servicePid(name);
        known.pid = pid.isValid() ? static_cast<long>(pid.value()) : 0;
        known.program = known.pid > 0 ? processName(known.pid) : std::string();
    }
    return known;
}

bool MprisPlayerChannel::startedByUs(const QString &name)
{
    const Known &known = ownerOf(name);
    return known.pid > 0 && processDescendsFrom(known.pid, launched_);
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
    const auto describe = [this](const std::string &busName) {
        return mpris::PlayerSelf{ownerOf(QString::fromStdString(busName)).program};
    };
    // While the player started last runs, it is the one followed, not another of its kind.
    const bool ours = launched_ > 0 && processRunning(launched_);
    const std::string service = mpris::choosePlayerService(
        busNames, playerName_, describe,
        ours ? std::function<bool(const std::string &)>(
                   [this](const std::string &name) { return startedByUs(QString::fromStdString(name)); })
             : nullptr);
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

void MprisPlayerChannel::refresh(const QString &service)
{
    if (told_.service != service) {
        told_ = Told{};
        told_.service = service;
    }
    if (told_.asking)
        return;
    told_.asking = true;
    send(getAll(service, kPlayerInterface), [this, service](const QDBusMessage &reply) {
        if (told_.service != service)
            return;
        if (reply.type() != QDBusMessage::ReplyMessage) {
            told_.asking = false;
            return;
        }
        const QVariantMap state = mapOf(reply.arguments().value(0));
        told_.state = mpris::playStateFromStatus(
            state.value(QStringLiteral("PlaybackStatus")).toString().toStdString());
        told_.metadata = mapOf(state.value(QStringLiteral("Metadata")));
        send(getAll(service, kRootInterface), [this, service](const QDBusMessage &reply) {
            if (told_.service != service)
                return;
            told_.asking = false;
            told_.answered = true;
            if (reply.type() != QDBusMessage::ReplyMessage)
                return;
            const QVariantMap self = mapOf(reply.arguments().value(0));
            told_.identity = self.value(QStringLiteral("Identity")).toString();
            if (!self.value(QStringLiteral("HasTrackList")).toBool()) {
                told_.tracks.clear();
                return;
            }
            QDBusMessage tracks =
                QDBusMessage::createMethodCall(service, kObjectPath, kProperties, QStringLiteral("Get"));
            tracks << kTrackListInterface << QStringLiteral("Tracks");
            send(tracks, [this, service](const QDBusMessage &reply) {
                if (told_.service == service && reply.type() == QDBusMessage::ReplyMessage)
                    told_.tracks = stringsOf(reply.arguments().value(0).value<QDBusVariant>().variant());
            });
        });
    });
}

int MprisPlayerChannel::QueryPlayState(PlayerHandle handle)
{
    const QString service = serviceOf(handle);
    if (service.isEmpty())
        return kStateStopped;
    refresh(service);
    return told_.answered ? told_.state : kStateUnknown;
}

std::string MprisPlayerChannel::GetWindowTitle(PlayerHandle handle)
{
    if (!IsPlayerWindow(handle))
        return {};
    const QString service = serviceOf(handle);
    refresh(service);
    if (!told_.answered)
        return {};
    mpris::TrackInfo track;
    track.playerName = toProgramText(told_.identity);
    track.title = toProgramText(told_.metadata.value(QStringLiteral("xesam:title")).toString());
    track.artist = toProgramText(
        stringsOf(told_.metadata.value(QStringLiteral("xesam:artist"))).join(QStringLiteral(", ")));
    track.url = told_.metadata.value(QStringLiteral("xesam:url")).toString().toStdString();
    const QString trackId = trackIdOf(told_.metadata.value(QStringLiteral("mpris:trackid")));
    if (!told_.metadata.isEmpty()) {
        // The place in the playlist: from the track list where the player has one, else from the
        // track id where the player numbers it so.
        const auto index = told_.tracks.indexOf(trackId);
        track.position =
            index >= 0 ? static_cast<int>(index) + 1 : mpris::positionFromTrackId(trackId.toStdString());
    }
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
    std::vector<std::string> argv = splitPlayerCommandLine(commandLine);
    if (style == WindowStyle::MinimizedNoActivate) {
        const auto options = mpris::minimizedStartOptions(playerName_);
        argv.insert(argv.begin() + (argv.empty() ? 0 : 1), options.begin(), options.end());
    }
    // One recitation at a time: the instance started before ends first (a player that hands its
    // playlist to a running instance has ended already). It has a moment to end of itself, which
    // players take in well under this, and is ended outright after it: a player that hangs holds
    // the window no longer.
    if (launched_ > 0)
        endProcess(launched_, kPlayerEndWaitMs);
    told_ = Told{};
    return startDetached(argv, style, &launched_);
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
    // Sent without waiting; what the player makes of it is told at the next look.
    bus_.send(QDBusMessage::createMethodCall(service, kObjectPath, kPlayerInterface, method));
}

} // namespace velmora::platform
