#include "shell/importdialog.h"

#include "core/pathname.h"
#include "import/texts.h"
#include "qtkit/qtkit.h"
#include "recite/memorise.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

ImportDialog::ImportDialog(QWidget *parent, qtkit::Dialogs &dialogs, std::string dataFolder)
    : QDialog(parent), dialogs_(dialogs), dataFolder_(std::move(dataFolder))
{
    setObjectName(QStringLiteral("ImportTexts"));
    setWindowTitle(QStringLiteral("Import texts"));
    createChoices();
    showChosen();
}

void ImportDialog::createChoices()
{
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        QStringLiteral("Choose the files you downloaded from the texts' publishers: Tanzil's Quran texts and "
                       "translations, the Quranic Arabic Corpus's files, hadith collections as JSON; and, to "
                       "recite, a reciter's folder of per-verse recordings. Every file is checked before "
                       "any is written, and when one is refused none is. They go into %1.")
            .arg(QString::fromStdString(dataFolder_)),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ImportList"));
    layout->addWidget(list_);

    auto *row = new QHBoxLayout;
    const struct
    {
        const char *name;
        const char *caption;
        void (ImportDialog::*run)();
    } buttons[] = {
        {"AddFiles", "Add files...", &ImportDialog::addFiles},
        {"AddRecordings", "Add recordings folder...", &ImportDialog::addRecordings},
        {"RemoveInput", "Remove", &ImportDialog::removeChosen},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QLatin1String(b.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.run);
        row->addWidget(button);
        if (b.run == &ImportDialog::removeChosen)
            remove_ = button;
    }
    layout->addLayout(row);

    reciter_ = new QLineEdit(this);
    reciter_->setObjectName(QStringLiteral("ImportReciter"));
    reciter_->setPlaceholderText(
        QStringLiteral("The reciter's name, to keep beside other reciters (optional)"));
    layout->addWidget(reciter_);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    import_ = box->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    import_->setObjectName(QStringLiteral("ImportButton"));
    connect(import_, &QPushButton::clicked, this, &ImportDialog::importChosen);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    resize(560, 360);
}

void ImportDialog::addFiles()
{
    QFileDialog dialog(this, QStringLiteral("Add files"));
    dialog.setObjectName(QStringLiteral("ImportFiles"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(
        {QStringLiteral("Published texts (*.txt *.json)"), QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const QString &file : dialog.selectedFiles())
        if (std::find(files_.begin(), files_.end(), file.toStdString()) == files_.end())
            files_.push_back(file.toStdString());
    showChosen();
}

void ImportDialog::addRecordings()
{
    QFileDialog dialog(this, QStringLiteral("Add a reciter's recordings"));
    dialog.setObjectName(QStringLiteral("ImportRecordings"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    recordings_ = dialog.selectedFiles().front().toStdString();
    showChosen();
}

void ImportDialog::removeChosen()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    if (static_cast<std::size_t>(row) < files_.size())
        files_.erase(files_.begin() + row);
    else
        recordings_.clear();
    showChosen();
}

void ImportDialog::showChosen()
{
    list_->clear();
    for (const auto &file : files_)
        list_->addItem(QString::fromStdString(file));
    if (!recordings_.empty())
        list_->addItem(QStringLiteral("Recordings: ") + QString::fromStdString(recordings_));
    reciter_->setEnabled(!recordings_.empty());
    import_->setEnabled(list_->count() > 0);
    remove_->setEnabled(list_->count() > 0);
}

void ImportDialog::importChosen()
{
    const std::string reciter = reciter_->text().trimmed().toStdString();
    if (!recordings_.empty() && !reciter.empty() && !isReciterName(reciter)) {
        dialogs_.tell(this, QStringLiteral("A reciter's name is the name of a folder: at most 64 bytes, "
                                           "without \\ / : * ? \" < > |, a leading dot or a trailing "
                                           "blank or dot."));
        return;
    }
    import::TextInputs inputs;
    for (const auto &file : files_)
        inputs.files.push_back(pathFromUtf8(file));
    inputs.recordings = pathFromUtf8(recordings_);
    inputs.reciter = recordings_.empty() ? std::string() : reciter;
    const qtkit::BusyCursor busy;
    const import::TextPlan plan = import::planTexts(inputs, import::silenceMp3);
    if (!plan.error.empty()) {
        dialogs_.tell(this, QStringLiteral("%1 cannot be taken: %2.\n\nNothing was written.")
                                .arg(QString::fromStdString(plan.input), QString::fromStdString(plan.error)));
        return;
    }
    const std::filesystem::path folder = pathFromUtf8(dataFolder_);
    const std::filesystem::path recordings =
        inputs.reciter.empty() ? folder : folder / kRecitersFolder / pathFromUtf8(inputs.reciter);
    if (const std::string problem = import::writeTexts(folder, recordings, plan); !problem.empty()) {
        dialogs_.tell(this, QStringLiteral("The import failed: %1.").arg(QString::fromStdString(problem)));
        return;
    }
    taken_ = plan.taken;
    for (const auto &file : plan.translationFiles)
        translationIds_.push_back(file.name.substr(0, file.name.size() - 4)); // less ".txt"
    accept();
}

} // namespace velmora
