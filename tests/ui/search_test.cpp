// The search window: history, sources, search command and the view of a hit.

#include "uisupport.h"

#include "core/ansi.h"
#include "shell/form3.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QWheelEvent>

#include <filesystem>

using namespace velmora;
using namespace velmora::test;
using velmora::qtkit::toAnsi;

class SearchWindowTest : public QObject
{
    Q_OBJECT

private:
    struct Window
    {
        MainWindowFixture f{false};
        Form3 *w = nullptr;
        Window()
        {
            f.data.write("BUKHARI.TXT", "\"First, day one\"\r\n\"Second record\"\r\n\"Third day\"\r\n");
            f.data.write("PIKTHL.TXT",
                         "Surah 1. Name\r\n\"001.1) In the name of a day\"\r\n\"001.2) a Day, a day\"\r\n"
                         "001.3) night only\r\nSurah 2. Cow\r\n002.0) intro day\r\n002.1) one\r\n");
            open();
        }
        void open()
        {
            f.startWindow();
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
        // The words of the shown verse in bold, the marked ones.
        QStringList markedWords() const
        {
            QStringList marked;
            const QTextBlock block = get<QPlainTextEdit>("Text1")->document()->firstBlock();
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().fontWeight() == QFont::Bold)
                    marked.push_back(it.fragment().text());
            return marked;
        }
        void clickHit(int row) { get<QListWidget>("List1")->setCurrentRow(row); }
        void step(int i) { QTest::mouseClick(get<QLabel>(i == 0 ? "Label7_0" : "Label7_1"), Qt::LeftButton); }

