#include "readingwindow.h"

#include "core/safefile.h"
#include "qtkit/qtkit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace velmora {

namespace {

constexpr double kScaleStep = 1.15;

// Dark reading: dark text made light and light grounds made dark, each keeping its hue, so that the
// display's marks keep their meaning.
QColor forDarkText(const QColor &colour)
{
    const int lightness = colour.lightness();
    return lightness >= 140 ? colour
                            : QColor::fromHsl(colour.hslHue(), colour.hslSaturation(), 255 - lightness / 2);
}

QColor forDarkGround(const QColor &colour)
{
    return QColor::fromHsl(colour.hslHue(), colour.hslSaturation() / 2, colour.lightness() / 3);
}

// Every character and every empty line of the document at scale times its size (a run without a size
// of its own has the document's), in the reading's colours.
void scaleAndColour(QTextDocument &document, double scale, bool dark)
{
    const double base = document.defaultFont().pointSizeF();
    const auto scaled = [&](const QTextCharFormat &format) {
        QTextCharFormat change;
        change.setFontPointSize((format.fontPointSize() > 0 ? format.fontPointSize() : base) * scale);
        if (dark && format.hasProperty(QTextFormat::ForegroundBrush))
            change.setForeground(forDarkText(format.foreground().color()));
        if (dark && format.hasProperty(QTextFormat::BackgroundBrush))
            change.setBackground(forDarkGround(format.background().color()));
        return change;
    };
    struct Run
    {
        int at;
        int length;
        QTextCharFormat format;
    };
    std::vector<Run> runs; // read whole before any is changed: a change splits and joins fragments
    std::vector<std::pair<int, QTextCharFormat>> blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        blocks.emplace_back(block.position(), block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextFragment fragment = it.fragment(); fragment.isValid())
                runs.push_back({fragment.position(), fragment.length(), fragment.charFormat()});
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const auto &[at, format] : blocks) {
        cursor.setPosition(at);
        cursor.mergeBlockCharFormat(scaled(format));
    }
    for (const Run &run : runs) {
        cursor.setPosition(run.at);
        cursor.setPosition(run.at + run.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(scaled(run.format));
    }
    cursor.endEditBlock();
    QFont font = document.defaultFont();
    font.setPointSizeF(base * scale);
    document.setDefaultFont(font);
}

} // namespace

QColor recitedMarkColour(bool dark)
{
    return dark ? QColor(44, 84, 48) : QColor(200, 236, 190);
}

