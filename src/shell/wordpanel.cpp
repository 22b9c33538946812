#include "wordpanel.h"

#include "core/catalogue.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {
namespace {

QString counted(std::size_t words, std::size_t verses)
{
    return QStringLiteral("%1 %2 in %3 %4")
        .arg(QString::fromStdString(withThousands(words)),
             words == 1 ? QStringLiteral("word") : QStringLiteral("words"),
             QString::fromStdString(withThousands(verses)),
             verses == 1 ? QStringLiteral("verse") : QStringLiteral("verses"));
}

} // namespace

WordPanel::WordPanel(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WordPanel"));
    setWindowTitle(QStringLiteral("Word"));
    auto *layout = new QVBoxLayout(this);
    word_ = new QLabel(this);
    word_->setObjectName(QStringLiteral("Word"));
    word_->setAlignment(Qt::AlignCenter);
    word_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(word_);
    auto *facts = facts_ = new QFormLayout;
    static constexpr std::array<const char *, kLines> kNames = {"Gloss", "Root", "Lemma", "Meaning",
                                                                "Grammar"};
    static constexpr std::array<const char *, kLines> kCaptions = {
        "Meaning:", "Root:", "Lemma:", "Lemma's sense:", "Grammar:"};
    for (std::size_t i = 0; i < kLines; ++i) {
        lines_[i] = new QLabel(this);
        lines_[i]->setObjectName(QLatin1String(kNames[i]));
        lines_[i]->setWordWrap(true);
        lines_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        facts->addRow(QLatin1String(kCaptions[i]), lines_[i]);
    }
    layout->addLayout(facts);
    auto *buttons = new QHBoxLayout;
    rootSearch_ = new QPushButton(QStringLiteral("All verses with this root"), this);
    rootSearch_->setObjectName(QStringLiteral("RootSearch"));
    lemmaSearch_ = new QPushButton(QStringLiteral("All verses with this lemma"), this);
    lemmaSearch_->setObjectName(QStringLiteral("LemmaSearch"));
    buttons->addWidget(rootSearch_);
    buttons->addWidget(lemmaSearch_);
    layout->addLayout(buttons);
    auto *credit = new QLabel(QStringLiteral("From the Quranic Arabic Corpus, "
                                             "<a href=\"https://corpus.quran.com\">corpus.quran.com</a>"),
                              this);
    credit->setObjectName(QStringLiteral("Credit"));
    credit->setOpenExternalLinks(true);
    layout->addWidget(credit);
    connect(rootSearch_, &QPushButton::clicked, this, [this] { emit searchAsked(rootQuery_); });
    connect(lemmaSearch_, &QPushButton::clicked, this, [this] { emit searchAsked(lemmaQuery_); });
}

void WordPanel::showFacts(const WordFacts &facts, const QFont &arabicFont)
{
    QFont large = arabicFont;
    large.setPointSizeF(arabicFont.pointSizeF() * 1.5);
    word_->setFont(large);
    word_->setText(QString::fromStdString(facts.word));
    lines_[kGloss]->setText(QString::fromStdString(facts.gloss));
    // Each line runs left to right, its Arabic within it (a mark before an Arabic start says so).
    lines_[kRoot]->setText(facts.root.empty() ? QStringLiteral("none")
                                              : QStringLiteral("\u200E%1 (%2), %3")
                                                    .arg(QString::fromStdString(facts.rootArabic),
                                                         QString::fromStdString(facts.root),
                                                         counted(facts.rootWords, facts.rootVerses)));
    lines_[kLemma]->setText(facts.lemma.empty() ? QStringLiteral("none")
                                                : QStringLiteral("\u200E%1 (%2), %3")
                                                      .arg(QString::fromStdString(facts.lemmaArabic),
                                                           QString::fromStdString(facts.lemma),
                                                           counted(facts.lemmaWords, facts.lemmaVerses)));
    lines_[kMeaning]->setText(QString::fromStdString(facts.meaning));
    // A fact the corpus does not give has no row.
    for (const Line line : {kGloss, kMeaning})
        facts_->setRowVisible(static_cast<int>(line), !lines_[line]->text().isEmpty());
    lines_[kGrammar]->setText(QString::fromStdString(facts.grammar));
    rootQuery_ = QStringLiteral("root:") + QString::fromStdString(facts.root);
    lemmaQuery_ = QStringLiteral("lemma:") + QString::fromStdString(facts.lemma);
    rootSearch_->setEnabled(!facts.root.empty());
    lemmaSearch_->setEnabled(!facts.lemma.empty());
    show();
    raise();
}

} // namespace velmora
