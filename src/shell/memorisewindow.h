// The choices of a reader who memorises, in a small window beside the main one: the reciter, the
// repeats and pauses, the built-in player's speed and the hidden text. Each change is told at once.
#pragma once

#include "recite/memorise.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;

namespace velmora {

class MemoriseWindow : public QDialog
{
    Q_OBJECT

public:
    using Changed = std::function<void(const ReciteSettings &)>;
    MemoriseWindow(QWidget *parent, Changed changed);
    // The reciters to choose from ("" first: the recordings beside the program), where they are
    // imported from, and whether the player is the program's own, whose speed can be set.
    void showSettings(const ReciteSettings &settings, const std::vector<std::string> &reciters,
                      const QString &recitersHint, bool speedApplies);

private:
    void createReciterChoice(QFormLayout *form);
    void createRepeatChoices(QFormLayout *form);
    void createPlayerChoices(QFormLayout *form);
    void tell();
    // One choice changed: kept, and told.
    template <typename T> void set(T ReciteSettings::*field, T value);

    Changed changed_;
    ReciteSettings settings_;
    QComboBox *reciter_ = nullptr;
    QLabel *recitersHint_ = nullptr;
    QCheckBox *rising_ = nullptr;
    QComboBox *selectionPause_ = nullptr;
    QComboBox *lengthMultiple_ = nullptr;
    QComboBox *speed_ = nullptr;
    QCheckBox *hide_ = nullptr;
};

} // namespace velmora
