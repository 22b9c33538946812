// The verse display: Translate, the formatting and link labels, and the find-surah dialog.

#include "uisupport.h"

#include "shell/bookmarkswindow.h"
#include "shell/form3.h"
#include "shell/form4.h"
#include "shell/noteeditor.h"
#include "shell/readingwindow.h"
#include "shell/wordpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextTable>
#include <QTimer>
#include <QTreeWidget>

using namespace velmora;
using namespace velmora::test;

class DisplayTest : public QObject
{
    Q_OBJECT

private:
    static QCheckBox *box(const MainWindowFixture &f, int i)
    {
        return f.child<QCheckBox>(("Check2_" + std::to_string(i)).c_str());
    }
    static void click(const MainWindowFixture &f, const char *label)
    {
        QTest::mouseClick(f.child<QLabel>(label), Qt::LeftButton);
    }
    static QFont displayFont(const MainWindowFixture &f) { return f.child<QTextEdit>("Text3")->font(); }

private slots:
    void boxesChooseTheTranslationsInTheirFixedOrder()
    {
        MainWindowFixture f;
        f.combo("Combo1")->setCurrentIndex(1);
        f.combo("Combo2")->setCurrentIndex(1);
        f.combo("Combo3")->setCurrentIndex(1);
        QCOMPARE(f.displayText(), QString());
        box(f, 0)->setChecked(true);
        QCOMPARE(f.displayText(), QStringLiteral("1) P 2:1\n\n"));
        box(f, 3)->setChecked(true); // code 18
        QCOMPARE(f.displayText(), QStringLiteral("1) P 2:1\n---\n1) S 2:1\n\n\n\n\n"));
        box(f, 2)->setChecked(true); // code 26
        QCOMPARE(f.displayText(), QStringLiteral("1) T 2:1\n---\n1) P 2:1\n---\n1) S 2:1\n\n\n\n\n\n\n"));
        box(f, 1)->setChecked(true); // code 30
        QVERIFY(f.displayText().startsWith(
            QStringLiteral("1) T 2:1\n---\n1) P 2:1\n---\n1) Y 2:1\n---\n1) S 2:1\n")));
        for (int i = 0; i < 4; ++i)
            box(f, i)->setChecked(false);
        QCOMPARE(f.displayText(), QString());
    }

    void noBoxInSupplicationModeKeepsTheText()
    {
        MainWindowFixture f;
        box(f, 0)->setChecked(true);
        f.combo("Combo1")->setCurrentIndex(114);
        auto *list = f.child<QListWidget>("List1");
        list->setCurrentRow(qtkit::entries(list).indexOf(QStringLiteral("003-008")));
        // The small files hold no verse 8 of surah 3; the heading still names the surah.
        QCOMPARE(f.child<QLabel>("Label1_0")->text(),
                 QStringLiteral("003 Aal-e-Imran (The Family of Imran)"));
        list->setCurrentRow(qtkit::entries(list).indexOf(QStringLiteral("002-002")));
        QCOMPARE(f.displayText(), QStringLiteral("2) P 2:2\n\n"));
        box(f, 0)->setChecked(false);
        QCOMPARE(f.displayText(), QStringLiteral("2) P 2:2\n\n"));
    }

