// The search window's installed translations and the reader's notes: a source each, searched folded
// as its script asks, its hits shown in its direction with the search words marked.

#include "shell/form3.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "platform/paths.h"
#include "search/textfold.h"
#include "shell/form1.h"
#include "text/notes.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextCursor>

namespace velmora {

namespace {

// A word in capitals as its language writes them: Turkish and Azerbaijani i's capital is İ and ı's
// is I, by hand, since not every Qt maps case by language.
QString capitals(QString word, const std::string &language)
{
    if (language == "Turkish" || language == "Azerbaijani") {
        word.replace(QChar(u'i'), QChar(0x0130));
        word.replace(QChar(0x0131), QChar(u'I'));
    }
    return word.toUpper();
}

} // namespace

void Form3::createTranslationList(QWidget *frame)
{
    installed_ = installedTranslations(state_.programFolder);
    translationList_ = qtkit::make<QComboBox>(frame, "TranslationList");
    translationList_->setFont(qtkit::formFont(8.25));
    translationList_->addItem(installed_.empty() ? QStringLiteral("No other language installed")
                                                 : QStringLiteral("Other languages..."));
    for (const auto &t : installed_)
        translationList_->addItem(
            QString::fromStdString(t.description.language + ": " +
                                   (t.description.name.empty() ? t.description.id : t.description.name)));
    translationList_->addItem(QStringLiteral("My notes"));
    translationList_->setToolTip(
        QStringLiteral("Translations from tanzil.net, as added in the main window, and your own notes"));
    connect(translationList_, &QComboBox::currentIndexChanged, this, &Form3::translationChosen);
}

void Form3::translationChosen(int row)
{
    if (row <= 0 || loading_)
        return;
    // None of the option buttons stands for the source now.
    for (QRadioButton *option : sourceButtons_) {
        const QSignalBlocker blocker(option);
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    state_.currentSource = chosenSource();
    searchButton_->click();
}

const InstalledTranslation *Form3::chosenTranslation() const
{
    const int row = translationList_ ? translationList_->currentIndex() : 0;
    return row > 0 && static_cast<std::size_t>(row) <= installed_.size()
               ? &installed_[static_cast<std::size_t>(row) - 1]
               : nullptr;
}

const ArabicIndex *Form3::translationIndex(const InstalledTranslation &translation)
{
    FoldedText &folded = translationTexts_[translation.description.id];
    if (!folded.index) {
        std::string problem;
        folded.text = QuranText::open(translation.file, &problem);
        if (!folded.text) {
            dialogs_.tell(this, QStringLiteral("The translation %1 cannot be searched: it %2.")
                                    .arg(QString::fromStdString(utf8Of(translation.file)),
                                         QString::fromStdString(problem)));
            return nullptr;
        }
        folded.index.emplace(*folded.text, foldFor(translation.description.language));
    }
    return &*folded.index;
}

bool Form3::notesChosen() const
{
    return translationList_ && translationList_->currentIndex() == static_cast<int>(installed_.size()) + 1;
}

void Form3::readNotes()
{
    searchedNotes_ = notesOf_ ? notesOf_() : std::map<VersePlace, std::string>();
    notesText_.index.reset(); // before the text it points into
    notesText_.text = QuranText::fromText(notesAsVerseLines(searchedNotes_));
    if (notesText_.text)
        notesText_.index.emplace(*notesText_.text, appendMixedFolded);
}

const ArabicIndex *Form3::chosenFoldedIndex()
{
    if (notesChosen())
        return notesText_.index ? &*notesText_.index : nullptr;
    const InstalledTranslation *translation = chosenTranslation();
    return translation ? translationIndex(*translation) : nullptr;
}

void Form3::searchInstalledTranslation(const QString &query)
{
    if (notesChosen())
        readNotes();
    const ArabicIndex *index = chosenFoldedIndex();
    if (!index) {
        setCountText(QStringLiteral("0 items found"));
        return;
    }
    const ArabicOutcome outcome = runArabicQuery(*index, query.toStdString(), translationWords_);
    listVerseHits(outcome, [&](std::size_t v) {
        const QuranText::Verse &verse = index->text()->verses()[v];
        return QString::fromStdString(ThreeDigits(verse.surah) + "." + std::to_string(verse.aya) + ") ") +
               QString::fromUtf8(verse.text);
    });
}

void Form3::showInstalledVerse(std::size_t verse)
{
    const InstalledTranslation *translation = chosenTranslation();
    const ArabicIndex *index = chosenFoldedIndex();
    if (!index || verse >= index->size())
        return;
    shownTranslationVerse_ = verse;
    const QuranText::Verse &shown = index->text()->verses()[verse];
    if (shown.surah >= 1 && shown.surah <= surahList_->count())
        setHeading(QStringLiteral("Surah: ") + surahList_->itemText(shown.surah - 1));

    // The verse in its direction; the search words in capitals where the script has them, and in
    // colour and weight in every script.
    // A note is shown as it was written, its lines kept, in the direction its first letter takes.
    const std::string language = translation ? translation->description.language : std::string();
    const auto note = searchedNotes_.find({shown.surah, shown.aya});
    const std::string_view text =
        translation || note == searchedNotes_.end() ? shown.text : std::string_view(note->second);
    const bool rightToLeft =
        translation ? isRightToLeftLanguage(language) : QString::fromUtf8(text).isRightToLeft();
    recordView_->clear();
    qtkit::setTextDirection(recordView_, rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    QTextCharFormat plain;
    plain.setFont(qtkit::fontForLanguage(recordView_->font(), language));
    QTextCharFormat mark = plain;
    mark.setForeground(QColor(192, 0, 0));
    mark.setFontWeight(QFont::Bold);
    QTextCursor cursor(recordView_->document());
    cursor.insertText(
        QString::fromStdString(ThreeDigits(shown.surah) + "." + std::to_string(shown.aya) + ") "), plain);
    std::size_t at = 0;
    for (const auto &[begin, end] : foldedMatches(index->fold(), text, translationWords_)) {
        cursor.insertText(QString::fromUtf8(text.substr(at, begin - at)), plain);
        const QString word = QString::fromUtf8(text.substr(begin, end - begin));
        cursor.insertText(capitals(word, language), mark);
        at = end;
    }
    cursor.insertText(QString::fromUtf8(text.substr(at)), plain);
    stepLinks_[0]->setEnabled(verse > 0);
    stepLinks_[1]->setEnabled(verse + 1 < index->size());
}

void Form3::stepInstalled(int index)
{
    if (index == 0 && shownTranslationVerse_ > 0)
        showInstalledVerse(shownTranslationVerse_ - 1);
    else if (index == 1)
        showInstalledVerse(shownTranslationVerse_ + 1);
    showStepLinks();
}

void Form3::reciteInstalledVerse()
{
    const ArabicIndex *index = chosenFoldedIndex();
    if (!index || shownTranslationVerse_ >= index->size())
        return;
    const QuranText::Verse &verse = index->text()->verses()[shownTranslationVerse_];
    reciteVerse_(verse.surah, verse.surah == 1 ? verse.aya - 1 : verse.aya);
}

} // namespace velmora