        // Shown and active, as the reader has it.
        bool showAndActivate()
        {
            w->show();
            w->activateWindow();
            return QTest::qWaitForWindowActive(w);
        }
        QLineEdit *queryBox() const { return get<QComboBox>("Combo1")->lineEdit(); }
        // Clicks into the query box, selects what it holds and types over it.
        void type(const QString &text)
        {
            QTest::mouseClick(queryBox(), Qt::LeftButton);
            QTest::keyClick(queryBox(), Qt::Key_A, Qt::ControlModifier);
            // Letters beyond ASCII (Arabic ones) come as key events of their own text.
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, queryBox(),
                                    c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                                    QString(c), Qt::NoModifier);
        }
        // Types the query over what the box holds and presses Enter.
        void enter(const QString &query)
        {
            type(query);
            QTest::keyClick(queryBox(), Qt::Key_Return);
        }
        // Shows the window, clicks the source's button and enters the query, as the reader does.
        bool searchIn(const char *option, const QString &query)
        {
            if (!showAndActivate())
                return false;
            QTest::mouseClick(get<QRadioButton>(option), Qt::LeftButton);
            enter(query);
            return true;
        }
        void clickRow(int row)
        {
            auto *list = get<QListWidget>("List1");
            list->scrollToItem(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        }
    };

private slots:
    void firstOpeningListsTheDefaultHistoryAndLaterOnesTheKeptOne()
    {
        Window s;
        QVERIFY(s.w);
        QCOMPARE(qtkit::entries(s.get<QComboBox>("Combo1")),
                 (QStringList{QStringLiteral("Day"), QStringLiteral("Day Judgment"),
                              QStringLiteral("'Day of Judgment'")}));
        QVERIFY(s.get<QRadioButton>("Option1_0")->isChecked());
        QVERIFY(s.get<QRadioButton>("Option1_4")->isHidden());
        QCOMPARE(s.w->windowTitle(), QStringLiteral("Search the Quran and Hadeeth ..."));
        // Opening again brings the same window forward.
        QTest::mouseClick(s.f.child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(s.f.form->searchWindow(), s.w);

        // The history is kept across openings.
        s.search(QStringLiteral("day"));   // already there as "Day"
        s.search(QStringLiteral("night")); // new, at its sorted place
        s.search(QStringLiteral("day, night"));
        QCOMPARE(qtkit::entries(s.get<QComboBox>("Combo1")).size(), 5);
        s.w->close();
        QTRY_VERIFY(!s.f.form->searchWindow());
        QCOMPARE(s.f.temp.read("Srch.dat"),
                 std::string("Day\r\nDay Judgment\r\n'Day of Judgment'\r\nday, night\r\n"
                             "night\r\n"));
        QTest::mouseClick(s.f.child<QPushButton>("Command1"), Qt::LeftButton);
        auto *again = s.f.form->searchWindow();
        QStringList history = qtkit::entries(again->findChild<QComboBox *>(QStringLiteral("Combo1")));
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
        // A long count stays within the list; its tip tells it whole.
        s.search(QStringLiteral("'") + QString(60, QLatin1Char('x')) + QStringLiteral("'"));
        auto *label = s.get<QLabel>("Label1");
        QVERIFY(label->geometry().right() <= s.get<QListWidget>("List1")->geometry().right());
        QVERIFY(label->toolTip().endsWith(QString(60, QLatin1Char('x')) + QStringLiteral("'")));
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
        QCOMPARE(qtkit::entries(s.get<QComboBox>("Combo1")),
                 (QStringList{QStringLiteral("Day"), QStringLiteral("Day Judgment"),
                              QStringLiteral("'Day of Judgement'")}));
        QCOMPARE(s.get<QComboBox>("Combo1")->currentText(), QString());
        QTest::mouseClick(s.get<QLabel>("Label1"), Qt::LeftButton);
        // Both write the one history file, under the one name.
        QCOMPARE(s.f.temp.read("Srch.dat"), std::string("Day\r\nDay Judgment\r\n'Day of Judgment'\r\n"));
    }

    void escapeClosesAndKeepsTheQueries()
    {
        Window s;
        QVERIFY(s.showAndActivate());
        s.enter(QStringLiteral("sunrise"));
        QPointer<Form3> window = s.w;
        QTest::keyClick(s.queryBox(), Qt::Key_Escape);
        QTRY_VERIFY(!window);
        QVERIFY(s.f.temp.read("Srch.dat").find("sunrise\r\n") != std::string::npos);
    }

    void onlyTheSearchTriggersSearch()
    {
        Window s;
        QVERIFY(s.showAndActivate());
        QSignalSpy searches(s.get<QPushButton>("Command1"), &QPushButton::clicked);
        // A query that is in the history, typed, then the focus moved on: nothing is searched.
        s.type(QStringLiteral("Day"));
        QTest::keyClick(s.queryBox(), Qt::Key_Tab);
        QVERIFY(!s.queryBox()->hasFocus());
        QCOMPARE(searches.count(), 0);
        QCOMPARE(s.count(), QStringLiteral("Search results"));
        // Enter searches once.
        QTest::mouseClick(s.queryBox(), Qt::LeftButton);
        QTest::keyClick(s.queryBox(), Qt::Key_Return);
        QCOMPARE(searches.count(), 1);
        QCOMPARE(s.count(), QStringLiteral("3 items found"));
        // Clicking a hit moves the focus into the list and searches nothing.
        s.clickRow(0);
        QCOMPARE(searches.count(), 1);
        QCOMPARE(s.shown(), QStringLiteral("001.1) In the name of a day")); // "Day" marks no lower-case word
        // A choice from the history with the arrow keys searches that entry.
        QTest::mouseClick(s.queryBox(), Qt::LeftButton);
        QTest::keyClick(s.queryBox(), Qt::Key_Down);
        QCOMPARE(searches.count(), 2);
        QCOMPARE(s.get<QComboBox>("Combo1")->currentText(), QStringLiteral("Day"));
        QTest::keyClick(s.queryBox(), Qt::Key_Down);
        QCOMPARE(searches.count(), 3);
        QCOMPARE(s.get<QComboBox>("Combo1")->currentText(), QStringLiteral("Day Judgment"));
        QCOMPARE(s.count(), QStringLiteral("0 items found"));
        // A source button searches the query in its source.
        QTest::mouseClick(s.get<QRadioButton>("Option1_5"), Qt::LeftButton);
        QCOMPARE(searches.count(), 4);
    }

    void aNewSearchShowsItsFirstHits()
    {
        Window s;
        std::string many;
        for (int i = 1; i <= 200; ++i)
            many += "\"Hadith " + std::to_string(i) + ", on a day\"\r\n";
        s.f.data.write("BUKHARI.TXT", many);
        QVERIFY(s.searchIn("Option1_5", QStringLiteral("day")));
        QCOMPARE(s.hits().size(), 200);
        auto *list = s.get<QListWidget>("List1");
        QTRY_VERIFY(list->verticalScrollBar()->maximum() > 0);
        const QPoint middle = list->viewport()->rect().center();
        for (int turn = 0; turn < 10; ++turn) {
            QWheelEvent wheel(middle, list->viewport()->mapToGlobal(middle), {}, QPoint(0, -120),
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list->viewport(), &wheel);
        }
        QVERIFY(list->verticalScrollBar()->value() > 0);
        s.enter(QStringLiteral("hadith"));
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        QCOMPARE(list->indexAt(QPoint(4, 4)).row(), 0);
        // The first click on a hit shows it.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(s.shown(), QStringLiteral("HADITH 1, on a day"));
    }

    void aHadithHitShowsItsOwnRecord()
    {
        Window s;
        // Three hadiths that agree in far more than their first fifty characters.
        const std::string opening =
            "Narrated Abu Huraira: Allah's Apostle said, on the Day of Resurrection, ";
        s.f.data.write("BUKHARI.TXT", "\"" + opening + "the first\"\r\n\"" + opening +
                                          "the second\"\r\nA third without it\r\n\"" + opening +
                                          "the fourth\"\r\n");
        QVERIFY(s.searchIn("Option1_5", QStringLiteral("resurrection")));
        QCOMPARE(s.hits().size(), 3);
        s.clickRow(1);
        QVERIFY(s.shown().endsWith(QStringLiteral("the second")));
        QCOMPARE(s.f.form->state().shownRecordNumber, 2);
        s.step(1);
        QCOMPARE(s.shown(), QStringLiteral("A third without it"));
        s.clickRow(2);
        QVERIFY(s.shown().endsWith(QStringLiteral("the fourth")));
        QCOMPARE(s.f.form->state().shownRecordNumber, 4);

        // Past the last hadith "Next >" is disabled, and drawn greyed out, not in the links' blue.
        s.step(1);
        auto *next = s.get<QLabel>("Label7_1");
        QVERIFY(!next->isEnabled());
        const Ink ink = inkOf(faceOf(next));
        QCOMPARE(ink.bluish, 0);
        QVERIFY(ink.grey > 5);
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

    void arabicHitsShowTheReadingTextWithTheWordsMarked()
    {
        Window s;
        // Two verses in both forms: the reading text's words stand for the searched text's one by one.
        s.f.data.write("quran-simple-clean.txt",
                       "1|2|\u0627\u0644\u062D\u0645\u062F \u0644\u0644\u0647 \u0631\u0628\n"
                       "1|3|\u0627\u0644\u0631\u062D\u0645\u0646\n# the block\n");
        s.f.data.write(
            "quran-uthmani.txt",
            "1|2|\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F "
            "\u0644\u0650\u0644\u0651\u064E\u0647\u0650 \u0631\u064E\u0628\u0651\u0650\n"
            "1|3|\u0671\u0644\u0631\u0651\u064E\u062D\u0652\u0645\u064E\u0640\u0670\u0646\u0650\n");
        // An Arabic query in an English text is offered the Arabic one: Yes searches there, No stays.
        s.f.dialogs.answers = {QMessageBox::Yes, QMessageBox::No};
        QVERIFY(s.searchIn("Option1_0", QStringLiteral("\u0631\u0628 \u0644\u0644\u0647")));
        QVERIFY(s.f.dialogs.shown.last().startsWith(QStringLiteral("M. Pickthall holds no Arabic letters")));
        QCOMPARE(s.count(), QStringLiteral("1 items found"));
        QTest::mouseClick(s.get<QRadioButton>("Option1_0"), Qt::LeftButton);
        QVERIFY(s.get<QRadioButton>("Option1_0")->isChecked());
        auto *arabic = s.get<QRadioButton>("Option1_9");
        // Anywhere over the button's area chooses it, not only its circle and caption.
        QTest::mouseClick(arabic, Qt::LeftButton, {}, QPoint(arabic->width() * 9 / 10, arabic->height() / 2));
        QVERIFY(arabic->isChecked());
        s.enter(QStringLiteral("\u0631\u0628 \u0644\u0644\u0647"));
        QCOMPARE(s.count(), QStringLiteral("1 items found"));
        QCOMPARE(s.hits().size(), 1);
        QVERIFY(s.hits().front().contains(QStringLiteral("001.2) \u0671\u0644\u0652")));
        QCOMPARE(s.get<QListWidget>("List1")->layoutDirection(), Qt::RightToLeft);
        s.clickRow(0);
        QCOMPARE(s.w->findChild<QLabel *>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Surah: 001 Al Fatiha (The Opening)"));
        // The verse right to left, against the right edge.
        const QTextDocument *document = s.get<QPlainTextEdit>("Text1")->document();
        QVERIFY(document->defaultTextOption().alignment() & Qt::AlignRight);
        QCOMPARE(document->defaultTextOption().textDirection(), Qt::RightToLeft);
        const QStringList marked = s.markedWords();
        QCOMPARE(marked, (QStringList{QStringLiteral("\u0644\u0650\u0644\u0651\u064E\u0647\u0650"),
                                      QStringLiteral("\u0631\u064E\u0628\u0651\u0650")}));
        s.step(1);
        QVERIFY(s.shown().startsWith(QStringLiteral("\u0671\u0644\u0631\u0651")));
        QVERIFY(!s.get<QLabel>("Label7_1")->isEnabled());

        // The Arabic query is kept beside the single-byte history and comes back.
        QTest::keyClick(s.w, Qt::Key_Escape);
        QVERIFY(s.f.temp.read("Srch.dat").find('?') == std::string::npos);
        QCOMPARE(s.f.temp.read("Srch-utf8.dat"), "\u0631\u0628 \u0644\u0644\u0647\r\n");
        Window again;
        again.w->close();
        std::filesystem::copy_file(s.f.temp.path() / "Srch-utf8.dat", again.f.temp.path() / "Srch-utf8.dat");
        again.open();
        QVERIFY(qtkit::entries(again.get<QComboBox>("Combo1"))
                    .contains(QStringLiteral("\u0631\u0628 \u0644\u0644\u0647")));
    }

    // A root asked for in the Arabic text finds the verses of its words and marks those words.
    void aRootSearchMarksItsWords()
    {
        Window s;
        s.f.data.write("quran-simple-clean.txt", "1|2|\u0627\u0644\u062D\u0645\u062F \u0644\u0644\u0647\n"
                                                 "1|3|\u0627\u0644\u0631\u062D\u0645\u0646\n");
        s.f.data.write(
            "quran-uthmani.txt",
            "1|2|\u0671\u0644\u0652\u062D\u064E\u0645\u0652\u062F\u064F \u06DB "
            "\u0644\u0650\u0644\u0651\u064E\u0647\u0650\n"
            "1|3|\u0671\u0644\u0631\u0651\u064E\u062D\u0652\u0645\u064E\u0640\u0670\u0646\u0650\n");
        s.f.data.write("quranic-corpus-morphology.txt", "Al+ POS:N LEM:Hamod ROOT:Hmd M NOM\n"
                                                        "l:P+ POS:PN LEM:{ll~ah ROOT:Alh GEN\n"
                                                        "Al+ POS:ADJ LEM:r~aHoma`n ROOT:rHm MS GEN\n");
        QVERIFY(s.searchIn("Option1_9", QStringLiteral("root:\u0644\u0647")));
        QCOMPARE(s.count(), QStringLiteral("0 items found, 0 words"));
        s.enter(QStringLiteral("Root:\u0623\u0644\u0647"));
        QCOMPARE(s.count(), QStringLiteral("1 items found, 1 word"));
        s.clickRow(0);
        const QStringList marked = s.markedWords();
        QCOMPARE(marked, QStringList{QStringLiteral("\u0644\u0650\u0644\u0651\u064E\u0647\u0650")});
        s.enter(QStringLiteral("lemma:r~aHoma`n"));
        QCOMPARE(s.hits().size(), 1);
        QVERIFY(s.hits().front().startsWith(QStringLiteral("001.3) ")));
    }

    // An installed translation is a source, chosen in the list under the English ones, searched and
    // shown in its own script: Turkish capitals, Urdu right to left.
    void aTranslationIsASourceInItsScript()
    {
        Window s;
        s.f.data.write("translations/tr.test.txt",
                       "1|1|Rabbi \u0130brahim'i denedi\n1|2|Ikinci\n#  Language: Turkish\n#  ID: tr.test\n");
        s.f.data.write("translations/ur.test.txt",
                       "1|1|\u062E\u062F\u0627 \u06A9\u06CC\n#  Language: Urdu\n");
        s.w->close();
        s.open();
        QVERIFY(s.showAndActivate());
        auto *list = s.get<QComboBox>("TranslationList");
        QCOMPARE(qtkit::entries(list).size(), 4); // the two, and the reader's notes
        s.type(QStringLiteral("ibrahim"));
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(!s.get<QRadioButton>("Option1_0")->isChecked());
        QCOMPARE(s.count(), QStringLiteral("1 items found"));
        QCOMPARE(s.hits(), QStringList{QStringLiteral("001.1) Rabbi \u0130brahim'i denedi")});
        s.clickRow(0);
        QCOMPARE(s.shown(), QStringLiteral("001.1) Rabbi \u0130BRAH\u0130M'i denedi"));
        s.step(1);
        QCOMPARE(s.shown(), QStringLiteral("001.2) Ikinci"));

        QTest::keyClick(list, Qt::Key_Down);
        s.enter(QStringLiteral("\u062E\u062F\u0627 \u0643\u064A"));
        QCOMPARE(s.count(), QStringLiteral("1 items found"));
        QCOMPARE(s.get<QListWidget>("List1")->layoutDirection(), Qt::RightToLeft);
        s.clickRow(0);
        QCOMPARE(s.get<QPlainTextEdit>("Text1")->document()->defaultTextOption().textDirection(),
                 Qt::RightToLeft);
        // An option button takes the source back (and, for the Arabic query, stays when asked).
        s.f.dialogs.answers = {QMessageBox::No};
        QTest::mouseClick(s.get<QRadioButton>("Option1_0"), Qt::LeftButton);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(s.w->chosenSource(), 0);
    }

    // The reader's notes are the list's last source: found in both their scripts, shown with their
    // lines, read afresh at each search.
    void theReadersNotesAreASource()
    {
        Window s;
        s.f.temp.write("Notes.md", "# Velmora notes\n\n## 1:2 Al-Fatiha\n\nPraise, first line\n"
                                   "\u0627\u0644\u062D\u0645\u062F\n");
        QVERIFY(s.showAndActivate());
        auto *list = s.get<QComboBox>("TranslationList");
        s.type(QStringLiteral("PRAISE \u0627\u0644\u062D\u0645\u062F"));
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->currentText(), QStringLiteral("My notes"));
        QCOMPARE(s.hits(),
                 QStringList{QStringLiteral("001.2) Praise, first line \u0627\u0644\u062D\u0645\u062F")});
        s.clickRow(0);
        QCOMPARE(s.shown(), QStringLiteral("001.2) PRAISE, first line\n\u0627\u0644\u062D\u0645\u062F"));
        s.enter(QStringLiteral("nothing"));
        QCOMPARE(s.count(), QStringLiteral("0 items found"));
        // The links follow the sources for the keyboard; Enter on one does what a click does.
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Labelxyz"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Label1"));
        QVERIFY(!std::filesystem::exists(s.f.temp.path() / "Srch.dat"));
        QTest::keyClick(s.get<QLabel>("Labelxyz"), Qt::Key_Return);
        QVERIFY(s.f.temp.read("Srch.dat").find("\r\n") != std::string::npos);
    }
};

QTEST_MAIN(SearchWindowTest)
#include "search_test.moc"
