#include "memorisewindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace velmora {
namespace {

constexpr double kSpeeds[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};
constexpr int kSelectionPauses[] = {0, 3, 5, 10, 30};
constexpr double kLengthMultiples[] = {1.0, 1.5, 2.0, 3.0};

QComboBox *choice(QWidget *parent, const char *name, const QStringList &rows)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(rows);
    return box;
}

// A box whose ticking is told to set.
template <typename Set> QCheckBox *check(QWidget *parent, const char *name, const QString &caption, Set set)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    QObject::connect(box, &QCheckBox::toggled, parent, set);
    return box;
}

// A list whose rows stand for a table's values: the value of the row chosen is told to set.
template <typename T, std::size_t N, typename Set>
QComboBox *tableChoice(QWidget *parent, const char *name, const QStringList &rows, const T (&table)[N],
                       Set set)
{
    QComboBox *box = choice(parent, name, rows);
    QObject::connect(box, &QComboBox::currentIndexChanged, parent,
                     [&table, set](int row) { set(table[std::max(row, 0)]); });
    return box;
}

// The row of a table nearest a kept value, which a hand-edited file need not give exactly.
template <typename T, std::size_t N> int nearestRow(const T (&table)[N], double value)
{
    int best = 0;
    for (int i = 1; i < static_cast<int>(N); ++i)
        if (std::abs(table[i] - value) < std::abs(table[best] - value))
            best = i;
    return best;
}

QString times(double value)
{
    return QString::number(value) + QStringLiteral(" \u00d7");
}

} // namespace

MemoriseWindow::MemoriseWindow(QWidget *parent, Changed changed)
    : QDialog(parent), changed_(std::move(changed))
{
    setObjectName(QStringLiteral("MemoriseWindow"));
    setWindowTitle(QStringLiteral("Reciting and memorising"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    createReciterChoice(form);
    createRepeatChoices(form);
    createPlayerChoices(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// Whose recordings are recited, and how another reciter's come in.
void MemoriseWindow::createReciterChoice(QFormLayout *form)
{
    reciter_ = choice(this, "ReciterChoice", {});
    form->addRow(QStringLiteral("&Reciter:"), reciter_);
    recitersHint_ = new QLabel(this);
    recitersHint_->setObjectName(QStringLiteral("RecitersHint"));
    recitersHint_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(recitersHint_);
    connect(reciter_, &QComboBox::currentIndexChanged, this, [this](int row) {
        settings_.reciter = row > 0 ? reciter_->itemData(row).toString().toStdString() : std::string();
        tell();
    });
}

// How the verses and the selection are repeated, and the pauses between them.
void MemoriseWindow::createRepeatChoices(QFormLayout *form)
{
    rising_ = check(this, "RisingRepeats",
                    QStringLiteral("R&ising repeats: each verse once, then twice, and so on up to "
                                   "\"Repeat every verse\""),
                    [this](bool on) { set(&ReciteSettings::risingRepeats, on); });
    form->addRow(rising_);
    QStringList pauses{QStringLiteral("None")};
    for (const int seconds : kSelectionPauses)
        if (seconds > 0)
            pauses.push_back(QStringLiteral("%1 seconds").arg(seconds));
    selectionPause_ = tableChoice(this, "SelectionPause", pauses, kSelectionPauses, [this](int seconds) {
        set(&ReciteSettings::selectionPauseSeconds, seconds);
    });
    form->addRow(QStringLiteral("&Pause between repetitions of the selection:"), selectionPause_);
    QStringList multiples;
    for (const double m : kLengthMultiples)
        multiples.push_back(times(m) + QStringLiteral(" the recording"));
    lengthMultiple_ = tableChoice(this, "LengthMultiple", multiples, kLengthMultiples,
                                  [this](double m) { set(&ReciteSettings::lengthMultiple, m); });
    lengthMultiple_->setToolTip(QStringLiteral("With \"Length of verse\" as the pause between verses"));
    form->addRow(QStringLiteral("\"&Length of verse\" pauses:"), lengthMultiple_);
}

// The built-in player's speed, and the text hidden for testing oneself.
void MemoriseWindow::createPlayerChoices(QFormLayout *form)
{
    QStringList speeds;
    for (const double s : kSpeeds)
        speeds.push_back(times(s));
    speed_ = tableChoice(this, "PlayerSpeed", speeds, kSpeeds,
                         [this](double speed) { set(&ReciteSettings::speed, speed); });
    form->addRow(QStringLiteral("&Speed of the program's own player:"), speed_);
    hide_ = check(this, "HideText",
                  QStringLiteral("&Hide the text: each verse shows once it has been recited, or when you "
                                 "click it"),
                  [this](bool on) { set(&ReciteSettings::hideText, on); });
    form->addRow(hide_);
}

void MemoriseWindow::showSettings(const ReciteSettings &settings, const std::vector<std::string> &reciters,
                                  const QString &recitersHint, bool speedApplies)
{
    settings_ = settings;
    {
        const QSignalBlocker blockers[] = {QSignalBlocker(reciter_),        QSignalBlocker(rising_),
                                           QSignalBlocker(selectionPause_), QSignalBlocker(lengthMultiple_),
                                           QSignalBlocker(speed_),          QSignalBlocker(hide_)};
        reciter_->clear();
        reciter_->addItem(QStringLiteral("The recordings beside the program"));
        for (const auto &name : reciters)
            reciter_->addItem(QString::fromStdString(name), QString::fromStdString(name));
        const int chosen = reciter_->findData(QString::fromStdString(settings.reciter));
        reciter_->setCurrentIndex(std::max(chosen, 0));
        rising_->setChecked(settings.risingRepeats);
        selectionPause_->setCurrentIndex(nearestRow(kSelectionPauses, settings.selectionPauseSeconds));
        lengthMultiple_->setCurrentIndex(nearestRow(kLengthMultiples, settings.lengthMultiple));
        speed_->setCurrentIndex(nearestRow(kSpeeds, settings.speed));
        hide_->setChecked(settings.hideText);
    }
    recitersHint_->setText(recitersHint);
    speed_->setEnabled(speedApplies);
    speed_->setToolTip(
        speedApplies ? QString() : QStringLiteral("The player named in the preferences keeps its own speed"));
    show();
    raise();
    activateWindow();
}

void MemoriseWindow::tell()
{
    changed_(settings_);
}

template <typename T> void MemoriseWindow::set(T ReciteSettings::*field, T value)
{
    settings_.*field = value;
    tell();
}

} // namespace velmora
