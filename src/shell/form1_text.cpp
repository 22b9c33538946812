// The main window's verse display: the Translate command and the formatting and link labels.

#include "shell/form1.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "recite/monitor.h"
#include "shell/form4.h"
#include "text/extract.h"
#include "text/translate.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

using qtkit::fromAnsi;
using qtkit::toAnsi;

void Form1::translate()
{
    // A Translate pressed while one runs (from the event pass inside a read) is deferred: it runs
    // once the current run has ended, so that two reads never overlap.
    if (ended_)
        return;
    if (translating_) {
        translatePending_ = true;
        return;
    }
    translating_ = true;
    do {
        translatePending_ = false;
        runTranslate();
    } while (translatePending_);
    translating_ = false;
    if ((!missingFiles_.empty() || !unreadableFiles_.empty() || !quranProblem_.empty()) &&
        !reportScheduled_) {
        reportScheduled_ = true;
        QTimer::singleShot(0, this, &Form1::reportMissingFiles);
    }
}

void Form1::runTranslate()
{
    loadingBanner_->show();
    loadingBanner_->raise();
    std::optional<qtkit::BusyCursor> busy;
    int surah = 0;
    int fromVerse = 0;
    int toVerse = 0;
    if (surahList_->currentText() != QLatin1String(kSupplicationRow)) {
        busy.emplace();
        surah = intInText(toAnsi(surahList_->currentText().left(3)));
        fromVerse = intInText(toAnsi(fromVerseList_->currentText()));
        toVerse = intInText(toAnsi(toVerseList_->currentText()));
        if (toVerse < fromVerse)
            std::swap(fromVerse, toVerse);
        display_->clear();
        showPlace(surah, fromVerse);
        lastRead_ = VersePlace{surah, std::max(1, QuranText::ayaOfEntry(surah, fromVerse))};
    } else {
        const QListWidgetItem *entry = verseList_->currentItem();
        const std::string ref = entry && entry->isSelected() ? toAnsi(entry->text()) : std::string();
        if (ref.size() < 7) {
            // No supplication chosen yet: the display keeps what it shows.
            loadingBanner_->hide();
            return;
        }
        surah = intInText(ref.substr(0, 3));
        fromVerse = toVerse = intInText(ref.substr(ref.size() - 3));
        if (surah >= 1 && surah <= surahList_->count())
            captions_[0]->setText(surahList_->itemText(surah - 1));
    }

    const int code = selectionCode({textBoxes_[0]->isChecked(), textBoxes_[1]->isChecked(),
                                    textBoxes_[2]->isChecked(), textBoxes_[3]->isChecked()});
    const std::vector<std::string> files = filesForCode(code);
    if (std::vector<const InstalledTranslation *> chosen = chosenTranslations();
        textBoxes_[kArabicBox]->isChecked() || textBoxes_[kWordByWordBox]->isChecked() || !chosen.empty()) {
        showWithArabic(surah, fromVerse, toVerse, files, std::move(chosen),
                       textBoxes_[kArabicBox]->isChecked() || textBoxes_[kWordByWordBox]->isChecked());
    } else if (!files.empty()) {
        std::string text;
        if (files.size() == 1) {
            text = GetTrans(files.front(), surah, fromVerse, toVerse);
        } else {
            ReadHooks hooks;
            hooks.headingFound = [this] { repaint(); };
            watchFiles(hooks);
            text = InterleaveTranslations(state_.programFolder, state_.tempFolder, files, surah, fromVerse,
                                          toVerse, hooks);
        }
        setDisplayText(text);
    }
    followRecitation(); // the verse being recited, and the hidden ones, in the new text
    busy.reset();
    loadingBanner_->hide();
}

std::string Form1::GetTrans(const std::string &fileName, int surah, int fromVerse, int toVerse)
{
    const qtkit::BusyCursor busy;
    ReadHooks hooks;
    hooks.headingFound = [this] {
        repaint();
        QCoreApplication::processEvents();
    };
    watchFiles(hooks);
    return ExtractVerseRange(state_.programFolder, fileName, surah, fromVerse, toVerse, hooks);
}

void Form1::watchFiles(ReadHooks &hooks)
{
    hooks.notFound = [this](const std::string &file) { missingFiles_.insert(file); };
    hooks.unreadable = [this](const std::string &file, const std::string &problem) {
        unreadableFiles_[file] = problem;
    };
}

