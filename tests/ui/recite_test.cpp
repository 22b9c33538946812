// Save, Recite, the scheme buttons and the playback monitor, with the controls enabled.

#include "uisupport.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "shell/form3.h"
#include "shell/memorisewindow.h"
#include "shell/readingwindow.h"
#include "shell/wordpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <filesystem>

using namespace velmora;
using namespace velmora::test;

class ReciteTest : public QObject
{
    Q_OBJECT

private:
    static QPushButton *enabled(const MainWindowFixture &f, const char *name)
    {
        auto *b = f.child<QPushButton>(name);
        b->setEnabled(true);
        return b;
    }
    static void tick(MainWindowFixture &f)
    {
        // One real tick of the monitor's timer, however busy the machine: the window's handler is
        // connected before the spy, so it has run when the spy sees the tick.
        QTimer *timer = f.form->findChild<QTimer *>(QStringLiteral("Timer1"));
        QSignalSpy ticked(timer, &QTimer::timeout);
        timer->setInterval(1);
        timer->start();
        QVERIFY(ticked.wait(10000));
        timer->stop();
    }
    static QColor lamp(const MainWindowFixture &f)
    {
        return f.child<QLabel>("PlayState")->palette().color(QPalette::Window);
    }

private slots:
    void audioEditionRecitesTheVerseTheSearchWindowShows()
    {
        MainWindowFixture f(false, Edition::Audio);
        f.data.write("002-002.mp3", "ID3");
        const auto player = f.temp.write("audacious", "x");
        f.temp.write("Prefs.dat", player.string() + "\r\n");
        f.startWindow();
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Velmora"));
        for (const char *name : {"Command4", "Command5", "Command2_0", "Command2_1", "Command2_2"})
            QVERIFY2(f.child<QPushButton>(name)->isEnabled(), name);
        QVERIFY(f.form->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());

        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        QWidget *search = f.form->searchWindow();
        search->show();
        QVERIFY(QTest::qWaitForWindowExposed(search));
        auto *query = search->findChild<QComboBox *>(QStringLiteral("Combo1"))->lineEdit();
        QTest::keyClicks(query, QStringLiteral("'p 2:2'"));
        QTest::keyClick(query, Qt::Key_Return);
        auto *hits = search->findChild<QListWidget *>(QStringLiteral("List1"));
        QCOMPARE(hits->count(), 1);
        QTest::mouseClick(hits->viewport(), Qt::LeftButton, {}, hits->visualItemRect(hits->item(0)).center());
        QTest::mouseClick(search->findChild<QLabel *>(QStringLiteral("Label3")), Qt::LeftButton);

        // Recited as Recite recites a range: the verse is chosen in the main window first.
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        QCOMPARE(f.combo("Combo2")->currentText(), QStringLiteral("002"));
        QCOMPARE(f.combo("Combo3")->currentText(), QStringLiteral("002"));
        QCOMPARE(f.player.launches.size(), std::size_t(1));
        QCOMPARE(f.player.launches.front().first,
                 platform::ShortPathOf(player.string()) + "  " +
                     platform::ShortPathOf((f.temp.path() / "Default.m3u").string()));
        QCOMPARE(f.temp.read("Default.m3u"),
                 platform::ShortPathOf((f.data.path() / "002-002.mp3").string()) + "\r\n");
        QVERIFY(f.dialogs.shown.isEmpty());
    }

    void saveAsksForANameAndWritesThePlaylist()
    {
        MainWindowFixture f;
        f.data.write("001-002.mp3", "ID3" + std::string(100, 'x'));
        f.data.write("001-003.mp3", "ID3" + std::string(100, 'x'));
        f.data.write("a.mp3", "p");
        f.combo("Combo1")->setCurrentIndex(0);
        f.combo("Combo2")->setCurrentIndex(3);
        f.combo("Combo3")->setCurrentIndex(2);
        f.child<QLineEdit>("Text1")->setText(QStringLiteral("2"));
        f.combo("Combo6")->setCurrentIndex(1);
        f.dialogs.texts = {QStringLiteral("toolongname"), QStringLiteral("a/b"), QStringLiteral("mYnAmE")};
        enabled(f, "Command5")->click();
        QCOMPARE(f.dialogs.suggestions.front(), QStringLiteral("Default"));
        QCOMPARE(f.dialogs.suggestions[1], QStringLiteral("toolongname"));
        QCOMPARE(f.dialogs.shown.size(), 2); // the two refused names
        const std::string d = platform::ShortPathOf(f.data.folder());
        const std::string expected = d + "001-002.mp3\r\n" + d + "a.mp3\r\n" + d + "001-002.mp3\r\n" + d +
                                     "a.mp3\r\n" + d + "001-003.mp3\r\n" + d + "a.mp3\r\n" + d +
                                     "001-003.mp3\r\n" + d + "a.mp3\r\n";
        QCOMPARE(f.temp.read("Myname.m3u"), expected);
        QCOMPARE(qtkit::entries(f.combo("Combo4")), QStringList{QStringLiteral("Myname.m3u")});

        // Saving the same name again asks first; No goes back to the name dialog.
        f.dialogs.texts = {QStringLiteral("mYnAmE"), std::nullopt};
        f.dialogs.answers = {QMessageBox::No};
        enabled(f, "Command5")->click();
        QVERIFY(f.dialogs.shown.last().startsWith(QStringLiteral("Scheme 'mYnAmE' already exists.Do you")));
        QCOMPARE(f.dialogs.suggestions.last(), QStringLiteral("mYnAmE"));
    }

