// The find-surah dialog: lists the surahs whose row holds a typed fragment.
#pragma once

#include "text/metadata.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

class Form4 : public QDialog
{
    Q_OBJECT

public:
    // surahList is the main window's surah list, searched and set by the dialog; mainSize places it.
    // goTo takes a division typed instead of a name ("juz 30", "page 604"): true once it is shown.
    using GoTo = std::function<bool(Division division, int number)>;
    Form4(QComboBox *surahList, QSize mainSize, GoTo goTo = {});

    void find();
    void openSelected();
    // Back to how the dialog opens: no fragment, no surahs found, at its first place.
    void reset();

private:
    QSize mainSize_;
    QComboBox *surahList_;
    GoTo goTo_;
    QLineEdit *nameBox_;       // Text1: the name typed
    QListWidget *matchList_;   // List1: the surahs it matches
    QPushButton *closeButton_; // Command1
    QPushButton *findButton_;  // Command2
};

} // namespace velmora
