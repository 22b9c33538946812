// Choosing a surah, the supplication list and a verse range in the main window.

#include "uisupport.h"

#include "core/catalogue.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

class SelectionTest : public QObject
{
    Q_OBJECT

private:
    static QListWidget *verses(const MainWindowFixture &f) { return f.child<QListWidget>("List1"); }
    static QString from(const MainWindowFixture &f) { return f.combo("Combo2")->currentText(); }
    static QString to(const MainWindowFixture &f) { return f.combo("Combo3")->currentText(); }
    static void tickPickthall(MainWindowFixture &f) { f.child<QCheckBox>("Check2_0")->setChecked(true); }
    static QPoint centreOf(QListWidget *list, int row)
    {
        return list->visualItemRect(list->item(row)).center();
    }

private slots:
    void surahListKeepsItsOrder()
    {
        MainWindowFixture f;
        const QStringList rows = qtkit::entries(f.combo("Combo1"));
        QCOMPARE(rows.size(), 115);
        for (int i = 0; i < 115; ++i)
            QCOMPARE(rows[i], QString::fromStdString(surahRows()[static_cast<std::size_t>(i)]));
        QCOMPARE(rows.back(), QStringLiteral("Quranic Duas"));
        QCOMPARE(qtkit::entries(f.combo("Combo6")),
                 (QStringList{QStringLiteral("None"), QStringLiteral("1 second"), QStringLiteral("3 seconds"),
                              QStringLiteral("Duration of verse"), QStringLiteral("Length of verse")}));
    }

    // At Tawba, the one surah without the invocation, keeps its entry 000 too.
    void choosingASurahFillsTheListsAndShowsTheWholeSurah()
    {
        const QString first = QStringLiteral("009-000");
        const QString last = QStringLiteral("009-129");
        MainWindowFixture f;
        f.combo("Combo1")->setCurrentIndex(8);
        auto *list = verses(f);
        QCOMPARE(list->item(0)->text(), first);
        QCOMPARE(list->item(list->count() - 1)->text(), last);
        QCOMPARE(f.combo("Combo2")->count(), list->count());
        QCOMPARE(from(f), QStringLiteral("000"));
        QCOMPARE(to(f), last.right(3));
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(f.child<QLabel>("Label1_9")->text(), QStringLiteral("Verses in this surah"));
        QVERIFY(f.child<QLabel>("Label1_0")->isHidden());
    }

    void choosingASurahRunsTranslateThreeTimesAndShowsItAll()
    {
        MainWindowFixture f;
        tickPickthall(f);
        QSignalSpy presses(f.child<QPushButton>("Command7"), &QPushButton::clicked);
        f.combo("Combo1")->setCurrentIndex(1);
        QCOMPARE(presses.count(), 3);
        QCOMPARE(f.displayText(),
                 QStringLiteral("0) P 2:0\n\n1) P 2:1\n\n2) P 2:2\n\n3) P 2:3\n\n4) P 2:4\n\n"));
    }

    void supplicationListShowsSortedReferencesAndNothingElse()
    {
        MainWindowFixture f;
        tickPickthall(f);
        f.combo("Combo1")->setCurrentIndex(114);
        auto *list = verses(f);
        QCOMPARE(list->count(), 62);
        QCOMPARE(list->item(0)->text(), QString());
        const QStringList items = qtkit::entries(list);
        QVERIFY(items.indexOf(QStringLiteral("037-180")) > items.indexOf(QStringLiteral("029-030")));
        QVERIFY(items.indexOf(QStringLiteral("037-182")) < items.indexOf(QStringLiteral("038-041")));
        QVERIFY(items.contains(QStringLiteral("010-085")));
        QCOMPARE(f.combo("Combo2")->count(), 62);
        QCOMPARE(f.combo("Combo3")->itemText(61), QStringLiteral("061"));
        QCOMPARE(f.combo("Combo2")->currentIndex(), -1);
        QCOMPARE(f.displayText(), QString());
        QCOMPARE(f.child<QLabel>("Label1_9")->text(), QStringLiteral("Duas from Quran"));
        QVERIFY(!f.child<QLabel>("Label1_0")->isHidden());

        // Choosing a supplication shows it under its surah's name.
        const int row = qtkit::entries(verses(f)).indexOf(QStringLiteral("002-002"));
        verses(f)->setCurrentRow(row);
        QCOMPARE(f.displayText(), QStringLiteral("2) P 2:2\n\n"));
        QCOMPARE(f.child<QLabel>("Label1_0")->text(), QStringLiteral("002 Al Baqara (The Cow)"));

        // Leaving the supplications hides the heading again.
        f.combo("Combo1")->setCurrentIndex(0);
        QVERIFY(f.child<QLabel>("Label1_0")->isHidden());
        QCOMPARE(f.child<QLabel>("Label1_9")->text(), QStringLiteral("Verses in this surah"));
    }

