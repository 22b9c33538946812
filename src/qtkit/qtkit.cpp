#include "qtkit.h"

#include <QCoreApplication>

#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>

#include "core/tanzil.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

#include "core/ansi.h"

#include <QApplication>
#include <QBitmap>
#include <QDebug>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QWidget>

#include <algorithm>
#include <array>

namespace velmora::qtkit {

int px(int twips)
{
    return (twips + (twips >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2)) / kTwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

void placeControls(QWidget *form, std::span<const Placement> layout)
{
    for (const Placement &row : layout) {
        if (auto *control = form->findChild<QWidget *>(QLatin1String(row.name)))
            control->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
        else
            qWarning("%s: the layout places %s, which it does not hold", qPrintable(form->objectName()),
                     row.name);
    }
}

QString fromAnsi(std::string_view text)
{
    QString out;
    out.resize(static_cast<qsizetype>(text.size()));
    QChar *dst = out.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        dst[i] = QChar(ansi::toUnicode(static_cast<unsigned char>(text[i])));
    return out;
}

std::string toAnsi(const QString &text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4())
        out.push_back(ansi::fromUnicode(cp));
    return out;
}

QString fromAnsiText(std::string_view text)
{
    QString out = fromAnsi(text);
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

std::string toAnsiText(const QString &text)
{
    QString copy = text;
    copy.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return toAnsi(copy);
}

QPoint placeWindow(const QRect &screen, const QRect &available, QSize outer, int raise)
{
    const int left = screen.x() + (screen.width() - outer.width()) / 2;
    const int top = screen.y() + (screen.height() - outer.height()) / 2 - raise;
    return {std::max(available.left(), std::min(left, available.x() + available.width() - outer.width())),
            std::max(available.top(), std::min(top, available.y() + available.height() - outer.height()))};
}

QPoint placeBeside(const QRect &beside, QSize outer, const QRect &available, int gap)
{
    const int areaRight = available.x() + available.width();
    int left = beside.x() + beside.width() + gap;
    if (left + outer.width() > areaRight)
        left = beside.x() - gap - outer.width();
    if (left < available.left())
        left = std::max(available.left(), areaRight - outer.width());
    const int top = std::max(available.top(),
                             std::min(beside.top(), available.y() + available.height() - outer.height()));
    return {left, top};
}

void moveBeside(QWidget *window, const QWidget *beside)
{
    const QScreen *screen = beside->screen();
    if (!screen)
        return;
    // Not yet shown, the window has no frame: its size and a frame's allowance stand for it.
    const QSize outer = window->frameGeometry().size().expandedTo(window->size() + QSize(16, 40));
    window->move(placeBeside(beside->frameGeometry(), outer, screen->availableGeometry(), 8));
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

namespace {

// Enter and Space on a link label: a left click at its middle, sent through its event filters.
class LinkKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
            return false;
        auto *link = static_cast<QWidget *>(watched);
        const QPointF middle = QRectF(link->rect()).center();
        const QPointF global = link->mapToGlobal(middle);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, middle, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(link, &click);
        }
        return true;
    }
};

} // namespace

void makeKeyboardLink(QLabel *link, const QString &description)
{
    link->setFocusPolicy(Qt::TabFocus);
    link->installEventFilter(new LinkKeys(link));
    // Its name stays its caption as it changes (a count, the status line); the description is fixed.
    link->setAccessibleDescription(description);
    // The focus as a frame around the caption, which keeps its place and colour.
    link->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(text); }"));
}

QAction *addWindowShortcut(QWidget *window, const char *name, const std::vector<QKeySequence> &keys,
                           const std::function<void()> &run)
{
    auto *action = new QAction(QString::fromUtf8(name), window);
    action->setShortcuts(QList<QKeySequence>(keys.begin(), keys.end()));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, run);
    window->addAction(action);
    return action;
}

void markSpans(QTextEdit *text, const TextMarks &marks)
{
    const auto selection = [text](std::pair<int, int> span) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(text->document());
        mark.cursor.setPosition(span.first);
        mark.cursor.setPosition(span.second, QTextCursor::KeepAnchor);
        return mark;
    };
    QList<QTextEdit::ExtraSelection> wanted;
    for (const auto &span : marks.hidden) {
        wanted.push_back(selection(span));
        wanted.back().format.setForeground(text->palette().color(QPalette::Base));
    }
    if (marks.marked) {
        wanted.push_back(selection(*marks.marked));
        wanted.back().format.setBackground(marks.colour);
    }
    const QList<QTextEdit::ExtraSelection> now = text->extraSelections();
    const auto same = [](const QTextEdit::ExtraSelection &a, const QTextEdit::ExtraSelection &b) {
        return a.cursor.selectionStart() == b.cursor.selectionStart() &&
               a.cursor.selectionEnd() == b.cursor.selectionEnd() && a.format == b.format;
    };
    if (std::equal(now.begin(), now.end(), wanted.begin(), wanted.end(), same))
        return; // marked already: the reader may have scrolled away since
    const bool newlyMarked = marks.marked && (now.isEmpty() || !same(now.back(), wanted.back()));
    text->setExtraSelections(wanted);
    if (!newlyMarked)
        return;
    const auto *span = &*marks.marked;
    // Into view as a reader would scroll it: its start near the top, and only when it is not
    // wholly shown.
    QTextCursor start(text->document());
    start.setPosition(span->first);
    QTextCursor end(text->document());
    end.setPosition(span->second);
    const int top = text->cursorRect(start).top();
    if (top < 0 || text->cursorRect(end).bottom() > text->viewport()->height()) {
        QScrollBar *bar = text->verticalScrollBar();
        bar->setValue(bar->value() + top - text->fontMetrics().height());
    }
}

