// The main window's place in the mushaf: the juz and page of the verses shown, named above the
// verse list, going to a juz, hizb quarter or page, and the reader's notes on verses.

#include "shell/form1.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "platform/paths.h"
#include "shell/bookmarkswindow.h"
#include "shell/noteeditor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace velmora {

const QuranMetadata *Form1::metadata()
{
    if (!metadataRead_) {
        metadataRead_ = true;
        const auto file = platform::resolveDataFile(state_.programFolder, kMetadataFile);
        std::string problem;
        metadata_ = QuranMetadata::open(file, &problem);
        if (!metadata_ && problem != troubleWords(FileTrouble::Missing))
            dialogs_.tell(this, QStringLiteral("The Quran's metadata %1 in %2 cannot be read: it %3.")
                                    .arg(QLatin1String(kMetadataFile),
                                         QString::fromStdString(utf8Of(file.parent_path())),
                                         QString::fromStdString(problem)));
    }
    return metadata_ ? &*metadata_ : nullptr;
}

void Form1::showPlace(int surah, int entry)
{
    const QuranMetadata *divisions = metadata();
    const SurahFacts *facts = divisions ? divisions->surah(surah) : nullptr;
    if (!facts) {
        placeLabel_->clear();
        return;
    }
    // Entry 0 of a surah other than the first is the invocation: its place is the first verse's.
    const VersePlace verse{surah, std::max(1, QuranText::ayaOfEntry(surah, entry))};
    const auto number = [&](Division d) { return divisions->divisionOf(d, verse); };
    placeLabel_->setText(QStringLiteral("Juz %1, page %2 \u2014 %3")
                             .arg(number(Division::Juz))
                             .arg(number(Division::Page))
                             .arg(QString::fromStdString(facts->arabicName)));
    placeLabel_->setToolTip(QStringLiteral("%1 (%2), %3, %4 verses: verse %5 is in juz %6, hizb quarter %7, "
                                           "manzil %8, ruku %9, page %10 (Tanzil's metadata)")
                                .arg(QString::fromStdString(facts->name),
                                     QString::fromStdString(facts->englishName),
                                     QString::fromStdString(facts->type))
                                .arg(facts->verses)
                                .arg(verse.aya)
                                .arg(number(Division::Juz))
                                .arg(number(Division::HizbQuarter))
                                .arg(number(Division::Manzil))
                                .arg(number(Division::Ruku))
                                .arg(number(Division::Page)));
}

bool Form1::goToDivision(Division division, int number)
{
    const QuranMetadata *divisions = metadata();
    if (!divisions) {
        dialogs_.tell(
            this, QStringLiteral("The Quran's metadata %1 is not in %2, so the program cannot go to a %3.")
                      .arg(QLatin1String(kMetadataFile), QString::fromStdString(state_.programFolder),
                           QString::fromUtf8(divisionName(division))));
        return false;
    }
    const auto range = divisions->rangeOf(division, number);
    if (!range) {
        dialogs_.tell(this, QStringLiteral("There is no %1 %2: they are numbered 1 to %3.")
                                .arg(QString::fromUtf8(divisionName(division)))
                                .arg(number)
                                .arg(divisions->count(division)));
        return false;
    }
    // As a reader selects it: the surah, then the division's first verse in the list, then the range
    // to its last verse there (or the surah's last, when it runs on into the next surah).
    const auto [first, last] = *range;
    const auto entryOf = [](VersePlace v) { return v.surah == 1 ? v.aya - 1 : v.aya; };
    surahList_->setCurrentIndex(first.surah - 1);
    const int from = entryOf(first);
    const int to = last.surah == first.surah ? entryOf(last) : verseList_->count() - 1;
    verseList_->setCurrentRow(from);
    toVerseList_->setCurrentIndex(std::min(to, toVerseList_->count() - 1));
    translateButton_->click();
    return true;
}

