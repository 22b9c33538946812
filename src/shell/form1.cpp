// The main window's layout, start-up, end, and the choice of surah and verse range.

#include "form1.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "form4.h"
#include "platform/paths.h"
#include "search/arabic.h"
#include "search/history.h"
#include "shell/bookmarkswindow.h"
#include "shell/form3.h"
#include "shell/noteeditor.h"
#include "shell/readingwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace velmora {

using qtkit::fromAnsi;
using qtkit::px;
using qtkit::toAnsi;

namespace {

constexpr const char *kCaption = "Velmora (Internet download version, without audio support)";
constexpr const char *kAudioCaption = "Velmora";
constexpr int kClientWidth = 10095;
constexpr int kClientHeight = 5955;
constexpr int kOuterWidth = 10185;

// Where each control stands, in twips within its parent, as the form was designed.
// clang-format off
constexpr qtkit::Placement kLayout[] = {
    {"Frame1",            1860,   960,  3615,  3885},
    {"Label1_2",           720,   330,   555,   195},
    {"Combo1",            1440,   240,  4065,   360},
    {"Label1_12",         4620,   630,   900,   195},
    {"NoteLink",          4620,   840,   900,   195},
    {"BookmarksLink",     3570,   840,  1000,   195},
    {"PlaceLabel",        1860,   630,  2700,   195},
    {"Label1_9",           150,   750,  1680,   195},
    {"List1",              150,   990,  1545,  3660},
    {"Shape1_0",            60,  4920,  5415,    45},
    {"Label1_13",          210,  5010,  1695,   195},
    {"Label1_14",         4680,  5010,   555,   195},
    {"ReadingLink",       3060,  5010,  1300,   195},
    {"Combo4",             210,  5280,  2055,   360},
    {"Command2_2",        2550,  5280,   885,   375},
    {"Command2_1",        3450,  5280,   885,   375},
    {"Command2_0",        4350,  5280,   885,   375},
    {"Command7",          4320,  -500,  1100,   375},
    {"Combo7",              60,  -600,  2055,   315},
    {"Label1_5",           180,   360,  1410,   195},
    {"Combo2",            2130,   270,  1005,   360},
    {"Label1_8",           840,   750,   735,   195},
    {"Combo3",            2130,   660,  1005,   360},
    {"Label1_11",         3240,   780,   165,   195},
    {"Label1_3",           210,  1110,  1440,   195},
    {"Text1",             2160,  1080,   705,   285},
    {"Label1_6",          2910,  1110,   450,   195},
    {"Label1_4",           210,  1455,  1200,   195},
    {"Text2",             2160,  1410,   705,   285},
    {"Label1_7",          2910,  1455,   450,   195},
    {"Label1_10",          210,  1830,  1620,   195},
    {"Combo6",            2130,  1770,  1425,   315},
    {"Label1_1",           210,  2160,   630,   195},
    {"Check2_0",           300,  2655,  1245,   255},
    {"Check2_1",          1845,  2400,  1700,   255},
    {"Check2_2",           300,  2400,  1470,   255},
    {"Check2_3",          1845,  2655,  1035,   255},
    {"Check2_4",          1845,  2130,  1000,   255},
    {"Check2_5",          1845,  2895,  1700,   255},
    {"MemoriseLink",       300,  2925,  1400,   195},
    {"Command5",           270,  3165,  1000,   345},
    {"Command4",          1285,  3165,  1000,   345},
    {"Command6",          2310,  3165,  1000,   345},
    {"PlayState",          240,  3570,   192,   192},
    {"Label2",             525,  3570,  1245,   195},
    {"Button_2",          2010,  3510,   400,   300},
    {"Button_3",          2430,  3510,   400,   300},
    {"Button_4",          2850,  3510,   400,   300},
    {"Label1_0",          5700,     0,  4275,   195},
    {"Text3",             5670,   210,  4305,  4725},
    {"Button_0",          5160,  4320,   264,   228},
    {"Command3",          6780,  2250,  2205,   495},
    {"Frame2",            5670,  5010,  4335,   885},
    {"Command1",           120,   330,  1425,   375},
    {"Combo5",            1800,   375,  1875,   315},
    {"Label3_0",          3960,   180,   195,   360},
    {"Label3_1",          3735,   330,   105,   195},
    {"Label3_2",          3960,   570,   240,   240},
    {"Label3_3",          3720,   510,   165,   240},
    {"ImportLink",        3900,    15,  1605,   195},
    {"TranslationsLink",   870,  2160,   945,   195},
};
// clang-format on

QComboBox *makeCombo(QWidget *parent, const char *name, double points = 8.25)
{
    auto *combo = qtkit::make<QComboBox>(parent, name);
    combo->setFont(qtkit::formFont(points));
    combo->setEditable(false);
    return combo;
}

QLineEdit *makeCountBox(QWidget *parent, const char *name)
{
    auto *box = qtkit::make<QLineEdit>(parent, name, QStringLiteral("1"));
    box->setFont(qtkit::formFont(9.75));
    qtkit::setTextColor(box, 128, 64, 0);
    return box;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, bool enabled = true)
{
    auto *button = qtkit::make<QPushButton>(parent, name, caption);
    button->setEnabled(enabled);
    return button;
}

} // namespace