void Form1::reportMissingFiles()
{
    reportScheduled_ = false;
    if ((missingFiles_.empty() && unreadableFiles_.empty() && quranProblem_.empty()) || ended_)
        return;
    if (translating_) {
        reportScheduled_ = true;
        QTimer::singleShot(0, this, &Form1::reportMissingFiles);
        return;
    }
    // Files that are not there at all are explained at start; one that is there and faulty is told.
    const bool missingOnly = unreadableFiles_.empty() &&
                             (quranProblem_.empty() || quranProblem_ == troubleWords(FileTrouble::Missing));
    const QString folder = QString::fromStdString(state_.programFolder);
    const QString looked = QString::fromStdString(platform::dataFoldersText(state_.programFolder));
    QStringList lines;
    if (!missingFiles_.empty()) {
        QStringList names;
        for (const auto &name : missingFiles_)
            names.push_back(QString::fromStdString(ansi::upper(name)));
        lines.push_back(
            QStringLiteral("The translation file %1 could not be read. The program looked for it in "
                           "%2. Please place the data files in one of these folders.")
                .arg(names.join(QStringLiteral(", ")), looked));
    }
    if (quranProblem_ == troubleWords(FileTrouble::Missing))
        lines.push_back(
            QStringLiteral("The Arabic text %1 could not be read. The program looked for it in %2.")
                .arg(QLatin1String(kQuranReadingFile), looked));
    else if (!quranProblem_.empty())
        lines.push_back(
            QStringLiteral("The Arabic text %1 in %2 cannot be shown: it %3.")
                .arg(QLatin1String(kQuranReadingFile), quranFolder_, QString::fromStdString(quranProblem_)));
    quranProblem_.clear(); // quranText() looks for it again next time
    for (const auto &[name, problem] : unreadableFiles_)
        lines.push_back(QStringLiteral("The translation file %1 in %2 cannot be shown: it %3.")
                            .arg(QString::fromStdString(ansi::upper(name)), folder, fromAnsi(problem)));
    missingFiles_.clear();
    unreadableFiles_.clear();
    const QString message = lines.join(QStringLiteral("\n\n"));
    // Also for the terminal or the journal the program was started from, where an installation's
    // fault is looked for.
    qWarning().noquote() << message;
    if (explainAtStart_ && missingOnly) {
        explainAtStart_ = false;
        explainMissingTexts();
        return;
    }
    dialogs_.tell(this, message);
}

const QuranText *Form1::quranText()
{
    if (!quran_) {
        const auto path = platform::resolveDataFile(state_.programFolder, kQuranReadingFile);
        quran_ = QuranText::open(path, &quranProblem_);
        quranFolder_ = QString::fromStdString(utf8Of(path.parent_path()));
    }
    return quran_ ? &*quran_ : nullptr;
}

void Form1::showWithArabic(int surah, int fromVerse, int toVerse, const std::vector<std::string> &files,
                           std::vector<const InstalledTranslation *> chosen, bool withArabic)
{
    ReadHooks hooks;
    hooks.headingFound = [this] { repaint(); };
    watchFiles(hooks);
    shownTranslations_ = std::move(chosen);
    shownSurah_ = surah;
    std::vector<const QuranText *> more;
    for (const InstalledTranslation *t : shownTranslations_)
        more.push_back(&*translationTexts_[t->description.id]);
    shownVerses_ = arabicDisplay(withArabic ? quranText() : nullptr, state_.programFolder, files, surah,
                                 fromVerse, toVerse, hooks, more);
    renderArabicDisplay();
}

