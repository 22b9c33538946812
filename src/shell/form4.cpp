#include "form4.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/textfield.h"
#include "platform/qtkit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmora {

using qtkit::px;
using qtkit::twipsRect;

namespace {

constexpr int kWidth = 4680;
constexpr int kHeight = 3150;

} // namespace

Form4::Form4(QComboBox *surahList, QSize mainSize)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      mainSize_(mainSize), surahList_(surahList)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Search Results"));
    setWindowIcon(qtkit::programIcon());
    setModal(false);
    setFont(qtkit::designFont(QStringLiteral("MS Sans Serif"), 8.25));
    setFixedSize(px(kWidth), px(kHeight));

    auto *label0 = new QLabel(QStringLiteral("Enter partial name of surah to find"), this);
    label0->setObjectName(QStringLiteral("Label1_0"));
    label0->setGeometry(twipsRect(210, 240, 2370, 195));
    qtkit::setTextColor(label0, 192, 64, 0);
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(twipsRect(3210, 180, 1245, 315));
    list1_ = new QListWidget(this);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setGeometry(twipsRect(180, 630, 4305, 1815));
    auto *label1 = new QLabel(QStringLiteral("Double-click in the list to open that surah"), this);
    label1->setObjectName(QStringLiteral("Label1_1"));
    label1->setGeometry(twipsRect(180, 2580, 1950, 375));
    label1->setWordWrap(true);
    label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    qtkit::setTextColor(label1, 0, 0, 255);
    command1_ = new QPushButton(QStringLiteral("Close"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(twipsRect(2430, 2670, 900, 375));
    command1_->setAutoDefault(false);
    command2_ = new QPushButton(QStringLiteral("Find"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setGeometry(twipsRect(3480, 2670, 1000, 375));
    command2_->setDefault(true);

    setTabOrder(text1_, list1_);
    setTabOrder(list1_, command2_);
    setTabOrder(command2_, command1_);
    qtkit::widenClippedLabels(this);

    connect(command2_, &QPushButton::clicked, this, &Form4::find);
    connect(command1_, &QPushButton::clicked, this, &QDialog::close);
    connect(list1_, &QListWidget::itemDoubleClicked, this, &Form4::openSelected);
    reset();
}

void Form4::reset()
{
    text1_->clear();
    list1_->clear();
    text1_->setFocus();
    // Placed from the two windows' sizes alone, over the main window when that sits top left.
    move((mainSize_.width() - width()) / 2, (mainSize_.height() - height()) / 2 + px(1000));
}

void Form4::find()
{
    list1_->clear();
    const std::string query = ansi::upper(qtkit::toAnsi(text1_->text()));
    if (query.empty())
        return;
    for (int row = 0; row < kSurahCount && row < surahList_->count(); ++row) {
        const QString entry = surahList_->itemText(row);
        if (ansi::upper(qtkit::toAnsi(entry)).find(query) != std::string::npos)
            list1_->addItem(entry);
    }
}

void Form4::openSelected()
{
    const QListWidgetItem *item = list1_->currentItem();
    if (!item)
        return;
    const int number = intInText(qtkit::toAnsi(item->text().left(3)));
    if (number >= 1 && number <= kSurahCount)
        surahList_->setCurrentIndex(number - 1);
    close();
}

} // namespace velmora
