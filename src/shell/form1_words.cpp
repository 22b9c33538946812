// The main window's word look-up: what the Quranic Arabic Corpus says of an Arabic word of the
// display, in a panel that can search for the word's root or lemma.

#include "shell/form1.h"

#include "core/pathname.h"
#include "platform/paths.h"
#include "shell/form3.h"
#include "shell/wordpanel.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace velmora {

WordPanel *Form1::wordPanel() const
{
    return wordPanel_.data();
}

const CorpusWords *Form1::corpusWords()
{
    if (corpusWords_)
        return &*corpusWords_;
    const QuranText *reading = quranText();
    if (!reading)
        return nullptr;
    const auto morphology = platform::resolveDataFile(state_.programFolder, kMorphologyFile);
    const qtkit::BusyCursor busy;
    std::string problem;
    if (!wordIndex_)
        wordIndex_ = programWordIndex(state_.programFolder, state_.tempFolder, *reading, &problem);
    if (wordIndex_) {
        corpusWords_ = CorpusWords::open(morphology.parent_path(), *reading, *wordIndex_, &problem);
        if (corpusWords_)
            return &*corpusWords_;
    } else {
        problem = std::string(kMorphologyFile) + " " + problem;
    }
    dialogs_.tell(
        this,
        QStringLiteral("The Quranic Arabic Corpus's %1 in %2, so its words cannot be looked up.")
            .arg(QString::fromStdString(problem), QString::fromStdString(utf8Of(morphology.parent_path()))));
    return nullptr;
}

void Form1::lookUpWordAt(const QTextCursor &cursor)
{
    const int state = cursor.block().userState();
    if (state <= 0)
        return; // no Arabic paragraph
    if (state >= kWordCellState) {
        // A word of the word-by-word display: its verse and word are its state.
        const int place = state - kWordCellState;
        if (const CorpusWords *corpus = corpusWords())
            showWordFacts(corpus->factsOf(static_cast<std::size_t>(place / kWordsPerVerse),
                                          static_cast<std::size_t>(place % kWordsPerVerse)));
        return;
    }
    const QuranText *reading = quranText();
    const auto verse =
        reading ? reading->placeOf(state / kVerseStateSurah, state % kVerseStateSurah) : std::nullopt;
    if (!verse)
        return;
    // The word whose bytes hold the cursor's place, or end where it stands.
    const std::size_t at =
        static_cast<std::size_t>(cursor.block().text().left(cursor.positionInBlock()).toUtf8().size());
    const auto words = readingWords(reading->verses()[*verse].text);
    const auto word = std::find_if(words.begin(), words.end(), [&](const auto &range) {
        return range.first <= at && at <= range.second;
    });
    if (word == words.end())
        return;
    if (const CorpusWords *corpus = corpusWords())
        showWordFacts(corpus->factsOf(*verse, static_cast<std::size_t>(word - words.begin())));
}

void Form1::showWordFacts(const std::optional<WordFacts> &facts)
{
    if (!facts)
        return;
    if (!wordPanel_) {
        wordPanel_ = new WordPanel(this);
        connect(wordPanel_, &WordPanel::searchAsked, this, &Form1::searchArabicFor);
        // Beside the main window, where it hides none of it.
        qtkit::moveBeside(wordPanel_, this);
    }
    wordPanel_->showFacts(*facts, qtkit::arabicFontBeside(display_->font()));
}

void Form1::searchArabicFor(const QString &query)
{
    showSearchWindow();
    if (form3_)
        form3_->searchArabicFor(query);
}

} // namespace velmora