Form1::Form1(std::string programFolder, std::string tempFolder, PlayerChannel &player,
             qtkit::Dialogs &dialogs, Edition edition, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      edition_(edition), player_(player), dialogs_(dialogs)
{
    state_.programFolder = std::move(programFolder);
    state_.tempFolder = std::move(tempFolder);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(kCaption));
    setWindowIcon(qtkit::programIcon());
    setFont(qtkit::formFont(8.25));
    setFixedSize(px(kClientWidth), px(kClientHeight));
    createControls();
    setTabOrderOfControls();
    createShortcuts();
    makeLinksKeyboardReachable();
    nameControls();
    if (edition_ == Edition::Audio) {
        // The audio edition: its own caption, and the recitation commands on.
        setWindowTitle(QLatin1String(kAudioCaption));
        for (QPushButton *command :
             {reciteButton_, saveButton_, schemeButtons_[0], schemeButtons_[1], schemeButtons_[2]})
            command->setEnabled(true);
        statusLine_->setText(QString());
    }
}

Form1::~Form1()
{
    delete form3_.data();
    delete form4_.data();
}

QLabel *Form1::makeLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *label = qtkit::make<QLabel>(parent, name, caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void Form1::createControls()
{
    createSurahControls();
    auto *frame1 = qtkit::make<QGroupBox>(this, "Frame1", QStringLiteral("Reciting Options"));
    frame1->setFont(qtkit::formFont(8.25, true));
    createRecitingOptions(frame1);
    qtkit::setCaptionColor(frame1, 128, 0, 0);
    createDisplayControls();
    createSchemeControls();
    createHiddenControls();
    qtkit::placeControls(this, kLayout);

    for (QLabel *link :
         {formatLinks_[0], formatLinks_[1], formatLinks_[2], formatLinks_[3], captions_[kAllLink],
          captions_[kFindSurahLink], statusLine_, captions_[kSurahHeading], captions_[kAboutLink],
          translationsLink_, noteLink_, bookmarksLink_, readingLink_, memoriseLink_, importLink_})
        link->setCursor(qtkit::handCursor());
    translationsLink_->installEventFilter(this);
    memoriseLink_->installEventFilter(this);
    importLink_->installEventFilter(this);
    readingLink_->installEventFilter(this);
    noteLink_->installEventFilter(this);
    bookmarksLink_->installEventFilter(this);
    for (std::size_t i = 0; i < captions_.size(); ++i)
        if (captions_[i])
            captions_[i]->installEventFilter(this);
    for (QLabel *label : formatLinks_)
        label->installEventFilter(this);
    statusLine_->installEventFilter(this);
    verseRepeats_->installEventFilter(this);
    selectionRepeats_->installEventFilter(this);
}

// The surah chosen, the find-surah link and the list of its verse entries.
void Form1::createSurahControls()
{
    captions_[2] = makeLabel(this, "Label1_2", QStringLiteral("Select"));
    captions_[2]->setFont(qtkit::formFont(8.25, true));
    qtkit::setTextColor(captions_[2], 128, 0, 0);

    surahList_ = makeCombo(this, "Combo1", 9.75);
    QStringList rows;
    for (const auto &row : surahRows())
        rows.push_back(fromAnsi(row));
    qtkit::setEntriesQuietly(surahList_, rows, true);
    surahList_->setMaxVisibleItems(20);
    connect(surahList_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            combo1Click();
    });

    captions_[kFindSurahLink] = makeLabel(this, "Label1_12", QStringLiteral("Find Surah..."));
    qtkit::setTextColor(captions_[kFindSurahLink], 0, 0, 255);

    createImportLink();
    noteLink_ = makeLabel(this, "NoteLink", QStringLiteral("Note..."));
    qtkit::setTextColor(noteLink_, 0, 0, 255);
    bookmarksLink_ = makeLabel(this, "BookmarksLink", QStringLiteral("Bookmarks..."));
    bookmarksLink_->setToolTip(QStringLiteral("Your bookmarks, and the last verse you read"));
    qtkit::setTextColor(bookmarksLink_, 0, 0, 255);
    noteLink_->setToolTip(QStringLiteral("A note of your own on the selected verse"));
    placeLabel_ = makeLabel(this, "PlaceLabel", QString());
    placeLabel_->setFont(qtkit::formFont(8.25));
    qtkit::setTextColor(placeLabel_, 0, 0, 128);
    captions_[kVerseListCaption] = makeLabel(this, "Label1_9", QStringLiteral("Verses in this surah"));
    captions_[kVerseListCaption]->setFont(qtkit::formFont(8.25, true));
    qtkit::setTextColor(captions_[kVerseListCaption], 0, 128, 0);

    verseList_ = qtkit::make<qtkit::PressReleaseList>(this, "List1");
    verseList_->setFont(qtkit::formFont(9.75));
    verseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    qtkit::setTextColor(verseList_, 0, 64, 0);
    connect(verseList_, &QListWidget::itemSelectionChanged, this, [this] {
        if (verseList_->currentRow() >= 0 && verseList_->currentItem() &&
            verseList_->currentItem()->isSelected())
            list1Click();
    });
    connect(verseList_, &qtkit::PressReleaseList::mouseDown, this, &Form1::list1MouseDown);
    connect(verseList_, &qtkit::PressReleaseList::mouseUp, this, &Form1::list1MouseUp);
    connect(verseList_, &QListWidget::itemDoubleClicked, this, &Form1::list1DoubleClick);
}

