#include "form3.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "search/engine.h"
#include "search/history.h"
#include "search/markword.h"
#include "shell/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

namespace velmora {

using qtkit::fromAnsi;
using qtkit::px;
using qtkit::toAnsi;

namespace {

// Where each control stands, in twips within its parent, as the form was designed.
// clang-format off
constexpr qtkit::Placement kLayout[] = {
    {"Combo1",           2910,   330,  2265,   315},
    {"Command1",         5220,   330,   495,   315},
    {"Labelxyz",         4260,    60,   900,   195},
    {"Label7_0",         5880,   240,   465,   195},
    {"Label7_1",         6540,   240,   465,   195},
    {"Label3",           7500,    60,  1185,   195},
    {"Label1",           2910,   750,  1005,   195},
    {"List1",            2880,  1020,  2865,  4545},
    {"Label2",           9780,   350,   960,   195},
    {"Text1",            5850,   570,  4905,  4995},
    {"Frame1",             30,   210,  2715,  5325},
    {"Option1_2",          90,   450,  2535,   315},
    {"Option1_0",         270,  1380,  2300,   285},
    {"Option1_1",         270,  1710,  2300,   285},
    {"Option1_3",         270,  2070,  2300,   285},
    {"Option1_5",         270,  3000,  1095,   285},
    {"Option1_6",         270,  3420,   975,   285},
    {"Option1_7",         270,  3810,  1335,   285},
    {"Option1_8",         270,  4200,  1155,   285},
    {"Option1_4",          90,  4800,  1815,   285},
    {"Option1_9",          90,  4680,  2535,   315},
    {"Label4_1",           90,   990,  1740,   270},
    {"Label4_0",           90,  2700,   765,   270},
    {"Label5_0",         1410,  3030,   780,   270},
    {"Label5_1",         1410,  3420,   660,   270},
    {"Label5_2",         1650,  3810,   660,   270},
    {"Label5_3",         1410,  4200,   630,   270},
    {"TranslationList",   270,  2370,  2300,   300},
};
// clang-format on

constexpr int kWidth = 10875;
constexpr int kHeight = 5685;
constexpr int kProgressIntervalMs = 40;
// Where a hit of the result list keeps the place of its record in the file.
constexpr int kRecordRole = Qt::UserRole;

// The text boxes lay out a paragraph whole, so a record of a data file that is hundreds of megabytes
// long (a broken file, say) would hold the window for minutes: the result list shows the start of
// such a record, and the complete-text box its first million characters and what is left out.
constexpr qsizetype kListedLimit = 100000;

QString listed(std::string_view entry)
{
    if (static_cast<qsizetype>(entry.size()) <= kListedLimit)
        return fromAnsi(entry);
    return fromAnsi(entry.substr(0, static_cast<std::size_t>(kListedLimit))) + QChar(0x2026);
}

bool isTranslationSource(int source)
{
    return source >= 0 && source <= 3;
}
bool isHadithSource(int source)
{
    return source >= 5 && source < kSourceCount;
}

QLabel *makeLink(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = qtkit::make<QLabel>(parent, name, caption);
    label->setFont(qtkit::formFont(8.25, false, false, true));
    label->setCursor(qtkit::handCursor());
    qtkit::setTextColor(label, 0, 0, 192);
    return label;
}

} // namespace

Form3::Form3(MainState &state, qtkit::Dialogs &dialogs, QComboBox *surahList, const QFont &displayFont,
             ReciteVerse reciteVerse, NotesOf notesOf)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state), dialogs_(dialogs), surahList_(surahList), reciteVerse_(std::move(reciteVerse)),
      notesOf_(std::move(notesOf))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Search the Quran and Hadeeth ..."));
    setWindowIcon(qtkit::programIcon());
    setModal(false);
    setFont(qtkit::formFont(8.25));
    setFixedSize(px(kWidth), px(kHeight));
    createControls();

    // Load: centre, take the display font, read the history, start on the first source.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    QFont font = hitList_->font();
    font.setFamily(displayFont.family());
    font.setPointSizeF(displayFont.pointSizeF());
    hitList_->setFont(font);
    recordView_->setFont(font);
    loadHistory();
    state_.currentSource = 0;
    queryBox_->setFocus();
    loading_ = false;
}