void Form1::renderArabicDisplay()
{
    display_->clear();
    entryStarts_.clear();
    QTextCursor cursor(display_->document());
    // One edit: the document is laid out once, when it is whole.
    cursor.beginEditBlock();
    QTextBlockFormat arabicBlock;
    arabicBlock.setLayoutDirection(Qt::RightToLeft);
    arabicBlock.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    QTextCharFormat arabicChars;
    arabicChars.setFont(qtkit::arabicFontBeside(display_->font()));
    QTextBlockFormat latinBlock;
    latinBlock.setLayoutDirection(Qt::LeftToRight);
    latinBlock.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    QTextCharFormat latinChars;
    latinChars.setFont(display_->font());
    // Each paragraph starts a block of its own format; the first takes the document's first block.
    bool first = true;
    const auto paragraph = [&](const QTextBlockFormat &block, const QTextCharFormat &chars,
                               const QString &text) {
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block, chars);
        cursor.setCharFormat(chars);
        cursor.insertText(text);
        first = false;
    };
    // Each chosen translation in its direction, in a face that has its script.
    std::vector<std::pair<QTextBlockFormat, QTextCharFormat>> formats;
    for (const InstalledTranslation *t : shownTranslations_) {
        const std::string &language = t->description.language;
        const bool rightToLeft = isRightToLeftLanguage(language);
        QTextCharFormat chars = latinChars;
        chars.setFont(qtkit::fontForLanguage(display_->font(), language));
        QTextBlockFormat block = rightToLeft ? arabicBlock : latinBlock;
        block.setBottomMargin(QFontMetricsF(chars.font()).height() / 2);
        formats.emplace_back(block, chars);
    }
    // Where a juz, a hizb quarter or a ruku begins, a line says so above the verse; a sajda verse
    // carries the sign of prostration, its kind in its tooltip.
    QTextBlockFormat divisionBlock;
    divisionBlock.setAlignment(Qt::AlignHCenter);
    divisionBlock.setTopMargin(QFontMetricsF(latinChars.font()).height() / 2);
    QTextCharFormat divisionChars = latinChars;
    divisionChars.setFontPointSize(display_->font().pointSizeF() * 0.85);
    divisionChars.setForeground(QColor(0, 0, 128));
    const QuranMetadata *divisions = metadata();
    const auto placeOf = [&](const DisplayVerse &verse) -> std::optional<VersePlace> {
        if (!divisions || (shownSurah_ != 1 && verse.entry == 0))
            return std::nullopt; // the invocation is no verse of the surah
        return VersePlace{shownSurah_, QuranText::ayaOfEntry(shownSurah_, verse.entry)};
    };
    const bool wordByWord = textBoxes_[kWordByWordBox]->isChecked();
    const bool translationTicked = std::any_of(textBoxes_.begin(), textBoxes_.begin() + kArabicBox,
                                               [](const QCheckBox *box) { return box->isChecked(); });
    if (firstStart_ && !translationTicked && shownTranslations_.empty()) {
        QTextCharFormat hint = divisionChars;
        hint.setForeground(QColor(0, 96, 96));
        paragraph(
            latinBlock, hint,
            QStringLiteral("To read a translation beside the Arabic, tick M. Pickthall, Abdullah Yousuf "
                           "Ali or Shakir; Languages... adds others from tanzil.net."));
    }
    for (const auto &verse : shownVerses_) {
        const auto place = verse.arabic.empty() ? std::nullopt : placeOf(verse);
        if (place) {
            QStringList begun;
            for (const Division d : {Division::Juz, Division::HizbQuarter, Division::Ruku})
                if (divisions->begins(d, *place))
                    begun.push_back(QString::fromUtf8(divisionName(d)) + QLatin1Char(' ') +
                                    QString::number(divisions->divisionOf(d, *place)));
            if (!begun.isEmpty())
                paragraph(divisionBlock, divisionChars, begun.join(QStringLiteral(" \u00B7 ")));
        }
        entryStarts_.push_back(first ? 0 : cursor.position() + 1); // where its next paragraph begins
        if (!verse.arabic.empty() && wordByWord && insertWordByWord(cursor, verse, arabicChars, first)) {
            first = false;
        } else if (!verse.arabic.empty()) {
            paragraph(arabicBlock, arabicChars, QString::fromUtf8(verse.arabic));
            if (const Sajda *sajda = place ? divisions->sajdaAt(*place) : nullptr) {
                // The text's own sign where it has one, else one after the verse.
                QTextCharFormat sign;
                sign.setForeground(QColor(128, 0, 0));
                sign.setToolTip(QStringLiteral("A verse of prostration (sajda), %1")
                                    .arg(QString::fromStdString(sajda->type)));
                const int at = cursor.block().text().indexOf(QChar(0x06E9));
                if (at < 0)
                    cursor.insertText(QStringLiteral(" \u06E9"), arabicChars);
                QTextCursor mark(cursor.block());
                mark.setPosition(cursor.block().position() + (at < 0 ? cursor.block().length() - 2 : at));
                mark.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
                mark.mergeCharFormat(sign);
                cursor.setCharFormat(arabicChars);
            }
            // A verse with a note of the reader's: a pencil, the note its tooltip.
            if (NotesFile *file = notes(); file && place && !file->noteOn(*place).empty()) {
                QTextCharFormat pencil = latinChars;
                pencil.setForeground(QColor(0, 96, 0));
                pencil.setToolTip(QString::fromStdString(file->noteOn(*place)).left(400));
                cursor.insertText(QStringLiteral(" \u270E"), pencil);
                cursor.setCharFormat(arabicChars);
            }
            // The verse the paragraph shows, for a look-up of its words: entry 0 is 1:1's text.
            const bool invocation = shownSurah_ != 1 && verse.entry == 0;
            cursor.block().setUserState(invocation ? kVerseStateSurah + 1
                                                   : shownSurah_ * kVerseStateSurah +
                                                         QuranText::ayaOfEntry(shownSurah_, verse.entry));
        }
        if (!verse.translations.empty()) {
            QString text = qtkit::fromAnsiText(verse.translations);
            text.chop(1); // the last line end: the next paragraph's block begins there
            paragraph(latinBlock, latinChars, text);
        }
        for (std::size_t k = 0; k < verse.more.size() && k < formats.size(); ++k)
            if (!verse.more[k].empty())
                paragraph(formats[k].first, formats[k].second, QString::fromUtf8(verse.more[k]));
    }
    cursor.endEditBlock();
    display_->moveCursor(QTextCursor::Start);
}