// The saved reciting schemes, their three commands and the About link.
void Form1::createSchemeControls()
{
    auto *shape1 = qtkit::make<QFrame>(this, "Shape1_0");
    shape1->setFrameShape(QFrame::HLine);
    shape1->setFrameShadow(QFrame::Sunken);

    captions_[13] = makeLabel(this, "Label1_13", QStringLiteral("Saved reciting schemes"));
    qtkit::setTextColor(captions_[13], 192, 0, 0);
    captions_[kAboutLink] = makeLabel(this, "Label1_14", QStringLiteral("About..."));
    captions_[kAboutLink]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    qtkit::setTextColor(captions_[kAboutLink], 0, 0, 255);
    readingLink_ = makeLabel(this, "ReadingLink", QStringLiteral("Reading view..."));
    readingLink_->setToolTip(QStringLiteral("The verses shown, large, in a window of their own"));
    qtkit::setTextColor(readingLink_, 0, 0, 255);
    schemeList_ = makeCombo(this, "Combo4", 9.75);
    schemeButtons_[2] = makeButton(this, "Command2_2", QStringLiteral("Delete"), false);
    schemeButtons_[1] = makeButton(this, "Command2_1", QStringLiteral("Edit"), false);
    schemeButtons_[0] = makeButton(this, "Command2_0", QStringLiteral("Recite"), false);
    for (int i = 0; i < 3; ++i)
        connect(schemeButtons_[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { command2Click(i); });
}

// Controls above the visible area, pressed or read by code only, and the two timers.
void Form1::createHiddenControls()
{
    translateButton_ = makeButton(this, "Command7", QStringLiteral("Translate"));
    connect(translateButton_, &QPushButton::clicked, this, &Form1::translate);
    entryCountList_ = makeCombo(this, "Combo7");
    QStringList counts;
    for (const auto &row : entryCountRows())
        counts.push_back(fromAnsi(row));
    qtkit::setEntriesQuietly(entryCountList_, counts, false);
    entryCountList_->setEnabled(false);

    playerTimer_ = new QTimer(this);
    playerTimer_->setObjectName(QStringLiteral("Timer1"));
    playerTimer_->setInterval(500);
    connect(playerTimer_, &QTimer::timeout, this, &Form1::timer1Tick);
    blinkie_ = new QTimer(this);
    blinkie_->setObjectName(QStringLiteral("Blinkie"));
    blinkie_->setInterval(500);
    connect(blinkie_, &QTimer::timeout, this, &Form1::blinkieTick);
}

void Form1::createRecitingOptions(QWidget *frame)
{
    createRangeControls(frame);
    createDisplayBoxes(frame);
    createCommandButtons(frame);
    createPlayerControls(frame);
}

QLabel *Form1::optionLabel(QWidget *frame, std::size_t index, const char *name, const char *caption)
{
    captions_[index] = makeLabel(frame, name, QLatin1String(caption));
    captions_[index]->setFont(qtkit::formFont(8.25));
    return captions_[index];
}

// The verse range, the repeat counts and the pause between verses.
void Form1::createRangeControls(QWidget *frame)
{
    const auto label = [this, frame](std::size_t index, const char *name, const char *caption) {
        return optionLabel(frame, index, name, caption);
    };
    qtkit::setTextColor(label(5, "Label1_5", "Recite from Verse #"), 192, 0, 0);
    fromVerseList_ = makeCombo(frame, "Combo2", 9.75);
    qtkit::setTextColor(fromVerseList_, 192, 0, 0);
    qtkit::setTextColor(label(8, "Label1_8", "to Verse #"), 192, 0, 0);
    toVerseList_ = makeCombo(frame, "Combo3", 9.75);
    qtkit::setTextColor(toVerseList_, 192, 0, 0);
    for (QComboBox *range : {fromVerseList_, toVerseList_})
        connect(range, &QComboBox::currentIndexChanged, this, [this](int index) {
            if (index >= 0)
                translateButton_->click();
        });
    qtkit::setTextColor(label(kAllLink, "Label1_11", "All"), 0, 0, 255);
    qtkit::setTextColor(label(3, "Label1_3", "Repeat every verse "), 128, 0, 0);
    verseRepeats_ = makeCountBox(frame, "Text1");
    qtkit::setTextColor(label(6, "Label1_6", "time(s)"), 128, 64, 0);
    qtkit::setTextColor(label(4, "Label1_4", "Repeat selection"), 128, 0, 0);
    selectionRepeats_ = makeCountBox(frame, "Text2");
    qtkit::setTextColor(label(7, "Label1_7", "time(s)"), 128, 64, 0);
    qtkit::setTextColor(label(10, "Label1_10", "Pause between verses"), 192, 0, 192);
    pauseList_ = makeCombo(frame, "Combo6");
    pauseList_->setToolTip(
        QStringLiteral("Duration of verse: 3 seconds for every 20,400 bytes of the recording; "
                       "Length of verse: as long as the recording plays"));
    qtkit::setEntriesQuietly(pauseList_,
                             {QStringLiteral("None"), QStringLiteral("1 second"), QStringLiteral("3 seconds"),
                              QStringLiteral("Duration of verse"), QStringLiteral("Length of verse")},
                             false);
}

// The texts shown: the three translations kept in the preferences, Shakir and the Arabic text.
void Form1::createDisplayBoxes(QWidget *frame)
{
    optionLabel(frame, 1, "Label1_1", "Display")->setFont(qtkit::formFont(8.25, true));
    qtkit::setTextColor(captions_[1], 0, 0, 128);

    struct Box
    {
        const char *name;
        const char *caption;
    };
    const std::array<Box, 6> boxes = {{
        // The rows stand a little closer than they once did, to make room for the fourth.
        {"Check2_0", "M. Pickthall"},
        {"Check2_1", "Abdullah Yousuf Ali"},
        {"Check2_2", "English Translit."},
        {"Check2_3", "Shakir"},
        {"Check2_4", "Arabic"},
        {"Check2_5", "Word by word"},
    }};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto *box = qtkit::make<QCheckBox>(frame, boxes[i].name, QLatin1String(boxes[i].caption));
        box->setFont(qtkit::formFont(8.25));
        qtkit::setTextColor(box, 0, 0, 128);
        textBoxes_[i] = box;
        const int index = static_cast<int>(i);
        connect(box, &QCheckBox::toggled, this, [this, index] { check2Click(index); });
    }
    {
        const QSignalBlocker blocker(textBoxes_[0]);
        textBoxes_[0]->setChecked(true); // the design's state, replaced by the preferences at start-up
    }
    textBoxes_[kArabicBox]->setToolTip(QStringLiteral("Quran text: Tanzil Project, tanzil.net"));
    textBoxes_[kWordByWordBox]->setToolTip(
        QStringLiteral("Each Arabic word with its meaning: the Quranic Arabic Corpus, corpus.quran.com"));
    // In the row's free place: the reciter, and the help for memorising.
    memoriseLink_ = makeLabel(frame, "MemoriseLink", QStringLiteral("Memorising..."));
    memoriseLink_->setFont(qtkit::formFont(8.25));
    memoriseLink_->setToolTip(
        QStringLiteral("The reciter, rising repeats, pauses, speed and the hidden text"));
    qtkit::setTextColor(memoriseLink_, 0, 0, 255);
    createTranslationsLink(frame);
}