QString Form1::citation()
{
    const int surah = surahList_->currentIndex() + 1;
    if (surahList_->currentText() == QLatin1String(kSupplicationRow))
        return {};
    // The verses shown, the invocation aside; the surah's name as Tanzil spells it, where known.
    const int from = std::max(1, QuranText::ayaOfEntry(surah, fromVerseList_->currentIndex()));
    const int to = std::max(from, QuranText::ayaOfEntry(surah, toVerseList_->currentIndex()));
    const QuranMetadata *divisions = metadata();
    const SurahFacts *facts = divisions ? divisions->surah(surah) : nullptr;
    const QString name = facts && !facts->name.empty() ? QString::fromStdString(facts->name)
                                                       : surahList_->currentText().mid(4);
    QString place = QStringLiteral("%1 %2:%3").arg(name).arg(surah).arg(from);
    if (to > from)
        place += QStringLiteral("-%1").arg(to);
    QStringList sources;
    for (const std::size_t box : {kArabicBox, std::size_t{2}, std::size_t{0}, std::size_t{1}, std::size_t{3}})
        if (textBoxes_[box]->isChecked())
            sources.push_back(textBoxes_[box]->text());
    for (const InstalledTranslation *t : chosenTranslations())
        sources.push_back(
            QString::fromStdString(t->description.name.empty() ? t->description.id : t->description.name));
    return QStringLiteral("(%1%2)").arg(
        place, sources.isEmpty() ? QString() : QStringLiteral(", ") + sources.join(QStringLiteral(", ")));
}

void Form1::copyWithCitation()
{
    const QTextCursor selection = display_->textCursor();
    QString text = selection.hasSelection() ? selection.selectedText() : display_->toPlainText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const QString cited = citation();
    QGuiApplication::clipboard()->setText(cited.isEmpty() ? text : text + QLatin1Char('\n') + cited);
}

NoteEditor *Form1::noteEditor() const
{
    return noteEditor_.data();
}

NotesFile *Form1::notes()
{
    if (!notes_ && !state_.tempFolder.empty()) {
        notes_.emplace(pathFromUtf8(state_.tempFolder + kNotesFileName), [this](int surah) {
            const QuranMetadata *divisions = metadata();
            const SurahFacts *facts = divisions ? divisions->surah(surah) : nullptr;
            return facts ? facts->name : std::string();
        });
        tellNotesKeptAside(notes_->read());
    }
    return notes_ ? &*notes_ : nullptr;
}

void Form1::tellNotesKeptAside(const NotesFile::Outcome &read)
{
    if (!read.keptAside.empty())
        dialogs_.tell(this, QStringLiteral("Part of your notes file %1 could not be read as notes on verses. "
                                           "The whole file as it was is kept in %2; the program keeps the "
                                           "notes it could read.")
                                .arg(QString::fromStdString(state_.tempFolder + kNotesFileName),
                                     QString::fromStdString(utf8Of(read.keptAside))));
}

std::map<VersePlace, std::string> Form1::currentNotes()
{
    NotesFile *file = notes();
    if (!file)
        return {};
    const NotesFile::Outcome read = file->refresh(); // the reader may have edited the file meanwhile
    tellNotesKeptAside(read);
    if (read.changedOutside)
        markNotedVerses();
    return file->notes();
}

std::optional<VersePlace> Form1::selectedVerse() const
{
    const int surah = surahList_->currentIndex() + 1;
    const int entry = verseList_->currentRow();
    if (surahList_->currentText() == QLatin1String(kSupplicationRow) || entry < 0 ||
        (surah != 1 && entry == 0))
        return std::nullopt; // no verse chosen, or the invocation
    return VersePlace{surah, QuranText::ayaOfEntry(surah, entry)};
}

void Form1::openNote()
{
    const auto verse = selectedVerse();
    if (!verse) {
        dialogs_.tell(this, QStringLiteral("Please choose a verse in the list to write a note on it."));
        return;
    }
    NotesFile *file = notes();
    if (!file) {
        haveTempFolder(state_, dialogs_, this, true);
        return;
    }
    if (!noteEditor_) {
        noteEditor_ =
            new NoteEditor(this, [this](VersePlace v, const std::string &text) { saveNote(v, text); });
        qtkit::moveBeside(noteEditor_, this); // beside the verse, not over it
    }
    QString heading = QStringLiteral("Note on %1:%2").arg(verse->surah).arg(verse->aya);
    if (const QuranMetadata *divisions = metadata(); divisions && divisions->surah(verse->surah))
        heading += QStringLiteral(" ") + QString::fromStdString(divisions->surah(verse->surah)->name);
    noteEditor_->edit(*verse, heading, file->noteOn(*verse),
                      QStringLiteral("Kept as you type in %1")
                          .arg(QString::fromStdString(state_.tempFolder + kNotesFileName)));
}