Form3::~Form3()
{
    // The query box reports a finished edit when it loses the focus as it is destroyed; nothing of
    // this window may answer then.
    qtkit::silenceControls(this);
}

void Form3::endWithProgram()
{
    qtkit::endSilently(this);
}

void Form3::createControls()
{
    createQueryControls();
    createResultControls();
    QGroupBox *sources = createSourceBox();
    qtkit::placeControls(this, kLayout);
    countLabel_->adjustSize();
    heading_->adjustSize();
    setTabOrder(queryBox_, searchButton_);
    setTabOrder(searchButton_, hitList_);
    setTabOrder(hitList_, recordView_);
    setTabOrder(recordView_, sourceButtons_[0]);
    nameControls();
    qtkit::setCaptionColor(sources, 0, 0, 192);
    qtkit::widenClippedLabels(this);
}

void Form3::nameControls()
{
    queryBox_->setAccessibleName(QStringLiteral("Search for"));
    queryBox_->setAccessibleDescription(
        QStringLiteral("Words, or 'a phrase' in apostrophes; root: or lemma: in the Arabic"));
    hitList_->setAccessibleName(QStringLiteral("Search results"));
    recordView_->setAccessibleName(QStringLiteral("Complete text"));
    recordView_->setAccessibleDescription(QStringLiteral("The hit chosen, its search words marked"));
    if (translationList_)
        translationList_->setAccessibleName(QStringLiteral("Other languages and your notes"));
    // The links after the sources, reached by Tab and pressed by Enter or Space.
    const std::pair<QLabel *, const char *> links[] = {
        {resetLink_, "Puts back the program's own list of past queries"},
        {countLabel_, "The count of hits; a click writes the program's own list of past queries"},
        {stepLinks_[0], "The verse or record before the one shown"},
        {stepLinks_[1], "The verse or record after the one shown"},
        {reciteLink_, "Recites the verse shown"},
    };
    QWidget *before = translationList_ ? static_cast<QWidget *>(translationList_) : sourceButtons_.back();
    for (const auto &[link, description] : links) {
        qtkit::makeKeyboardLink(link, QString::fromUtf8(description));
        setTabOrder(before, link);
        before = link;
    }
}

// The query box, "Go !", and the links above the lists.
void Form3::createQueryControls()
{
    queryBox_ = qtkit::make<QComboBox>(this, "Combo1");
    queryBox_->setEditable(true);
    // The history may hold many thousands of queries: a plain list of texts keeps it light.
    queryBox_->setModel(new QStringListModel(queryBox_));
    queryBox_->setInsertPolicy(QComboBox::NoInsert);
    queryBox_->setCompleter(nullptr); // the query is searched as typed, letter case included
    // The box would choose the entry equal to its text whenever an edit finishes (Enter, or the
    // focus moving away) and report it as activated; only a choice from its list, with the mouse or
    // the arrow keys, is a choice here, and Enter presses "Go !" as the window's default button.
    disconnect(queryBox_->lineEdit(), &QLineEdit::editingFinished, queryBox_, nullptr);
    connect(queryBox_, &QComboBox::activated, this, [this](int index) {
        if (index < 0)
            return;
        queryBox_->setEditText(queryBox_->itemText(index));
        searchButton_->click();
    });

    searchButton_ = qtkit::make<QPushButton>(this, "Command1", QStringLiteral("Go !"));
    searchButton_->setDefault(true);
    connect(searchButton_, &QPushButton::clicked, this, &Form3::searchCommand);

    resetLink_ = makeLink(this, "Labelxyz", QStringLiteral("Reset usage"));
    stepLinks_[0] = makeLink(this, "Label7_0", QStringLiteral("< Prev"));
    stepLinks_[1] = makeLink(this, "Label7_1", QStringLiteral("Next >"));
    reciteLink_ = makeLink(this, "Label3", QStringLiteral("Recite this verse"));
    for (QLabel *hidden : {stepLinks_[0], stepLinks_[1], reciteLink_})
        hidden->hide();
    for (QLabel *link : {resetLink_, stepLinks_[0], stepLinks_[1], reciteLink_})
        link->installEventFilter(this);
}

