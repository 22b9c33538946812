// The main window from the keyboard: shortcuts for the reader's steps and commands, the link labels
// reached by Tab, and the reading view, which takes the same steps.

#include "shell/form1.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "shell/readingwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

namespace velmora {

void Form1::createShortcuts()
{
    struct Shortcut
    {
        const char *name;
        std::vector<QKeySequence> keys;
        std::function<void()> run;
        QWidget *namedIn; // the control whose tooltip names the keys
        // The control's own command gets its keys after the tooltip; one of several that share the
        // control is named with them on a line of its own.
        bool ownCommand = true;
    };
    const auto stepTo = [this](ReadingStep s) { return [this, s] { step(s); }; };
    const Shortcut shortcuts[] = {
        {"Next verse",
         {QKeySequence(Qt::ALT | Qt::Key_Down)},
         stepTo(ReadingStep::NextVerse),
         verseList_,
         false},
        {"Previous verse",
         {QKeySequence(Qt::ALT | Qt::Key_Up)},
         stepTo(ReadingStep::PreviousVerse),
         verseList_,
         false},
        {"Next page",
         {QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
         stepTo(ReadingStep::NextPage),
         verseList_,
         false},
        {"Previous page",
         {QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
         stepTo(ReadingStep::PreviousPage),
         verseList_,
         false},
        {"Next surah",
         {QKeySequence(Qt::ALT | Qt::Key_PageDown)},
         stepTo(ReadingStep::NextSurah),
         surahList_,
         false},
        {"Previous surah",
         {QKeySequence(Qt::ALT | Qt::Key_PageUp)},
         stepTo(ReadingStep::PreviousSurah),
         surahList_,
         false},
        {"Find a surah, juz or page",
         {QKeySequence(Qt::CTRL | Qt::Key_G)},
         [this] { label1Click(kFindSurahLink); },
         captions_[kFindSurahLink]},
        {"Search", {QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { showSearchWindow(); }, searchButton_},
        {"Larger text",
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         [this] { label3Click(0); },
         formatLinks_[0]},
        {"Smaller text",
         {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
         [this] { label3Click(1); },
         formatLinks_[1]},
        {"Reading view", {QKeySequence(Qt::CTRL | Qt::Key_R)}, [this] { openReadingView(); }, readingLink_},
    };
    for (const Shortcut &shortcut : shortcuts) {
        const QAction *action = qtkit::addWindowShortcut(this, shortcut.name, shortcut.keys, shortcut.run);
        const QString keys = shortcut.keys.front().toString(QKeySequence::NativeText);
        const QString tip = shortcut.namedIn->toolTip();
        const QString named = action->text() + QStringLiteral(" (") + keys + QLatin1Char(')');
        shortcut.namedIn->setToolTip(tip.isEmpty() ? named
                                     : shortcut.ownCommand
                                         ? tip + QStringLiteral(" (") + keys + QLatin1Char(')')
                                         : tip + QLatin1Char('\n') + named);
    }

    readingRefresh_ = new QTimer(this);
    readingRefresh_->setObjectName(QStringLiteral("ReadingRefresh"));
    readingRefresh_->setSingleShot(true);
    readingRefresh_->setInterval(0); // once for all the changes of one pass
    connect(display_->document(), &QTextDocument::contentsChanged, readingRefresh_,
            qOverload<>(&QTimer::start));
    connect(readingRefresh_, &QTimer::timeout, this, [this] {
        if (readingWindow_ && readingWindow_->isVisible())
            readingWindow_->follow(*display_->document());
    });
}

void Form1::makeLinksKeyboardReachable()
{
    const std::pair<QLabel *, const char *> links[] = {
        {importLink_, "Bring in texts and recordings downloaded from their publishers"},
        {captions_[kFindSurahLink], "Choose a surah by its name, or go to a juz, hizb or page"},
        {bookmarksLink_, "Your bookmarks, and the last verse you read"},
        {noteLink_, "A note of your own on the selected verse"},
        {captions_[kAllLink], "The whole surah, from its first verse to its last"},
        {translationsLink_, "Translations in other languages: choose, add or remove them"},
        {formatLinks_[0], "Increase font size"},
        {formatLinks_[1], "Decrease font size"},
        {formatLinks_[3], "Toggle bold/regular"},
        {formatLinks_[2], "Toggle italic/non-italic"},
        {statusLine_, "The player's status; a click brings the player forward"},
        {readingLink_, "The verses shown, large, in a window of their own"},
        {memoriseLink_, "The reciter, rising repeats, pauses, speed and the hidden text"},
        {captions_[kAboutLink], "The program, its licence and where its texts come from"},
    };
    // After the controls, in the order they stand in (the last of them takes no focus).
    QWidget *before = textBoxes_[kWordByWordBox];
    for (const auto &[link, description] : links) {
        qtkit::makeKeyboardLink(link, QString::fromUtf8(description));
        setTabOrder(before, link);
        before = link;
    }
}

void Form1::nameControls()
{
    // What a screen reader says of each control whose caption is not its own: its name, then what
    // it does. Buttons and boxes are named by their captions.
    struct Named
    {
        const char *objectName;
        const char *name;
        const char *description;
    };
    static constexpr Named kNamed[] = {
        {"Combo1", "Surah", "The surah to read, or the supplications"},
        {"List1", "Verses in this surah", "A click shows a verse; a drag, a range"},
        {"Combo2", "Recite from verse", ""},
        {"Combo3", "to verse", ""},
        {"Text1", "Repeat every verse, times", ""},
        {"Text2", "Repeat selection, times", ""},
        {"Combo6", "Pause between verses", ""},
        {"Combo4", "Saved reciting schemes", ""},
        {"Combo5", "Display font", ""},
        {"Text3", "The verses shown", "The Arabic and the translations ticked, verse by verse"},
        {"PlaceLabel", "Where the verses stand", "Juz, page and the surah's Arabic name"},
        {"Button_0", "Player buttons", "Takes the focus after a player button"},
        {"Button_2", "Play", "Tells the player to play"},
        {"Button_3", "Pause", "Tells the player to pause"},
        {"Button_4", "Stop", "Tells the player to stop"},
    };
    for (const Named &named : kNamed)
        if (auto *control = findChild<QWidget *>(QLatin1String(named.objectName))) {
            control->setAccessibleName(QString::fromUtf8(named.name));
            control->setAccessibleDescription(QString::fromUtf8(named.description));
        }
    // A caption labels its control: on Linux a screen reader names a list box by its label.
    static constexpr std::pair<const char *, const char *> kCaptions[] = {
        {"Label1_2", "Combo1"}, {"Label1_9", "List1"}, {"Label1_5", "Combo2"},  {"Label1_8", "Combo3"},
        {"Label1_3", "Text1"},  {"Label1_4", "Text2"}, {"Label1_10", "Combo6"}, {"Label1_13", "Combo4"},
    };
    for (const auto &[caption, control] : kCaptions)
        if (auto *label = findChild<QLabel *>(QLatin1String(caption)))
            label->setBuddy(findChild<QWidget *>(QLatin1String(control)));
    tellLampState();
}

ReadingWindow *Form1::readingWindow() const
{
    return readingWindow_.data();
}

void Form1::openReadingView()
{
    if (!readingWindow_) {
        const std::filesystem::path kept = state_.tempFolder.empty()
                                               ? std::filesystem::path()
                                               : pathFromUtf8(state_.tempFolder + kReadingSettingsFileName);
        readingWindow_ = new ReadingWindow(
            this, [this](ReadingStep s) { step(s); }, kept);
    }
    readingWindow_->follow(*display_->document());
    readingWindow_->showAsKept();
}

void Form1::step(ReadingStep step)
{
    const auto within = [](int index, int count) { return index >= 0 && index < count; };
    const int surah = surahList_->currentIndex() + 1;
    switch (step) {
    case ReadingStep::NextVerse:
    case ReadingStep::PreviousVerse:
        if (const int row = verseList_->currentRow() + (step == ReadingStep::NextVerse ? 1 : -1);
            within(row, verseList_->count()))
            verseList_->setCurrentRow(row);
        return;
    case ReadingStep::NextSurah:
    case ReadingStep::PreviousSurah:
        if (const int index = surahList_->currentIndex() + (step == ReadingStep::NextSurah ? 1 : -1);
            within(index, surahList_->count()))
            surahList_->setCurrentIndex(index);
        return;
    case ReadingStep::NextPage:
    case ReadingStep::PreviousPage: {
        const QuranMetadata *divisions = metadata();
        if (!divisions || surahList_->currentText() == QLatin1String(kSupplicationRow))
            return;
        const VersePlace at = selectedVerse().value_or(VersePlace{surah, 1});
        const int page = divisions->divisionOf(Division::Page, at) + (step == ReadingStep::NextPage ? 1 : -1);
        if (page >= 1 && page <= static_cast<int>(divisions->count(Division::Page)))
            goToDivision(Division::Page, page);
        return;
    }
    }
}

} // namespace velmora
