#include "bookmarkswindow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora {
namespace {

QString placeText(VersePlace p)
{
    return QStringLiteral("%1:%2").arg(p.surah).arg(p.aya);
}

} // namespace

BookmarksWindow::BookmarksWindow(QWidget *parent, Hooks hooks) : QDialog(parent), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("Bookmarks"));
    setWindowTitle(QStringLiteral("Bookmarks"));
    auto *layout = new QVBoxLayout(this);
    goOn_ = new QPushButton(this);
    goOn_->setObjectName(QStringLiteral("GoOn"));
    layout->addWidget(goOn_);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("BookmarkTree"));
    tree_->setHeaderHidden(true);
    layout->addWidget(tree_);
    auto *fields = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("BookmarkName"));
    collection_ = new QComboBox(this);
    collection_->setObjectName(QStringLiteral("Collection"));
    collection_->setEditable(true);
    fields->addRow(QStringLiteral("Name:"), name_);
    fields->addRow(QStringLiteral("Collection:"), collection_);
    layout->addLayout(fields);
    auto *buttons = new QGridLayout;
    // One table names, places and wires the buttons.
    const struct
    {
        const char *name;
        const char *caption;
        void (BookmarksWindow::*act)();
    } kButtons[] = {
        {"AddBookmark", "Bookmark the selected verse", &BookmarksWindow::addSelected},
        {"GoToBookmark", "Go to", &BookmarksWindow::goToChosen},
        {"RenameBookmark", "Rename", &BookmarksWindow::renameChosen},
        {"MoveBookmark", "Move to the collection", &BookmarksWindow::moveChosen},
        {"DeleteBookmark", "Delete", &BookmarksWindow::deleteChosen},
    };
    int i = 0;
    for (const auto &b : kButtons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QLatin1String(b.name));
        button->setAutoDefault(false);
        buttons->addWidget(button, i / 2, i % 2);
        connect(button, &QPushButton::clicked, this, b.act);
        ++i;
    }
    layout->addLayout(buttons);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &BookmarksWindow::goToChosen);
    connect(goOn_, &QPushButton::clicked, this, [this] {
        if (shown_.lastRead)
            hooks_.goTo(*shown_.lastRead);
    });
    resize(380, 420);
}

void BookmarksWindow::show(const Bookmarks &bookmarks)
{
    shown_ = bookmarks;
    const QString typed = collection_->currentText();
    tree_->clear();
    collection_->clear();
    for (const Collection &c : shown_.collections) {
        auto *top = new QTreeWidgetItem(tree_, {QString::fromStdString(c.name)});
        for (const Bookmark &b : c.marks)
            new QTreeWidgetItem(
                top, {placeText(b.place) +
                      (b.name.empty() ? QString() : QStringLiteral(" ") + QString::fromStdString(b.name))});
        collection_->addItem(QString::fromStdString(c.name));
    }
    tree_->expandAll();
    collection_->setEditText(typed.isEmpty() && collection_->count() > 0 ? collection_->itemText(0)
                             : typed.isEmpty()                           ? QStringLiteral("Bookmarks")
                                                                         : typed);
    goOn_->setVisible(shown_.lastRead.has_value());
    if (shown_.lastRead)
        goOn_->setText(QStringLiteral("Go on from %1, the last verse read").arg(placeText(*shown_.lastRead)));
    QDialog::show();
    raise();
}

std::optional<std::pair<int, int>> BookmarksWindow::chosen() const
{
    QTreeWidgetItem *item = tree_->currentItem();
    if (!item)
        return std::nullopt;
    if (QTreeWidgetItem *parent = item->parent())
        return std::pair(tree_->indexOfTopLevelItem(parent), parent->indexOfChild(item));
    return std::pair(tree_->indexOfTopLevelItem(item), -1);
}

void BookmarksWindow::addSelected()
{
    const auto verse = hooks_.selectedVerse();
    if (!verse)
        return; // the main window has said why
    const std::string collection = collection_->currentText().trimmed().toStdString();
    const std::string name = name_->text().trimmed().toStdString();
    hooks_.change([&](Bookmarks &b) {
        b.collection(collection.empty() ? "Bookmarks" : collection).marks.push_back({*verse, name});
    });
    name_->clear();
}

void BookmarksWindow::goToChosen()
{
    if (const auto at = chosen(); at && at->second >= 0)
        hooks_.goTo(shown_.collections[static_cast<std::size_t>(at->first)]
                        .marks[static_cast<std::size_t>(at->second)]
                        .place);
}

void BookmarksWindow::renameChosen()
{
    const auto at = chosen();
    const std::string name = name_->text().trimmed().toStdString();
    if (!at || (name.empty() && at->second < 0))
        return;
    const int c = at->first;  // the collection
    const int m = at->second; // its mark, -1 for the collection itself
    const Collection was = shown_.collections[static_cast<std::size_t>(c)];
    hooks_.change([&](Bookmarks &b) {
        // Found again by what it was: the file may have been read anew since it was shown.
        for (Collection &collection : b.collections) {
            if (collection.name != was.name)
                continue;
            if (m < 0)
                collection.name = name;
            else if (const auto mark = std::find(collection.marks.begin(), collection.marks.end(),
                                                 was.marks[static_cast<std::size_t>(m)]);
                     mark != collection.marks.end())
                mark->name = name;
            return;
        }
    });
    name_->clear();
}

void BookmarksWindow::moveChosen()
{
    const auto at = chosen();
    const std::string target = collection_->currentText().trimmed().toStdString();
    if (!at || at->second < 0 || target.empty())
        return;
    const Collection &from = shown_.collections[static_cast<std::size_t>(at->first)];
    const Bookmark mark = from.marks[static_cast<std::size_t>(at->second)];
    const std::string source = from.name;
    hooks_.change([&](Bookmarks &b) {
        Collection &old = b.collection(source);
        const auto found = std::find(old.marks.begin(), old.marks.end(), mark);
        if (found == old.marks.end())
            return;
        old.marks.erase(found);
        b.collection(target).marks.push_back(mark);
    });
}

void BookmarksWindow::deleteChosen()
{
    const auto at = chosen();
    if (!at)
        return;
    const Collection was = shown_.collections[static_cast<std::size_t>(at->first)];
    const int m = at->second;
    hooks_.change([&](Bookmarks &b) {
        const auto collection = std::find_if(b.collections.begin(), b.collections.end(),
                                             [&](const Collection &c) { return c.name == was.name; });
        if (collection == b.collections.end())
            return;
        if (m < 0)
            b.collections.erase(collection);
        else
            std::erase(collection->marks, was.marks[static_cast<std::size_t>(m)]);
    });
}

} // namespace velmora