// Save, Recite and Exit.
void Form1::createCommandButtons(QWidget *frame)
{
    saveButton_ = makeButton(frame, "Command5", QStringLiteral("Save"), false);
    reciteButton_ = makeButton(frame, "Command4", QStringLiteral("Recite"), false);
    reciteButton_->setDefault(true);
    exitButton_ = makeButton(frame, "Command6", QStringLiteral("Exit"));
    for (QPushButton *b : {saveButton_, reciteButton_, exitButton_})
        b->setFont(qtkit::formFont(8.25));
    connect(saveButton_, &QPushButton::clicked, this, &Form1::saveClicked);
    connect(reciteButton_, &QPushButton::clicked, this, &Form1::reciteClicked);
    connect(exitButton_, &QPushButton::clicked, this, &Form1::exitClicked);
}

// The player's lamp, the status line and the transport buttons.
void Form1::createPlayerControls(QWidget *frame)
{
    playState_ = qtkit::make<QLabel>(frame, "PlayState");
    playState_->setFrameShape(QFrame::Panel);
    playState_->setFrameShadow(QFrame::Sunken);
    playState_->setAutoFillBackground(true);
    playState_->setToolTip(QStringLiteral("WinAMP status"));

    statusLine_ = makeLabel(frame, "Label2", QStringLiteral("Status: (no audio)"));
    statusLine_->setFont(qtkit::formFont(8.25));
    statusLine_->setToolTip(QStringLiteral("Go to verse"));
    qtkit::setTextColor(statusLine_, 192, 0, 0);

    struct Transport
    {
        std::size_t index;
        const char *name;
        QStyle::StandardPixmap icon;
        const char *tip;
    };
    const std::array<Transport, 3> transport = {{
        {2, "Button_2", QStyle::SP_MediaPlay, "Play"},
        {3, "Button_3", QStyle::SP_MediaPause, "Pause"},
        {4, "Button_4", QStyle::SP_MediaStop, "Stop"},
    }};
    for (const auto &t : transport) {
        auto *b = qtkit::make<QToolButton>(frame, t.name);
        b->setIcon(style()->standardIcon(t.icon));
        b->setToolTip(QLatin1String(t.tip));
        b->setFocusPolicy(Qt::StrongFocus);
        transportButtons_[t.index] = b;
        const int index = static_cast<int>(t.index);
        connect(b, &QToolButton::clicked, this, [this, index] { buttonClick(index); });
    }
}

