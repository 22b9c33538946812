// The main window: surah and verse choice, the verse display, reciting options and schemes.
#pragma once

#include "core/prefs.h"
#include "platform/playerchannel.h"
#include "qtkit/qtkit.h"
#include "recite/memorise.h"
#include "recite/playlist.h"
#include "search/engine.h"
#include "search/wordfacts.h"
#include "text/bookmarks.h"
#include "text/metadata.h"
#include "text/notes.h"
#include "text/quran.h"
#include "text/translations.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QTextEdit;
class QTextCursor;
class QTextCharFormat;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace velmora {

struct ReadHooks;
class Form3;
class Form4;
class WordPanel;
class NoteEditor;
class BookmarksWindow;
class ReadingWindow;
class MemoriseWindow;
enum class ReadingStep;

// The state the main window owns for the whole run.
struct MainState
{
    std::string programFolder;     // ends in a separator
    std::string tempFolder;        // ends in a separator; "" when there is none: nothing is read or saved
    bool toldNoTempFolder = false; // the reader has been told that nothing is saved
    std::string playerPath;        // short form, "" when none
    Preferences prefs;             // as read at start-up
    int rangeStart = 0;
    int rangeEnd = 0;
    std::string schemeName;
    std::string playlistPath;
    SearchWords searchWords;   // the last query's words, shared with the search window
    int currentSource = 0;     // the search window's source last chosen
    int shownRecordNumber = 0; // position in its file of the hadith shown in the search window
};

// Whether a name is that of a file the program writes into its own folder (a scheme among them).
bool isOwnFileName(std::string_view name);
// Of those, the ones that hold what the reader saved: the preferences, the history, the schemes.
bool isSavedFileName(std::string_view name);

// Whether the program has its folder for its own files. When it has none, the reader is told so
// once per run, or every time for a command that exists to save (Save, Recite).
bool haveTempFolder(MainState &state, qtkit::Dialogs &dialogs, QWidget *parent, bool everyTime = false);

// The program comes in two editions: the download edition, whose recitation commands stay off, and
// the audio edition, which recites through the outside player.
enum class Edition
{
    WithoutAudio,
    Audio
};

class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(std::string programFolder, std::string tempFolder, PlayerChannel &player, qtkit::Dialogs &dialogs,
          Edition edition = Edition::WithoutAudio, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence: preferences, fonts, placement, the first surah and scheme list.
    void load();

    std::string GetTrans(const std::string &fileName, int surah, int fromVerse, int toVerse);
    void UpdateCombo4();

    const MainState &state() const { return state_; }
    QFont displayFont() const;
    Form3 *searchWindow() const;
    Form4 *findSurahDialog() const;
    WordPanel *wordPanel() const;
    NoteEditor *noteEditor() const;
    BookmarksWindow *bookmarksWindow() const;
    ReadingWindow *readingWindow() const;

    // The reader's steps through the text, as the shortcuts and the reading view take them: through
    // the verse list, the surah list and the find-surah's go-to, as a reader's choice there runs.
    void step(ReadingStep step);

signals:
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Layout
    void createControls();
    void createSurahControls();
    void createSchemeControls();
    void createHiddenControls();
    void createRecitingOptions(QWidget *frame);
    void createRangeControls(QWidget *frame);
    void createDisplayBoxes(QWidget *frame);
    void createCommandButtons(QWidget *frame);
    void createPlayerControls(QWidget *frame);
    // A caption of the reciting options, kept as captions_[index].
    QLabel *optionLabel(QWidget *frame, std::size_t index, const char *name, const char *caption);
    void createDisplayControls();
    void createVerseText();
    void createFormatBox();
    void setTabOrderOfControls();
    QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption);

    // Start-up and end
    void readPreferences();
    void placeOnScreen();
    void exitClicked();
    void endProgram();

    // Surah and range choice
    void combo1Click();
    void list1Click();
    void list1MouseDown(int row);
    void list1MouseUp();
    void list1DoubleClick();
    void showSearchWindow();