    void reciteWritesDefaultAndStartsThePlayer()
    {
        MainWindowFixture f(false);
        const auto player = f.temp.write("player", "x");
        f.temp.write("Prefs.dat", player.string() + "\r\n");
        f.startWindow();
        f.child<QLineEdit>("Text1")->setText(QStringLiteral("0"));
        f.child<QLineEdit>("Text2")->setText(QString());
        // With no recording of the verses, nothing is recited, and the reader learns where they come from.
        enabled(f, "Command4")->click();
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY(f.dialogs.shown.front().contains(QStringLiteral("velmora-import --recordings FOLDER")));
        QVERIFY(f.player.launches.empty());
        f.dialogs.shown.clear();
        f.data.write("001-000.mp3", "ID3");
        enabled(f, "Command4")->click();
        enabled(f, "Command4")->click(); // overwritten without a question
        QVERIFY(f.dialogs.shown.isEmpty());
        QCOMPARE(f.child<QLineEdit>("Text1")->text(), QStringLiteral("1"));
        QCOMPARE(f.child<QLineEdit>("Text2")->text(), QStringLiteral("1"));
        QCOMPARE(f.player.launches.size(), std::size_t(2));
        QCOMPARE(f.player.launches.front().first,
                 platform::ShortPathOf(player.string()) + "  " +
                     platform::ShortPathOf((f.temp.path() / "Default.m3u").string()));
        QVERIFY(f.player.launches.front().second == WindowStyle::MinimizedNoActivate);
        QCOMPARE(f.form->state().schemeName, std::string("Default"));

        // What cannot play is left out, and named; the rest is recited.
        f.data.write("001-001.mp3", "<html>");
        QTest::keyClick(f.combo("Combo3"), Qt::Key_Down);
        enabled(f, "Command4")->click();
        QCOMPARE(f.player.launches.size(), std::size_t(3));
        QCOMPARE(f.dialogs.shown,
                 QStringList{QStringLiteral(
                     "These recordings were left out of the recitation: 001-001.mp3 (not an MP3 file).")});
    }

    void schemeButtonsWithoutSelectionAndReciteWithoutPlayerSaySo()
    {
        MainWindowFixture f;
        for (const char *name : {"Command2_0", "Command2_1", "Command2_2"})
            enabled(f, name)->click();
        QCOMPARE(f.dialogs.shown, QStringList(3, QStringLiteral("Please select a file first.")));
        enabled(f, "Command4")->click();
        QCOMPARE(f.dialogs.shown.size(), 4);
        QVERIFY(f.dialogs.shown.last().contains(QStringLiteral("No player program")));
    }

    void schemeReciteAndDelete()
    {
        MainWindowFixture f(false);
        f.temp.write("Zed.m3u", "");
        f.temp.write("ALPHA.M3U", "");
        f.startWindow();
        enabled(f, "Command2_0")->click();
        QCOMPARE(f.player.launches.back().first,
                 platform::defaultPlayerProgram() + "  " +
                     platform::ShortPathOf((f.temp.path() / "ALPHA.M3U").string()));
        QVERIFY(f.player.launches.back().second == WindowStyle::NormalActivate);

        // The player of the preferences replays schemes too, as Recite uses it.
        MainWindowFixture named(false);
        const auto player = named.temp.write("player", "x");
        named.temp.write("Prefs.dat", player.string() + "\r\n");
        named.temp.write("Zed.m3u", "");
        named.startWindow();
        enabled(named, "Command2_0")->click();
        QCOMPARE(named.player.launches.back().first,
                 platform::schemePlayerProgram(platform::ShortPathOf(player.string())) + "  " +
                     platform::ShortPathOf((named.temp.path() / "Zed.m3u").string()));

        f.dialogs.answers = {QMessageBox::No};
        enabled(f, "Command2_2")->click();
        QVERIFY(std::filesystem::exists(f.temp.path() / "ALPHA.M3U"));
        f.dialogs.answers = {QMessageBox::Yes};
        enabled(f, "Command2_2")->click();
        QCOMPARE(f.dialogs.shown.last(), QStringLiteral("Are you sure you want to delete 'ALPHA.M3U'?"));
        QVERIFY(!std::filesystem::exists(f.temp.path() / "ALPHA.M3U"));
        QCOMPARE(qtkit::entries(f.combo("Combo4")), QStringList{QStringLiteral("Zed.m3u")});
        QCOMPARE(f.combo("Combo4")->currentIndex(), -1);
        enabled(f, "Command2_2")->click();
        QCOMPARE(f.dialogs.shown.last(), QStringLiteral("Please select a file first."));

        // A scheme deleted behind the program's back is simply dropped.
        f.combo("Combo4")->setCurrentIndex(0);
        std::filesystem::remove(f.temp.path() / "Zed.m3u");
        f.dialogs.answers = {QMessageBox::Yes};
        enabled(f, "Command2_2")->click();
        QCOMPARE(f.combo("Combo4")->count(), 0);
    }