// The result list with its count, and the complete text of the hit chosen.
void Form3::createResultControls()
{
    countLabel_ = qtkit::make<QLabel>(this, "Label1", QStringLiteral("Search results"));
    qtkit::setTextColor(countLabel_, 128, 0, 128);
    countLabel_->installEventFilter(this);

    hitList_ = qtkit::make<QListWidget>(this, "List1");
    hitList_->setUniformItemSizes(true);
    hitList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(hitList_, &QListWidget::itemSelectionChanged, this, [this] {
        if (hitList_->currentItem() && hitList_->currentItem()->isSelected())
            hitClick();
    });

    heading_ = qtkit::make<QLabel>(this, "Label2", QStringLiteral("Complete text"));
    qtkit::setTextColor(heading_, 128, 0, 128);

    recordView_ = qtkit::make<QPlainTextEdit>(this, "Text1");
    recordView_->setReadOnly(true);
    recordView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette pal = recordView_->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 192));
    recordView_->setPalette(pal);
}

// The sources: one option button a source, grouped by kind under coloured captions.
QGroupBox *Form3::createSourceBox()
{
    auto *frame1 = qtkit::make<QGroupBox>(this, "Frame1", QStringLiteral("Source"));
    frame1->setFont(qtkit::formFont(8.25, true));
    const QFont comic = qtkit::designFont(QStringLiteral("Comic Sans MS"), 9.75);

    struct Row
    {
        int index;
        const char *caption;
        QColor colour;
    };
    const QColor purple(128, 0, 128);
    const QColor darkRed(192, 0, 0);
    const QColor green(0, 128, 0);
    const std::array<Row, 10> options = {{
        {2, "English Transliteration", purple},
        {0, "M. Pickthall", darkRed},
        {1, "Abdullah Yousuf Ali", darkRed},
        {3, "Shakir", darkRed},
        {5, "Bukhari", green},
        {6, "Muslim", green},
        {7, "AbuDawud", green},
        {8, "Malik", green},
        {4, "Urdu word list", QColor(0, 0, 128)},
        {kArabicSource, "Arabic (Quran)", QColor(0, 96, 96)},
    }};
    for (const auto &row : options) {
        auto *option = new qtkit::OptionButton(QLatin1String(row.caption), frame1);
        option->setObjectName(QStringLiteral("Option1_%1").arg(row.index));
        option->setFont(comic);
        qtkit::setTextColor(option, row.colour.red(), row.colour.green(), row.colour.blue());
        sourceButtons_[static_cast<std::size_t>(row.index)] = option;
        const int index = row.index;
        connect(option, &QRadioButton::toggled, this, [this, index](bool on) {
            if (on && !loading_)
                optionClick(index);
        });
    }
    sourceButtons_[4]->hide();
    sourceButtons_[0]->setChecked(true);
    sourceButtons_[kArabicSource]->setToolTip(QStringLiteral("Quran text: Tanzil Project, tanzil.net"));
    createTranslationList(frame1);

    struct Caption
    {
        const char *name;
        const char *text;
        QColor colour;
    };
    const std::array<Caption, 6> captions = {{
        {"Label4_1", "English Translation", darkRed},
        {"Label4_0", "Hadeeth", green},
        {"Label5_0", "(7,125)", green},
        {"Label5_1", "(7,190)", green},
        {"Label5_2", "(2,517)", green},
        {"Label5_3", "(1,917)", green},
    }};
    for (const auto &c : captions) {
        auto *label = qtkit::make<QLabel>(frame1, c.name, QLatin1String(c.text));
        label->setFont(comic);
        qtkit::setTextColor(label, c.colour.red(), c.colour.green(), c.colour.blue());
    }
    return frame1;
}

std::filesystem::path Form3::historyPath() const
{
    return platform::resolveNoCase(state_.tempFolder, kHistoryFileName);
}

void Form3::loadHistory()
{
    showHistory(SearchHistory::read(state_.tempFolder));
}

