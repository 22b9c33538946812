// Ending the program, and closing the search window, while handlers are still running.

#include "uisupport.h"

#include "shell/form3.h"
#include "shell/form4.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <filesystem>
#include <functional>
#include <utility>

using namespace velmora;
using namespace velmora::test;

// Runs an action when the watched object first receives an event of the type, before the object
// handles it.
class OnEvent : public QObject
{
public:
    OnEvent(QObject *watched, QEvent::Type type, std::function<void()> action)
        : type_(type), action_(std::move(action))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == type_ && action_)
            std::exchange(action_, nullptr)();
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> action_;
};

class EndingTest : public QObject
{
    Q_OBJECT

private:
    // A started main window showing Pickthall alone, so that every verse read yields to pending events.
    static void showWithOneTranslation(MainWindowFixture &f)
    {
        QTest::mouseClick(f.child<QCheckBox>("Check2_0"), Qt::LeftButton);
        QVERIFY(f.child<QCheckBox>("Check2_0")->isChecked());
        QVERIFY(f.show());
    }

    static Form3 *openSearchWindowWithQuery(MainWindowFixture &f, const QString &query)
    {
        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        Form3 *search = f.form->searchWindow();
        if (!QTest::qWaitForWindowActive(search))
            return nullptr;
        auto *edit = search->findChild<QComboBox *>(QStringLiteral("Combo1"))->lineEdit();
        QTest::keyClicks(edit, query);
        return search;
    }

    static bool searchRan(const MainWindowFixture &f) { return f.form->state().searchWords.count != 0; }

private slots:
    void exitDuringTheReadOfAFindSurahDoubleClick()
    {
        MainWindowFixture f;
        showWithOneTranslation(f);
        QTest::mouseClick(f.child<QLabel>("Label1_12"), Qt::LeftButton);
        QPointer<Form4> dialog = f.form->findSurahDialog();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto *query = dialog->findChild<QLineEdit *>(QStringLiteral("Text1"));
        QTest::keyClicks(query, QStringLiteral("cow"));
        QTest::keyClick(query, Qt::Key_Return);
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("List1"));
        QCOMPARE(list->count(), 1);

        // A click on Exit waits in the queue from the double-click on: the read that choosing the
        // surah starts handles it in its event pass, while the dialog's handler is still running.
        auto *exit = f.child<QPushButton>("Command6");
        OnEvent onDoubleClick(list->viewport(), QEvent::MouseButtonDblClick,
                              [exit] { postClick(exit, exit->rect().center()); });
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(f.combo("Combo1")->currentIndex(), 1);

        QVERIFY(f.ended);
        QVERIFY(std::filesystem::exists(f.temp.path() / "Prefs.dat"));
        QVERIFY(f.form->isHidden());
        QVERIFY(dialog);
        QVERIFY(dialog->isHidden());
        QTest::qWait(20);
        f.form.reset();
        QVERIFY2(!dialog, "the dialog goes with the main window");
    }

    void frameCloseDuringAReadClosesEveryWindowAndSearchesNothing()
    {
        MainWindowFixture f;
        showWithOneTranslation(f);
        Form3 *search = openSearchWindowWithQuery(f, QStringLiteral("Day"));
        QVERIFY(search);
        QPointer<Form3> guard = search;

        // A surah chosen with the keyboard; its first read lets the frame close through.
        auto *surahs = f.combo("Combo1");
        QObject::connect(
            f.combo("Combo2"), &QComboBox::currentIndexChanged, f.form.get(),
            [&f] {
                QMetaObject::invokeMethod(
                    f.form.get(), [&f] { f.form->windowHandle()->close(); }, Qt::QueuedConnection);
            },
            Qt::SingleShotConnection);
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        surahs->setFocus();
        QTest::keyClick(surahs, Qt::Key_Down);

        QVERIFY(f.ended);
        QVERIFY(f.form->isHidden());
        QVERIFY(search->isHidden());
        QVERIFY2(!searchRan(f), "hiding the query box started no search");
        QCOMPARE(f.temp.read("Prefs.dat"), MainWindowFixture::olderPreferences());
        QVERIFY2(!std::filesystem::exists(f.temp.path() / "Srch.dat"), "ending writes no history");

        // Destroying the window, its query box still holding a query of the list, searches nothing.
        delete search;
        QVERIFY(!searchRan(f));
        QVERIFY(!guard);
    }

    void closingTheSearchWindowWritesTheHistoryAndSearchesNothing()
    {
        MainWindowFixture f;
        f.form->show();
        Form3 *search = openSearchWindowWithQuery(f, QStringLiteral("Day"));
        QVERIFY(search);
        QPointer<Form3> guard = search;
        search->windowHandle()->close();
        QTRY_VERIFY(!guard);
        QVERIFY(!searchRan(f));
        QCOMPARE(f.temp.read("Srch.dat"), std::string("Day\r\nDay Judgment\r\n'Day of Judgment'\r\n"));
        QVERIFY(!f.ended);
    }
};

QTEST_MAIN(EndingTest)
#include "ending_test.moc"
