#include "uisupport.h"

#include "core/prefs.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <cstdlib>

namespace velmora::test {

QMessageBox::StandardButton ScriptedDialogs::ask(QWidget *, const QString &text,
                                                 QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    shown.push_back(text);
    icons.push_back(icon);
    if (!answers.empty()) {
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    for (const auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (buttons & b)
            return b;
    return QMessageBox::Ok;
}

std::optional<QString> ScriptedDialogs::getText(QWidget *, const QString &prompt, const QString &suggestion)
{
    prompts.push_back(prompt);
    suggestions.push_back(suggestion);
    if (texts.empty())
        return std::nullopt;
    // The text taken out as a QString (a copy of the optional itself draws a false warning of
    // GCC 12's that it may be read uninitialised).
    const bool cancelled = !texts.front().has_value();
    const QString answer = texts.front().value_or(QString());
    texts.pop_front();
    if (cancelled)
        return std::nullopt;
    return answer;
}

void writeSmallTranslations(const TempDir &dir)
{
    const std::array<std::pair<const char *, const char *>, 4> files = {
        {{"PIKTHL.TXT", "P"}, {"YSFALI.TXT", "Y"}, {"TRNSLIT.TXT", "T"}, {"SHAKIR.TXT", "S"}}};
    const std::array<int, 3> entries = {7, 5, 4};
    for (const auto &[name, tag] : files) {
        std::string text;
        for (int surah = 1; surah <= 3; ++surah) {
            text += "Surah " + std::to_string(surah) + ". Name\r\n";
            for (int e = 0; e < entries[static_cast<std::size_t>(surah - 1)]; ++e) {
                char prefix[16];
                std::snprintf(prefix, sizeof prefix, "%03d.%d)", surah, e);
                text += std::string(prefix) + " " + tag + " " + std::to_string(surah) + ":" +
                        std::to_string(e) + "\r\n";
            }
        }
        dir.write(name, text);
    }
}

MainWindowFixture::MainWindowFixture(bool start, Edition edition) : edition(edition)
{
    qtkit::installFontSubstitutes(); // as the program does at start
    writeSmallTranslations(data);
    if (start)
        startWindow();
}

MainWindowFixture::~MainWindowFixture() = default;

std::string MainWindowFixture::olderPreferences()
{
    std::string lines = formatPreferences(Preferences{});
    std::size_t end = 0;
    for (int line = 0; line < 7; ++line)
        end = lines.find("\r\n", end) + 2;
    return lines.substr(0, end);
}

void MainWindowFixture::startWindow()
{
    if (!firstStart && !withoutTempFolder && !std::filesystem::exists(temp.path() / "Prefs.dat"))
        temp.write("Prefs.dat", olderPreferences());
    form = std::make_unique<Form1>(data.folder(), withoutTempFolder ? std::string() : temp.folder(), player,
                                   dialogs, edition);
    QObject::connect(form.get(), &Form1::programEnded, [this] { ended = true; });
    form->load();
}

QString MainWindowFixture::displayText() const
{
    return child<QTextEdit>("Text3")->toPlainText();
}

bool MainWindowFixture::show()
{
    form->show();
    return QTest::qWaitForWindowExposed(form.get());
}

void typeInto(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget,
                            c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

namespace {
void waitForModal(QString name, std::function<void(QWidget *)> act, int triesLeft)
{
    QTimer::singleShot(20, [name = std::move(name), act = std::move(act), triesLeft]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name && modal->isVisible())
            act(modal);
        else if (triesLeft > 0)
            waitForModal(std::move(name), std::move(act), triesLeft - 1);
        else if (modal)
            modal->close(); // another dialog than the one waited for: closed, so the test goes on
    });
}
} // namespace

void whenModal(const char *objectName, std::function<void(QWidget *)> act)
{
    waitForModal(QString::fromLatin1(objectName), std::move(act), 500);
}

void postClick(QWidget *widget, QPoint at)
{
    const QPoint global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(
        widget, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(
        widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {}));
}

QImage faceOf(QWidget *control)
{
    QWidget *window = control->window();
    return window->grab().toImage().copy(QRect(control->mapTo(window, QPoint(0, 0)), control->size()));
}

Ink inkOf(const QImage &image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool neutral = std::abs(c.red() - c.green()) < 12 && std::abs(c.green() - c.blue()) < 12;
            if (c.red() > c.green() + 50 && c.red() > c.blue() + 50)
                ++ink.reddish;
            else if (c.blue() > c.red() + 60 && c.blue() > c.green() + 60)
                ++ink.bluish;
            else if (c.red() + c.green() + c.blue() < 180) // black, or its coloured edges where the
                ++ink.black;                               // system draws text for LCD screens
            else if (neutral && c.red() >= 100 && c.red() <= 200)
                ++ink.grey;
        }
    return ink;
}

void showWith(MainWindowFixture &f, PlayerChannel &channel)
{
    f.form = std::make_unique<Form1>(f.data.folder(), f.temp.folder(), channel, f.dialogs, Edition::Audio);
    f.form->load();
    QVERIFY(f.show());
}

void reciteTwoVerses(MainWindowFixture &f, const QString &times)
{
    f.combo("Combo2")->setCurrentIndex(2);
    f.combo("Combo3")->setCurrentIndex(3);
    auto *every = f.child<QLineEdit>("Text1");
    QTest::mouseClick(every, Qt::LeftButton);
    every->selectAll();
    QTest::keyClicks(every, times);
    f.combo("Combo6")->setCurrentIndex(1);
    QTest::mouseClick(f.child<QPushButton>("Command4"), Qt::LeftButton);
}

} // namespace velmora::test