    // The verse being recited is marked in the display, its translations with it, and in the
    // reading view; a verse of another surah marks nothing.
    void theRecitedVerseIsMarkedInTheText()
    {
        MainWindowFixture f(false);
        f.data.write("quran-uthmani.txt", "1|3|\u0627\u0644\u0631\u062D\u0645\u0646\n");
        f.startWindow();
        QVERIFY(f.show());
        auto *pickthall = f.child<QCheckBox>("Check2_0");
        QTest::mouseClick(pickthall, Qt::LeftButton, {}, QPoint(4, pickthall->height() / 2));
        QTest::mouseClick(f.child<QLabel>("Label1_11"), Qt::LeftButton); // All
        QTest::keyClick(f.form.get(), Qt::Key_R, Qt::ControlModifier);
        const auto marked = [](const QTextEdit *text) {
            const auto marks = text->extraSelections();
            return marks.size() == 1 ? marks.front().cursor.selectedText() : QString();
        };
        auto *display = f.child<QTextEdit>("Text3");
        auto *reading = f.form->readingWindow()->findChild<QTextEdit *>(QStringLiteral("ReadingText"));
        f.player.start(kStatePlaying, "1. Velmora - 001-002.mp3 - Velmora player");
        tick(f);
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("Verse: 001-002"));
        QCOMPARE(marked(display), QStringLiteral("2) P 1:2"));
        QCOMPARE(marked(reading), QStringLiteral("2) P 1:2"));
        // In the Arabic display, the verse's Arabic with its translation.
        auto *arabic = f.child<QCheckBox>("Check2_4");
        QTest::mouseClick(arabic, Qt::LeftButton, {}, QPoint(4, arabic->height() / 2));
        tick(f);
        QCOMPARE(marked(display),
                 QStringLiteral("\u0627\u0644\u0631\u062D\u0645\u0646 \u06DD\u0663\u20292) P 1:2"));
        QTRY_COMPARE(marked(reading), marked(display));
        f.player.title = "2. Velmora - 002-002.mp3 - Velmora player";
        tick(f);
        QCOMPARE(marked(display), QString());
        QCOMPARE(marked(reading), QString());
    }

    // The reader's choices in the memorising window, each by mouse or key, reach the playlist and
    // are kept.
    void memorisingChoicesShapeThePlaylistAndAreKept()
    {
        MainWindowFixture f(false, Edition::Audio);
        f.data.write("001-002.mp3", "ID3 beside the program");
        f.data.write("reciters/Husary/001-002.mp3", "ID3");
        f.data.write("a.mp3", "p");
        const auto player = f.temp.write("audacious", "x");
        f.temp.write("Prefs.dat", player.string() + "\r\n");
        f.startWindow();
        QVERIFY(f.show());
        QTest::mouseClick(f.child<QLabel>("MemoriseLink"), Qt::LeftButton);
        auto *window = f.form->findChild<MemoriseWindow *>();
        QVERIFY(window && window->isVisible());
        const auto choose = [window](const char *name, int downs) {
            auto *box = window->findChild<QComboBox *>(QLatin1String(name));
            box->setFocus();
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(box, Qt::Key_Down);
            return box->currentText();
        };
        QCOMPARE(choose("ReciterChoice", 1), QStringLiteral("Husary"));
        QCOMPARE(choose("SelectionPause", 1), QStringLiteral("3 seconds"));
        auto *rising = window->findChild<QCheckBox *>(QStringLiteral("RisingRepeats"));
        QTest::mouseClick(rising, Qt::LeftButton, {}, QPoint(4, rising->height() / 2));
        QVERIFY(!window->findChild<QComboBox *>(QStringLiteral("PlayerSpeed"))->isEnabled());
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());

        auto *list = f.child<QListWidget>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        auto *every = f.child<QLineEdit>("Text1");
        every->setFocus();
        QTest::keyClick(every, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(every, QStringLiteral("2"));
        auto *selection = f.child<QLineEdit>("Text2");
        selection->setFocus();
        QTest::keyClick(selection, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(selection, QStringLiteral("2"));
        QTest::mouseClick(f.child<QPushButton>("Command4"), Qt::LeftButton);
        const std::string verse =
            platform::ShortPathOf((f.data.path() / "reciters" / "Husary" / "001-002.mp3").string());
        const std::string pause = platform::ShortPathOf((f.data.path() / "a.mp3").string());
        std::string expected;
        for (const auto &line : {verse, verse, verse, pause, pause, pause, verse, verse, verse})
            expected += line + "\r\n";
        QCOMPARE(f.temp.read("Default.m3u"), expected);
        const std::string kept = f.temp.read("Recite.dat");
        for (const char *line : {"reciter=Husary\r\n", "rising=1\r\n", "selectionpause=3\r\n"})
            QVERIFY2(kept.find(line) != std::string::npos, kept.c_str());

        // A reciter whose folder is gone is not recited from the recordings beside the program.
        std::filesystem::remove_all(f.data.path() / "reciters");
        f.dialogs.shown.clear();
        QTest::mouseClick(f.child<QPushButton>("Command4"), Qt::LeftButton);
        QVERIFY(!f.dialogs.shown.isEmpty() && f.dialogs.shown.front().contains(QStringLiteral("Husary")));
        QCOMPARE(f.temp.read("Default.m3u"), expected);
    }

    // Hidden, the verses show one by one as they are recited, or when the reader clicks them.
    void theHiddenTextShowsWhatIsRecitedOrClicked()
    {
        MainWindowFixture f(false);
        f.startWindow();
        QVERIFY(f.show());
        auto *pickthall = f.child<QCheckBox>("Check2_0");
        QTest::mouseClick(pickthall, Qt::LeftButton, {}, QPoint(4, pickthall->height() / 2));
        QTest::mouseClick(f.child<QLabel>("Label1_11"), Qt::LeftButton); // All
        QTest::mouseClick(f.child<QLabel>("MemoriseLink"), Qt::LeftButton);
        auto *window = f.form->findChild<MemoriseWindow *>();
        auto *hide = window->findChild<QCheckBox *>(QStringLiteral("HideText"));
        QTest::mouseClick(hide, Qt::LeftButton, {}, QPoint(4, hide->height() / 2));
        auto *display = f.child<QTextEdit>("Text3");
        const auto hidden = [display] {
            QStringList out;
            for (const auto &mark : display->extraSelections())
                if (mark.format.foreground().color() == display->palette().color(QPalette::Base))
                    out << mark.cursor.selectedText().section(QLatin1Char(')'), 0, 0);
            return out;
        };
        QCOMPARE(hidden(), (QStringList{"0", "1", "2", "3", "4", "5", "6"}));
        f.player.start(kStatePlaying, "1. Velmora - 001-001.mp3 - Velmora player");
        tick(f);
        QCOMPARE(hidden(), (QStringList{"0", "2", "3", "4", "5", "6"}));
        QTextCursor fourth = display->document()->find(QStringLiteral("4) P 1:4"));
        QTest::mouseClick(display->viewport(), Qt::LeftButton, {}, display->cursorRect(fourth).center());
        QCOMPARE(hidden(), (QStringList{"0", "2", "3", "5", "6"}));
        QVERIFY(!f.form->wordPanel() || !f.form->wordPanel()->isVisible());
        QTest::mouseClick(hide, Qt::LeftButton, {}, QPoint(4, hide->height() / 2));
        QVERIFY(hidden().isEmpty());
    }

    // The monitor's states are the logic test's; here, that each reaches the window.
    void monitorFollowsThePlayer()
    {
        MainWindowFixture f;
        auto *play = f.child<QToolButton>("Button_2");
        auto *pause = f.child<QToolButton>("Button_3");
        auto *stop = f.child<QToolButton>("Button_4");
        f.player.start(kStatePlaying, "a-bc-def-g");
        tick(f);
        QVERIFY(!play->isEnabled() && pause->isEnabled() && stop->isEnabled());
        QCOMPARE(lamp(f), QColor(0, 230, 0));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("Verse: c-"));

        f.player.state = kStatePaused;
        tick(f);
        auto *blinkie = f.form->findChild<QTimer *>(QStringLiteral("Blinkie"));
        QVERIFY(blinkie->isActive());
        blinkie->setInterval(5);
        QTRY_COMPARE(lamp(f), QColor(255, 255, 0));
        QTRY_COMPARE(lamp(f), QColor(220, 50, 10));

        f.player.running = false; // closed while paused
        tick(f);
        QVERIFY(!blinkie->isActive());
        QCOMPARE(lamp(f), f.form->palette().color(QPalette::Button));
    }
};

QTEST_MAIN(ReciteTest)
#include "recite_test.moc"
