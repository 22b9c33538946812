// The reader's bookmarks: collections of named verses, to add the selected verse to, go back to,
// rename, move and delete, and the last verse read to go on from.
#pragma once

#include "text/bookmarks.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace velmora {

class BookmarksWindow : public QDialog
{
    Q_OBJECT

public:
    struct Hooks
    {
        std::function<std::optional<VersePlace>()> selectedVerse; // the main window's, if one
        std::function<void(VersePlace)> goTo;
        std::function<void(const std::function<void(Bookmarks &)> &)> change; // writes the file
    };
    BookmarksWindow(QWidget *parent, Hooks hooks);
    void show(const Bookmarks &bookmarks);

private:
    void addSelected();
    void goToChosen();
    void renameChosen();
    void moveChosen();
    void deleteChosen();
    // The chosen item: its collection's index and its bookmark's (-1 for the collection itself).
    std::optional<std::pair<int, int>> chosen() const;

    Hooks hooks_;
    Bookmarks shown_;
    QTreeWidget *tree_ = nullptr;
    QLineEdit *name_ = nullptr;
    QComboBox *collection_ = nullptr;
    QPushButton *goOn_ = nullptr;
};

} // namespace velmora