    // Verse display
    void translate();
    void runTranslate();
    // Tells the reader of the translation files a Translate could not read, and what is wrong.
    void reportMissingFiles();
    void watchFiles(ReadHooks &hooks);
    void check2Click(int index);
    void label3Click(int index);
    void combo5Click();
    void label1Click(int index);
    // The program, its licence and where its texts come from: the Quran text's source, and the
    // data folder's SOURCES.md.
    void showAbout();
    void label2Click();
    void setDisplayText(const std::string &text);
    // The verses with the Arabic text (unless withArabic is false): each entry's Arabic paragraph,
    // right to left, above its translations, the four boxes' and then those of chosen.
    void showWithArabic(int surah, int fromVerse, int toVerse, const std::vector<std::string> &files,
                        std::vector<const InstalledTranslation *> chosen, bool withArabic);
    void renderArabicDisplay();
    // The Arabic text of the data folder, read once; nullptr (and the file reported) when missing.
    const QuranText *quranText();
    void setDisplayFont(const QFont &font);

    // The installed translations beside the four boxes: a link whose menu ticks them (each ticked
    // one goes last), adds Tanzil's files and removes the reader's own; the choice is kept in the
    // program's own folder.
    void createTranslationsLink(QWidget *frame);
    void showTranslationsMenu();
    void toggleTranslation(const std::string &id);
    void addTranslations();
    void removeTranslation(const InstalledTranslation &translation);
    void readInstalledTranslations();
    // The chosen translations that are installed and can be read, in the reader's order.
    std::vector<const InstalledTranslation *> chosenTranslations();

    // Recitation
    void buttonClick(int index);
    void saveClicked();
    // What a scheme is saved for: kept under a name the reader gives, or recited as the default.
    enum class SchemeUse
    {
        Keep,
        Recite
    };
    // Writes the playlist of the chosen range; nullopt when nothing was written.
    std::optional<Playlist> saveScheme(SchemeUse use);
    // Asks for a scheme's name until it is one (and, for a scheme that exists, overwriting is
    // agreed); false when the reader cancels.
    bool askSchemeName();
    void reciteClicked();
    void command2Click(int index);
    void timer1Tick();
    void blinkieTick();
    void setLamp(unsigned colourValue);
    void setLampGrey();
    void tellLampState();
    // The verse being recited, marked in the display (and the reading view) and kept in view.
    void followRecitation();
    // The characters of the display that show an entry, its translations with it; nullopt when
    // the display does not show it.
    // Each entry the display shows, with the characters from its start to the next one's.
    struct EntrySpan
    {
        int entry;
        int start, end;
    };
    std::vector<EntrySpan> displayedEntries() const;
    std::optional<std::pair<int, int>> displaySpanOf(const std::vector<EntrySpan> &spans, int entry) const;
    std::vector<int> entryStarts_; // where each of shownVerses_ begins in the display

    // Memorising: the reciter, the repeats and pauses, the speed and the hidden text, chosen in a
    // window of their own and kept in the program's folder.
    void readReciteSettings();
    void openMemorising();
    void changeReciteSettings(const ReciteSettings &settings);
    // The recited verse's mark and, while the text is hidden, the verses not yet recited or
    // clicked, in the display and the reading view.
    void markDisplay(std::optional<std::pair<int, int>> recited, const std::vector<EntrySpan> &spans);
    // A click on a hidden verse shows it; false when the click was on none.
    bool revealVerseAt(const QPoint &position);
    ReciteSettings recite_;
    std::optional<std::pair<int, int>> recitedSpan_;
    std::set<int> revealed_; // the entries shown while the text is hidden
    QLabel *memoriseLink_ = nullptr;
    QPointer<MemoriseWindow> memoriseWindow_;
    void launchFailed(const std::string &what);
    void reciteVerse(int surah, int entry);
    std::string playerProgram() const;