std::optional<std::size_t> Form1::readingVerseOf(const DisplayVerse &verse)
{
    const QuranText *reading = quranText();
    // Entry 0 of every surah but the first is the invocation, the text of 1:1.
    const bool invocation = shownSurah_ != 1 && verse.entry == 0;
    return reading ? reading->placeOf(invocation ? 1 : shownSurah_,
                                      invocation ? 1 : QuranText::ayaOfEntry(shownSurah_, verse.entry))
                   : std::nullopt;
}

bool Form1::insertWordByWord(QTextCursor &cursor, const DisplayVerse &shown,
                             const QTextCharFormat &arabicChars, bool first)
{
    const auto verse = readingVerseOf(shown);
    const CorpusWords *corpus = verse ? corpusWords() : nullptr;
    if (!corpus)
        return false;
    // The verse's words with their glosses under them, and its number last: as many to a line as
    // the display's width holds, each line a table of two rows laid out from the right.
    const std::string_view text = quranText()->verses()[*verse].text;
    const auto ranges = readingWords(text);
    const auto glosses = corpus->glossesOf(*verse);
    struct Cell
    {
        QString word;
        QString gloss;
        int state = -1;
        qreal width = 0;
    };
    QTextCharFormat glossChars;
    QFont glossFont = display_->font();
    glossFont.setPointSizeF(glossFont.pointSizeF() * 0.85);
    glossChars.setFont(glossFont);
    glossChars.setForeground(QColor(0, 0, 128));
    const QFontMetricsF arabicMetrics(arabicChars.font());
    const QFontMetricsF glossMetrics(glossFont);
    constexpr qreal kPadding = 3;
    constexpr qreal kSpacing = 6;
    std::vector<Cell> cells;
    for (std::size_t w = 0; w < ranges.size(); ++w) {
        Cell cell;
        cell.word = QString::fromUtf8(text.substr(ranges[w].first, ranges[w].second - ranges[w].first));
        cell.gloss = w < glosses.size() ? QString::fromUtf8(glosses[w]) : QString();
        cell.state = kWordCellState + static_cast<int>(*verse) * kWordsPerVerse + static_cast<int>(w);
        cells.push_back(cell);
    }
    cells.push_back(
        {QString::fromStdString(ayaMark(QuranText::ayaOfEntry(shownSurah_, shown.entry))).trimmed(),
         QString(), -1, 0});
    for (Cell &cell : cells)
        cell.width =
            std::max(arabicMetrics.horizontalAdvance(cell.word), glossMetrics.horizontalAdvance(cell.gloss)) +
            2 * kPadding + kSpacing;
    const qreal room =
        display_->viewport()->width() - 2 * display_->document()->documentMargin() - 2 * kSpacing;
    QTextTableFormat table;
    table.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    table.setCellPadding(kPadding);
    table.setCellSpacing(kSpacing);
    table.setMargin(0);
    table.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    // The block a table needs before it is a thin one: the lines of words stand close.
    QTextBlockFormat between;
    between.setLineHeight(2, QTextBlockFormat::FixedHeight);
    QTextCharFormat tiny;
    tiny.setFontPointSize(1);
    QTextBlockFormat arabicCentred = centred;
    arabicCentred.setLayoutDirection(Qt::RightToLeft);
    // The Quran's faces leave room for marks above and below every line; a word alone needs less.
    arabicCentred.setLineHeight(85, QTextBlockFormat::ProportionalHeight);
    for (std::size_t start = 0; start < cells.size();) {
        std::size_t end = start + 1;
        for (qreal used = cells[start].width; end < cells.size() && used + cells[end].width <= room; ++end)
            used += cells[end].width;
        if (first) {
            cursor.setBlockFormat(between);
            cursor.setBlockCharFormat(tiny);
        } else {
            cursor.insertBlock(between, tiny);
        }
        first = false;
        const int columns = static_cast<int>(end - start);
        QTextTable *line = cursor.insertTable(2, columns, table);
        for (int c = 0; c < columns; ++c) {
            const Cell &cell = cells[end - 1 - static_cast<std::size_t>(c)]; // the first word rightmost
            QTextCursor word = line->cellAt(0, c).firstCursorPosition();
            word.setBlockFormat(arabicCentred);
            word.insertText(cell.word, arabicChars);
            word.block().setUserState(cell.state);
            QTextCursor gloss = line->cellAt(1, c).firstCursorPosition();
            gloss.setBlockFormat(centred);
            gloss.insertText(cell.gloss, glossChars);
            gloss.block().setUserState(cell.state);
        }
        cursor = line->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextBlock);
        start = end;
    }
    return true;
}

