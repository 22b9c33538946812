// Start-up, preferences, Exit and the frame close of the main window.

#include "uisupport.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "shell/form3.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <QApplication>
#include <QScreen>

#include <algorithm>
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
    // The file dialogs are Qt's own, whose controls the tests type into, on every system.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void disabledButtonsLookDisabled()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        for (const char *name : {"Command5", "Command4"}) {
            const Ink ink = inkOf(faceOf(button(f, name)));
            QVERIFY2(ink.reddish == 0, name);
            QVERIFY2(ink.grey > 10, name);
        }
        // Exit and the pause list have no colour of their own: the frame's is its caption's alone.
        for (QWidget *plain :
             {static_cast<QWidget *>(button(f, "Command6")), static_cast<QWidget *>(f.combo("Combo6"))}) {
            const Ink ink = inkOf(faceOf(plain));
            QCOMPARE(ink.reddish, 0);
            QVERIFY2(ink.black > 10,
                     qPrintable(plain->objectName() +
                                QStringLiteral(": black %1, grey %2").arg(ink.black).arg(ink.grey)));
        }
        const QColor caption =
            f.child<QWidget>("Frame1")->palette().color(QPalette::Active, QPalette::WindowText);
        QCOMPARE(caption, QColor(128, 0, 0));
        // A coloured label keeps its colour while enabled and greys out when disabled.
        auto *label = f.child<QLabel>("Label1_5");
        QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(label->palette().color(QPalette::Disabled, QPalette::WindowText),
                 QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    }

    void keyboardStartsInTheSurahList()
    {
        MainWindowFixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QCOMPARE(QApplication::focusWidget(), f.combo("Combo1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!check(f, 3)->isChecked());
        // The focus order goes on with the verse list, then the range lists.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.child<QWidget>("List1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.combo("Combo2"));
    }

    void windowIsPlacedAboveTheMiddleAndOnTheScreen()
    {
        // 15360 twips (1024 pixels) wide: the left edge at (1024 - 679) / 2.
        const QSize outer(679, 420);
        QCOMPARE(qtkit::placeWindow({0, 0, 1024, 768}, {0, 0, 1024, 740}, outer, 20), QPoint(172, 154));
        // A scale factor of 2 on 1366 x 768: 683 x 384 points, a panel of 16 at the top. The window
        // is taller than the free area: its top edge stays below the panel.
        QCOMPARE(qtkit::placeWindow({0, 0, 683, 384}, {0, 16, 683, 368}, outer, 20), QPoint(2, 16));
        // Raised above the screen's top edge, it comes back down to it.
        QCOMPARE(qtkit::placeWindow({0, 0, 800, 450}, {0, 0, 800, 450}, QSize(679, 420), 40), QPoint(60, 0));
        // A panel at the right: the window moves left of it.
        QCOMPARE(qtkit::placeWindow({0, 0, 700, 900}, {0, 0, 660, 900}, outer, 20), QPoint(0, 220));
        // A panel beside the window: right, else left, else at the screen's right edge; on screen.
        const QRect area(0, 0, 1280, 1000);
        QCOMPARE(qtkit::placeBeside({100, 50, 680, 420}, QSize(300, 200), area, 8), QPoint(788, 50));
        QCOMPARE(qtkit::placeBeside({500, 50, 680, 420}, QSize(300, 200), area, 8), QPoint(192, 50));
        QCOMPARE(qtkit::placeBeside({200, 900, 900, 420}, QSize(300, 200), area, 8), QPoint(980, 800));

        MainWindowFixture f;
        QVERIFY(f.show());
        QVERIFY(f.form->screen()->availableGeometry().contains(f.form->frameGeometry()));
    }

    void handPointsWithItsHotSpot()
    {
        const QCursor &hand = qtkit::handCursor();
        QCOMPARE(hand.hotSpot(), QPoint(5, 0));
        const QImage shape = hand.bitmap().toImage();
        const QImage mask = hand.mask().toImage();
        QCOMPARE(QColor(shape.pixel(5, 0)), QColor(Qt::black)); // the fingertip is drawn at the hot spot
        QCOMPARE(QColor(mask.pixel(5, 0)), QColor(Qt::black));
        QCOMPARE(QColor(mask.pixel(3, 0)), QColor(Qt::white)); // nothing left of the finger
    }

    void aStartUsesDefaultsAndOpensOnFirstEntry()
    {
        MainWindowFixture f;
        const QFont font = f.child<QTextEdit>("Text3")->font();
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
        // The icon of the menu entry, drawn for every size the window manager asks for.
        QCOMPARE(f.form->windowIcon().availableSizes().size(), 8);
        const QImage icon = f.form->windowIcon().pixmap(48).toImage();
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0); // rounded corners
        const QColor ground = icon.pixelColor(4, 24);
        QVERIFY(ground.green() > 2 * ground.red() && ground.green() > ground.blue());
        QVERIFY(f.form->font().family() == QStringLiteral("MS Sans Serif"));
        QVERIFY(f.child<QComboBox>("Combo7")->geometry().bottom() < 0);
        QVERIFY(f.child<QPushButton>("Command7")->geometry().bottom() < 0);
        // The download edition keeps recitation off.
        QVERIFY(!f.form->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        QVERIFY(!f.form->findChild<QTimer *>(QStringLiteral("Blinkie"))->isActive());
    }

    // A reader who has no texts yet is told which are missing and where they are published, and
    // brings in a translation and a hadith collection from the window, all or none, then reads
    // and searches them.
    void aFreshReaderImportsTextsFromTheWindowAndReadsThem()
    {
        TempDir downloads;
        std::string translation;
        for (int s = 1; s <= kSurahCount; ++s)
            for (int a = 1; a <= verseCount(s); ++a)
                translation += std::to_string(s) + "|" + std::to_string(a) + "|Verse " + std::to_string(s) +
                               ":" + std::to_string(a) + "\n";
        downloads.write("en.pickthall.txt", translation + "#  Name: Pickthall\n#  ID: en.pickthall\n");
        QString french =
            QString::fromStdString(translation).replace(QStringLiteral("Verse "), QStringLiteral("Vers "));
        downloads.write("fr.test.txt", french.toStdString() + "#  Language: French\n");
        downloads.write("bukhari.json", "{\"hadiths\": [{\"english\": {\"narrator\": \"Narrated Umar:\", "
                                        "\"text\": \"Deeds are by intentions.\"}}, {\"english\": {\"text\": "
                                        "\"The second, on patience.\"}}]}");
        downloads.write("page.txt", "<!DOCTYPE html><html></html>");
        MainWindowFixture f(false);
        for (const auto &name : entryNames(f.data.path()))
            std::filesystem::remove(f.data.path() / name);
        f.firstStart = true;
        f.startWindow();
        QVERIFY(f.show());
        QVERIFY(f.displayText().contains(QStringLiteral("Some texts are not here yet")));
        for (const char *named :
             {"quran-uthmani.txt", "https://tanzil.net/trans/", "BUKHARI.TXT", "corpus.quran.com"})
            QVERIFY2(f.displayText().contains(QLatin1String(named)), named);
        QVERIFY(f.dialogs.shown.isEmpty());

        // Chosen in the file dialog, as the reader types their names there.
        int listed = 0;
        const auto importFiles = [&](const QStringList &names) {
            whenModal("ImportTexts", [&](QWidget *dialog) {
                whenModal("ImportFiles", [&](QWidget *files) {
                    auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    QString typed;
                    for (const QString &file : names)
                        typed += QStringLiteral("\"%1\" ").arg(
                            QString::fromStdString(utf8Of(downloads.path() / file.toStdString())));
                    // The dialog may clear the name while it reads its folder, and the list of names
                    // that the typing suggests may take the Enter: typed again, the list closed as a
                    // reader closes it, and Enter pressed again.
                    for (int tries = 0; tries < 20 && files->isVisible(); ++tries) {
                        if (name->text() != typed) {
                            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                            typeInto(name, typed);
                        }
                        if (QAbstractItemView *popup = name->completer()->popup(); popup->isVisible())
                            QTest::keyClick(popup, Qt::Key_Escape);
                        QTest::keyClick(name, Qt::Key_Return);
                        QTest::qWait(50);
                    }
                });
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("AddFiles")),
                                  Qt::LeftButton);
                listed = dialog->findChild<QListWidget *>(QStringLiteral("ImportList"))->count();
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ImportButton")),
                                  Qt::LeftButton);
                if (dialog->isVisible())
                    QTest::keyClick(dialog, Qt::Key_Escape);
            });
            QTest::mouseClick(f.child<QLabel>("ImportLink"), Qt::LeftButton);
        };
        importFiles(
            {QStringLiteral("en.pickthall.txt"), QStringLiteral("bukhari.json"), QStringLiteral("page.txt")});
        QCOMPARE(listed, 3);
        QVERIFY(f.dialogs.shown.last().contains(QStringLiteral("page.txt cannot be taken: a web page")));
        QVERIFY(entryNames(f.data.path()).empty());

        importFiles({QStringLiteral("en.pickthall.txt"), QStringLiteral("bukhari.json"),
                     QStringLiteral("fr.test.txt")});
        QVERIFY(std::any_of(f.dialogs.shown.begin(), f.dialogs.shown.end(),
                            [](const QString &m) { return m.startsWith(QStringLiteral("Imported into")); }));
        QTRY_VERIFY(f.displayText().contains(QStringLiteral("Vers 1:1"))); // shown at once
        QTest::mouseClick(check(f, 0), Qt::LeftButton, {}, QPoint(4, check(f, 0)->height() / 2));
        QTRY_VERIFY(f.displayText().contains(QStringLiteral("Verse 1:1")));

        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        Form3 *search = f.form->searchWindow();
        QVERIFY(search && QTest::qWaitForWindowExposed(search));
        QTest::mouseClick(search->findChild<QRadioButton *>(QStringLiteral("Option1_5")), Qt::LeftButton);
        QLineEdit *query = search->findChild<QComboBox *>(QStringLiteral("Combo1"))->lineEdit();
        QTest::mouseClick(query, Qt::LeftButton);
        typeInto(query, QStringLiteral("patience"));
        QTest::keyClick(query, Qt::Key_Return);
        QTRY_COMPARE(qtkit::entries(search->findChild<QListWidget *>(QStringLiteral("List1"))).size(), 1);
    }

    // With no Prefs.dat at all the reader first sees the Arabic and how to add a translation; a
    // Prefs.dat of an older version, without the Arabic box's line, leaves it unticked.
    void aFirstStartShowsTheArabicAndHowToAddATranslation()
    {
        const QString hint = QStringLiteral("To read a translation beside the Arabic");
        MainWindowFixture f(false);
        f.data.write("quran-uthmani.txt", "1|1|\u0628\u0650\u0633\u0652\u0645\u0650\n");
        f.firstStart = true;
        f.startWindow();
        QVERIFY(f.show());
        QVERIFY(check(f, 4)->isChecked());
        QVERIFY(f.displayText().contains(hint));
        QTest::mouseClick(check(f, 0), Qt::LeftButton, {}, QPoint(4, check(f, 0)->height() / 2));
        QVERIFY(check(f, 0)->isChecked());
        QVERIFY(!f.displayText().contains(hint));

        MainWindowFixture older;
        QVERIFY(!check(older, 4)->isChecked());
    }

    void badPreferencesNeverStopTheStart()
    {
        const char *files[] = {
            "\r\nDejaVu Sans\r\n -3 \r\n",                                // negative size, short file
            "\"unclosed\r\n",                                             // a quote never closed
            "C:\\missing\\winamp.exe\r\nTimes, Bold\r\n 10 \r\nTrue\r\n", // comma shifts the fields
        };
        for (const char *contents : files) {
            MainWindowFixture f(false);
            f.temp.write("Prefs.dat", contents);
            f.startWindow();
            const double size = f.child<QTextEdit>("Text3")->font().pointSizeF();
            QVERIFY2(size >= kMinFontSize && size <= kMaxFontSize, contents);
            QCOMPARE(f.form->state().playerPath, std::string());
            QVERIFY(f.dialogs.shown.isEmpty());
        }
    }

    void savedPreferencesApplyAndExitWritesThemBack()
    {
        MainWindowFixture f(false);
        const auto player = f.temp.write("player.exe", "x");
        // Seven lines, as older versions write them, with values that tell the first and the third
        // box apart.
        f.temp.write("Prefs.dat",
                     player.string() + "\r\nDejaVu Sans\r\n 11.25 \r\nTrue\r\n 1 \r\n 0 \r\n 0 \r\n");
        f.startWindow();
        const QFont font = f.child<QTextEdit>("Text3")->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(font.pointSizeF(), 11.25);
        QVERIFY(font.bold());
        QCOMPARE(f.combo("Combo5")->currentText(), QStringLiteral("DejaVu Sans"));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(check(f, i)->isChecked(), i == 0);
        QCOMPARE(f.displayText(), QStringLiteral("0) P 1:0\n\n")); // Pickthall alone, entry 000 of surah 1

        // Yusuf Ali, Shakir (never saved) and the Arabic text ticked.
        f.form->show();
        for (const int i : {1, 3, 4})
            QTest::mouseClick(check(f, i), Qt::LeftButton, {}, QPoint(6, check(f, i)->height() / 2));
        button(f, "Command6")->click();
        QVERIFY(f.ended);
        QCOMPARE(f.temp.read("Prefs.dat"),
                 platform::ShortPathOf(player.string()) +
                     "\r\nDejaVu Sans\r\n 11.25 \r\nTrue\r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n 0 \r\n");

        MainWindowFixture again(false);
        std::filesystem::copy_file(f.temp.path() / "Prefs.dat", again.temp.path() / "Prefs.dat");
        again.startWindow();
        QCOMPARE(again.child<QTextEdit>("Text3")->font().pointSizeF(), 11.25);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(check(again, i)->isChecked(), i != 2 && i != 3);
    }

    void exitAsksAboutARunningPlayer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("closeRequests");
        QTest::addColumn<bool>("running");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true << 1 << true;
        QTest::newRow("no") << int(QMessageBox::No) << true << 0 << true;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << 0 << true;
        QTest::newRow("no player: no question") << int(QMessageBox::Cancel) << true << 0 << false;
    }

    void exitAsksAboutARunningPlayer()
    {
        QFETCH(int, answer);
        QFETCH(bool, ends);
        QFETCH(int, closeRequests);
        QFETCH(bool, running);
        MainWindowFixture f;
        if (running)
            f.player.start(kStatePlaying);
        f.dialogs.answers.push_back(static_cast<QMessageBox::StandardButton>(answer));
        button(f, "Command6")->click();
        QCOMPARE(f.dialogs.shown.size(), running ? 1 : 0);
        if (running)
            QCOMPARE(f.dialogs.shown.front(), QStringLiteral("WinAMP is active. Do you want close it too?"));
        QCOMPARE(f.ended, ends);
        QCOMPARE(f.player.closeRequests, closeRequests);
        QVERIFY(std::filesystem::exists(f.temp.path() / "Prefs.dat"));
    }

    void frameCloseEndsWithoutSavingAndKeepsWhatACancelledExitWrote()
    {
        MainWindowFixture f;
        f.player.start();
        f.form->show();
        f.form->close();
        QVERIFY(f.ended);
        QCOMPARE(f.temp.read("Prefs.dat"), MainWindowFixture::olderPreferences());
        QVERIFY(f.dialogs.shown.isEmpty());

        MainWindowFixture g;
        g.player.start();
        g.dialogs.answers.push_back(QMessageBox::Cancel);
        button(g, "Command6")->click();
        const std::string written = g.temp.read("Prefs.dat");
        QTest::mouseClick(g.child<QLabel>("Label3_0"), Qt::LeftButton); // a bigger font after Exit
        g.form->close();
        QCOMPARE(g.temp.read("Prefs.dat"), written);
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

    void withoutItsOwnFolderNothingIsReadOrSavedAndTheReaderIsToldOnce()
    {
        // Started from a shared folder where someone planted preferences that name their program.
        MainWindowFixture f(false);
        const std::string planted = "/bin/sh\r\nDejaVu Sans\r\n 20 \r\nTrue\r\n 1 \r\n 1 \r\n 1 \r\n";
        f.temp.write("Prefs.dat", planted);
        f.temp.write("Planted.m3u", "/bin/sh\r\n");
        const auto started = std::filesystem::current_path();
        std::filesystem::current_path(f.temp.path());
        f.withoutTempFolder = true;
        f.startWindow();
        QCOMPARE(f.form->state().playerPath, std::string());
        QVERIFY(!f.child<QCheckBox>("Check2_0")->isChecked());
        QCOMPARE(f.child<QTextEdit>("Text3")->font().pointSizeF(), 9.75);
        QCOMPARE(f.combo("Combo4")->count(), 0);

        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton); // the search window
        QTest::keyClick(f.form->searchWindow(), Qt::Key_Escape);
        QTest::mouseClick(button(f, "Command6"), Qt::LeftButton); // Exit
        QVERIFY(f.ended);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY(f.dialogs.shown.front().contains(QStringLiteral("cannot be saved")));
        QCOMPARE(f.temp.read("Prefs.dat"), planted);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(f.temp.path()), {}), 2);
        std::filesystem::current_path(started);
    }

    void aStoppedWriteOfTheProgramIsClearedAtStartAndNothingElse()
    {
        MainWindowFixture f(false);
        const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
        for (const char *name : {".Prefs.dat.Ab3dE6gH", ".Quran.m3u.Zz9yY8xX", ".report.doc.Ab3dE6gH"})
            std::filesystem::last_write_time(f.temp.write(name, "x"), old);
        f.startWindow();
        QVERIFY(!std::filesystem::exists(f.temp.path() / ".Prefs.dat.Ab3dE6gH"));
        QVERIFY(!std::filesystem::exists(f.temp.path() / ".Quran.m3u.Zz9yY8xX"));
        QVERIFY(std::filesystem::exists(f.temp.path() / ".report.doc.Ab3dE6gH")); // another program's
    }

    void transportButtonsCommandThePlayerAndFocusButtonZero()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
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
        QCOMPARE(qtkit::entries(f.combo("Combo4")),
                 (QStringList{QStringLiteral("ALPHA.M3U"), QStringLiteral("zeta.m3u")}));
        QCOMPARE(f.combo("Combo4")->currentIndex(), 0);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