void Form1::saveNote(VersePlace verse, const std::string &text)
{
    NotesFile *file = notes();
    if (!file)
        return;
    const bool had = !file->noteOn(verse).empty();
    const NotesFile::Outcome saved = file->set(verse, text);
    const QString path = QString::fromStdString(state_.tempFolder + kNotesFileName);
    if (!saved.written)
        dialogs_.tell(this, QStringLiteral("Your note on %1:%2 could not be written to %3; it stays open.")
                                .arg(verse.surah)
                                .arg(verse.aya)
                                .arg(path));
    else if (saved.changedOutside)
        dialogs_.tell(
            this, QStringLiteral("%1 was changed outside the program. Its notes are kept, and your note on "
                                 "%2:%3 is among them.")
                      .arg(path)
                      .arg(verse.surah)
                      .arg(verse.aya));
    markNotedVerses();
    if (had != !text.empty() && !shownVerses_.empty())
        renderArabicDisplay(); // a pencil more or less
}

void Form1::markNotedVerses()
{
    NotesFile *file = notes();
    const int surah = surahList_->currentIndex() + 1;
    const bool verses = surahList_->currentText() != QLatin1String(kSupplicationRow);
    for (int row = 0; row < verseList_->count(); ++row) {
        QListWidgetItem *item = verseList_->item(row);
        const bool noted = file && verses && (surah == 1 || row > 0) &&
                           !file->noteOn({surah, QuranText::ayaOfEntry(surah, row)}).empty();
        QFont font = item->font();
        font.setBold(noted);
        item->setFont(font);
        item->setToolTip(noted ? QStringLiteral("Has a note of yours") : QString());
    }
}

BookmarksWindow *Form1::bookmarksWindow() const
{
    return bookmarksWindow_.data();
}

BookmarksFile *Form1::bookmarks()
{
    if (!bookmarks_ && !state_.tempFolder.empty()) {
        bookmarks_.emplace(pathFromUtf8(state_.tempFolder + kBookmarksFileName));
        const BookmarksFile::Outcome read = bookmarks_->read();
        if (!read.keptAside.empty())
            dialogs_.tell(this,
                          QStringLiteral("Part of your bookmarks file %1 could not be read as bookmarks. The "
                                         "whole file as it was is kept in %2; the program keeps the "
                                         "bookmarks it could read.")
                              .arg(QString::fromStdString(state_.tempFolder + kBookmarksFileName),
                                   QString::fromStdString(utf8Of(read.keptAside))));
    }
    return bookmarks_ ? &*bookmarks_ : nullptr;
}

void Form1::openBookmarks()
{
    BookmarksFile *file = bookmarks();
    if (!file) {
        haveTempFolder(state_, dialogs_, this, true);
        return;
    }
    if (!bookmarksWindow_) {
        BookmarksWindow::Hooks hooks;
        hooks.selectedVerse = [this] {
            const auto verse = selectedVerse();
            if (!verse)
                dialogs_.tell(this, QStringLiteral("Please choose a verse in the list to bookmark it."));
            return verse;
        };
        hooks.goTo = [this](VersePlace verse) { goToVerse(verse); };
        hooks.change = [this](const std::function<void(Bookmarks &)> &edit) { changeBookmarks(edit); };
        bookmarksWindow_ = new BookmarksWindow(this, std::move(hooks));
        qtkit::moveBeside(bookmarksWindow_, this);
    }
    bookmarksWindow_->show(file->bookmarks());
}

void Form1::changeBookmarks(const std::function<void(Bookmarks &)> &edit)
{
    BookmarksFile *file = bookmarks();
    if (!file)
        return;
    if (!file->change(edit).written)
        dialogs_.tell(this, QStringLiteral("Your bookmarks could not be written to %1.")
                                .arg(QString::fromStdString(state_.tempFolder + kBookmarksFileName)));
    if (bookmarksWindow_)
        bookmarksWindow_->show(file->bookmarks());
}

void Form1::goToVerse(VersePlace verse)
{
    // As a reader selects it: the surah, then the verse in the list.
    if (verse.surah < 1 || verse.surah > kSurahCount)
        return;
    surahList_->setCurrentIndex(verse.surah - 1);
    const int entry = verse.surah == 1 ? verse.aya - 1 : verse.aya;
    if (entry >= 0 && entry < verseList_->count())
        verseList_->setCurrentRow(entry);
}

} // namespace velmora