void Form3::showHistory(SearchHistory history)
{
    history_ = std::move(history);
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(history_.entries().size()));
    for (const auto &entry : history_.entries())
        entries.push_back(QString::fromStdString(entry));
    qtkit::setEntriesQuietly(queryBox_, entries, false); // in the history's order
    const QSignalBlocker blocker(queryBox_);
    queryBox_->setEditText(QString());
}

void Form3::addToHistory(const QString &query)
{
    const std::optional<std::size_t> at = history_.add(query.toStdString());
    if (!at)
        return;
    const QSignalBlocker blocker(queryBox_);
    queryBox_->insertItem(static_cast<int>(*at), query);
    queryBox_->setEditText(query);
}

int Form3::chosenSource() const
{
    for (std::size_t i = 0; i < sourceButtons_.size(); ++i)
        if (sourceButtons_[i]->isChecked())
            return static_cast<int>(i);
    if (translationList_ && translationList_->currentIndex() > 0)
        return kArabicSource + translationList_->currentIndex();
    return 0;
}

void Form3::setCountText(const QString &text)
{
    // A count for a long query is cut short at the list's right edge, whole in its tool tip.
    const int room = hitList_->geometry().right() - countLabel_->x();
    const QString shown = countLabel_->fontMetrics().elidedText(text, Qt::ElideRight, room);
    countLabel_->setText(shown);
    countLabel_->setToolTip(shown == text ? QString() : text);
    countLabel_->adjustSize();
}

void Form3::setHeading(const QString &text)
{
    heading_->setText(text);
    heading_->adjustSize();
    // A long surah name grows to the left rather than past the window's edge.
    const int rightEdge = width() - px(120);
    const int designLeft = px(9780);
    heading_->move(std::max(px(5850), std::min(designLeft, rightEdge - heading_->width())), heading_->y());
}

