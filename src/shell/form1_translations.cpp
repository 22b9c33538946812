// The main window's installed translations: the "Languages..." link, its menu, and adding and
// removing Tanzil's files.

#include "shell/form1.h"

#include "core/pathname.h"
#include "core/safefile.h"
#include "import/import.h"
#include "platform/paths.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace velmora {

namespace {

QString captionOf(const TanzilDescription &d)
{
    QString caption = QString::fromStdString(d.language.empty() ? d.id : d.language);
    if (!d.name.empty())
        caption += QStringLiteral(": ") + QString::fromStdString(d.name);
    if (!d.translator.empty() && d.translator != d.name)
        caption += QStringLiteral(" (") + QString::fromStdString(d.translator) + QStringLiteral(")");
    return caption;
}

} // namespace

void Form1::createTranslationsLink(QWidget *frame)
{
    translationsLink_ = makeLabel(frame, "TranslationsLink", QStringLiteral("Languages..."));
    translationsLink_->setFont(qtkit::formFont(8.25));
    qtkit::setTextColor(translationsLink_, 0, 0, 255);
    translationsLink_->setToolTip(QStringLiteral("Translations in other languages, from tanzil.net"));
}

void Form1::readInstalledTranslations()
{
    installed_ = installedTranslations(state_.programFolder);
    translationTexts_.clear();
}

std::vector<const InstalledTranslation *> Form1::chosenTranslations()
{
    std::vector<const InstalledTranslation *> chosen;
    for (const auto &id : chosen_) {
        const InstalledTranslation *t = translationWithId(installed_, id);
        if (!t)
            continue;
        auto &text = translationTexts_[id];
        if (!text)
            text = QuranText::open(t->file);
        if (text)
            chosen.push_back(t);
    }
    return chosen;
}

void Form1::showTranslationsMenu()
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("TranslationsMenu"));
    for (const auto &t : installed_) {
        QAction *tick = menu.addAction(captionOf(t.description));
        tick->setCheckable(true);
        tick->setChecked(std::find(chosen_.begin(), chosen_.end(), t.description.id) != chosen_.end());
        const std::string id = t.description.id;
        connect(tick, &QAction::triggered, this, [this, id] { toggleTranslation(id); });
    }
    if (installed_.empty())
        menu.addAction(QStringLiteral("No translation is installed yet"))->setEnabled(false);
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("Add translation...")), &QAction::triggered, this,
            &Form1::addTranslations);
    const std::string own = platform::userDataFolder();
    QMenu *remove = menu.addMenu(QStringLiteral("Remove translation"));
    for (const auto &t : installed_)
        if (!own.empty() && utf8Of(t.file).starts_with(own)) {
            const InstalledTranslation translation = t;
            connect(remove->addAction(captionOf(t.description)), &QAction::triggered, this,
                    [this, translation] { removeTranslation(translation); });
        }
    remove->setEnabled(!remove->isEmpty());
    menu.exec(translationsLink_->mapToGlobal(QPoint(0, translationsLink_->height())));
}

void Form1::toggleTranslation(const std::string &id)
{
    // A translation ticked goes after those ticked before it.
    if (const auto it = std::find(chosen_.begin(), chosen_.end(), id); it != chosen_.end())
        chosen_.erase(it);
    else
        chosen_.push_back(id);
    if (!state_.tempFolder.empty() &&
        !writeChosenTranslations(pathFromUtf8(state_.tempFolder) / kChosenTranslationsFile, chosen_))
        dialogs_.tell(this, QStringLiteral("Your choice of translations could not be saved to %1.")
                                .arg(QString::fromStdString(state_.tempFolder + kChosenTranslationsFile)));
    translateButton_->click();
}

void Form1::addTranslations()
{
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Add translation"), QString(),
                                      QStringLiteral("Translations from tanzil.net (*.txt);;All files (*)"));
    if (files.isEmpty())
        return;
    const std::string own = platform::importFolder(state_.programFolder);
    if (own.empty()) {
        dialogs_.tell(this, QStringLiteral("There is no data folder of your own to keep translations in."));
        return;
    }
    // All or none, as the importer takes them.
    std::vector<std::string> inputs;
    for (const QString &file : files)
        inputs.push_back(file.toStdString());
    const import::TanzilImports done = import::importTanzilTranslations(pathFromUtf8(own), inputs);
    if (!done.input.empty()) {
        dialogs_.tell(this, QStringLiteral("%1 cannot be taken: %2. No translation was added.")
                                .arg(QString::fromStdString(done.input), QString::fromStdString(done.error)));
        return;
    }
    if (!done.error.empty()) {
        dialogs_.tell(
            this, QStringLiteral("No translation was added: %1.").arg(QString::fromStdString(done.error)));
        return;
    }
    readInstalledTranslations();
    // What was added is shown at once.
    for (const auto &t : done.taken)
        if (std::find(chosen_.begin(), chosen_.end(), t.description.id) == chosen_.end())
            toggleTranslation(t.description.id);
}

void Form1::removeTranslation(const InstalledTranslation &translation)
{
    const auto answer = dialogs_.ask(this,
                                     QStringLiteral("Remove the translation %1 from %2?")
                                         .arg(captionOf(translation.description),
                                              QString::fromStdString(utf8Of(translation.file.parent_path()))),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
    if (answer != QMessageBox::Yes)
        return;
    std::error_code ec;
    std::filesystem::remove(translation.file, ec);
    if (ec) {
        dialogs_.tell(
            this,
            QStringLiteral("%1 could not be removed.").arg(QString::fromStdString(utf8Of(translation.file))));
        return;
    }
    readInstalledTranslations();
    translateButton_->click();
}

} // namespace velmora
