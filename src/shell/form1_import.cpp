// The main window's "Import texts..." link, and what a start without the texts shows.

#include "shell/form1.h"

#include "core/pathname.h"
#include "import/texts.h"
#include "platform/paths.h"
#include "qtkit/qtkit.h"
#include "shell/importdialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include <algorithm>
#include <filesystem>

namespace velmora {

void Form1::createImportLink()
{
    importLink_ = makeLabel(this, "ImportLink", QStringLiteral("Import texts..."));
    importLink_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    qtkit::setTextColor(importLink_, 0, 0, 255);
    importLink_->setToolTip(QStringLiteral("Bring in texts and recordings downloaded from their publishers"));
}

void Form1::openImport()
{
    const std::string folder = platform::importFolder(state_.programFolder);
    if (folder.empty()) {
        dialogs_.tell(this, QStringLiteral("There is no data folder of your own to import texts into."));
        return;
    }
    ImportDialog dialog(this, dialogs_, folder);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // What was missing may be here now: each text is looked for again.
    quran_.reset();
    quranProblem_.clear();
    corpusWords_.reset();
    wordIndex_.reset();
    readInstalledTranslations();
    QStringList lines;
    for (const auto &line : dialog.taken())
        lines.push_back(QString::fromStdString(line));
    dialogs_.tell(this,
                  QStringLiteral("Imported into %1:\n\n%2")
                      .arg(QString::fromStdString(folder), lines.join(QLatin1Char('\n'))),
                  QMessageBox::Information);
    // The translations brought in are shown at once, after those chosen before.
    bool shown = false;
    for (const auto &id : dialog.translationIds())
        if (std::find(chosen_.begin(), chosen_.end(), id) == chosen_.end()) {
            toggleTranslation(id);
            shown = true;
        }
    if (!shown)
        translateButton_->click();
}

void Form1::explainMissingTexts()
{
    const platform::FolderIndex folders(state_.programFolder);
    QString items;
    for (const import::PublishedText &text : import::publishedTexts()) {
        QStringList missing;
        for (const auto &file : text.files) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(folders.resolve(file), ec))
                missing.push_back(QString::fromStdString(file));
        }
        if (!missing.isEmpty())
            items += QStringLiteral("<li><b>%1</b> (%2): from %3.</li>")
                         .arg(QString::fromStdString(text.what).toHtmlEscaped(),
                              missing.join(QStringLiteral(", ")).toHtmlEscaped(),
                              QString::fromStdString(text.where).toHtmlEscaped());
    }
    if (items.isEmpty())
        return;
    display_->setHtml(
        QStringLiteral("<h3>Some texts are not here yet</h3><p>Velmora shows texts as their publishers give "
                       "them; these are missing:</p><ul>%1</ul><p>Download them, then choose <b>Import "
                       "texts...</b> (above the surah list, on the right) and pick the files: each is "
                       "checked, and they are kept in %2. Recitation takes a reciter's per-verse "
                       "recordings (SSSAAA.mp3, as https://everyayah.com gives them) the same way.</p>"
                       "<p>The program looked in %3.</p>")
            .arg(items, QString::fromStdString(platform::importFolder(state_.programFolder)).toHtmlEscaped(),
                 QString::fromStdString(platform::dataFoldersText(state_.programFolder)).toHtmlEscaped()));
}

} // namespace velmora