void Form3::searchCommand()
{
    const qtkit::BusyCursor busy;
    const QString query = queryBox_->currentText();
    addToHistory(query);
    reciteLink_->hide();

    recordView_->clear();
    hitList_->clear();
    // Arabic rows run right to left from their reference, so that each shows its verse's start.
    const InstalledTranslation *translation = chosenTranslation();
    const bool rightToLeft = chosenSource() == kArabicSource ||
                             (translation && isRightToLeftLanguage(translation->description.language));
    hitList_->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    if (chosenSource() == kArabicSource) {
        searchArabicText(query);
        return;
    }
    if (chosenTranslation() || notesChosen()) {
        searchInstalledTranslation(query);
        return;
    }
    // The English texts hold no Arabic letter: an Arabic query is offered the Arabic text instead.
    if (holdsArabic(query.toStdString())) {
        setCountText(QStringLiteral("0 items found"));
        const QString source = sourceButtons_[static_cast<std::size_t>(chosenSource())]->text();
        if (dialogs_.ask(
                this,
                QStringLiteral("%1 holds no Arabic letters, so nothing there matches an Arabic query. "
                               "Search the Arabic text of the Quran instead?")
                    .arg(source),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes)
            sourceButtons_[kArabicSource]->click();
        return;
    }
    // The growing count is shown every few tens of milliseconds, not after every hit, so that a
    // search with thousands of hits stays fast; the final texts are always shown.
    QElapsedTimer sinceShown;
    sinceShown.start();
    int shownPhase = 0;
    std::size_t shownEntries = 0;
    const SearchProgress progress = [&](const std::vector<std::string_view> &entries,
                                        std::string_view countText, int phase) {
        if (sinceShown.elapsed() < kProgressIntervalMs)
            return;
        if (phase != shownPhase) {
            hitList_->clear();
            shownEntries = 0;
            shownPhase = phase;
        }
        QStringList fresh;
        for (; shownEntries < entries.size(); ++shownEntries)
            fresh.push_back(listed(entries[shownEntries]));
        hitList_->addItems(fresh);
        setCountText(fromAnsi(countText));
        repaint();
        sinceShown.restart();
    };
    const SearchOutcome outcome =
        RunQuery(state_.programFolder, chosenSource(), toAnsi(query), state_.searchWords, progress);

    {
        const QSignalBlocker blocker(hitList_);
        hitList_->clear();
        QStringList all;
        all.reserve(static_cast<qsizetype>(outcome.entries.size()));
        for (const auto &entry : outcome.entries)
            all.push_back(listed(entry));
        hitList_->addItems(all);
        for (std::size_t i = 0; i < outcome.records.size(); ++i)
            hitList_->item(static_cast<int>(i))->setData(kRecordRole, outcome.records[i]);
    }
    hitList_->scrollToTop(); // a new list is read from its first hit
    if (outcome.countText)
        setCountText(fromAnsi(*outcome.countText));
    if (outcome.heading)
        setHeading(fromAnsi(*outcome.heading));
    stepLinks_[0]->hide();
    stepLinks_[1]->hide();
    if (!outcome.problem.empty())
        dialogs_.tell(this, fromAnsi(outcome.problem));
}

void Form3::searchArabicFor(const QString &query)
{
    queryBox_->setEditText(query);
    sourceButtons_[kArabicSource]->click();
}

void Form3::optionClick(int index)
{
    if (translationList_) {
        const QSignalBlocker blocker(translationList_);
        translationList_->setCurrentIndex(0);
    }
    state_.currentSource = index;
    searchButton_->click();
}

void Form3::saveHistory(const std::filesystem::path &path, const std::vector<std::string> &entries)
{
    if (!haveTempFolder(state_, dialogs_, this))
        return;
    if (!writeHistory(path, entries))
        dialogs_.tell(this, QStringLiteral("The search history could not be written to %1.")
                                .arg(QString::fromStdString(utf8Of(path))));
}

void Form3::countLabelClick()
{
    saveHistory(historyPath(), defaultHistory());
}

void Form3::resetUsageClick()
{
    showHistory(SearchHistory(resetHistory())); // ASCII: the same in UTF-8
    saveHistory(historyPath(), resetHistory());
}

void Form3::writeWholeHistory()
{
    history_.write(state_.tempFolder); // a history that cannot be written is not reported
}

void Form3::reject()
{
    close(); // Escape closes the window as its frame does: through the closing steps below
}

void Form3::closeEvent(QCloseEvent *event)
{
    if (haveTempFolder(state_, dialogs_, this))
        writeWholeHistory();
    // The window goes: its controls, losing the focus as it hides, start nothing more.
    qtkit::silenceControls(this);
    event->accept();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool inside = static_cast<QWidget *>(watched)->rect().contains(mouse->pos());
        if (mouse->button() == Qt::LeftButton && inside) {
            if (watched == resetLink_)
                resetUsageClick();
            else if (watched == countLabel_)
                countLabelClick();
            else if (watched == stepLinks_[0] && stepLinks_[0]->isEnabled())
                stepClick(0);
            else if (watched == stepLinks_[1] && stepLinks_[1]->isEnabled())
                stepClick(1);
            else if (watched == reciteLink_)
                reciteLinkClick();
        }
    } else if (event->type() == QEvent::ToolTip && watched == reciteLink_) {
        reciteLink_->setToolTip(QStringLiteral("Verse ") + fromAnsi(recordReference(shownText())));
    }
    return QDialog::eventFilter(watched, event);
}

// ---- The result view ----

std::string Form3::shownText() const
{
    return qtkit::toAnsiText(recordView_->toPlainText());
}

namespace {

} // namespace

void Form3::setShownText(const std::string &text)
{
    qtkit::setTextDirection(recordView_, Qt::LeftToRight);
    recordView_->setPlainText(qtkit::fromAnsiText(text));
}