ReadingWindow::ReadingWindow(QWidget *parent, Navigate navigate, std::filesystem::path settingsFile)
    : QWidget(parent, Qt::Window), navigate_(std::move(navigate)), settingsFile_(std::move(settingsFile))
{
    setObjectName(QStringLiteral("ReadingWindow"));
    setWindowTitle(QStringLiteral("Velmora: reading view"));
    setWindowIcon(qtkit::programIcon());
    setAccessibleName(QStringLiteral("Reading view"));
    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("ReadingText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setFrameShape(QFrame::NoFrame);
    text_->setAccessibleName(QStringLiteral("The verses shown"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    if (!settingsFile_.empty())
        if (const auto kept = readRegularFile(settingsFile_))
            settings_ = parseReadingSettings(*kept);
    createActions();
    applyColours();
}

void ReadingWindow::createActions()
{
    struct Command
    {
        const char *name;
        std::vector<QKeySequence> keys;
        std::function<void()> run;
    };
    const auto step = [this](ReadingStep s) { return [this, s] { navigate_(s); }; };
    const Command commands[] = {
        {"Next verse", {QKeySequence(Qt::ALT | Qt::Key_Down)}, step(ReadingStep::NextVerse)},
        {"Previous verse", {QKeySequence(Qt::ALT | Qt::Key_Up)}, step(ReadingStep::PreviousVerse)},
        {"Next surah", {QKeySequence(Qt::ALT | Qt::Key_PageDown)}, step(ReadingStep::NextSurah)},
        {"Previous surah", {QKeySequence(Qt::ALT | Qt::Key_PageUp)}, step(ReadingStep::PreviousSurah)},
        {"Next page", {QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, step(ReadingStep::NextPage)},
        {"Previous page", {QKeySequence(Qt::CTRL | Qt::Key_PageUp)}, step(ReadingStep::PreviousPage)},
        {"Larger text",
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         [this] { setScale(settings_.scale * kScaleStep); }},
        {"Smaller text",
         {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
         [this] { setScale(settings_.scale / kScaleStep); }},
        {"Dark or light reading", {QKeySequence(Qt::CTRL | Qt::Key_D)}, [this] { toggleDark(); }},
        {"Full screen", {QKeySequence(Qt::Key_F11)}, [this] { toggleFullScreen(); }},
        {"Leave full screen or close",
         {QKeySequence(Qt::Key_Escape)},
         [this] {
             if (isFullScreen())
                 toggleFullScreen();
             else
                 close();
         }},
    };
    for (const Command &command : commands) {
        // The text's menu lists them with their keys.
        text_->addAction(qtkit::addWindowShortcut(this, command.name, command.keys, command.run));
    }
    text_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ReadingWindow::follow(const QTextDocument &display)
{
    display_ = &display;
    render();
}

void ReadingWindow::render()
{
    if (!display_)
        return;
    QTextDocument *copy = display_->clone(text_);
    copy->setDefaultFont(display_->defaultFont());
    scaleAndColour(*copy, settings_.scale, settings_.dark);
    // A change of marks alone (the verse recited) keeps the place read; another text starts at the top.
    QTextDocument *old = text_->document();
    const bool sameText = old && old->toPlainText() == copy->toPlainText();
    const int scrolled = text_->verticalScrollBar()->value();
    text_->setDocument(copy); // which deletes the copy before it, a child of the text as this one is
    fitColumn();
    text_->verticalScrollBar()->setValue(sameText ? scrolled : 0);
    text_->setExtraSelections({});
    markRecited(recited_, hidden_); // after the scroll, so that the verse recited is brought into view
}

void ReadingWindow::markRecited(std::optional<std::pair<int, int>> span,
                                std::vector<std::pair<int, int>> hidden)
{
    recited_ = span;
    hidden_ = std::move(hidden);
    qtkit::markSpans(text_, {recited_, recitedMarkColour(settings_.dark), hidden_});
}

void ReadingWindow::fitColumn()
{
    // A column as wide as about seventy letters of the text's size, in the middle of a wide window,
    // with room at its sides on a narrow one.
    QTextDocument *document = text_->document();
    const double letter = QFontMetricsF(document->defaultFont()).averageCharWidth();
    const double room = text_->viewport()->width();
    const double side = std::max(letter * 2, (room - letter * 70) / 2);
    QTextFrameFormat format = document->rootFrame()->frameFormat();
    if (qFuzzyCompare(format.leftMargin(), side))
        return;
    format.setLeftMargin(side);
    format.setRightMargin(side);
    format.setTopMargin(letter);
    document->rootFrame()->setFrameFormat(format);
}

void ReadingWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitColumn();
}

void ReadingWindow::setScale(double scale)
{
    settings_.scale = std::clamp(scale, kMinReadingScale, kMaxReadingScale);
    render();
    keepSettings();
}

void ReadingWindow::toggleDark()
{
    settings_.dark = !settings_.dark;
    applyColours();
    render();
    keepSettings();
}

void ReadingWindow::applyColours()
{
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Base, settings_.dark ? QColor(28, 28, 32) : QColor(255, 252, 236));
    palette.setColor(QPalette::Text, settings_.dark ? QColor(232, 228, 218) : QColor(Qt::black));
    text_->setPalette(palette);
}

void ReadingWindow::toggleFullScreen()
{
    if (isFullScreen())
        settings_.maximized ? showMaximized() : showNormal();
    else
        showFullScreen();
}

void ReadingWindow::showAsKept()
{
    const QRect kept(settings_.left, settings_.top, settings_.width, settings_.height);
    const bool onAScreen = std::ranges::any_of(QGuiApplication::screens(), [&](const QScreen *screen) {
        return screen->availableGeometry().intersects(kept);
    });
    if (kept.width() > 0 && kept.height() > 0 && onAScreen)
        setGeometry(kept);
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 3 / 4);
    if (settings_.fullScreen)
        showFullScreen();
    else if (settings_.maximized)
        showMaximized();
    else
        show();
    raise();
    activateWindow();
}

void ReadingWindow::keepSettings()
{
    settings_.fullScreen = isFullScreen();
    settings_.maximized = isMaximized() || (isFullScreen() && settings_.maximized);
    // The place it has when neither maximised nor full screen.
    if (const QRect now = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
        isVisible() && now.isValid()) {
        settings_.left = now.x();
        settings_.top = now.y();
        settings_.width = now.width();
        settings_.height = now.height();
    }
    if (!settingsFile_.empty())
        writeFileReplacing(settingsFile_, formatReadingSettings(settings_));
}

void ReadingWindow::closeEvent(QCloseEvent *event)
{
    keepSettings();
    event->accept();
}

} // namespace velmora