const QCursor &handCursor()
{
    // A 32 x 32 two-colour hand with a raised index finger, its hot spot the fingertip (5, 0).
    static const QCursor cursor = [] {
        static const char *const rows[] = {
            "....XX..........", "...X..X.........", "...X..X.........", "...X..X.........",
            "...X..XXX.......", "...X..X..XXX....", "...X..X..X..XX..", "XX.X..X..X..X.X.",
            "X..X........X..X", "X..X...........X", ".X.............X", ".X.............X",
            "..X............X", "..X...........X.", "...X..........X.", "...X.........X..",
            "....X........X..", "....XXXXXXXXXX..",
        };
        QBitmap shape(32, 32);
        QBitmap mask(32, 32);
        shape.fill(Qt::color0);
        mask.fill(Qt::color0);
        QPainter ps(&shape);
        QPainter pm(&mask);
        const int rowCount = static_cast<int>(std::size(rows));
        for (int y = 0; y < rowCount; ++y) {
            const QString row = QString::fromLatin1(rows[y]);
            int first = row.indexOf(QLatin1Char('X'));
            int last = row.lastIndexOf(QLatin1Char('X'));
            for (int x = 0; x < row.size(); ++x) {
                const bool inside = first >= 0 && x >= first && x <= last;
                if (row[x] == QLatin1Char('X')) {
                    ps.setPen(Qt::color1);
                    ps.drawPoint(x + 1, y);
                }
                if (inside || row[x] == QLatin1Char('X')) {
                    pm.setPen(Qt::color1);
                    pm.drawPoint(x + 1, y);
                }
            }
        }
        ps.end();
        pm.end();
        return QCursor(shape, mask, 5, 0);
    }();
    return cursor;
}

void installFontSubstitutes()
{
#ifdef _WIN32
    // Windows draws MS Sans Serif, a bitmap font, through its TrueType heir.
    QFont::insertSubstitutions(QLatin1String(kFormFamily),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    // Hinted across the baseline as well, Liberation Sans at this size loses its capital I under Wine
    // (which has no Microsoft Sans Serif); the fonts of every control inherit this preference.
    QFont font = QApplication::font();
    font.setHintingPreference(QFont::PreferVerticalHinting);
    QApplication::setFont(font);
#else
    QFont::insertSubstitutions(
        QLatin1String(kFormFamily),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
#endif
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

void addBundledFonts(const std::string &programFolder)
{
    const QDir fonts(QString::fromStdString(programFolder) + QStringLiteral("fonts"));
    for (const QString &file :
         fonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files))
        if (QFontDatabase::addApplicationFont(fonts.filePath(file)) < 0)
            qWarning().noquote() << "The font" << fonts.filePath(file) << "could not be read";
}

QFont formFont(double points, bool bold, bool italic, bool underline)
{
    return designFont(QLatin1String(kFormFamily), points, bold, italic, underline);
}

QFont designFont(const QString &family, double points, bool bold, bool italic, bool underline)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

namespace {

constexpr std::array<QPalette::ColorRole, 3> kTextRoles = {QPalette::WindowText, QPalette::Text,
                                                           QPalette::ButtonText};

} // namespace

void setTextColor(QWidget *widget, int red, int green, int blue)
{
    // The colour of an enabled control, in the active window or another; a disabled control keeps
    // the platform's greyed-out text.
    QPalette pal = widget->palette();
    const QColor colour(red, green, blue);
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        for (const auto role : kTextRoles)
            pal.setColor(group, role, colour);
    widget->setPalette(pal);
}

void setCaptionColor(QGroupBox *frame, int red, int green, int blue)
{
    // A frame's controls take its text colours unless they have their own: those without keep the
    // platform's, in every state.
    const QPalette standard = QApplication::palette();
    for (QWidget *child : frame->findChildren<QWidget *>()) {
        QPalette pal = child->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (const auto role : kTextRoles)
                if (!pal.isBrushSet(group, role))
                    pal.setBrush(group, role, standard.brush(group, role));
        child->setPalette(pal);
    }
    setTextColor(frame, red, green, blue);
}

void widenClippedLabels(QWidget *root)
{
    for (QLabel *label : root->findChildren<QLabel *>()) {
        const int needed = label->sizeHint().width();
        if (!label->text().isEmpty() && needed > label->width())
            label->resize(needed, label->height());
    }
}

namespace {

template <typename TextAt> int sortedPosition(int count, const QString &text, TextAt textAt)
{
    const std::string key = toAnsi(text);
    int lo = 0;
    int hi = count;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (ansi::collate(toAnsi(textAt(mid)), key) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

QStringList sortedCopy(const QStringList &items)
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(items.size()));
    for (const QString &item : items)
        texts.push_back(toAnsi(item));
    QStringList out;
    out.reserve(items.size());
    for (const std::size_t i : ansi::listOrder(texts))
        out.push_back(items[static_cast<qsizetype>(i)]);
    return out;
}

} // namespace

int insertSorted(QComboBox *combo, const QString &text)
{
    const int at = sortedPosition(combo->count(), text, [combo](int i) { return combo->itemText(i); });
    combo->insertItem(at, text);
    return at;
}

void setEntriesQuietly(QComboBox *combo, const QStringList &items, bool sorted)
{
    const QSignalBlocker blocker(combo);
    if (auto *strings = qobject_cast<QStringListModel *>(combo->model())) {
        strings->setStringList(sorted ? sortedCopy(items) : items); // no item objects: fast for long lists
    } else {
        combo->clear();
        combo->addItems(sorted ? sortedCopy(items) : items);
    }
    combo->setCurrentIndex(-1);
}

void setEntriesQuietly(QListWidget *list, const QStringList &items, bool sorted)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(sorted ? sortedCopy(items) : items);
    list->setCurrentRow(-1);
    list->clearSelection();
    list->scrollToTop(); // a new list shows its first entry, wherever the old one stood
}

QStringList entries(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out.push_back(combo->itemText(i));
    return out;
}

QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text());
    return out;
}