const ArabicIndex *Form3::arabicIndex()
{
    if (!arabicIndex_) {
        const auto searched = platform::resolveDataFile(state_.programFolder, kQuranSearchFile);
        std::string problem;
        searchedText_ = QuranText::open(searched, &problem);
        readingText_ = QuranText::open(platform::resolveDataFile(state_.programFolder, kQuranReadingFile));
        if (!searchedText_) {
            const QString name = QLatin1String(kQuranSearchFile);
            dialogs_.tell(this,
                          problem == troubleWords(FileTrouble::Missing)
                              ? QStringLiteral("The Arabic text %1 was not found in %2. The Tanzil Project "
                                               "publishes it (https://tanzil.net/download/, Simple "
                                               "Clean); Import texts... in the main window brings "
                                               "it in.")
                                    .arg(name, QString::fromStdString(state_.programFolder))
                              : QStringLiteral("The Arabic text %1 in %2 cannot be searched: it %3.")
                                    .arg(name, QString::fromStdString(utf8Of(searched.parent_path())),
                                         QString::fromStdString(problem)));
            return nullptr;
        }
        arabicIndex_.emplace(*searchedText_);
        if (readingText_)
            readingSpellings_.emplace(*readingText_, *arabicIndex_);
    }
    return &*arabicIndex_;
}

void Form3::searchArabicText(const QString &query)
{
    const ArabicIndex *index = arabicIndex();
    if (!index) {
        setCountText(QStringLiteral("0 items found"));
        return;
    }
    wordMarks_.clear();
    const std::string typed = query.toStdString();
    if (const auto asked = wordQueryOf(typed)) {
        searchArabicWords(asked->first, asked->second);
        return;
    }
    const ArabicOutcome outcome = runArabicQuery(*index, query.toStdString(), arabicWords_,
                                                 readingSpellings_ ? &*readingSpellings_ : nullptr);
    listVerseHits(outcome, [&](std::size_t v) {
        QuranText::Verse verse = index->text()->verses()[v];
        if (readingText_)
            if (const std::string_view reading = readingText_->verse(verse.surah, verse.aya);
                !reading.empty())
                verse.text = reading;
        return QString::fromStdString(arabicEntry(verse));
    });
}

const WordIndex *Form3::wordIndex()
{
    if (!wordIndex_ && readingText_) {
        std::filesystem::path morphology;
        const qtkit::BusyCursor busy;
        std::string problem;
        wordIndex_ =
            programWordIndex(state_.programFolder, state_.tempFolder, *readingText_, &problem, &morphology);
        if (!wordIndex_)
            dialogs_.tell(this,
                          QStringLiteral("The Quranic Arabic Corpus's morphology %1 %2 in %3, so roots and "
                                         "lemmas cannot be searched.")
                              .arg(QLatin1String(kMorphologyFile), QString::fromStdString(problem),
                                   QString::fromStdString(utf8Of(morphology.parent_path()))));
    }
    return wordIndex_ ? &*wordIndex_ : nullptr;
}

void Form3::searchArabicWords(WordIndex::Kind kind, std::string_view typed)
{
    arabicWords_ = {};
    const WordIndex *words = wordIndex();
    if (!words || !readingSpellings_) {
        setCountText(QStringLiteral("0 items found"));
        return;
    }
    const WordOutcome found = runWordQuery(*words, kind, typed);
    ArabicOutcome outcome;
    outcome.countText = found.countText;
    outcome.problem = found.problem;
    std::map<std::size_t, std::size_t> readingOf;
    for (std::size_t i = 0; i < found.verses.size(); ++i)
        if (const auto v = readingSpellings_->searchedVerseOf(found.verses[i]);
            v && found.verses[i] < readingText_->verses().size()) {
            outcome.verses.push_back(*v);
            wordMarks_[*v] = found.words[i];
            readingOf[*v] = found.verses[i];
        }
    listVerseHits(outcome, [&](std::size_t v) {
        return QString::fromStdString(arabicEntry(readingText_->verses()[readingOf.at(v)]));
    });
}

void Form3::listVerseHits(const ArabicOutcome &outcome, const std::function<QString(std::size_t verse)> &row)
{
    {
        const QSignalBlocker blocker(hitList_);
        QStringList all;
        all.reserve(static_cast<qsizetype>(outcome.verses.size()));
        for (const std::size_t v : outcome.verses)
            all.push_back(row(v));
        hitList_->addItems(all);
        for (std::size_t i = 0; i < outcome.verses.size(); ++i)
            hitList_->item(static_cast<int>(i))->setData(kRecordRole, static_cast<int>(outcome.verses[i]));
    }
    hitList_->scrollToTop();
    setCountText(QString::fromStdString(outcome.countText));
    setHeading(QStringLiteral("Complete verse"));
    stepLinks_[0]->hide();
    stepLinks_[1]->hide();
    if (!outcome.problem.empty())
        dialogs_.tell(this, QString::fromStdString(outcome.problem));
}

