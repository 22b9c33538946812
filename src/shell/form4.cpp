#include "form4.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/textfield.h"
#include "qtkit/qtkit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmora {

using qtkit::px;

namespace {

constexpr int kWidth = 4680;
constexpr int kHeight = 3150;

// Where each control stands, in twips within its parent, as the form was designed.
// clang-format off
constexpr qtkit::Placement kLayout[] = {
    {"Label1_0",   210,   240,  2370,   195},
    {"Text1",     3210,   180,  1245,   315},
    {"List1",      180,   630,  4305,  1815},
    {"Label1_1",   180,  2580,  1950,   375},
    {"Command1",  2430,  2670,   900,   375},
    {"Command2",  3480,  2670,  1000,   375},
};
// clang-format on

} // namespace

Form4::Form4(QComboBox *surahList, QSize mainSize, GoTo goTo)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      mainSize_(mainSize), surahList_(surahList), goTo_(std::move(goTo))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Search Results"));
    setWindowIcon(qtkit::programIcon());
    setModal(false);
    setFont(qtkit::formFont(8.25));
    setFixedSize(px(kWidth), px(kHeight));

    auto *label0 =
        qtkit::make<QLabel>(this, "Label1_0", QStringLiteral("Enter partial name of surah to find"));
    qtkit::setTextColor(label0, 192, 64, 0);
    nameBox_ = qtkit::make<QLineEdit>(this, "Text1");
    matchList_ = qtkit::make<QListWidget>(this, "List1");
    auto *label1 =
        qtkit::make<QLabel>(this, "Label1_1", QStringLiteral("Double-click in the list to open that surah"));
    label1->setWordWrap(true);
    label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    qtkit::setTextColor(label1, 0, 0, 255);
    closeButton_ = qtkit::make<QPushButton>(this, "Command1", QStringLiteral("Close"));
    closeButton_->setAutoDefault(false);
    findButton_ = qtkit::make<QPushButton>(this, "Command2", QStringLiteral("Find"));
    findButton_->setDefault(true);

    qtkit::placeControls(this, kLayout);
    setTabOrder(nameBox_, matchList_);
    setTabOrder(matchList_, findButton_);
    setTabOrder(findButton_, closeButton_);
    qtkit::widenClippedLabels(this);

    connect(findButton_, &QPushButton::clicked, this, &Form4::find);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    connect(matchList_, &QListWidget::itemDoubleClicked, this, &Form4::openSelected);
    reset();
}

void Form4::reset()
{
    nameBox_->clear();
    matchList_->clear();
    nameBox_->setFocus();
    // Placed from the two windows' sizes alone, over the main window when that sits top left.
    move((mainSize_.width() - width()) / 2, (mainSize_.height() - height()) / 2 + px(1000));
}

void Form4::find()
{
    matchList_->clear();
    // A division typed instead of a name goes there at once.
    if (const auto division = divisionTyped(nameBox_->text().toStdString()); division && goTo_) {
        if (goTo_(division->first, division->second))
            close();
        return;
    }
    const std::string query = ansi::upper(qtkit::toAnsi(nameBox_->text()));
    if (query.empty())
        return;
    for (int row = 0; row < kSurahCount && row < surahList_->count(); ++row) {
        const QString entry = surahList_->itemText(row);
        if (ansi::upper(qtkit::toAnsi(entry)).find(query) != std::string::npos)
            matchList_->addItem(entry);
    }
}

void Form4::openSelected()
{
    const QListWidgetItem *item = matchList_->currentItem();
    if (!item)
        return;
    const int number = intInText(qtkit::toAnsi(item->text().left(3)));
    if (number >= 1 && number <= kSurahCount)
        surahList_->setCurrentIndex(number - 1);
    close();
}

} // namespace velmora
