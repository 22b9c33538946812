// The main window's recitation: transport buttons, Save and Recite, the scheme buttons and the
// playback monitor.

#include "shell/form1.h"

#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recite/monitor.h"
#include "recite/playlist.h"
#include "shell/readingwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace velmora {

using qtkit::fromAnsi;
using qtkit::toAnsi;

namespace {

int commandCodeOf(int index)
{
    switch (index) {
    case 2:
        return kCmdPlay;
    case 3:
        return kCmdPause;
    case 4:
        return kCmdStop;
    default:
        return 0;
    }
}

} // namespace

void Form1::buttonClick(int index)
{
    transportButtons_[0]->setFocus();
    if (const int code = commandCodeOf(index))
        player_.SendPlayerCommand(code);
}

void Form1::saveClicked()
{
    saveScheme(SchemeUse::Keep);
}

bool Form1::askSchemeName()
{
    if (state_.schemeName.empty())
        state_.schemeName = kDefaultScheme;
    std::string suggestion = state_.schemeName;
    for (;;) {
        const auto answer = dialogs_.getText(
            this,
            QStringLiteral("Please enter a name for the scheme\n\n[8 characters, without spaces, without "
                           "extension]"),
            fromAnsi(suggestion));
        state_.schemeName = answer ? toAnsi(*answer) : std::string();
        const SchemeNameCheck check = checkSchemeName(state_.schemeName);
        if (check == SchemeNameCheck::TooLong) {
            dialogs_.tell(this, QStringLiteral("A scheme name has at most 8 characters, without spaces and "
                                               "without extension."));
            suggestion = state_.schemeName;
            continue;
        }
        if (check == SchemeNameCheck::NotAFileName) {
            dialogs_.tell(
                this, QStringLiteral("A scheme name cannot hold any of the characters \\ / : * ? \" < > |."));
            suggestion = state_.schemeName;
            continue;
        }
        if (check == SchemeNameCheck::Empty)
            return false;
        const auto existing = platform::resolveNoCase(state_.tempFolder, playlistFileName(state_.schemeName));
        if (platform::isRegularFile(existing)) {
            const auto overwrite =
                dialogs_.ask(this,
                             QStringLiteral("Scheme '%1' already exists.Do you want to overwrite?")
                                 .arg(fromAnsi(state_.schemeName)),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon);
            if (overwrite != QMessageBox::Yes) {
                suggestion = state_.schemeName;
                continue;
            }
        }
        state_.playlistPath = utf8Of(existing);
        return true;
    }
}

std::optional<Playlist> Form1::saveScheme(SchemeUse use)
{
    if (!haveTempFolder(state_, dialogs_, this, true))
        return std::nullopt;
    PlaylistRequest request;
    request.programFolder = state_.programFolder;
    for (int i = 0; i < verseList_->count(); ++i)
        request.entries.push_back(toAnsi(verseList_->item(i)->text()));
    request.from = intInText(toAnsi(fromVerseList_->currentText()));
    request.to = intInText(toAnsi(toVerseList_->currentText()));
    request.everyVerseCount = toAnsi(verseRepeats_->text());
    request.selectionCount = toAnsi(selectionRepeats_->text());
    request.pauseIndex = pauseList_->currentIndex();
    if (!recite_.reciter.empty()) {
        request.reciterFolder = reciterFolderOf(state_.programFolder, recite_.reciter);
        if (request.reciterFolder.empty()) {
            dialogs_.tell(this,
                          QStringLiteral("The recordings of %1 are no longer in %2: please choose "
                                         "another reciter under Memorising...")
                              .arg(QString::fromStdString(recite_.reciter),
                                   QString::fromStdString(platform::dataFoldersText(state_.programFolder))));
            return std::nullopt;
        }
    }
    request.risingRepeats = recite_.risingRepeats;
    request.selectionPauseSeconds = recite_.selectionPauseSeconds;
    request.lengthMultiple = recite_.lengthMultiple;
    // A long recitation takes a moment to compose and write.
    const bool lengthy = recitations(request) >= kLongRecitation;
    std::optional<qtkit::BusyCursor> busy;
    if (lengthy) {
        busy.emplace();
        loadingBanner_->show();
        loadingBanner_->raise();
        loadingBanner_->repaint();
    }
    const auto hideBanner = qScopeGuard([this, lengthy] {
        if (lengthy)
            loadingBanner_->hide();
    });
    Playlist playlist = composePlaylist(request);
    if (!playlist.problem.empty()) {
        busy.reset();
        dialogs_.tell(this, fromAnsi(playlist.problem));
        return std::nullopt;
    }
    if (use == SchemeUse::Recite) {
        // Recite writes the default scheme, over the last one, without a question.
        state_.schemeName = kDefaultScheme;
        state_.playlistPath =
            utf8Of(platform::resolveNoCase(state_.tempFolder, playlistFileName(state_.schemeName)));
    } else {
        busy.reset();
        if (!askSchemeName())
            return std::nullopt;
    }
    LineWriter w;
    for (const auto &line : playlist.lines)
        w.text(line);
    if (!writeFileReplacing(pathFromUtf8(state_.playlistPath), w.contents())) {
        busy.reset();
        dialogs_.tell(this, QStringLiteral("The scheme could not be saved to %1.")
                                .arg(QString::fromStdString(state_.playlistPath)));
        return std::nullopt;
    }
    UpdateCombo4();
    return playlist;
}

void Form1::reciteClicked()
{
    verseRepeats_->setText(fromAnsi(reciteCountText(toAnsi(verseRepeats_->text()))));
    selectionRepeats_->setText(fromAnsi(reciteCountText(toAnsi(selectionRepeats_->text()))));
    statusLine_->setText(QString());
    const auto playlist = saveScheme(SchemeUse::Recite);
    if (!playlist)
        return; // no playlist could be written, and the reader has been told
    const auto path = platform::resolveNoCase(state_.tempFolder, playlistFileName(state_.schemeName));
    state_.playlistPath = platform::ShortPathOf(utf8Of(path));
    const std::string player = playerProgram();
    if (player.empty()) {
        launchFailed("No player program is set in the preferences file " + state_.tempFolder +
                     kPrefsFileName + ".");
        return;
    }
    if (playlist->recited == 0) {
        dialogs_.tell(this,
                      QStringLiteral("There is no recording of these verses to recite. Recordings are "
                                     "per-verse MP3 files as reciters publish them, named SSSAAA.mp3 "
                                     "(surah and verse): https://everyayah.com gives every verse of many "
                                     "reciters so, a folder (or a zip file to unpack) a reciter. The "
                                     "program looks for them in %1. Import texts... (above the surah "
                                     "list) brings a reciter's folder into your own data folder, as "
                                     "does the command\n\n    velmora-import --recordings FOLDER")
                          .arg(QString::fromStdString(platform::dataFoldersText(state_.programFolder))));
        return;
    }
    if (!player_.LaunchPlayer(player + "  " + state_.playlistPath, WindowStyle::MinimizedNoActivate)) {
        launchFailed("The player " + player + " could not be started.");
        return;
    }
    if (!playlist->skipped.empty())
        dialogs_.tell(this, fromAnsi("These recordings were left out of the recitation: " +
                                     listedEntries(playlist->skipped) + "."));
}

std::string Form1::playerProgram() const
{
    // The audio edition falls back on the platform's player when the preferences name none.
    if (state_.playerPath.empty() && edition_ == Edition::Audio)
        return platform::defaultPlayerProgram();
    return state_.playerPath;
}

void Form1::reciteVerse(int surah, int entry)
{
    // The verse the search window shows, recited as Recite recites a range: chosen here first.
    if (surah < 1 || surah > kSurahCount)
        return;
    surahList_->setCurrentIndex(surah - 1);
    if (entry < 0 || entry >= verseList_->count())
        return;
    verseList_->setCurrentRow(entry);
    reciteClicked();
}

void Form1::command2Click(int index)
{
    if (schemeList_->currentIndex() < 0) {
        dialogs_.ask(this, QStringLiteral("Please select a file first."),
                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning);
        schemeList_->setFocus();
        return;
    }
    state_.playlistPath = state_.tempFolder + toAnsi(schemeList_->currentText());
    switch (index) {
    case 0: {
        const std::string player = platform::schemePlayerProgram(playerProgram());
        if (!player_.LaunchPlayer(player + "  " + platform::ShortPathOf(state_.playlistPath),
                                  WindowStyle::NormalActivate))
            launchFailed("The player " + player + " could not be started.");
        break;
    }
    case 1:
        if (!platform::startDetached(platform::editorCommandFor(state_.playlistPath),
                                     WindowStyle::NormalActivate))
            launchFailed("No text editor could be started for " + state_.playlistPath + ".");
        break;
    case 2: {
        const auto answer = dialogs_.ask(
            this, QStringLiteral("Are you sure you want to delete '%1'?").arg(schemeList_->currentText()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon);
        if (answer != QMessageBox::Yes)
            return;
        std::error_code ec;
        // A file already gone is simply dropped from the list.
        std::filesystem::remove(pathFromUtf8(state_.playlistPath), ec);
        {
            const QSignalBlocker blocker(schemeList_);
            schemeList_->removeItem(schemeList_->currentIndex());
            schemeList_->setCurrentIndex(-1);
        }
        break;
    }
    default:
        break;
    }
}

std::optional<std::pair<int, int>> Form1::displaySpanOf(const std::vector<EntrySpan> &spans, int entry) const
{
    const auto span =
        std::find_if(spans.begin(), spans.end(), [entry](const EntrySpan &e) { return e.entry == entry; });
    if (span == spans.end())
        return std::nullopt;
    // Without the blank lines that end it.
    int end = span->end;
    while (end > span->start && display_->document()->characterAt(end - 1) == QChar::ParagraphSeparator)
        --end;
    return std::pair(span->start, end);
}

std::vector<Form1::EntrySpan> Form1::displayedEntries() const
{
    const QTextDocument *document = display_->document();
    const int end = document->characterCount() - 1;
    std::vector<EntrySpan> spans;
    if (!shownVerses_.empty()) {
        for (std::size_t i = 0; i < shownVerses_.size() && i < entryStarts_.size(); ++i)
            spans.push_back({shownVerses_[i].entry, entryStarts_[i],
                             i + 1 < entryStarts_.size() ? entryStarts_[i + 1] - 1 : end});
        return spans;
    }
    // The translations' own text: each entry of the range shown, in order, is a run of lines that
    // begin with its verse's number ("3) ", once in each file's part).
    const auto numberOf = [](const QString &line) {
        const int close = line.indexOf(QStringLiteral(") "));
        bool number = close > 0;
        const int value = number ? line.left(close).toInt(&number) : -1;
        return number ? value : -1;
    };
    int last = -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (const int number = numberOf(block.text()); number >= 0 && number != last) {
            if (!spans.empty())
                spans.back().end = block.position() - 1;
            spans.push_back(
                {fromVerseList_->currentIndex() + static_cast<int>(spans.size()), block.position(), end});
            last = number;
        }
    return spans;
}

void Form1::followRecitation()
{
    // The verse the status line names, where the display shows it: one surah's verses, not the
    // supplications' list of several.
    const auto [surah, entry] = verseOfStatus(toAnsi(statusLine_->text()));
    const bool shown = surah == surahList_->currentIndex() + 1 &&
                       surahList_->currentText() != QLatin1String(kSupplicationRow);
    const auto spans = displayedEntries();
    const auto span = shown ? displaySpanOf(spans, entry) : std::nullopt;
    if (span && recite_.hideText)
        revealed_.insert(entry); // recited: the reader may now see it
    markDisplay(span, spans);
}

void Form1::launchFailed(const std::string &what)
{
    dialogs_.tell(this, fromAnsi(what));
}

void Form1::timer1Tick()
{
    const MonitorView view = monitorTick(player_);
    if (view.status) {
        statusLine_->setText(fromAnsi(*view.status));
        followRecitation();
    }
    if (view.playEnabled)
        transportButtons_[2]->setEnabled(*view.playEnabled);
    if (view.pauseEnabled)
        transportButtons_[3]->setEnabled(*view.pauseEnabled);
    if (view.stopEnabled)
        transportButtons_[4]->setEnabled(*view.stopEnabled);
    if (view.blinking) {
        // Starting a running timer would restart it: ticking as often as this one, it would never
        // fire, and the lamp would never blink.
        if (!*view.blinking)
            blinkie_->stop();
        else if (!blinkie_->isActive())
            blinkie_->start();
    }
    switch (view.lamp) {
    case Lamp::NoPlayer:
        setLampGrey();
        break;
    case Lamp::Stopped:
        setLamp(kLampStoppedRed);
        break;
    case Lamp::Playing:
        setLamp(kLampPlayingGreen);
        break;
    case Lamp::Unchanged:
        break;
    }
}

void Form1::blinkieTick()
{
    setLamp(lampColour_ == kLampPauseYellow ? kLampStoppedRed : kLampPauseYellow);
}

void Form1::setLamp(unsigned colourValue)
{
    lampColour_ = colourValue;
    QPalette pal = playState_->palette();
    pal.setColor(QPalette::Window,
                 QColor(colourValue & 0xFF, (colourValue >> 8) & 0xFF, (colourValue >> 16) & 0xFF));
    playState_->setPalette(pal);
    tellLampState();
}

void Form1::setLampGrey()
{
    lampColour_ = kLampButtonFace;
    QPalette pal = playState_->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Button));
    playState_->setPalette(pal);
    tellLampState();
}

void Form1::tellLampState()
{
    // What the colour tells, in words, for assistive technology: a blinking lamp is a pause.
    const char *state = lampColour_ == kLampButtonFace     ? "no player"
                        : blinkie_->isActive()             ? "paused"
                        : lampColour_ == kLampPlayingGreen ? "playing"
                                                           : "stopped";
    playState_->setAccessibleDescription(QString::fromLatin1(state));
}

} // namespace velmora