void Form3::showArabicVerse(std::size_t verse)
{
    const ArabicIndex *index = arabicIndex();
    if (!index || verse >= index->size())
        return;
    shownArabicVerse_ = verse;
    const QuranText::Verse &searched = index->text()->verses()[verse];
    std::string_view reading =
        readingText_ ? readingText_->verse(searched.surah, searched.aya) : std::string_view();
    if (reading.empty())
        reading = searched.text;
    if (searched.surah >= 1 && searched.surah <= surahList_->count())
        setHeading(QStringLiteral("Surah: ") + surahList_->itemText(searched.surah - 1));

    // The verse right to left against the right edge, in the Quran's font; the search words in
    // colour and weight, since Arabic has no capitals to mark them with.
    recordView_->clear();
    qtkit::setTextDirection(recordView_, Qt::RightToLeft);
    QTextCharFormat plain;
    plain.setFont(qtkit::arabicFontBeside(recordView_->font()));
    QTextCharFormat mark = plain;
    mark.setForeground(QColor(192, 0, 0));
    mark.setFontWeight(QFont::Bold);
    QTextCursor cursor(recordView_->document());
    std::size_t at = 0;
    const auto words = wordMarks_.find(verse);
    const auto marks = words != wordMarks_.end() ? readingWordRanges(reading, words->second)
                                                 : arabicMarks(reading, searched.text, arabicWords_);
    for (const auto &[begin, end] : marks) {
        cursor.insertText(QString::fromUtf8(reading.substr(at, begin - at)), plain);
        cursor.insertText(QString::fromUtf8(reading.substr(begin, end - begin)), mark);
        at = end;
    }
    cursor.insertText(QString::fromUtf8(reading.substr(at)) + QString::fromStdString(ayaMark(searched.aya)),
                      plain);
    stepLinks_[0]->setEnabled(verse > 0);
    stepLinks_[1]->setEnabled(verse + 1 < index->size());
}

void Form3::stepArabic(int index)
{
    if (index == 0 && shownArabicVerse_ > 0)
        showArabicVerse(shownArabicVerse_ - 1);
    else if (index == 1)
        showArabicVerse(shownArabicVerse_ + 1);
    showStepLinks();
}

std::string Form3::marked(std::string text) const
{
    return markSearchWords(std::move(text), state_.searchWords);
}

std::filesystem::path Form3::sourcePath(int source) const
{
    return platform::resolveDataFile(state_.programFolder,
                                     searchSources()[static_cast<std::size_t>(source)].fileName);
}

void Form3::hitClick()
{
    const QListWidgetItem *hit = hitList_->currentItem();
    const std::string item = toAnsi(hit->text());
    const int source = chosenSource();
    reciteLink_->setVisible(isTranslationSource(source) || source >= kArabicSource);
    if (source == kArabicSource)
        showArabicVerse(static_cast<std::size_t>(hit->data(kRecordRole).toInt()));
    else if (source > kArabicSource)
        showInstalledVerse(static_cast<std::size_t>(hit->data(kRecordRole).toInt()));
    else if (isTranslationSource(source))
        showTranslationHit(hit->text().size() > kListedLimit
                               ? recordAt(sourcePath(source), hit->data(kRecordRole).toInt()).text
                               : item);
    else if (isHadithSource(source))
        showHadithHit(hit->data(kRecordRole).toInt(), source);
    else
        showWordListHit(item);
    showStepLinks();
    if (source == kWordListSource) {
        stepLinks_[0]->hide();
        stepLinks_[1]->hide();
    }
}

void Form3::showStepLinks()
{
    const bool any = !recordView_->toPlainText().isEmpty();
    stepLinks_[0]->setVisible(any);
    stepLinks_[1]->setVisible(any);
}