    MainState state_;
    const Edition edition_;
    PlayerChannel &player_;
    qtkit::Dialogs &dialogs_;

    // The controls, each with the objectName it goes by (tests and the layout find them by it).
    QComboBox *surahList_ = nullptr;               // Combo1
    QComboBox *fromVerseList_ = nullptr;           // Combo2: recite from verse
    QComboBox *toVerseList_ = nullptr;             // Combo3: to verse
    QComboBox *schemeList_ = nullptr;              // Combo4: saved reciting schemes
    QComboBox *fontList_ = nullptr;                // Combo5: the display's font
    QComboBox *pauseList_ = nullptr;               // Combo6: pause between verses
    QComboBox *entryCountList_ = nullptr;          // Combo7 (hidden): entries per surah
    qtkit::PressReleaseList *verseList_ = nullptr; // List1: the verses, or the supplications
    QTextEdit *display_ = nullptr;                 // Text3: the verses shown
    QLineEdit *verseRepeats_ = nullptr;            // Text1: repeat every verse
    QLineEdit *selectionRepeats_ = nullptr;        // Text2: repeat selection
    std::array<QLabel *, 15> captions_{};          // Label1_0 ... Label1_14
    // The captions and links of captions_ that the handlers change or the window makes links of.
    enum LabelIndex : std::size_t
    {
        kSurahHeading = 0,
        kVerseListCaption = 9,
        kAllLink = 11,
        kFindSurahLink = 12,
        kAboutLink = 14
    };
    std::array<QLabel *, 4> formatLinks_{}; // Label3_0 ... Label3_3: the display's formats
    QLabel *statusLine_ = nullptr;          // Label2: the player's status, a link to its verse
    // The four translation boxes, then the Arabic text's and the word-by-word one.
    static constexpr std::size_t kArabicBox = 4;
    static constexpr std::size_t kWordByWordBox = 5;
    std::array<QCheckBox *, 6> textBoxes_{};          // Check2_0 ... Check2_5
    std::array<QPushButton *, 3> schemeButtons_{};    // Command2_0 ... 2: Recite, Edit, Delete
    QPushButton *searchButton_ = nullptr;             // Command1
    QPushButton *loadingBanner_ = nullptr;            // Command3: "Loading. Please wait...."
    QPushButton *reciteButton_ = nullptr;             // Command4
    QPushButton *saveButton_ = nullptr;               // Command5
    QPushButton *exitButton_ = nullptr;               // Command6
    QPushButton *translateButton_ = nullptr;          // Command7 (hidden)
    std::array<QToolButton *, 5> transportButtons_{}; // Button_0, Button_2 ... Button_4
    QLabel *playState_ = nullptr;
    QTimer *playerTimer_ = nullptr; // Timer1: asks the player how it stands
    QTimer *blinkie_ = nullptr;
    unsigned lampColour_ = 0;

    QPointer<Form3> form3_;
    QPointer<Form4> form4_;

    // The mushaf's divisions: where the verses shown stand, named above the verse list, and a
    // go-to that lands on a division's first verse as a reader's selection would.
    const QuranMetadata *metadata();
    void showPlace(int surah, int entry);
    bool goToDivision(Division division, int number);
    std::optional<QuranMetadata> metadata_;
    bool metadataRead_ = false;
    QLabel *placeLabel_ = nullptr;