// The heading above the verses and the box that shows them.
void Form1::createVerseText()
{
    captions_[kSurahHeading] =
        makeLabel(this, "Label1_0", QStringLiteral("English translation by M. Pickthall"));
    captions_[kSurahHeading]->setFont(qtkit::formFont(8.25, true));
    qtkit::setTextColor(captions_[kSurahHeading], 128, 0, 128);
    captions_[kSurahHeading]->hide();

    display_ = qtkit::make<QTextEdit>(this, "Text3");
    display_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    display_->setLineWrapMode(QTextEdit::WidgetWidth);
    display_->setReadOnly(true);
    display_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette pal = display_->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 192));
    pal.setColor(QPalette::Text, Qt::black);
    display_->setPalette(pal);
    display_->setFont(qtkit::designFont(QLatin1String(kDefaultFontName), 9));
    display_->installEventFilter(this);
    display_->viewport()->installEventFilter(this);
    // The display's own menu, and copying with the verses' citation.
    auto *cite = new QAction(QStringLiteral("Copy with citation"), display_);
    cite->setObjectName(QStringLiteral("CopyWithCitation"));
    cite->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    cite->setShortcutContext(Qt::WindowShortcut);
    display_->addAction(cite);
    connect(cite, &QAction::triggered, this, &Form1::copyWithCitation);
    display_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(display_, &QWidget::customContextMenuRequested, this, [this, cite](const QPoint &at) {
        QMenu *menu = display_->createStandardContextMenu(at);
        menu->addAction(cite);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(display_->viewport()->mapToGlobal(at));
    });
}

void Form1::createDisplayControls()
{
    createVerseText();

    auto *b0 = qtkit::make<QToolButton>(this, "Button_0");
    b0->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    b0->setIconSize(QSize(10, 10));
    b0->setFocusPolicy(Qt::StrongFocus);
    transportButtons_[0] = b0;
    connect(b0, &QToolButton::clicked, this, [this] { buttonClick(0); });

    loadingBanner_ = makeButton(this, "Command3", QStringLiteral("Loading. Please wait...."));
    loadingBanner_->hide();

    createFormatBox();
}

void Form1::createFormatBox()
{
    auto *frame2 = qtkit::make<QGroupBox>(this, "Frame2");
    searchButton_ = makeButton(frame2, "Command1", QStringLiteral("Search ..."));
    connect(searchButton_, &QPushButton::clicked, this, &Form1::showSearchWindow);
    fontList_ = makeCombo(frame2, "Combo5");
    connect(fontList_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            combo5Click();
    });

    struct Format
    {
        const char *caption;
        QFont font;
        const char *tip;
    };
    const std::array<Format, 4> formats = {{
        {"A", qtkit::formFont(13.5), "Increase font size"},
        {"A", qtkit::formFont(8.25), "Decrease font size"},
        {"I", qtkit::designFont(QStringLiteral("Courier"), 12, false, true), "Toggle italic/non-italic"},
        {"B", qtkit::formFont(9.75, true), "Toggle bold/regular"},
    }};
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const std::string name = "Label3_" + std::to_string(i);
        formatLinks_[i] = makeLabel(frame2, name.c_str(), QLatin1String(formats[i].caption));
        formatLinks_[i]->setFont(formats[i].font);
        formatLinks_[i]->setToolTip(QLatin1String(formats[i].tip));
        qtkit::setTextColor(formatLinks_[i], 0, 0, 192);
    }
}

void Form1::setTabOrderOfControls()
{
    const std::vector<QWidget *> order = {reciteButton_,        surahList_,
                                          verseList_,           fromVerseList_,
                                          toVerseList_,         verseRepeats_,
                                          selectionRepeats_,    pauseList_,
                                          textBoxes_[2],        textBoxes_[0],
                                          textBoxes_[1],        saveButton_,
                                          exitButton_,          schemeList_,
                                          schemeButtons_[2],    schemeButtons_[1],
                                          schemeButtons_[0],    display_,
                                          translateButton_,     fontList_,
                                          searchButton_,        transportButtons_[0],
                                          playState_,           transportButtons_[2],
                                          transportButtons_[3], transportButtons_[4],
                                          entryCountList_,      loadingBanner_,
                                          textBoxes_[3],        textBoxes_[4],
                                          textBoxes_[5]};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    translateButton_->setFocusPolicy(Qt::NoFocus); // unseen: passed over
    entryCountList_->setFocusPolicy(Qt::NoFocus);
    loadingBanner_->setFocusPolicy(Qt::NoFocus);
}