void Form3::showTranslationHit(const std::string &item)
{
    const std::string text = marked(cutForView(item));
    setShownText(text);
    const int surah = intInText(text.substr(0, 3));
    // A hit that does not begin with a surah number (a surah heading, say) is named as a verse.
    if (surah >= 1 && surah <= kSurahCount && surah <= surahList_->count())
        setHeading(QStringLiteral("Surah: ") + surahList_->itemText(surah - 1));
    else
        setHeading(QStringLiteral("Complete verse"));
}

void Form3::showHadithHit(int record, int source)
{
    // The hit's own record, found by its place in the file: other hadiths may begin with the same
    // words.
    const qtkit::BusyCursor busy;
    const RecordAt found = recordAt(sourcePath(source), record);
    state_.shownRecordNumber = found.read;
    setShownText(marked(found.read == record ? cutForView(found.text) : std::string()));
    setHeading(QStringLiteral("Complete text"));
}

void Form3::showWordListHit(const std::string &item)
{
    auto reader = FieldReader::open(platform::resolveDataFile(state_.programFolder, "URDU.txt"));
    setShownText(reader ? FindWordEntry(*reader, item) : std::string());
}

void Form3::stepClick(int index)
{
    if (state_.currentSource == kArabicSource)
        stepArabic(index);
    else if (state_.currentSource > kArabicSource)
        stepInstalled(index);
    else if (isTranslationSource(state_.currentSource))
        stepVerse(index);
    else if (isHadithSource(state_.currentSource))
        stepHadith(index);
}

void Form3::stepVerse(int index)
{
    const std::optional<std::string> key = steppedVerseKey(shownText(), index == 0 ? -1 : 1);
    if (!key)
        return; // the shown text names no verse
    stepLinks_[index == 0 ? 1 : 0]->setEnabled(true);
    {
        const qtkit::BusyCursor busy;
        if (const auto record = recordHolding(sourcePath(state_.currentSource), *key))
            setShownText(cutForView(*record));
        else
            stepLinks_[static_cast<std::size_t>(index)]->setEnabled(false);
    }
    setShownText(marked(shownText()));
    showStepLinks();
}

void Form3::stepHadith(int index)
{
    if (index == 0) {
        stepLinks_[1]->setEnabled(true);
        --state_.shownRecordNumber;
    } else {
        stepLinks_[0]->setEnabled(true);
        ++state_.shownRecordNumber;
    }
    const RecordAt found = recordAt(sourcePath(state_.currentSource), state_.shownRecordNumber);
    if (index == 1 && found.read < state_.shownRecordNumber) {
        // Past the last hadith: stay on it and offer no further step.
        state_.shownRecordNumber = found.read;
        stepLinks_[1]->setEnabled(false);
    } else {
        setShownText(state_.shownRecordNumber <= 0 ? std::string() : cutForView(found.text));
    }
    setHeading(QStringLiteral("Complete text"));
}

void Form3::reciteLinkClick()
{
    if (!reciteVerse_) {
        dialogs_.ask(this, QStringLiteral("No audio support available in this version"), QMessageBox::Ok,
                     QMessageBox::Information);
        return;
    }
    if (state_.currentSource > kArabicSource) {
        reciteInstalledVerse();
        return;
    }
    if (state_.currentSource == kArabicSource) {
        if (const ArabicIndex *index = arabicIndex(); index && shownArabicVerse_ < index->size()) {
            const QuranText::Verse &verse = index->text()->verses()[shownArabicVerse_];
            reciteVerse_(verse.surah, verse.surah == 1 ? verse.aya - 1 : verse.aya);
        }
        return;
    }
    // The shown verse's reference "002.255": surah 1 numbers its entries from its first verse, the
    // others from the invocation before it.
    const std::string ref = recordReference(shownText());
    const auto dot = ref.find('.');
    if (dot == std::string::npos)
        return;
    const int surah = intInText(ref.substr(0, dot));
    const int verse = intInText(ref.substr(dot + 1));
    reciteVerse_(surah, surah == 1 ? verse - 1 : verse);
}

} // namespace velmora
