// The find-surah dialog: lists the surahs whose row holds a typed fragment.
#pragma once

#include <QDialog>

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
    Form4(QComboBox *surahList, QSize mainSize);

    void find();
    void openSelected();
    // Back to how the dialog opens: no fragment, no surahs found, at its first place.
    void reset();

private:
    QSize mainSize_;
    QComboBox *surahList_;
    QLineEdit *text1_;
    QListWidget *list1_;
    QPushButton *command1_;
    QPushButton *command2_;
};

} // namespace velmora
