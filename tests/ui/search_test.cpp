// The search window: history, sources, search command and the view of a hit.

#include "uisupport.h"

#include "search/form3.h"
#include "shell/ansi.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using velmora::qtkit::toAnsi;

class SearchWindowTest : public QObject
{
    Q_OBJECT

private:
    struct Window
    {
        MainWindowFixture f;
        Form3 *w = nullptr;
        Window()
        {
            f.data.write("BUKHARI.TXT", "\"First, day one\"\r\n\"Second record\"\r\n\"Third day\"\r\n");
            f.data.write("PIKTHL.TXT",
                         "Surah 1. Name\r\n\"001.1) In the name of a day\"\r\n\"001.2) a Day, a day\"\r\n"
                         "001.3) night only\r\nSurah 2. Cow\r\n002.0) intro day\r\n002.1) one\r\n");
            QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
            w = f.form->searchWindow();
        }
        template <typename T> T *get(const char *name) const
        {
            return w->findChild<T *>(QLatin1String(name));
        }
        void search(const QString &query)
        {
            get<QComboBox>("Combo1")->setEditText(query);
            get<QPushButton>("Command1")->click();
        }
        QStringList hits() const { return qtkit::entries(get<QListWidget>("List1")); }
        QString count() const { return get<QLabel>("Label1")->text(); }
        QString shown() const { return get<QPlainTextEdit>("Text1")->toPlainText(); }
        void clickHit(int row) { get<QListWidget>("List1")->setCurrentRow(row); }
        void step(int i) { QTest::mouseClick(get<QLabel>(i == 0 ? "Label7_0" : "Label7_1"), Qt::LeftButton); }
    };

private slots:
    void firstOpeningListsTheDefaultHistory()
    {
        Window s;
        QVERIFY(s.w);
        QCOMPARE(itemsOf(s.get<QComboBox>("Combo1")),
                 (QStringList{QStringLiteral("Day"), QStringLiteral("Day Judgment"),
                              QStringLiteral("'Day of Judgment'")}));
        QVERIFY(s.get<QRadioButton>("Option1_0")->isChecked());
        QVERIFY(s.get<QRadioButton>("Option1_4")->isHidden());
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Search the Quran and Hadeeth ..."));
        // Opening again brings the same window forward.
        QTest::mouseClick(s.f.child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(s.f.form->searchWindow(), s.w);
    }

    void historyIsKeptAcrossOpenings()
    {
        Window s;
        s.search(QStringLiteral("day"));   // already there as "Day"
        s.search(QStringLiteral("night")); // new, at its sorted place
        s.search(QStringLiteral("day, night"));
        QCOMPARE(itemsOf(s.get<QComboBox>("Combo1")).size(), 5);
        s.w->close();
        QTRY_VERIFY(!s.f.form->searchWindow());
        QCOMPARE(s.f.temp.read("Srch.dat"),
                 std::string("Day\r\nDay Judgment\r\n'Day of Judgment'\r\nday, night\r\n"
                             "night\r\n"));
        QTest::mouseClick(s.f.child<QPushButton>("Command1"), Qt::LeftButton);
        auto *again = s.f.form->searchWindow();
        QStringList history = itemsOf(again->findChild<QComboBox *>(QStringLiteral("Combo1")));
        QVERIFY(history.contains(QStringLiteral("night")));
        QCOMPARE(history.count(QStringLiteral("night")), 2); // "day, night" comes back as two entries
    }

    void searchFillsTheListAndTheCount()
    {
        Window s;
        s.search(QStringLiteral("day"));
        QCOMPARE(s.hits().size(), 3);
        QCOMPARE(s.count(), QStringLiteral("3 items found"));
        QCOMPARE(s.get<QLabel>("Label2")->text(), QStringLiteral("Complete verse"));
        s.search(QStringLiteral("'a day'"));
        QCOMPARE(s.count(), QStringLiteral("2 items found for 'a day'"));
        s.search(QString());
        QCOMPARE(s.count(), QStringLiteral("0 items found"));
        s.search(QStringLiteral("a b c d e f"));
        QCOMPARE(s.count(), QStringLiteral("0 items found"));
        QVERIFY(s.f.dialogs.shown.last().contains(QStringLiteral("five words")));
    }

    void sourceButtonSearchesAtOnceAndHadithsStep()
    {
        Window s;
        s.get<QComboBox>("Combo1")->setEditText(QStringLiteral("day"));
        s.get<QRadioButton>("Option1_5")->click();
        QCOMPARE(s.hits(), (QStringList{QStringLiteral("First, day one"), QStringLiteral("Third day")}));
        s.clickHit(1);
        QCOMPARE(s.shown(), QStringLiteral("Third DAY"));
        QCOMPARE(s.get<QLabel>("Label2")->text(), QStringLiteral("Complete text"));
        QVERIFY(s.get<QLabel>("Label3")->isHidden());
        s.step(0);
        QCOMPARE(s.shown(), QStringLiteral("Second record"));
        s.step(1);
        s.step(1); // past the last hadith: stays on it
        QCOMPARE(s.shown(), QStringLiteral("Third day"));
        QVERIFY(!s.get<QLabel>("Label7_1")->isEnabled());
        s.step(0);
        QCOMPARE(s.shown(), QStringLiteral("Second record"));
        QVERIFY(s.get<QLabel>("Label7_1")->isEnabled());
        s.step(0);
        s.step(0);
        QCOMPARE(s.shown(), QString()); // before the first hadith
    }

    void verseHitIsMarkedNamedAndStepped()
    {
        Window s;
        s.search(QStringLiteral("day"));
        s.clickHit(1);
        QCOMPARE(s.shown(), QStringLiteral("001.2) a DAY, a DAY"));
        QCOMPARE(s.get<QLabel>("Label2")->text(), QStringLiteral("Surah: 001 Al Fatiha (The Opening)"));
        QVERIFY(s.get<QLabel>("Label3")->isVisible() || !s.w->isVisible());
        QVERIFY(!s.get<QLabel>("Label3")->isHidden());
        s.step(1);
        QCOMPARE(s.shown(), QStringLiteral("001.3) night only"));
        s.step(1); // no verse 4: the link is disabled and the text stays
        QCOMPARE(s.shown(), QStringLiteral("001.3) night only"));
        QVERIFY(!s.get<QLabel>("Label7_1")->isEnabled());
        s.step(0);
        QVERIFY(s.get<QLabel>("Label7_1")->isEnabled());
        QCOMPARE(s.shown(), QStringLiteral("001.2) a DAY, a DAY"));
        QTest::mouseClick(s.get<QLabel>("Label3"), Qt::LeftButton);
        QCOMPARE(s.f.dialogs.shown.last(), QStringLiteral("No audio support available in this version"));
        s.search(QStringLiteral("day"));
        QVERIFY(s.get<QLabel>("Label7_0")->isHidden());
        QVERIFY(s.get<QLabel>("Label3")->isHidden());
    }

    void resetUsageAndCountLabelRewriteTheHistory()
    {
        Window s;
        s.search(QStringLiteral("night"));
        QTest::mouseClick(s.get<QLabel>("Labelxyz"), Qt::LeftButton);
        QCOMPARE(itemsOf(s.get<QComboBox>("Combo1")),
                 (QStringList{QStringLiteral("Day"), QStringLiteral("Day Judgment"),
                              QStringLiteral("'Day of Judgement'")}));
        QCOMPARE(s.get<QComboBox>("Combo1")->currentText(), QString());
        QTest::mouseClick(s.get<QLabel>("Label1"), Qt::LeftButton);
        // Reset wrote "srch.dat"; letter case aside it is the same file.
        QCOMPARE(s.f.temp.read("srch.dat"), std::string("Day\r\nDay Judgment\r\n'Day of Judgment'\r\n"));
    }

    void enterPressesGo()
    {
        Window s;
        s.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.w));
        auto *combo = s.get<QComboBox>("Combo1");
        combo->setEditText(QStringLiteral("night"));
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(s.count(), QStringLiteral("1 items found"));
    }

    void aLongHistoryOpensWholeAndSorted()
    {
        MainWindowFixture f;
        std::string history;
        for (int i = 200000; i > 0; --i)
            history += (i % 3 ? "query " : "Query ") + std::to_string(i) + "\r\n";
        f.temp.write("Srch.dat", history);
        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        const QStringList entries = qtkit::entries(f.form->searchWindow()->findChild<QComboBox *>("Combo1"));
        QCOMPARE(entries.size(), 200000);
        QCOMPARE(entries.front(), QStringLiteral("query 1"));
        QCOMPARE(entries[1], QStringLiteral("query 10"));
        QCOMPARE(entries.back(), QStringLiteral("Query 99999"));
        for (qsizetype i = 1; i < entries.size(); ++i)
            QVERIFY(ansi::collate(toAnsi(entries[i - 1]), toAnsi(entries[i])) <= 0);
    }

    void missingSourceIsNamed()
    {
        Window s;
        s.get<QComboBox>("Combo1")->setEditText(QStringLiteral("day"));
        s.get<QRadioButton>("Option1_8")->click();
        QVERIFY(s.f.dialogs.shown.last().contains(QStringLiteral("MALIK.TXT")));
        QCOMPARE(s.count(), QStringLiteral("0 items found"));
    }
};

QTEST_MAIN(SearchWindowTest)
#include "search_test.moc"