QFont Form1::displayFont() const
{
    return display_->font();
}
Form3 *Form1::searchWindow() const
{
    return form3_.data();
}
Form4 *Form1::findSurahDialog() const
{
    return form4_.data();
}

void Form1::load()
{
    // Underline the link labels' captions so they read as links.
    for (QLabel *link :
         {formatLinks_[0], formatLinks_[1], formatLinks_[2], formatLinks_[3], captions_[kAllLink],
          captions_[kFindSurahLink], captions_[kAboutLink], translationsLink_, noteLink_, bookmarksLink_,
          readingLink_, memoriseLink_, importLink_}) {
        QFont f = link->font();
        f.setUnderline(true);
        link->setFont(f);
    }
    // Bottom of the small "A" 25 twips above the large one's; "I" level with "B".
    const QRect big = formatLinks_[0]->geometry();
    QRect small = formatLinks_[1]->geometry();
    small.moveTop(big.top() + big.height() - small.height() - px(25));
    formatLinks_[1]->setGeometry(small);
    const QRect bold = formatLinks_[3]->geometry();
    QRect italic = formatLinks_[2]->geometry();
    italic.moveTop(bold.top() + bold.height() - italic.height());
    formatLinks_[2]->setGeometry(italic);
    qtkit::widenClippedLabels(this);

    pauseList_->setCurrentIndex(0);

    QStringList fonts;
    for (const QString &family : QFontDatabase::families())
        fonts.push_back(family);
    qtkit::setEntriesQuietly(fontList_, fonts, true);

    // Temporary files of writes that a kill stopped half way: old enough that no running copy of
    // the program is still writing them.
    if (!state_.tempFolder.empty())
        removeStaleTemporaryFiles(pathFromUtf8(state_.tempFolder), std::chrono::seconds(60), isOwnFileName);
    readPreferences();
    readReciteSettings();

    QFont font = display_->font();
    font.setFamily(fromAnsi(state_.prefs.fontName));
    font.setPointSizeF(state_.prefs.fontSize);
    font.setBold(state_.prefs.bold);
    setDisplayFont(font);

    const QString actual = QFontInfo(display_->font()).family();
    const int fontRow = fontList_->findText(actual, Qt::MatchFixedString);
    if (fontRow >= 0)
        fontList_->setCurrentIndex(fontRow);

    for (std::size_t i = 0; i < 3; ++i)
        textBoxes_[i]->setChecked(state_.prefs.checks[i] == 1);
    textBoxes_[kArabicBox]->setChecked(state_.prefs.arabic == 1);
    textBoxes_[kWordByWordBox]->setChecked(state_.prefs.wordByWord == 1);
    readInstalledTranslations();
    if (!state_.tempFolder.empty())
        chosen_ = readChosenTranslations(pathFromUtf8(state_.tempFolder) / kChosenTranslationsFile);

    placeOnScreen();

    // Texts that the first verse needs and that are missing are explained in the display, once.
    explainAtStart_ = true;
    surahList_->setCurrentIndex(0);
    verseList_->setCurrentRow(0);
    QTimer::singleShot(0, this, [this] { explainAtStart_ = false; });
    UpdateCombo4();
    // The keyboard starts in the surah list, the first control of the focus order that takes it.
    surahList_->setFocus();
    if (edition_ == Edition::Audio)
        playerTimer_->start(); // the playback monitor follows the player from the start
}

void Form1::placeOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Centred on the screen and 300 twips above its middle, the whole window on the screen.
    const int frameWidth = px(kOuterWidth - kClientWidth);
    const QSize outer(width() + frameWidth,
                      height() + frameWidth / 2 + style()->pixelMetric(QStyle::PM_TitleBarHeight));
    move(qtkit::placeWindow(screen->geometry(), screen->availableGeometry(), outer, px(300)));
}

namespace {

bool endsWithNoCase(std::string_view name, std::string_view ending)
{
    return name.size() > ending.size() &&
           ansi::equalsNoCase(name.substr(name.size() - ending.size()), ending);
}

} // namespace

bool isOwnFileName(std::string_view name)
{
    // The files the program writes into its folder: on Windows that is the temporary folder that
    // every program shares, so nothing else is touched there.
    static constexpr std::string_view kOwn[] = {kPrefsFileName,
                                                kHistoryFileName,
                                                kWideHistoryFileName,
                                                kArabicIndexFileName,
                                                "p185.txt",
                                                "y185.txt",
                                                "t185.txt",
                                                "z185.txt",
                                                kChosenTranslationsFile,
                                                kNotesFileName,
                                                kBookmarksFileName,
                                                kReadingSettingsFileName,
                                                kReciteSettingsFileName};
    const auto same = [&](std::string_view own) { return ansi::equalsNoCase(name, own); };
    return std::any_of(std::begin(kOwn), std::end(kOwn), same) || endsWithNoCase(name, ".m3u") ||
           endsWithNoCase(name, ".index");
}

