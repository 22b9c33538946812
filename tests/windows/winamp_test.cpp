// The audio edition on Windows end to end: the real window reciting through a stand-in Winamp at
// Winamp's usual place, driven by its window messages, and through the player of its own.

#include "uisupport.h"

#include "core/pathname.h"
#include "platform/paths.h"
#include "platform/player/mfplayer.h"
#include "platform/player/win32player.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <windows.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const std::filesystem::path kWinampFolder = "C:/winamp";

std::string standInLog()
{
    std::ifstream in(kWinampFolder / "winamp.exe.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

class WinampTest : public QObject
{
    Q_OBJECT

private slots:
    // A stand-in left by a failed check is closed, so that it holds neither the class nor the run.
    void cleanup()
    {
        for (int tries = 0; tries < 50; ++tries) {
            const HWND window = FindWindowA("Winamp v1.x", nullptr);
            if (!window)
                break;
            PostMessageA(window, WM_CLOSE, 0, 0);
            QTest::qWait(100);
        }
    }

    void recitesThroughWinamp()
    {
        std::filesystem::create_directories(kWinampFolder);
        std::filesystem::copy_file(VELMORA_WINAMP_STANDIN, kWinampFolder / "winamp.exe",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(kWinampFolder / "winamp.exe.log");

        MainWindowFixture f(false, Edition::Audio);
        for (const char *name : {"001-002.mp3", "001-003.mp3", "a.mp3"})
            f.data.write(name, "ID3" + std::string(3997, 'x'));
        platform::Win32PlayerChannel channel;
        showWith(f, channel);
        auto *lamp = f.child<QLabel>("PlayState");
        QCOMPARE(lamp->toolTip(), QStringLiteral("WinAMP status"));
        const auto colour = [lamp] { return lamp->palette().color(QPalette::Window); };
        const QColor green(0, 230, 0);
        const QColor red(220, 50, 10);

        // Recite starts Winamp minimized and inactive with the playlist's short path.
        reciteTwoVerses(f, QStringLiteral("1"));
        QVERIFY(QTest::qWaitFor([&] { return colour() == green; }, 15000));
        const std::string playlist = platform::ShortPathOf((f.temp.path() / "Default.m3u").string());
        QCOMPARE(standInLog(), "started " + playlist + " show " + std::to_string(SW_SHOWMINNOACTIVE) + "\n");
        QVERIFY(QTest::qWaitFor(
            [&] { return f.child<QLabel>("Label2")->text() == QStringLiteral("Verse: 001-002"); }, 5000));

        // The transport buttons send Winamp's commands; the lamp follows its state.
        auto *blinkie = f.form->findChild<QTimer *>(QStringLiteral("Blinkie"));
        QTest::mouseClick(f.child<QToolButton>("Button_3"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return blinkie->isActive(); }, 5000));
        QTest::mouseClick(f.child<QToolButton>("Button_2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !blinkie->isActive() && colour() == green; }, 5000));
        QTest::mouseClick(f.child<QToolButton>("Button_4"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return colour() == red; }, 5000));

        // Exit asks about Winamp; Yes closes it.
        f.dialogs.answers = {QMessageBox::Yes};
        QTest::mouseClick(f.child<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(f.dialogs.shown.last(), QStringLiteral("WinAMP is active. Do you want close it too?"));
        QVERIFY(QTest::qWaitFor([&] { return channel.FindPlayer() == 0; }, 5000));
        QVERIFY(standInLog().ends_with("pause\nplay\nstop\nclose\n"));
    }

    // Without Winamp at its usual place and with no player in the preferences, the player of the
    // program's own recites real recordings, and the window follows it as it follows Winamp.
    void recitesWithTheWindowsPlayer()
    {
        std::filesystem::create_directories(kWinampFolder);
        std::filesystem::remove(kWinampFolder / "winamp.exe");
        MainWindowFixture f(false, Edition::Audio);
        for (const char *name : {"001-002.mp3", "001-003.mp3", "a.mp3"})
            std::filesystem::copy_file(std::filesystem::path(VELMORA_TONES) / name, f.data.path() / name);
        platform::Win32PlayerChannel outside;
        platform::MediaFoundationPlayerChannel channel(outside, utf8Of(kWinampFolder / "winamp"));
        showWith(f, channel);
        auto *lamp = f.child<QLabel>("PlayState");
        QCOMPARE(lamp->toolTip(), QStringLiteral("Velmora player status"));
        const auto colour = [lamp] { return lamp->palette().color(QPalette::Window); };
        const QColor green(0, 230, 0);
        const QColor red(220, 50, 10);

        // The status line names each verse in turn, the pause between them aside.
        reciteTwoVerses(f, QStringLiteral("1"));
        auto *status = f.child<QLabel>("Label2");
        QStringList seen;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         if (seen.isEmpty() || seen.last() != status->text())
                             seen << status->text();
                         return status->text() == QStringLiteral("Verse: 001-003");
                     },
                     15000),
                 qPrintable(seen.join(QStringLiteral(" | "))));
        QVERIFY2(seen.contains(QStringLiteral("Verse: 001-002")),
                 qPrintable(seen.join(QStringLiteral(" | "))));
        QCOMPARE(colour(), green);

        // Pause toggles, Play goes on, Stop stops; the lamp follows.
        auto *blinkie = f.form->findChild<QTimer *>(QStringLiteral("Blinkie"));
        QTest::mouseClick(f.child<QToolButton>("Button_3"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return blinkie->isActive(); }, 5000));
        QCOMPARE(channel.QueryPlayState(channel.FindPlayer()), kStatePaused);
        QTest::mouseClick(f.child<QToolButton>("Button_2"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return !blinkie->isActive() && colour() == green; }, 5000));
        QTest::mouseClick(f.child<QToolButton>("Button_4"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return colour() == red; }, 5000));
        QCOMPARE(channel.QueryPlayState(channel.FindPlayer()), kStateStopped);

        // Exit asks about the player by its name; Yes ends it.
        f.dialogs.answers = {QMessageBox::Yes};
        QTest::mouseClick(f.child<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(f.dialogs.shown.last(),
                 QStringLiteral("Velmora player is active. Do you want close it too?"));
        QCOMPARE(channel.FindPlayer(), PlayerHandle{0});

        // A Winamp at its usual place is still the one recited with.
        std::filesystem::copy_file(VELMORA_WINAMP_STANDIN, kWinampFolder / "winamp.exe");
        channel.usePlayerProgram("");
        QCOMPARE(channel.playerName(), std::string("WinAMP"));
    }
};

QTEST_MAIN(WinampTest)
#include "winamp_test.moc"
