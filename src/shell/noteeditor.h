// A note on one verse, written in a small window of its own and kept as the reader types: a second
// after the last key, when the window closes, and when the program ends.
#pragma once

#include "text/notes.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace velmora {

class NoteEditor : public QDialog
{
    Q_OBJECT

public:
    // save writes a verse's note; it is told the text whenever it has changed.
    using Save = std::function<void(VersePlace verse, const std::string &text)>;
    NoteEditor(QWidget *parent, Save save);
    void edit(VersePlace verse, const QString &heading, const std::string &text, const QString &where);
    // Writes what was typed, if anything is unwritten.
    void saveNow();

protected:
    void done(int result) override;

private:
    Save save_;
    VersePlace verse_;
    QLabel *heading_ = nullptr;
    QLabel *where_ = nullptr;
    QPlainTextEdit *text_ = nullptr;
    QTimer *pause_ = nullptr;
    bool unsaved_ = false;
};

} // namespace velmora