    // Notes of the reader's own on verses, in Notes.md of the program's folder: the link "Note..."
    // opens the selected verse's note; verses with one are marked in the list and the display.
    NotesFile *notes();
    void tellNotesKeptAside(const NotesFile::Outcome &read);
    // The notes as the file holds them now.
    std::map<VersePlace, std::string> currentNotes();
    std::optional<VersePlace> selectedVerse() const;
    void openNote();
    void saveNote(VersePlace verse, const std::string &text);
    void markNotedVerses();
    std::optional<NotesFile> notes_;
    bool firstStart_ = false; // no preferences were found: the display says how to add a translation
    // Bookmarks in collections, and the last verse read, in Bookmarks.md of the program's folder.
    BookmarksFile *bookmarks();
    void openBookmarks();
    void changeBookmarks(const std::function<void(Bookmarks &)> &edit);
    void goToVerse(VersePlace verse);
    std::optional<BookmarksFile> bookmarks_;
    std::optional<VersePlace> lastRead_; // the first verse shown last, kept when the program ends
    QLabel *bookmarksLink_ = nullptr;
    QPointer<BookmarksWindow> bookmarksWindow_;
    // Copies the selected text (all the display's, without a selection) and then where it stands:
    // "(Al-Baqara 2:255, M. Pickthall)"; the display's own copy keeps the text alone.
    void copyWithCitation();
    QString citation();
    QLabel *noteLink_ = nullptr;
    QPointer<NoteEditor> noteEditor_;

    // The keyboard: shortcuts for the steps and the commands (each named in its control's tooltip),
    // and the link labels reached by Tab after the controls, activated by Enter or Space.
    void createShortcuts();
    void makeLinksKeyboardReachable();
    // Names and descriptions for assistive technology where a control's caption does not say it.
    void nameControls();
    // The display large in a window of its own, following every change of it.
    void openReadingView();
    QLabel *readingLink_ = nullptr;

    // "Import texts...": the texts and recordings a reader downloaded, brought into their own data
    // folder; and, when a start finds texts missing, the display tells which, and where they are
    // published.
    void createImportLink();
    void openImport();
    void explainMissingTexts();
    QLabel *importLink_ = nullptr;
    bool explainAtStart_ = false;
    QPointer<ReadingWindow> readingWindow_;
    QTimer *readingRefresh_ = nullptr;

    // Word by word: a click on an Arabic word of the display, or Enter with the text cursor in one,
    // shows what the corpus says of it in a panel; the corpus is read at the first.
    void lookUpWordAt(const QTextCursor &cursor);
    void showWordFacts(const std::optional<WordFacts> &facts);
    const CorpusWords *corpusWords();
    void searchArabicFor(const QString &query);
    std::optional<WordIndex> wordIndex_;
    std::optional<CorpusWords> corpusWords_;
    QPointer<WordPanel> wordPanel_;
    int shownSurah_ = 0; // the surah of shownVerses_
    // An Arabic paragraph of the display keeps its verse as its block's state: surah * this + aya.
    static constexpr int kVerseStateSurah = 1000;
    // A word of the word-by-word display keeps its verse's place in the reading text and its own:
    // this, plus the verse times kWordsPerVerse, plus the word.
    static constexpr int kWordCellState = 1 << 29;
    static constexpr int kWordsPerVerse = 1000;
    std::optional<std::size_t> readingVerseOf(const DisplayVerse &verse);
    // Inserts a verse word by word; false (nothing inserted) when the corpus cannot be read.
    bool insertWordByWord(QTextCursor &cursor, const DisplayVerse &verse, const QTextCharFormat &arabicChars,
                          bool first);

    bool translating_ = false;
    bool translatePending_ = false;
    bool reportScheduled_ = false;
    std::set<std::string> missingFiles_;
    std::map<std::string, std::string> unreadableFiles_; // file name and what is wrong with it
    // Why the Arabic text could not be read, in words after its name; "" when it could.
    std::string quranProblem_;
    QString quranFolder_;
    std::optional<QuranText> quran_;
    std::vector<DisplayVerse> shownVerses_; // the display's verses while the Arabic text is shown
    QLabel *translationsLink_ = nullptr;
    std::vector<InstalledTranslation> installed_;
    std::vector<std::string> chosen_;                                  // IDs, in the reader's order
    std::map<std::string, std::optional<QuranText>> translationTexts_; // read once each
    std::vector<const InstalledTranslation *> shownTranslations_;      // those of shownVerses_' more
    bool ended_ = false;
};

} // namespace velmora
