// "Import texts...": the files a reader downloaded from the texts' publishers and a reciter's folder
// of recordings, chosen in file dialogs, checked all together and written all or none into the
// reader's own data folder.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

namespace qtkit {
class Dialogs;
}

class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    ImportDialog(QWidget *parent, qtkit::Dialogs &dialogs, std::string dataFolder);
    // What the import brought in, a line an input; empty until it has run.
    const std::vector<std::string> &taken() const { return taken_; }
    // The IDs of the translations it kept as published ("ur.jalandhry").
    const std::vector<std::string> &translationIds() const { return translationIds_; }

private:
    void createChoices();
    void addFiles();
    void addRecordings();
    void removeChosen();
    void showChosen();
    void importChosen();

    qtkit::Dialogs &dialogs_;
    std::string dataFolder_;
    std::vector<std::string> files_;
    std::string recordings_;
    std::vector<std::string> taken_;
    std::vector<std::string> translationIds_;
    QListWidget *list_ = nullptr;
    QLineEdit *reciter_ = nullptr;
    QPushButton *import_ = nullptr;
    QPushButton *remove_ = nullptr;
};

} // namespace velmora