void silenceControls(QWidget *window)
{
    for (QObject *child : window->findChildren<QObject *>())
        child->blockSignals(true);
}

void endSilently(QWidget *window)
{
    silenceControls(window);
    window->blockSignals(true);
    window->hide();
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

void PressReleaseList::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex pressed = indexAt(event->position().toPoint());
    emit mouseDown(pressed.isValid() ? pressed.row() : currentRow());
    QListWidget::mousePressEvent(event);
}

void PressReleaseList::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    emit mouseUp();
}

QMessageBox::StandardButton Dialogs::ask(QWidget *parent, const QString &text,
                                         QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QString::fromLatin1(kProgramTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> Dialogs::getText(QWidget *parent, const QString &prompt, const QString &suggestion)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, QString::fromLatin1(kProgramTitle), prompt,
                                                 QLineEdit::Normal, suggestion, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

bool fitsAnsi(const QString &text)
{
    return fromAnsi(toAnsi(text)) == text;
}

QFont fontForLanguage(const QFont &display, std::string_view language)
{
    if (!isArabicScriptLanguage(language))
        return display;
    QFont font = arabicFontBeside(display);
    if (language == "Urdu" && QFontDatabase::hasFamily(QStringLiteral("Noto Nastaliq Urdu")))
        font.setFamily(QStringLiteral("Noto Nastaliq Urdu"));
    return font;
}

void setTextDirection(QPlainTextEdit *box, Qt::LayoutDirection direction)
{
    box->setLayoutDirection(direction);
    QTextOption option = box->document()->defaultTextOption();
    option.setTextDirection(direction);
    option.setAlignment(direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    box->document()->setDefaultTextOption(option);
}

QFont arabicFontBeside(const QFont &latin)
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families(QFontDatabase::Arabic);
        for (const char *name :
             {"Amiri Quran", "Amiri", "Noto Naskh Arabic", "Scheherazade New", "DejaVu Sans"})
            if (installed.contains(QLatin1String(name))) {
                if (qstrcmp(name, "Amiri Quran") != 0)
                    qWarning().noquote()
                        << "The Quran's font Amiri Quran (Debian package fonts-hosny-amiri) is not "
                           "installed; the Arabic text is shown in"
                        << name;
                return QString::fromLatin1(name);
            }
        qWarning().noquote() << "No Arabic font is installed; install fonts-hosny-amiri for the Quran's text";
        return QString();
    }();
    QFont arabic(family);
    // Arabic letters stand on a body about as tall as the x-height of Latin ones; the font's own
    // Latin letters give its x-height, and the body is drawn larger for the marks around it.
    constexpr double kBodyScale = 1.35;
    arabic.setPointSizeF(latin.pointSizeF());
    const double latinHeight = QFontMetricsF(latin).xHeight();
    const double arabicHeight = QFontMetricsF(arabic).xHeight();
    if (latinHeight > 0 && arabicHeight > 0)
        arabic.setPointSizeF(latin.pointSizeF() * latinHeight / arabicHeight * kBodyScale);
    arabic.setBold(latin.bold());
    return arabic;
}

} // namespace velmora::qtkit
