// What the window tests share: answered dialogs, a small data folder and a started main window.
#pragma once

#include "qtkit/qtkit.h"
#include "shell/form1.h"
#include "substituteplayer.h"
#include "tempdir.h"

#include <QComboBox>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace velmora::test {

// Answers message boxes and the text dialog from queues and keeps what they showed.
class ScriptedDialogs : public qtkit::Dialogs
{
public:
    QMessageBox::StandardButton ask(QWidget *parent, const QString &text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) override;
    std::optional<QString> getText(QWidget *parent, const QString &prompt,
                                   const QString &suggestion) override;

    std::deque<QMessageBox::StandardButton> answers; // default: the first button offered
    std::deque<std::optional<QString>> texts;        // default: cancel
    QStringList shown;
    QStringList prompts;
    QStringList suggestions;
    QList<QMessageBox::Icon> icons;
};

// Translation files of three surahs: surah 1 with 7 verses, surah 2 with 5 entries, surah 3 with
// 4 entries; the verse texts name their file, surah and entry ("P 2:3").
void writeSmallTranslations(const TempDir &dir);

// A main window over a data folder and a temporary folder, started as the program starts it.
struct MainWindowFixture
{
    explicit MainWindowFixture(bool start = true, Edition edition = Edition::WithoutAudio);
    ~MainWindowFixture();

    TempDir data;
    TempDir temp;
    bool withoutTempFolder = false; // the program started as one without a folder of its own
    // Unless set, the program starts as it did before: a Prefs.dat of seven lines, as older versions
    // write it, is in its folder (where the test has not put one of its own).
    bool firstStart = false;
    static std::string olderPreferences();
    test::SubstitutePlayer player;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    bool ended = false;
    Edition edition;

    void startWindow();
    // Shows the window and waits until it is drawn.
    bool show();
    template <typename T> T *child(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    QString displayText() const;
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
};

// The audio edition's window over the fixture's folders, reciting through the channel, shown.
void showWith(MainWindowFixture &f, PlayerChannel &channel);
// Chooses entries 002 to 003 of surah 1, each recited the given times with a second's pause
// after each, and presses Recite.
void reciteTwoVerses(MainWindowFixture &f, const QString &times);

// Types text into a widget key by key; letters beyond ASCII (Arabic ones) come as key events of
// their own text.
void typeInto(QWidget *widget, const QString &text);
// Runs act on the next modal dialog of type T once it is shown (while the code that opened it
// waits in its own event loop).
void whenModal(const char *objectName, std::function<void(QWidget *)> act);

// A click that waits in the event queue: a press and a release at the point of the widget.
void postClick(QWidget *widget, QPoint at);

// The pixels of a control as its window draws it.
QImage faceOf(QWidget *control);
// How many pixels of an image are of a strong red or blue, black, or a middle grey: the strokes of a
// caption in its colour, in the default text colour, or greyed out.
struct Ink
{
    int reddish = 0;
    int bluish = 0;
    int black = 0;
    int grey = 0;
};
Ink inkOf(const QImage &image);

} // namespace velmora::test
