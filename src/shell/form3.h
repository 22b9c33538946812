// The search window: query box with history, sources, result list and the complete text of a hit.
#pragma once

#include "qtkit/qtkit.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

#include "search/arabic.h"
#include "search/corpus.h"
#include "search/history.h"
#include "search/records.h"
#include "text/metadata.h"
#include "text/translations.h"

#include <map>

#include <optional>

namespace velmora {

struct MainState;

class Form3 : public QDialog
{
    Q_OBJECT

public:
    // surahList is the main window's surah list, which names the surah of a verse hit.
    // Recites a verse (surah, verse entry) through the main window; empty in the edition without
    // audio.
    using ReciteVerse = std::function<void(int surah, int entry)>;
    // The reader's notes as they stand, searched as a source of their own.
    using NotesOf = std::function<std::map<VersePlace, std::string>()>;
    Form3(MainState &state, qtkit::Dialogs &dialogs, QComboBox *surahList, const QFont &displayFont,
          ReciteVerse reciteVerse = {}, NotesOf notesOf = {});
    ~Form3() override;

    // The program ends: the window goes at once, without writing the history, and runs no handler.
    void endWithProgram();

    void searchCommand();
    int chosenSource() const;
    // Searches the Arabic text for the query, as the reader would by typing it there.
    void searchArabicFor(const QString &query);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createQueryControls();
    void createResultControls();
    QGroupBox *createSourceBox();
    void nameControls();
    void loadHistory();
    // Lists the history in the query box.
    void showHistory(SearchHistory history);
    void writeWholeHistory();
    std::filesystem::path historyPath() const;
    // Writes the history, and tells the reader when it cannot.
    void saveHistory(const std::filesystem::path &path, const std::vector<std::string> &entries);
    void addToHistory(const QString &query);
    void countLabelClick();
    void resetUsageClick();
    void optionClick(int index);

    // Result view
    void hitClick();
    void showTranslationHit(const std::string &item);
    void showHadithHit(int record, int source);
    void showWordListHit(const std::string &item);
    void stepClick(int index);
    void stepVerse(int index);
    void stepHadith(int index);
    void reciteLinkClick();
    void showStepLinks();
    void setShownText(const std::string &text);
    std::string shownText() const;
    std::string marked(std::string text) const;
    std::filesystem::path sourcePath(int source) const;
    void setHeading(const QString &text);

    // The Arabic text: searched in its Simple Clean form, shown in the Uthmani one.
    const ArabicIndex *arabicIndex();
    void searchArabicText(const QString &query);
    // A search by root or lemma (root:كتب, lemma:kitaAb) in the reading text, from the corpus.
    void searchArabicWords(WordIndex::Kind kind, std::string_view typed);
    const WordIndex *wordIndex();
    void showArabicVerse(std::size_t verse);
    void stepArabic(int index);
    // The hits of a folded text's query in the list, each row as row gives it, with the count.
    void listVerseHits(const ArabicOutcome &outcome, const std::function<QString(std::size_t verse)> &row);
    void setCountText(const QString &text);

    // The installed translations, sources after the Arabic text (kArabicSource + 1 on), chosen in a
    // list under the English ones; each searched and shown in its own script and direction.
    void createTranslationList(QWidget *frame);
    void translationChosen(int row);
    const InstalledTranslation *chosenTranslation() const;
    const ArabicIndex *translationIndex(const InstalledTranslation &translation);
    // The reader's notes, the list's last row: read afresh for every search.
    bool notesChosen() const;
    void readNotes();
    // The index of the translation or of the notes chosen in the list.
    const ArabicIndex *chosenFoldedIndex();
    void searchInstalledTranslation(const QString &query);
    void showInstalledVerse(std::size_t verse);
    void stepInstalled(int index);
    void reciteInstalledVerse();

    MainState &state_;
    qtkit::Dialogs &dialogs_;
    QComboBox *surahList_;
    ReciteVerse reciteVerse_;

    // The controls, each with the objectName it goes by (tests and the layout find them by it).
    QComboBox *queryBox_ = nullptr;        // Combo1: the query, with the history
    QPushButton *searchButton_ = nullptr;  // Command1
    QLabel *resetLink_ = nullptr;          // Labelxyz: "Reset usage"
    std::array<QLabel *, 2> stepLinks_{};  // Label7_0, Label7_1: "< Prev", "Next >"
    QLabel *reciteLink_ = nullptr;         // Label3: "Recite this verse"
    QLabel *countLabel_ = nullptr;         // Label1: the count of hits
    QListWidget *hitList_ = nullptr;       // List1: the hits
    QLabel *heading_ = nullptr;            // Label2: what the record shown is
    QPlainTextEdit *recordView_ = nullptr; // Text1: the record of the hit
    std::array<QRadioButton *, 10>
        sourceButtons_{}; // Option1_0 ... 9: the nine data files, then the Arabic text
    bool loading_ = true;
    SearchHistory history_; // what the query box lists
    std::optional<QuranText> searchedText_;
    std::optional<QuranText> readingText_;
    std::optional<ArabicIndex> arabicIndex_;
    std::optional<ReadingSpellings> readingSpellings_; // the reading text's spellings, searched beside
    SearchWords arabicWords_;                          // the last Arabic query's words (UTF-8)
    std::optional<WordIndex> wordIndex_;
    // The words of the root or lemma last asked for, by searched verse; empty after any other query.
    std::map<std::size_t, std::vector<std::uint32_t>> wordMarks_;
    std::size_t shownArabicVerse_ = 0; // place in the searched text of the verse shown
    QComboBox *translationList_ = nullptr;
    std::vector<InstalledTranslation> installed_;
    struct FoldedText
    {
        std::optional<QuranText> text;
        std::optional<ArabicIndex> index;
    };
    std::map<std::string, FoldedText> translationTexts_; // by ID, read when first searched
    SearchWords translationWords_;
    std::size_t shownTranslationVerse_ = 0;
    NotesOf notesOf_;
    std::map<VersePlace, std::string> searchedNotes_; // the notes as last searched
    FoldedText notesText_;
};

} // namespace velmora
