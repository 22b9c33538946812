// The reading view: what the main window's display shows, large, in a window of its own that can be
// resized, maximised and made full screen, in light or dark reading. It follows every change of the
// display and moves the main window's selection with its own keys.
#pragma once

#include "core/prefs.h"

#include <QColor>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

class QTextDocument;
class QTextEdit;

namespace velmora {

enum class ReadingStep
{
    NextVerse,
    PreviousVerse,
    NextSurah,
    PreviousSurah,
    NextPage,
    PreviousPage
};

// The ground of the verse being recited, in the display and the reading view, light or dark.
QColor recitedMarkColour(bool dark);

class ReadingWindow : public QWidget
{
    Q_OBJECT

public:
    using Navigate = std::function<void(ReadingStep)>;
    // Its settings are read from and kept in settingsFile ("" keeps none).
    ReadingWindow(QWidget *parent, Navigate navigate, std::filesystem::path settingsFile);

    // Shows the display's document at the view's scale, in its colours; again after every change.
    void follow(const QTextDocument &display);
    // Shows the window where it last stood, as large as it was.
    void showAsKept();
    // Marks the characters of the verse being recited, as the display marks them; nothing: none.
    void markRecited(std::optional<std::pair<int, int>> span, std::vector<std::pair<int, int>> hidden = {});
    // Writes the scale, the reading and the place.
    void keepSettings();
    const ReadingSettings &settings() const { return settings_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void render();
    void fitColumn();
    void setScale(double scale);
    void toggleDark();
    void toggleFullScreen();
    void applyColours();

    QTextEdit *text_ = nullptr;
    Navigate navigate_;
    std::filesystem::path settingsFile_;
    ReadingSettings settings_;
    const QTextDocument *display_ = nullptr;     // the main window's, which outlives this window
    std::optional<std::pair<int, int>> recited_; // the same characters in the copy shown
    std::vector<std::pair<int, int>> hidden_;
};

} // namespace velmora
