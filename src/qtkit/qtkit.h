// The small window-toolkit helpers that every window shares: measures, Windows-1252 text,
// sorted lists, the hand pointer, the busy pointer and message boxes.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QTextEdit>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::qtkit {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr const char *kProgramTitle = "Velmora";

int px(int twips);
QRect twipsRect(int left, int top, int width, int height);

// Windows-1252 bytes to and from the window's text; CR LF becomes a line break and back.
QString fromAnsi(std::string_view text);
std::string toAnsi(const QString &text);
QString fromAnsiText(std::string_view text); // multi-line: CR LF to \n
std::string toAnsiText(const QString &text); // multi-line: \n to CR LF

// The top-left corner of a window of the given outer size: centred on the screen and raised by the
// given pixels, then moved just enough to lie inside the available area (where no panel covers
// it); a window larger than that area keeps its top-left corner inside it.
QPoint placeWindow(const QRect &screen, const QRect &available, QSize outer, int raise);

// The top-left corner of a window of the given outer size that stands beside another's frame: to
// its right, the gap between, where the available area has room; else to its left; else at the
// area's right edge; its top level with the other's, within the area.
QPoint placeBeside(const QRect &beside, QSize outer, const QRect &available, int gap);
// Moves a window beside another, on the other's screen.
void moveBeside(QWidget *window, const QWidget *beside);

// The program's icon, the one its menu entry shows, in every size it is drawn in; every window
// carries it.
QIcon programIcon();

// The pointing-hand pointer of the link labels (hot spot at the fingertip).
const QCursor &handCursor();

// Makes a link label a link for the keyboard and for assistive technology too: Tab reaches it, Enter
// or Space presses and releases it as a click does (so the handlers of the click run), it shows
// when it has the focus, and assistive technology reads its caption, as it changes, and the
// description.
void makeKeyboardLink(QLabel *link, const QString &description);

// A command of the window under its name, run by any of its keys wherever the focus is in it.
QAction *addWindowShortcut(QWidget *window, const char *name, const std::vector<QKeySequence> &keys,
                           const std::function<void()> &run);

// Marks laid over a text without touching its document: a span of characters [first, last) in a
// ground colour of its own, scrolled into view when it is newly marked and not wholly shown, and
// spans drawn in the ground's colour, there but unseen.
struct TextMarks
{
    std::optional<std::pair<int, int>> marked;
    QColor colour;
    std::vector<std::pair<int, int>> hidden;
};
void markSpans(QTextEdit *text, const TextMarks &marks);

// Font stand-ins for the design's Windows fonts, so that captions keep their widths.
void installFontSubstitutes();
// Makes the fonts shipped in the program's folder ("fonts", beside the executable) usable by the
// program alone, as on Windows, which lacks the Quran's font; nothing where there are none.
void addBundledFonts(const std::string &programFolder);
QFont designFont(const QString &family, double points, bool bold = false, bool italic = false,
                 bool underline = false);
// The family every form is designed in (installFontSubstitutes gives its stand-ins), and a font of it.
inline constexpr const char *kFormFamily = "MS Sans Serif";
QFont formFont(double points, bool bold = false, bool italic = false, bool underline = false);

// A control of a form, made with its own arguments and the parent last, and named: the form's
// layout table places it (placeControls).
template <typename Control, typename... Args> Control *make(QWidget *parent, const char *name, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

// One row of a form's layout: a control's objectName and its rectangle in twips within its parent.
struct Placement
{
    const char *name;
    int left;
    int top;
    int width;
    int height;
};

// Places every control of a form's layout table, each found among the form's children by its
// objectName. A row that names no control is a fault of the table, told on the terminal.
void placeControls(QWidget *form, std::span<const Placement> layout);

// The text colour of an enabled control; disabled, it is greyed out as every control is.
// The font of the Quran's Arabic text: Amiri Quran, found through fontconfig, or where it is missing
// the first installed of Amiri, Noto Naskh Arabic, Scheherazade and DejaVu Sans (with a warning
// once); sized so that its letters stand about as tall as those of the given font.
// A face for a translation's language beside the display's: the Arabic face for the Arabic script,
// Nastaliq for Urdu where it is installed; the display's own for the others, whose scripts the
// system's fonts fill in.
QFont fontForLanguage(const QFont &display, std::string_view language);

// The text box's lines in one direction, against the edge they start from.
void setTextDirection(QPlainTextEdit *box, Qt::LayoutDirection direction);

QFont arabicFontBeside(const QFont &latin);

void setTextColor(QWidget *widget, int red, int green, int blue);
// The colour of a frame's caption alone: call it once the frame's controls are made.
void setCaptionColor(QGroupBox *frame, int red, int green, int blue);

// The stand-in fonts run a little wider than the design's: every caption under root that would be
// cut off grows to the right, keeping its place.
void widenClippedLabels(QWidget *root);

// Sorted lists in the order of the platform's sorted list control (letter case ignored).
int insertSorted(QComboBox *combo, const QString &text);
// Replaces the entries without raising any handler and leaves nothing selected.
void setEntriesQuietly(QComboBox *combo, const QStringList &entries, bool sorted);
void setEntriesQuietly(QListWidget *list, const QStringList &entries, bool sorted);
QStringList entries(const QComboBox *combo);
QStringList entries(const QListWidget *list);

// Stops every control inside the window from emitting signals, for good: a window that is ending
// runs no handler, whatever its controls do while they are hidden or destroyed.
void silenceControls(QWidget *window);
// Hides a window that is ending with the program, it and its controls silenced first, so that the
// focus leaving them starts nothing.
void endSilently(QWidget *window);

// The hourglass for as long as the guard lives.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// A list box that tells when a mouse button goes down and up over it. The press is told first,
// with the row that the press makes current, before the list changes its selection (which runs
// handlers of its own); the release is told after the list has handled it.
class PressReleaseList : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;
signals:
    void mouseDown(int row);
    void mouseUp();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// An option button that answers a click anywhere over its area, not only on its circle and caption.
class OptionButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

// Whether Windows-1252 holds every character of a text.
bool fitsAnsi(const QString &text);

// Message boxes and the text-input dialog, behind one interface so that tests can answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual QMessageBox::StandardButton ask(QWidget *parent, const QString &text,
                                            QMessageBox::StandardButtons buttons, QMessageBox::Icon icon);
    // nullopt when the reader cancels.
    virtual std::optional<QString> getText(QWidget *parent, const QString &prompt, const QString &suggestion);
    void tell(QWidget *parent, const QString &text, QMessageBox::Icon icon = QMessageBox::Warning)
    {
        ask(parent, text, QMessageBox::Ok, icon);
    }
};

} // namespace velmora::qtkit
