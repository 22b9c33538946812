#include "noteeditor.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

NoteEditor::NoteEditor(QWidget *parent, Save save) : QDialog(parent), save_(std::move(save))
{
    setObjectName(QStringLiteral("NoteEditor"));
    auto *layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("NoteHeading"));
    layout->addWidget(heading_);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("NoteText"));
    layout->addWidget(text_);
    where_ = new QLabel(this);
    where_->setObjectName(QStringLiteral("NoteFile"));
    where_->setWordWrap(true);
    where_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(1000);
    connect(pause_, &QTimer::timeout, this, &NoteEditor::saveNow);
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        unsaved_ = true;
        pause_->start();
    });
    resize(420, 300);
}

void NoteEditor::edit(VersePlace verse, const QString &heading, const std::string &text, const QString &where)
{
    saveNow(); // the note open before
    verse_ = verse;
    setWindowTitle(heading);
    heading_->setText(heading);
    where_->setText(where);
    {
        const QSignalBlocker blocker(text_);
        text_->setPlainText(QString::fromStdString(text));
    }
    text_->moveCursor(QTextCursor::End); // on from where the note ends
    unsaved_ = false;
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

void NoteEditor::saveNow()
{
    pause_->stop();
    if (!unsaved_)
        return;
    unsaved_ = false;
    save_(verse_, text_->toPlainText().toStdString());
}

void NoteEditor::done(int result)
{
    saveNow();
    QDialog::done(result);
}

} // namespace velmora
