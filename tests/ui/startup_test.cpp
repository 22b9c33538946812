// Start-up, preferences, Exit and the frame close of the main window.

#include "uisupport.h"

#include "shell/textfield.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>

using namespace velmora;
using namespace velmora::test;

class StartupTest : public QObject
{
    Q_OBJECT

private:
    static QPushButton *button(const MainWindowFixture &f, const char *name)
    {
        return f.child<QPushButton>(name);
    }
    static QCheckBox *check(const MainWindowFixture &f, int i)
    {
        return f.child<QCheckBox>(("Check2_" + std::to_string(i)).c_str());
    }

private slots:
    void firstStartUsesDefaultsAndOpensOnFirstEntry()
    {
        MainWindowFixture f;
        const QFont font = f.child<QPlainTextEdit>("Text3")->font();
        // The design font, or the font the system puts in its place.
        QVERIFY(font.family() == QStringLiteral("Comic Sans MS") ||
                QFontInfo(font).family() == font.family());
        QCOMPARE(font.pointSizeF(), 9.75);
        QVERIFY(!font.bold());
        QCOMPARE(f.combo("Combo5")->currentText(), QFontInfo(font).family());
        for (int i = 0; i < 4; ++i)
            QVERIFY(!check(f, i)->isChecked());
        QCOMPARE(f.form->state().playerPath, std::string());
        QCOMPARE(f.combo("Combo1")->currentIndex(), 0);
        QCOMPARE(f.combo("Combo1")->currentText(), QStringLiteral("001 Al Fatiha (The Opening)"));
        const auto *list = f.child<QListWidget>("List1");
        QCOMPARE(list->count(), 7);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("001-000"));
        QCOMPARE(f.combo("Combo2")->currentText(), QStringLiteral("000"));
        QCOMPARE(f.combo("Combo3")->currentText(), QStringLiteral("000"));
        QCOMPARE(f.combo("Combo6")->currentText(), QStringLiteral("None"));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("Status: (no audio)"));
        for (const char *name : {"Command4", "Command5", "Command2_0", "Command2_1", "Command2_2"})
            QVERIFY2(!button(f, name)->isEnabled(), name);
        QVERIFY(button(f, "Command6")->isEnabled());
        QVERIFY(f.child<QToolButton>("Button_2")->isEnabled());
        QVERIFY(!f.child<QPushButton>("Command3")->isVisible());
        QCOMPARE(f.form->windowTitle(),
                 QStringLiteral("Velmora (Internet download version, without audio support)"));
        QVERIFY(f.form->font().family() == QStringLiteral("MS Sans Serif"));
        QVERIFY(f.child<QComboBox>("Combo7")->geometry().bottom() < 0);
        QVERIFY(f.child<QPushButton>("Command7")->geometry().bottom() < 0);
    }

    void savedPreferencesAreApplied()
    {
        MainWindowFixture f(false);
        f.temp.write("Prefs.dat", "\r\nDejaVu Sans\r\n 12.5 \r\nTrue\r\n 1 \r\n 0 \r\n 1 \r\n");
        f.startWindow();
        const QFont font = f.child<QPlainTextEdit>("Text3")->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(font.pointSizeF(), 12.5);
        QVERIFY(font.bold());
        QCOMPARE(f.combo("Combo5")->currentText(), QStringLiteral("DejaVu Sans"));
        QVERIFY(check(f, 0)->isChecked());
        QVERIFY(!check(f, 1)->isChecked());
        QVERIFY(check(f, 2)->isChecked());
        QVERIFY(!check(f, 3)->isChecked());
        // Transliteration first, then Pickthall, for entry 000 of surah 1.
        QCOMPARE(f.displayText(), QStringLiteral("0) T 1:0\n---\n0) P 1:0\n\n\n\n\n"));
    }

    void twoLinePreferencesGiveDefaultsForTheRest()
    {
        MainWindowFixture f(false);
        const auto player = f.temp.write("player.exe", "x");
        f.temp.write("Prefs.dat", player.string() + "\r\nDejaVu Sans\r\n");
        f.startWindow();
        const QFont font = f.child<QPlainTextEdit>("Text3")->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(font.pointSizeF(), 9.75);
        QVERIFY(!font.bold());
        QCOMPARE(f.form->state().playerPath, player.string());
        for (int i = 0; i < 3; ++i)
            QVERIFY(!check(f, i)->isChecked());
    }

    void badPreferencesNeverStopTheStart()
    {
        const char *files[] = {
            "\r\nDejaVu Sans\r\n big \r\nmaybe\r\n x \r\n 7 \r\n -1 \r\n", // no numbers, odd checks
            "\r\nDejaVu Sans\r\n 5000 \r\nFalse\r\n 1 \r\n 1 \r\n 1 \r\n", // absurd size
            "\r\nDejaVu Sans\r\n -3 \r\n",                                 // negative size, short file
            "\"unclosed\r\n",                                              // a quote never closed
            "C:\\missing\\winamp.exe\r\nTimes, Bold\r\n 10 \r\nTrue\r\n",  // comma shifts the fields
        };
        for (const char *contents : files) {
            MainWindowFixture f(false);
            f.temp.write("Prefs.dat", contents);
            f.startWindow();
            const double size = f.child<QPlainTextEdit>("Text3")->font().pointSizeF();
            QVERIFY2(size >= kMinFontSize && size <= kMaxFontSize, contents);
            QCOMPARE(f.form->state().playerPath, std::string());
            QVERIFY(f.dialogs.shown.isEmpty());
        }
    }

    void exitWritesTheSevenLinesAndTheyReadBack()
    {
        MainWindowFixture f(false);
        const auto player = f.temp.write("player.exe", "x");
        f.temp.write("Prefs.dat",
                     player.string() + "\r\nDejaVu Sans\r\n 11.25 \r\nTrue\r\n 0 \r\n 1 \r\n 0 \r\n");
        f.startWindow();
        check(f, 3)->setChecked(true); // Shakir is never saved
        button(f, "Command6")->click();
        QVERIFY(f.ended);
        QCOMPARE(f.temp.read("Prefs.dat"),
                 player.string() + "\r\nDejaVu Sans\r\n 11.25 \r\nTrue\r\n 0 \r\n 1 \r\n 0 \r\n");

        MainWindowFixture again(false);
        std::filesystem::copy_file(f.temp.path() / "Prefs.dat", again.temp.path() / "Prefs.dat");
        again.startWindow();
        QCOMPARE(again.child<QPlainTextEdit>("Text3")->font().pointSizeF(), 11.25);
        QVERIFY(check(again, 1)->isChecked());
        QVERIFY(!check(again, 3)->isChecked());
    }

    void exitAsksAboutARunningPlayer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("closeRequests");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true << 1;
        QTest::newRow("no") << int(QMessageBox::No) << true << 0;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << 0;
    }

    void exitAsksAboutARunningPlayer()
    {
        QFETCH(int, answer);
        QFETCH(bool, ends);
        QFETCH(int, closeRequests);
        MainWindowFixture f;
        f.player.start(kStatePlaying);
        f.dialogs.answers.push_back(static_cast<QMessageBox::StandardButton>(answer));
        button(f, "Command6")->click();
        QCOMPARE(f.dialogs.shown, QStringList{QStringLiteral("WinAMP is active. Do you want close it too?")});
        QCOMPARE(f.ended, ends);
        QCOMPARE(f.player.closeRequests, closeRequests);
        QVERIFY(std::filesystem::exists(f.temp.path() / "Prefs.dat"));
    }

    void exitWithoutPlayerAsksNothing()
    {
        MainWindowFixture f;
        button(f, "Command6")->click();
        QVERIFY(f.ended);
        QVERIFY(f.dialogs.shown.isEmpty());
    }

    void frameCloseEndsWithoutSaving()
    {
        MainWindowFixture f;
        f.player.start();
        f.form->show();
        f.form->close();
        QVERIFY(f.ended);
        QVERIFY(!std::filesystem::exists(f.temp.path() / "Prefs.dat"));
        QVERIFY(f.dialogs.shown.isEmpty());
    }

    void cancelledExitThenFrameCloseKeepsWhatExitWrote()
    {
        MainWindowFixture f;
        f.player.start();
        f.dialogs.answers.push_back(QMessageBox::Cancel);
        button(f, "Command6")->click();
        const std::string written = f.temp.read("Prefs.dat");
        QTest::mouseClick(f.child<QLabel>("Label3_0"), Qt::LeftButton); // a bigger font after Exit
        f.form->close();
        QCOMPARE(f.temp.read("Prefs.dat"), written);
    }

    void unwritableTemporaryFolderIsReported()
    {
        MainWindowFixture f;
        std::filesystem::remove_all(f.temp.path());
        button(f, "Command6")->click();
        QVERIFY(f.ended);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY(f.dialogs.shown.front().contains(QStringLiteral("could not be saved")));
    }

    void transportButtonsCommandThePlayerAndFocusButtonZero()
    {
        MainWindowFixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        f.form->activateWindow();
        auto *play = f.child<QToolButton>("Button_2");
        QTest::mouseClick(play, Qt::LeftButton); // no player: nothing is sent
        QVERIFY(f.player.commands.empty());
        f.player.start(kStateStopped);
        QTest::mouseClick(play, Qt::LeftButton);
        QTest::mouseClick(f.child<QToolButton>("Button_3"), Qt::LeftButton);
        QTest::mouseClick(f.child<QToolButton>("Button_4"), Qt::LeftButton);
        QTest::mouseClick(f.child<QToolButton>("Button_0"), Qt::LeftButton);
        QCOMPARE(f.player.commands, (std::vector<int>{kCmdPlay, kCmdPause, kCmdStop}));
        QCOMPARE(QApplication::focusWidget(), f.child<QWidget>("Button_0"));
        f.player.vanish();
        QTest::mouseClick(play, Qt::LeftButton);
        QCOMPARE(f.player.commands.size(), std::size_t(3));
    }

    void schemeListShowsPlaylistsOfTheTemporaryFolder()
    {
        MainWindowFixture f(false);
        f.temp.write("zeta.m3u", "");
        f.temp.write("ALPHA.M3U", "");
        f.temp.write("notes.txt", "");
        std::filesystem::create_directory(f.temp.path() / "folder.m3u");
        f.startWindow();
        QCOMPARE(itemsOf(f.combo("Combo4")),
                 (QStringList{QStringLiteral("ALPHA.M3U"), QStringLiteral("zeta.m3u")}));
        QCOMPARE(f.combo("Combo4")->currentIndex(), 0);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