void Form1::setDisplayText(const std::string &text)
{
    shownVerses_.clear();
    entryStarts_.clear();
    display_->setPlainText(qtkit::fromAnsiText(text));
}

void Form1::setDisplayFont(const QFont &font)
{
    display_->setFont(font);
    if (!shownVerses_.empty())
        renderArabicDisplay(); // its paragraphs carry fonts of their own, which follow the display's
}

void Form1::check2Click(int)
{
    translateButton_->click();
    if (isVisible())
        display_->setFocus();
}

void Form1::label3Click(int index)
{
    QFont font = display_->font();
    switch (index) {
    case 0:
    case 1: {
        const double size = font.pointSizeF() + (index == 0 ? 1.0 : -1.0);
        // Sizes stay within what a reader can use: smaller than a point or larger than 96 points
        // leaves the size as it is.
        if (size < kMinFontSize || size > kMaxFontSize)
            return;
        font.setPointSizeF(size);
        break;
    }
    case 2:
        font.setItalic(!font.italic());
        break;
    case 3:
        font.setBold(!font.bold());
        break;
    default:
        return;
    }
    setDisplayFont(font);
}

void Form1::combo5Click()
{
    QFont font = display_->font();
    font.setFamily(fontList_->currentText());
    setDisplayFont(font);
}

void Form1::label1Click(int index)
{
    if (index == 11) {
        if (fromVerseList_->count() == 0)
            return;
        fromVerseList_->setCurrentIndex(0);
        toVerseList_->setCurrentIndex(toVerseList_->count() - 1);
    } else if (index == 14) {
        showAbout();
    } else if (index == 12) {
        if (!form4_)
            form4_ = new Form4(surahList_, size(), [this](Division division, int number) {
                return goToDivision(division, number);
            });
        else if (form4_->isHidden())
            form4_->reset();
        form4_->show();
        form4_->raise();
        form4_->activateWindow();
    }
}

void Form1::showAbout()
{
    QString text = QStringLiteral(
        "# Velmora\n\nReading, searching and listening to the Quran.\n\n"
        "**Quran text: Tanzil Project, [tanzil.net](https://tanzil.net)** (Tanzil Quran Text, Uthmani and "
        "Simple Clean, under the Creative Commons Attribution 3.0 licence with Tanzil's terms: the text is "
        "shown exactly as published).\n\n"
        "**Roots and lemmas: the Quranic Arabic Corpus, [corpus.quran.com](https://corpus.quran.com)** "
        "(its morphology, under the GNU General Public License), for the search by root and lemma.\n\n");
    const auto sources = readRegularFile(platform::resolveDataFile(state_.programFolder, "SOURCES.md"));
    text += sources ? QString::fromStdString(*sources)
                    : QStringLiteral("The list of the data files' sources, SOURCES.md, is not in %1.")
                          .arg(QString::fromStdString(state_.programFolder));
    auto *about = new QDialog(this);
    about->setObjectName(QStringLiteral("About"));
    about->setWindowTitle(QStringLiteral("About Velmora"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    auto *browser = new QTextBrowser(about);
    browser->setObjectName(QStringLiteral("AboutText"));
    browser->setOpenExternalLinks(true);
    browser->setMarkdown(text);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, about);
    connect(close, &QDialogButtonBox::rejected, about, &QDialog::close);
    auto *layout = new QVBoxLayout(about);
    layout->addWidget(browser);
    layout->addWidget(close);
    about->resize(qtkit::px(9000), qtkit::px(6000));
    about->show();
}

void Form1::label2Click()
{
    const qtkit::BusyCursor busy;
    const auto [surah, entry] = verseOfStatus(toAnsi(statusLine_->text()));
    if (surah < 1 || surah > kSurahCount)
        return;
    surahList_->setCurrentIndex(surah - 1);
    if (entry >= 0 && entry < verseList_->count())
        verseList_->setCurrentRow(entry);
}

} // namespace velmora