bool isSavedFileName(std::string_view name)
{
    static constexpr std::string_view kScratch[] = {kArabicIndexFileName, "p185.txt", "y185.txt", "t185.txt",
                                                    "z185.txt"};
    const auto same = [&](std::string_view scratch) { return ansi::equalsNoCase(name, scratch); };
    return isOwnFileName(name) && std::none_of(std::begin(kScratch), std::end(kScratch), same) &&
           !endsWithNoCase(name, ".index"); // a translation's folded text, made again at need
}

bool haveTempFolder(MainState &state, qtkit::Dialogs &dialogs, QWidget *parent, bool everyTime)
{
    if (!state.tempFolder.empty())
        return true;
    if (state.toldNoTempFolder && !everyTime)
        return false;
    state.toldNoTempFolder = true;
    const std::string location = platform::tempFolderLocation();
    const QString why = location.empty()
                            ? QStringLiteral("there is no private folder for them (no home folder is set)")
                            : QStringLiteral("their folder %1 cannot be used (it must be a folder of yours)")
                                  .arg(QString::fromStdString(location));
    dialogs.tell(parent,
                 QStringLiteral("Your display settings, search history and reciting schemes cannot be "
                                "saved: %1. Nothing is saved while the program runs.")
                     .arg(why));
    return false;
}

void Form1::readPreferences()
{
    // Without the program's own folder no preferences are read: never a file of the folder the
    // program happens to be started from, which anyone may have put there.
    const auto path = platform::resolveNoCase(state_.tempFolder, kPrefsFileName);
    if (!state_.tempFolder.empty() && platform::isRegularFile(path)) {
        if (auto reader = FieldReader::open(path, Links::Refuse))
            state_.prefs = parsePreferences(*reader);
    } else if (std::error_code error; !state_.tempFolder.empty() && !std::filesystem::exists(path, error)) {
        // A first start: the reader sees the Quran, and how to add a translation to it.
        firstStart_ = true;
        state_.prefs.arabic = 1;
    }
    state_.playerPath = platform::ShortPathOf(state_.prefs.playerPath);
    player_.usePlayerProgram(state_.playerPath);
    playState_->setToolTip(fromAnsi(player_.playerName() + " status"));
    playState_->setAccessibleName(playState_->toolTip());
}

void Form1::exitClicked()
{
    Preferences now;
    now.playerPath = state_.playerPath;
    now.fontName = toAnsi(fontList_->currentText());
    now.fontSize = display_->font().pointSizeF();
    now.bold = display_->font().bold();
    for (std::size_t i = 0; i < 3; ++i)
        now.checks[i] = textBoxes_[i]->isChecked() ? 1 : 0;
    now.arabic = textBoxes_[kArabicBox]->isChecked() ? 1 : 0;
    now.wordByWord = textBoxes_[kWordByWordBox]->isChecked() ? 1 : 0;
    const auto path = platform::resolveNoCase(state_.tempFolder, kPrefsFileName);
    if (haveTempFolder(state_, dialogs_, this) && !writeFileReplacing(path, formatPreferences(now)))
        dialogs_.tell(this, QStringLiteral("Your display settings could not be saved to %1.")
                                .arg(QString::fromStdString(utf8Of(path))));

    const PlayerHandle h = player_.FindPlayer();
    if (h == 0) {
        endProgram();
        return;
    }
    const auto answer = dialogs_.ask(
        this, QStringLiteral("%1 is active. Do you want close it too?").arg(fromAnsi(player_.playerName())),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning);
    if (answer == QMessageBox::Yes) {
        player_.ClosePlayer(h);
        endProgram();
    } else if (answer == QMessageBox::No) {
        endProgram();
    }
}

void Form1::endProgram()
{
    if (ended_)
        return;
    ended_ = true;
    if (noteEditor_)
        noteEditor_->saveNow(); // a note being written outlives the program
    if (BookmarksFile *file = lastRead_ ? bookmarks() : nullptr;
        file && file->bookmarks().lastRead != lastRead_)
        file->change([this](Bookmarks &b) { b.lastRead = lastRead_; });
    playerTimer_->stop();
    blinkie_->stop();
    // Ending closes every window at once, without their own closing steps, and no handler runs
    // afterwards. A handler of any of them may still be on the stack (Exit pressed during the event
    // pass of a read), so the windows are silenced and hidden here and destroyed with this window,
    // once the event loop has returned.
    if (form3_)
        form3_->endWithProgram();
    if (form4_)
        qtkit::endSilently(form4_);
    if (readingWindow_) {
        readingWindow_->keepSettings();
        qtkit::endSilently(readingWindow_);
    }
    qtkit::silenceControls(this);
    hide();
    emit programEnded();
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}

