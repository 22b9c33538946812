// A small window of what the Quranic Arabic Corpus says of one Arabic word of the display: the
// word, its gloss, root, lemma and grammar, how often its root and lemma occur, and buttons that
// search for every verse of the root or the lemma.
#pragma once

#include "search/wordfacts.h"

#include <QDialog>
#include <QString>

#include <array>

class QFormLayout;
class QLabel;
class QPushButton;

namespace velmora {

class WordPanel : public QDialog
{
    Q_OBJECT

public:
    explicit WordPanel(QWidget *parent);
    void showFacts(const WordFacts &facts, const QFont &arabicFont);

signals:
    // A search of the Arabic text, as the search window's query box takes it: "root:ktb".
    void searchAsked(const QString &query);

private:
    enum Line : std::size_t
    {
        kGloss,
        kRoot,
        kLemma,
        kMeaning,
        kGrammar,
        kLines
    };
    QLabel *word_ = nullptr;
    QFormLayout *facts_ = nullptr;
    std::array<QLabel *, kLines> lines_{};
    QPushButton *rootSearch_ = nullptr;
    QPushButton *lemmaSearch_ = nullptr;
    QString rootQuery_;
    QString lemmaQuery_;
};

} // namespace velmora
