// What the tests of outside players share: a folder of scripts that start the real players and note
// their process ids, and the stand-in for another MPRIS player on the session bus. Whatever they
// started ends with the folder.
#pragma once

#include "platform/process.h"
#include "tempdir.h"
#include "waiting.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <vector>

namespace velmora::test {

inline const QString kStandInService = QStringLiteral("org.mpris.MediaPlayer2.vlc");

class PlayerScripts
{
public:
    PlayerScripts() = default;
    PlayerScripts(const PlayerScripts &) = delete;
    PlayerScripts &operator=(const PlayerScripts &) = delete;
    ~PlayerScripts()
    {
        for (const long pid : pids())
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (standIn_ > 0)
            ::kill(static_cast<pid_t>(standIn_), SIGKILL); // stopped or not
    }

    // An executable shell script of the name that runs the text.
    std::filesystem::path script(const std::string &name, const std::string &text) const
    {
        const auto file = dir.write(name, "#!/bin/sh\n" + text + "\n");
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        return file;
    }
    // A script that notes its process id and becomes the command, given the script's arguments.
    std::filesystem::path player(const std::string &name, const std::string &command) const
    {
        return script(name,
                      "echo $$ >> '" + (dir.path() / "pids").string() + "'\nexec " + command + " \"$@\"");
    }
    // Every player the scripts started, in order.
    std::vector<long> pids() const
    {
        std::ifstream file(dir.path() / "pids");
        std::vector<long> out;
        for (long pid = 0; file >> pid;)
            out.push_back(pid);
        return out;
    }
    long running() const
    {
        const auto all = pids();
        return std::count_if(all.begin(), all.end(), platform::processRunning);
    }

    // Starts the program as the stand-in, logging what it is sent, and waits until it is on the bus.
    bool startStandIn(const QString &program)
    {
        const QString log = QString::fromStdString((dir.path() / "stand-in.log").string());
        return QProcess::startDetached(program, {QStringLiteral("--stand-in"), log}, {}, &standIn_) &&
               waitUntil(
                   [] {
                       return QDBusConnection::sessionBus()
                           .interface()
                           ->isServiceRegistered(kStandInService)
                           .value();
                   },
                   15);
    }
    qint64 standInPid() const { return standIn_; }
    std::string standInLog() const { return dir.read("stand-in.log"); }

    TempDir dir;

private:
    qint64 standIn_ = 0;
};

} // namespace velmora::test