    void aNewVerseListShowsItsFirstEntry()
    {
        MainWindowFixture f;
        f.form->show();
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Down); // surah 2
        auto *list = f.child<QListWidget>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::keyClick(list->viewport(), Qt::Key_End);
        QVERIFY(list->verticalScrollBar()->value() > 0);
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Down); // surah 3
        QCOMPARE(list->verticalScrollBar()->value(), 0);
    }

    void pressAndReleaseChoosesARangeInEitherDirectionAndAClickOneEntry()
    {
        MainWindowFixture f;
        tickPickthall(f);
        f.combo("Combo1")->setCurrentIndex(0);
        QVERIFY(f.show());
        auto *list = verses(f);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOf(list, 5));
        QTest::mouseMove(list->viewport(), centreOf(list, 1));
        list->setCurrentRow(1); // the current entry follows the held button
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(list, 1));
        QCOMPARE(from(f), QStringLiteral("001"));
        QCOMPARE(to(f), QStringLiteral("005"));
        QCOMPARE(f.displayText(),
                 QStringLiteral("1) P 1:1\n\n2) P 1:2\n\n3) P 1:3\n\n4) P 1:4\n\n5) P 1:5\n\n"));

        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOf(list, 2));
        list->setCurrentRow(4);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(list, 4));
        QCOMPARE(from(f), QStringLiteral("002"));
        QCOMPARE(to(f), QStringLiteral("004"));

        // A click shows its entry alone.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 3));
        QCOMPARE(from(f), QStringLiteral("003"));
        QCOMPARE(to(f), QStringLiteral("003"));
        QCOMPARE(f.displayText(), QStringLiteral("3) P 1:3\n\n"));

        // Range lists chosen backwards show the range forwards.
        f.combo("Combo2")->setCurrentIndex(5);
        f.combo("Combo3")->setCurrentIndex(2);
        QCOMPARE(f.displayText(), QStringLiteral("2) P 1:2\n\n3) P 1:3\n\n4) P 1:4\n\n5) P 1:5\n\n"));
    }

    void quickClickHandledInsideTheEventPassChoosesThatEntry()
    {
        MainWindowFixture f;
        tickPickthall(f);
        QVERIFY(f.show());
        QCOMPARE(to(f), QStringLiteral("000"));
        // Press and release wait in the queue together: the press changes the selection, whose
        // Translate handles the release in its event pass before the press handler has returned.
        postClick(verses(f)->viewport(), centreOf(verses(f), 5));
        QCoreApplication::processEvents();
        QCOMPARE(from(f), QStringLiteral("005"));
        QCOMPARE(to(f), QStringLiteral("005"));
        QCOMPARE(f.displayText(), QStringLiteral("5) P 1:5\n\n"));
    }

    void doubleClickPressesTheDisabledRecite()
    {
        MainWindowFixture f;
        QSignalSpy recite(f.child<QPushButton>("Command4"), &QPushButton::clicked);
        QVERIFY(f.show());
        auto *list = verses(f);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, 2));
        QCOMPARE(recite.count(), 0);
        QVERIFY(f.player.launches.empty());
        QVERIFY(!std::filesystem::exists(f.temp.path() / "Default.m3u"));
    }
};

QTEST_MAIN(SelectionTest)
#include "selection_test.moc"
