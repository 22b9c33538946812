// What the tests of outside programs share: whether a program is installed, and the wait, in real
// time, for what such a program brings about on its own time.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace velmora::test {

inline bool installed(const std::string &program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Waits, handling events, until the condition holds or the seconds have passed on the steady clock.
// The other program's work sets the pace, so the wait is measured in time, not in polling rounds.
template <typename Condition> bool waitUntil(Condition condition, int seconds = 10)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace velmora::test