void Form1::combo1Click()
{
    const qtkit::BusyCursor busy;
    revealed_.clear(); // another surah's verses are hidden again
    captions_[kVerseListCaption]->setText(QStringLiteral("Verses in this surah"));
    QStringList verses;
    if (surahList_->currentText() == QLatin1String(kSupplicationRow)) {
        captions_[kVerseListCaption]->setText(QStringLiteral("Duas from Quran"));
        captions_[kSurahHeading]->show();
        captions_[kSurahHeading]->setText(QString());
        display_->clear();
        verses.push_back(QString());
        for (const auto &ref : supplicationRefs())
            verses.push_back(fromAnsi(ref));
        qtkit::setEntriesQuietly(verseList_, verses, true);
    } else {
        const int s = surahList_->currentIndex();
        captions_[kSurahHeading]->hide();
        const int n = intInText(toAnsi(entryCountList_->itemText(s)));
        for (int k = 0; k < n; ++k)
            verses.push_back(fromAnsi(verseReference(s + 1, k)));
        qtkit::setEntriesQuietly(verseList_, verses, true);
    }
    QStringList positions;
    for (int p = 0; p < verseList_->count(); ++p)
        positions.push_back(fromAnsi(ThreeDigits(p)));
    qtkit::setEntriesQuietly(fromVerseList_, positions, true);
    qtkit::setEntriesQuietly(toVerseList_, positions, true);
    markNotedVerses();
    if (surahList_->currentText() == QLatin1String(kSupplicationRow) || positions.isEmpty())
        return;
    fromVerseList_->setCurrentIndex(0);
    toVerseList_->setCurrentIndex(toVerseList_->count() - 1);
    translateButton_->click();
}

void Form1::list1Click()
{
    const int p = verseList_->currentRow();
    if (p < 0)
        return;
    fromVerseList_->setCurrentIndex(p);
    toVerseList_->setCurrentIndex(p);
    translateButton_->click();
}

void Form1::list1MouseDown(int row)
{
    state_.rangeStart = row;
}

void Form1::list1MouseUp()
{
    state_.rangeEnd = verseList_->currentRow();
    if (state_.rangeStart < 0 || state_.rangeEnd < 0)
        return;
    fromVerseList_->setCurrentIndex(state_.rangeStart);
    toVerseList_->setCurrentIndex(state_.rangeEnd);
    if (state_.rangeStart > state_.rangeEnd) {
        fromVerseList_->setCurrentIndex(state_.rangeEnd);
        toVerseList_->setCurrentIndex(state_.rangeStart);
    }
    translateButton_->click();
}

void Form1::list1DoubleClick()
{
    // Recite is disabled in this edition; a disabled button does nothing when pressed.
    reciteButton_->click();
}

void Form1::showSearchWindow()
{
    if (!form3_) {
        Form3::ReciteVerse recite;
        if (edition_ == Edition::Audio)
            recite = [this](int surah, int entry) { reciteVerse(surah, entry); };
        form3_ =
            new Form3(state_, dialogs_, surahList_, displayFont(), recite, [this] { return currentNotes(); });
        form3_->setAttribute(Qt::WA_DeleteOnClose);
    }
    form3_->show();
    form3_->raise();
    form3_->activateWindow();
}

void Form1::UpdateCombo4()
{
    QStringList schemes;
    if (!state_.tempFolder.empty())
        for (const auto &name : platform::listFilesWithExtension(state_.tempFolder, ".m3u"))
            schemes.push_back(fromAnsi(name));
    qtkit::setEntriesQuietly(schemeList_, schemes, true);
    if (schemeList_->count() > 0)
        schemeList_->setCurrentIndex(0);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse->pos())) {
            for (std::size_t i = 0; i < captions_.size(); ++i)
                if (watched == captions_[i])
                    label1Click(static_cast<int>(i));
            for (std::size_t i = 0; i < formatLinks_.size(); ++i)
                if (watched == formatLinks_[i])
                    label3Click(static_cast<int>(i));
            if (watched == statusLine_)
                label2Click();
            if (watched == translationsLink_)
                showTranslationsMenu();
            if (watched == noteLink_)
                openNote();
            if (watched == bookmarksLink_)
                openBookmarks();
            if (watched == readingLink_)
                openReadingView();
            if (watched == memoriseLink_)
                openMemorising();
            if (watched == importLink_)
                openImport();
            // A click on a hidden verse shows it; one on an Arabic word (not the end of a
            // selection) looks it up.
            if (watched == display_->viewport() && !display_->textCursor().hasSelection() &&
                !revealVerseAt(mouse->pos()))
                lookUpWordAt(display_->cursorForPosition(mouse->pos()));
        }
    } else if (event->type() == QEvent::KeyPress && watched == display_) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            lookUpWordAt(display_->textCursor());
    } else if (event->type() == QEvent::FocusIn &&
               (watched == verseRepeats_ || watched == selectionRepeats_)) {
        // Select the whole count so that typing replaces it; done after the focus change settles.
        auto *box = static_cast<QLineEdit *>(watched);
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora
