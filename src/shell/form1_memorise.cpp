// The main window's help for memorising: the reciter chosen, the repeats, pauses and speed kept,
// and the text hidden until it is recited.

#include "shell/form1.h"

#include "core/pathname.h"
#include "core/safefile.h"
#include "platform/paths.h"
#include "shell/memorisewindow.h"
#include "shell/readingwindow.h"

#include <QLabel>
#include <QTextEdit>

#include <algorithm>

namespace velmora {

namespace {

std::filesystem::path reciteSettingsFile(const MainState &state)
{
    return state.tempFolder.empty() ? std::filesystem::path()
                                    : pathFromUtf8(state.tempFolder + kReciteSettingsFileName);
}

} // namespace

void Form1::readReciteSettings()
{
    const auto file = reciteSettingsFile(state_);
    if (const auto kept = file.empty() ? std::nullopt : readRegularFile(file))
        recite_ = parseReciteSettings(*kept);
    player_.setSpeed(recite_.speed);
}

void Form1::openMemorising()
{
    if (!memoriseWindow_) {
        memoriseWindow_ =
            new MemoriseWindow(this, [this](const ReciteSettings &s) { changeReciteSettings(s); });
        memoriseWindow_->adjustSize();
        qtkit::moveBeside(memoriseWindow_, this);
    }
    const QString hint =
        QStringLiteral("Another reciter's recordings, one MP3 file per verse named SSSAAA.mp3\n"
                       "as reciters publish them (everyayah.com, say), come in with\n"
                       "    velmora-import --recordings FOLDER --reciter NAME");
    memoriseWindow_->showSettings(recite_, recitersOf(state_.programFolder), hint,
                                  edition_ == Edition::Audio && player_.setsSpeed());
}

void Form1::changeReciteSettings(const ReciteSettings &settings)
{
    const bool hidingNow = settings.hideText && !recite_.hideText;
    recite_ = settings;
    player_.setSpeed(recite_.speed);
    if (hidingNow)
        revealed_.clear(); // the test begins again
    markDisplay(recitedSpan_, displayedEntries());
    if (const auto file = reciteSettingsFile(state_); !file.empty())
        writeFileReplacing(file, formatReciteSettings(recite_));
}

void Form1::markDisplay(std::optional<std::pair<int, int>> recited, const std::vector<EntrySpan> &spans)
{
    recitedSpan_ = recited;
    std::vector<std::pair<int, int>> hidden;
    if (recite_.hideText)
        for (const EntrySpan &span : spans)
            if (!revealed_.contains(span.entry))
                hidden.emplace_back(span.start, span.end);
    qtkit::markSpans(display_, {recited, recitedMarkColour(false), hidden});
    if (readingWindow_)
        readingWindow_->markRecited(recited, hidden);
}

bool Form1::revealVerseAt(const QPoint &position)
{
    if (!recite_.hideText)
        return false;
    const int at = display_->cursorForPosition(position).position();
    const auto spans = displayedEntries();
    for (const EntrySpan &span : spans)
        if (at >= span.start && at <= span.end && !revealed_.contains(span.entry)) {
            revealed_.insert(span.entry);
            markDisplay(recitedSpan_, spans);
            return true;
        }
    return false;
}

} // namespace velmora