    void theArabicTextComesFirstRightToLeft()
    {
        MainWindowFixture f(false);
        f.data.write("quran-uthmani.txt", "1|1|\u0628\u0650\u0633\u0652\u0645\u0650\n2|1|"
                                          "\u0627\u0644\u0653\u0645\n#  the copyright block\n");
        f.startWindow();
        f.form->show();
        for (const int i : {0, 1, 4})
            QTest::mouseClick(box(f, i), Qt::LeftButton, {}, QPoint(6, box(f, i)->height() / 2));
        const QString invocation = QStringLiteral("\u0628\u0650\u0633\u0652\u0645\u0650");
        const QString mark1 = QStringLiteral(" \u06DD\u0661");
        QCOMPARE(f.displayText(), invocation + mark1 + QStringLiteral("\n0) P 1:0\n---\n0) Y 1:0\n\n"));
        auto *text3 = f.child<QTextEdit>("Text3");
        const QTextBlock first = text3->document()->firstBlock();
        QCOMPARE(first.blockFormat().layoutDirection(), Qt::RightToLeft);
        QVERIFY(first.blockFormat().alignment() & Qt::AlignRight);
        QCOMPARE(first.next().blockFormat().layoutDirection(), Qt::LeftToRight);

        // Alone: the verses one paragraph each; surah 2 opens with the invocation, unnumbered.
        for (const int i : {0, 1})
            QTest::mouseClick(box(f, i), Qt::LeftButton, {}, QPoint(6, box(f, i)->height() / 2));
        QCOMPARE(f.displayText(), invocation + mark1);
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Down);
        QCOMPARE(f.displayText(), invocation + QStringLiteral("\n\u0627\u0644\u0653\u0645") + mark1);
        // The Arabic paragraphs follow the larger and smaller links.
        const auto arabicSize = [&] {
            return text3->document()->firstBlock().charFormat().font().pointSizeF();
        };
        const double before = arabicSize();
        click(f, "Label3_0");
        QVERIFY(arabicSize() > before);
    }

    // A click on an Arabic word, or Enter at the text cursor, shows the corpus's facts of the word;
    // the root's button searches the Arabic text for it.
    void anArabicWordIsLookedUpAndItsRootSearched()
    {
        MainWindowFixture f(false);
        const std::string verse =
            "\u0628\u0650\u0633\u0652\u0645\u0650 \u0671\u0644\u0644\u0651\u064E\u0647\u0650";
        f.data.write("quran-uthmani.txt", "1|1|" + verse + "\n");
        f.data.write("quran-simple-clean.txt", "1|1|\u0628\u0633\u0645 \u0627\u0644\u0644\u0647\n");
        f.data.write("quranic-corpus-morphology.txt",
                     "bi+ POS:N LEM:{som ROOT:smw M GEN\nPOS:PN LEM:{ll~ah ROOT:Alh GEN\n");
        f.data.write("quranic-corpus-word-by-word.txt", "In (the) name\n(of) Allah,\n");
        f.data.write("quranic-corpus-lemmas.txt", "{ll~ah\tAllah\tallah\n");
        f.startWindow();
        QVERIFY(f.show());
        QTest::mouseClick(box(f, 4), Qt::LeftButton, {}, QPoint(6, box(f, 4)->height() / 2));
        auto *text3 = f.child<QTextEdit>("Text3");
        QTextCursor second(text3->document());
        second.setPosition(QString::fromUtf8(verse.substr(0, verse.find(' '))).size() + 2);
        QTest::mouseClick(text3->viewport(), Qt::LeftButton, {}, text3->cursorRect(second).center());
        WordPanel *panel = f.form->wordPanel();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("Gloss"))->text(), QStringLiteral("(of) Allah,"));
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("Grammar"))->text(),
                 QStringLiteral("proper noun, genitive"));
        panel->hide();
        QTest::keyClick(text3, Qt::Key_Home);
        QTest::keyClick(text3, Qt::Key_Return);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("Gloss"))->text(),
                 QStringLiteral("In (the) name"));
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("RootSearch")), Qt::LeftButton);
        Form3 *search = f.form->searchWindow();
        QVERIFY(search && search->isVisible());
        QCOMPARE(search->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("1 items found, 1 word"));

        // Word by word: a line of words laid out from the right, each with its gloss under it; a
        // click on a word looks it up there too, and the larger link sizes words and glosses.
        search->close();
        QTest::mouseClick(box(f, 5), Qt::LeftButton, {}, QPoint(6, box(f, 5)->height() / 2));
        const auto line = [&] {
            const QList<QTextFrame *> frames = text3->document()->rootFrame()->childFrames();
            return frames.isEmpty() ? nullptr : qobject_cast<QTextTable *>(frames.front());
        };
        QVERIFY(line() && line()->columns() == 3); // two words and the verse's number
        const auto cellText = [&](int row, int column) {
            return line()->cellAt(row, column).firstCursorPosition().block().text();
        };
        QCOMPARE(cellText(0, 2), QString::fromUtf8(verse.substr(0, verse.find(' '))));
        QCOMPARE(cellText(1, 2), QStringLiteral("In (the) name"));
        const auto glossSize = [&] {
            return line()->cellAt(1, 2).firstCursorPosition().charFormat().font().pointSizeF();
        };
        const qreal before = glossSize();
        panel->hide();
        QTest::mouseClick(text3->viewport(), Qt::LeftButton, {},
                          text3->cursorRect(line()->cellAt(0, 1).firstCursorPosition()).center());
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("Gloss"))->text(), QStringLiteral("(of) Allah,"));
        click(f, "Label3_0");
        QVERIFY(glossSize() > before);
    }

    // A note written on the selected verse is kept in Notes.md as it is typed, marks the verse in
    // the list, and outlives Exit while it is still open.
    void aNoteIsKeptAsTypedAndOutlivesExit()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        auto *list = f.child<QListWidget>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        click(f, "NoteLink");
        NoteEditor *editor = f.form->noteEditor();
        QVERIFY(editor && QTest::qWaitForWindowExposed(editor));
        auto *text = editor->findChild<QPlainTextEdit *>(QStringLiteral("NoteText"));
        QTest::keyClicks(text, QStringLiteral("Mine"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(f.temp.read("Notes.md"), std::string("# Velmora notes\n\n## 1:3\n\nMine\n"));
        QVERIFY(list->item(2)->font().bold());
        QVERIFY(!list->item(1)->font().bold());
        click(f, "NoteLink");
        QCOMPARE(text->toPlainText(), QStringLiteral("Mine"));
        QTest::keyClicks(text, QStringLiteral(", kept"));
        QTest::mouseClick(f.child<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(f.temp.read("Notes.md"), std::string("# Velmora notes\n\n## 1:3\n\nMine, kept\n"));
    }

    // A verse bookmarked by name in a collection is gone back to from the list; the last verse read
    // is kept at Exit and offered at the next start.
    void aBookmarkLeadsBackAndTheLastVerseReadIsOffered()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        auto *list = f.child<QListWidget>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(4)).center());
        click(f, "BookmarksLink");
        BookmarksWindow *window = f.form->bookmarksWindow();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        QTest::keyClicks(window->findChild<QLineEdit *>(QStringLiteral("BookmarkName")),
                         QStringLiteral("Guidance"));
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("AddBookmark")), Qt::LeftButton);
        QCOMPARE(f.temp.read("Bookmarks.md"),
                 std::string("# Velmora bookmarks\n\n## Bookmarks\n\n- 1:5 Guidance\n"));
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Down);
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("BookmarkTree"));
        const QTreeWidgetItem *mark = tree->topLevelItem(0)->child(0);
        QCOMPARE(mark->text(0), QStringLiteral("1:5 Guidance"));
        const QPoint at = tree->visualItemRect(mark).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(f.combo("Combo1")->currentIndex(), 0);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("001-004"));
        QTest::mouseClick(f.child<QPushButton>("Command6"), Qt::LeftButton);
        QVERIFY(f.temp.read("Bookmarks.md").find("Last read: 1:5\n") != std::string::npos);
        f.startWindow();
        click(f, "BookmarksLink");
        auto *goOn = f.form->bookmarksWindow()->findChild<QPushButton *>(QStringLiteral("GoOn"));
        QCOMPARE(goOn->text(), QStringLiteral("Go on from 1:5, the last verse read"));
    }

    // Installed translations are ticked in the link's menu, show in the order ticked and in their
    // direction, and come back at the next start; the preferences file keeps its lines.
    void chosenTranslationsFollowInTheReadersOrderAndStay()
    {
        MainWindowFixture f(false);
        const QString urdu = QStringLiteral("\u0634\u0631\u0648\u0639");
        const QString russian = QStringLiteral("\u0412\u043E \u0438\u043C\u044F");
        f.data.write("translations/ur.test.txt",
                     "1|1|" + urdu.toStdString() + "\n1|2|x\n#  Language: Urdu\n#  ID: ur.test\n");
        f.data.write("translations/ru.test.txt", "1|1|" + russian.toStdString() + "\n#  Language: Russian\n");
        f.startWindow();
        QVERIFY(f.show());
        // The menu's row, ticked with the mouse as a reader would; rows go by language.
        // The click waits until the menu shows, however long that takes (Wine is slow at it).
        const auto tick = [&](int row) {
            auto *poll = new QTimer(f.form.get());
            QObject::connect(poll, &QTimer::timeout, [poll, row] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                if (!menu || !menu->isVisible())
                    return;
                poll->stop();
                poll->deleteLater();
                QTest::mouseClick(menu, Qt::LeftButton, {},
                                  menu->actionGeometry(menu->actions()[row]).center());
            });
            poll->start(20);
            click(f, "TranslationsLink");
        };
        tick(1);
        tick(0);
        QCOMPARE(f.displayText(), QStringLiteral("1) ") + urdu + QStringLiteral("\n1) ") + russian);
        const QTextBlock first = f.child<QTextEdit>("Text3")->document()->firstBlock();
        QCOMPARE(first.blockFormat().layoutDirection(), Qt::RightToLeft);
        QCOMPARE(first.next().blockFormat().layoutDirection(), Qt::LeftToRight);
        QCOMPARE(f.temp.read("Translations.txt"), std::string("ur.test\nru.test\n"));

        QTest::mouseClick(f.child<QPushButton>("Command6"), Qt::LeftButton);
        const std::string prefs = f.temp.read("Prefs.dat");
        QCOMPARE(std::count(prefs.begin(), prefs.end(), '\n'), 9);
        f.startWindow();
        QCOMPARE(f.displayText(), QStringLiteral("1) ") + urdu + QStringLiteral("\n1) ") + russian);
    }

    void missingFilesAreReportedOncePerAction()
    {
        MainWindowFixture f;
        std::filesystem::remove(f.data.path() / "PIKTHL.TXT");
        std::filesystem::remove(f.data.path() / "SHAKIR.TXT");
        f.data.write("YSFALI.TXT", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        std::filesystem::create_directory(f.data.path() / "quran-uthmani.txt");
        f.form->show();
        QTest::mouseClick(box(f, 4), Qt::LeftButton, {}, QPoint(6, box(f, 4)->height() / 2));
        box(f, 0)->setChecked(true);
        box(f, 1)->setChecked(true);
        box(f, 3)->setChecked(true);
        f.combo("Combo1")->setCurrentIndex(1); // four Translate runs
        QTRY_COMPARE(f.dialogs.shown.size(), 1);
        QTest::qWait(20);
        QCOMPARE(f.dialogs.shown.size(), 1);
        const QString folder = QString::fromStdString(f.data.folder());
        QVERIFY(f.dialogs.shown.front().contains(QStringLiteral("PIKTHL.TXT, SHAKIR.TXT")));
        QVERIFY(f.dialogs.shown.front().contains(folder));
        QVERIFY(f.dialogs.shown.front().contains(
            QStringLiteral("YSFALI.TXT in %1 cannot be shown: it is not a text "
                           "file: it holds NUL bytes.")
                .arg(folder)));
        QVERIFY(f.dialogs.shown.front().contains(
            QStringLiteral(
                "The Arabic text quran-uthmani.txt in %1 cannot be shown: it is not a regular file.")
                .arg(QString::fromStdString(f.data.path().string()))));
    }

    void aTranslatePressedDuringAReadRunsAfterIt()
    {
        MainWindowFixture f;
        box(f, 0)->setChecked(true);
        f.combo("Combo1")->setCurrentIndex(0);
        auto *command7 = f.child<QPushButton>("Command7");
        int runs = 0;
        QObject::connect(command7, &QPushButton::clicked, [&] { ++runs; });
        // A choice waiting in the event queue is handled by the read's event pass.
        QTimer::singleShot(0, f.form.get(), [&] { f.combo("Combo3")->setCurrentIndex(2); });
        f.combo("Combo2")->setCurrentIndex(1);
        QCOMPARE(f.displayText(), QStringLiteral("1) P 1:1\n\n2) P 1:2\n\n"));
        QVERIFY(runs >= 2);
        QVERIFY(f.child<QPushButton>("Command3")->isHidden());
    }

    void formattingLabelsAndTheFontListChangeTheDisplayFont()
    {
        MainWindowFixture f;
        click(f, "Label3_0");
        QCOMPARE(displayFont(f).pointSizeF(), 10.75);
        click(f, "Label3_1");
        click(f, "Label3_1");
        QCOMPARE(displayFont(f).pointSizeF(), 8.75);
        click(f, "Label3_2");
        QVERIFY(displayFont(f).italic());
        click(f, "Label3_2");
        QVERIFY(!displayFont(f).italic());
        click(f, "Label3_3");
        QVERIFY(displayFont(f).bold());
        for (int i = 0; i < 20; ++i)
            click(f, "Label3_1");
        QCOMPARE(displayFont(f).pointSizeF(), 1.75); // never driven to zero or below
        QVERIFY(f.child<QLabel>("Label3_0")->font().underline());
        QCOMPARE(f.child<QLabel>("Label3_0")->cursor().shape(), Qt::BitmapCursor);
        // So does the font list.
        f.combo("Combo5")->setCurrentIndex(f.combo("Combo5")->findText(QStringLiteral("DejaVu Serif")));
        QCOMPARE(displayFont(f).family(), QStringLiteral("DejaVu Serif"));
    }

    void allSelectsTheWholeSurah()
    {
        MainWindowFixture f;
        box(f, 0)->setChecked(true);
        click(f, "Label1_11");
        QCOMPARE(f.combo("Combo2")->currentText(), QStringLiteral("000"));
        QCOMPARE(f.combo("Combo3")->currentText(), QStringLiteral("006"));
        QVERIFY(f.displayText().endsWith(QStringLiteral("6) P 1:6\n\n")));
    }

    void statusLineGoesToTheVerseItNames()
    {
        MainWindowFixture f;
        box(f, 0)->setChecked(true);
        auto *status = f.child<QLabel>("Label2");
        status->setText(QStringLiteral("Verse: 002-003"));
        click(f, "Label2");
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        QCOMPARE(f.child<QListWidget>("List1")->currentRow(), 3);
        QCOMPARE(f.displayText(), QStringLiteral("3) P 2:3\n\n"));
        status->setText(QStringLiteral("Ready"));
        click(f, "Label2");
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        QCOMPARE(status->toolTip(), QStringLiteral("Go to verse"));
    }

    // Ctrl+R opens the reading view: the display's text, larger, following every selection of the
    // main window; its own keys move that selection, and its reading and place are kept.
    void theReadingViewFollowsTheSelectionAndStepsIt()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        auto *pickthall = f.child<QCheckBox>("Check2_0");
        QTest::mouseClick(pickthall, Qt::LeftButton, {}, QPoint(4, pickthall->height() / 2));
        QTest::keyClick(f.form.get(), Qt::Key_R, Qt::ControlModifier);
        ReadingWindow *view = f.form->readingWindow();
        QVERIFY(view && QTest::qWaitForWindowExposed(view));
        auto *text = view->findChild<QTextEdit *>(QStringLiteral("ReadingText"));
        const auto sizeShown = [](const QTextEdit *edit) {
            return QTextCursor(edit->document()->firstBlock()).charFormat().font().pointSizeF();
        };
        QCOMPARE(text->toPlainText(), f.displayText());
        QVERIFY(sizeShown(text) > 1.5 * sizeShown(f.child<QTextEdit>("Text3")));

        auto *list = f.child<QListWidget>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        QTRY_COMPARE(text->toPlainText(), QStringLiteral("3) P 1:3\n\n"));
        // The click in the main window's list made it the active one: the reader goes back to the
        // view before its keys.
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view));
        QTest::keyClick(text, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(list->currentRow(), 4);
        QTRY_COMPARE(text->toPlainText(), f.displayText());
        QTest::keyClick(text, Qt::Key_PageDown, Qt::AltModifier);
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);

        // The main window that went to the next surah may have been made active by the system
        // (Wine does, under load): the reader's keys go to the view they are reading in.
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view));
        QTest::keyClick(text, Qt::Key_D, Qt::ControlModifier);
        QTRY_VERIFY(text->palette().color(QPalette::Base).lightness() < 64);
        QTest::keyClick(text, Qt::Key_Escape);
        QVERIFY(!view->isVisible());
        QVERIFY(f.temp.read("Reading.dat").find("dark=1\r\n") != std::string::npos);
    }

    // Tab goes on from the controls to the links, in their order; Enter or Space on a link does what
    // a click does. The shortcuts reach the commands wherever the focus is.
    void theKeyboardReachesTheLinksAndTheCommands()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        f.child<QCheckBox>("Check2_5")->setFocus();
        QStringList reached;
        for (int i = 0; i < 14; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.push_back(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(reached, (QStringList{"ImportLink", "Label1_12", "BookmarksLink", "NoteLink", "Label1_11",
                                       "TranslationsLink", "Label3_0", "Label3_1", "Label3_3", "Label3_2",
                                       "Label2", "ReadingLink", "MemoriseLink", "Label1_14"}));
        f.child<QWidget>("Label1_11")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(f.combo("Combo3")->currentText(), QStringLiteral("006"));
        const double size = f.child<QTextEdit>("Text3")->font().pointSizeF();
        f.combo("Combo1")->setFocus();
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY(f.child<QTextEdit>("Text3")->font().pointSizeF() > size);
        QTest::keyClick(f.combo("Combo1"), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.child<QListWidget>("List1")->currentRow(), 1);
        QVERIFY(!f.combo("Combo1")->view()->isVisible()); // the list did not drop down
        QTest::keyClick(f.combo("Combo1"), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(f.form->findSurahDialog() && f.form->findSurahDialog()->isVisible());
        f.form->findSurahDialog()->close();
        f.form->activateWindow();
        QTest::keyClick(f.form.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.form->searchWindow() && f.form->searchWindow()->isVisible());
        QVERIFY(f.child<QWidget>("Command1")->toolTip().contains(QStringLiteral("Ctrl+F")));
    }

    void countBoxesSelectAllOnFocus()
    {
        MainWindowFixture f;
        QVERIFY(f.show());
        auto *count = f.child<QLineEdit>("Text2");
        count->setText(QStringLiteral("12"));
        count->setFocus();
        QTRY_COMPARE(count->selectedText(), QStringLiteral("12"));
    }

    void findSurahDialogFindsOpensAndClosesWithEscape()
    {
        MainWindowFixture f;
        click(f, "Label1_12");
        Form4 *dialog = f.form->findSurahDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Search Results"));
        auto *query = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("List1"));
        auto find = [&](const QString &text) {
            query->setText(text);
            dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
            return qtkit::entries(list);
        };
        QCOMPARE(find(QStringLiteral("cOw")), QStringList{QStringLiteral("002 Al Baqara (The Cow)")});
        QCOMPARE(find(QStringLiteral("12")),
                 (QStringList{QStringLiteral("012 Yusuf"), QStringLiteral("112 Al Ikhlas (Sincerity)")}));
        QCOMPARE(find(QStringLiteral(" ")).size(), 114);
        QCOMPARE(find(QString()).size(), 0);
        QVERIFY(!find(QStringLiteral("an")).contains(QStringLiteral("Quranic Duas")));

        // Opening again keeps the dialog and its content.
        find(QStringLiteral("seen"));
        click(f, "Label1_12");
        QCOMPARE(f.form->findSurahDialog(), dialog);
        QCOMPARE(list->count(), 1);

        // Enter presses Find.
        query->setText(QStringLiteral("cow"));
        dialog->show();
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(list->count(), 1);

        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        QVERIFY(dialog->isHidden());

        // Escape closes it, which discards what it showed: it opens again empty.
        click(f, "Label1_12");
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::keyClick(query, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(query, QStringLiteral("cow"));
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(list->count(), 1);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isHidden());
        click(f, "Label1_12");
        QCOMPARE(f.form->findSurahDialog(), dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(query->text(), QString());
        QCOMPARE(list->count(), 0);
    }

    // A division typed in the find-surah dialog goes to its first verse, as a selection would, and
    // the place above the verse list names its juz and page; a number it lacks is told.
    void aDivisionTypedInTheDialogIsGoneTo()
    {
        MainWindowFixture f(false);
        std::string xml = "<quran>\n";
        for (int s = 1; s <= 114; ++s)
            xml += "<sura index=\"" + std::to_string(s) + "\" ayas=\"" + (s == 2 ? "286" : "7") +
                   "\" name=\"n" + std::to_string(s) + "\" tname=\"T" + std::to_string(s) + "\" />\n";
        xml += "<juz index=\"1\" sura=\"1\" aya=\"1\" /><juz index=\"2\" sura=\"2\" aya=\"142\" />"
               "<quarter index=\"1\" sura=\"1\" aya=\"1\" /><manzil index=\"1\" sura=\"1\" aya=\"1\" />"
               "<ruku index=\"1\" sura=\"1\" aya=\"1\" /><page index=\"1\" sura=\"1\" aya=\"1\" />"
               "<page index=\"2\" sura=\"2\" aya=\"1\" /><page index=\"3\" sura=\"2\" aya=\"6\" />"
               "<ruku index=\"2\" sura=\"2\" aya=\"6\" /><sajda index=\"1\" sura=\"2\" aya=\"6\" "
               "type=\"recommended\" />\n"
               "</quran>\n";
        f.data.write("quran-data.xml", xml);
        f.data.write("quran-uthmani.txt", "2|6|\u0628\u0650\u0633\u0652\u0645\u0650\n");
        f.startWindow();
        QVERIFY(f.show());
        click(f, "Label1_12");
        Form4 *dialog = f.form->findSurahDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto *query = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QTest::keyClicks(query, QStringLiteral("Page 3"));
        QTest::keyClick(query, Qt::Key_Return);
        QVERIFY(dialog->isHidden());
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);
        QCOMPARE(f.combo("Combo2")->currentText(), QStringLiteral("006"));
        QCOMPARE(f.combo("Combo3")->currentText(), QStringLiteral("286"));
        QCOMPARE(f.child<QListWidget>("List1")->currentItem()->text(), QStringLiteral("002-006"));
        QCOMPARE(f.child<QLabel>("PlaceLabel")->text(), QStringLiteral("Juz 1, page 3 \u2014 n2"));
        // In the Arabic display, the ruku that begins there and the sajda's sign with its kind.
        QTest::mouseClick(box(f, 4), Qt::LeftButton, {}, QPoint(6, box(f, 4)->height() / 2));
        const QTextBlock heading = f.child<QTextEdit>("Text3")->document()->firstBlock();
        QCOMPARE(heading.text(), QStringLiteral("ruku 2"));
        QTextCursor sign(heading.next());
        sign.movePosition(QTextCursor::EndOfBlock);
        QCOMPARE(sign.charFormat().toolTip(), QStringLiteral("A verse of prostration (sajda), recommended"));
        // Copied with the citation of the verses shown, beside the display's own copy of the text.
        auto *text3 = f.child<QTextEdit>("Text3");
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        text3->setFocus();
        QTest::keyClick(text3, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text3, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("ruku 2\n")));
        QVERIFY(QGuiApplication::clipboard()->text().endsWith(QStringLiteral("\n(T2 2:6-286, Arabic)")));
        QTest::keyClick(text3, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!QGuiApplication::clipboard()->text().contains(QStringLiteral("(T2")));
        click(f, "Label1_12");
        QTest::keyClicks(query, QStringLiteral("juz 5"));
        QTest::keyClick(query, Qt::Key_Return);
        QCOMPARE(f.dialogs.shown.last(), QStringLiteral("There is no juz 5: they are numbered 1 to 2."));
        QVERIFY(dialog->isVisible());
    }
};

QTEST_MAIN(DisplayTest)
#include "display_test.moc"
