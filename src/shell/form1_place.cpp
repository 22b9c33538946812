// The main window's place in the mushaf: the juz and page of the verses shown, named above the
// verse list, and going to a juz, hizb quarter or page.

#include "shell/form1.h"

#include "core/pathname.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace velmora {

const QuranMetadata *Form1::metadata()
{
    if (!metadataRead_) {
        metadataRead_ = true;
        const auto file = platform::resolveDataFile(state_.programFolder, kMetadataFile);
        std::string problem;
        metadata_ = QuranMetadata::open(file, &problem);
        if (!metadata_ && problem != troubleWords(FileTrouble::Missing))
            dialogs_.tell(this, QStringLiteral("The Quran's metadata %1 in %2 cannot be read: it %3.")
                                    .arg(QLatin1String(kMetadataFile),
                                         QString::fromStdString(utf8Of(file.parent_path())),
                                         QString::fromStdString(problem)));
    }
    return metadata_ ? &*metadata_ : nullptr;
}

void Form1::showPlace(int surah, int entry)
{
    const QuranMetadata *divisions = metadata();
    const SurahFacts *facts = divisions ? divisions->surah(surah) : nullptr;
    if (!facts) {
        placeLabel_->clear();
        return;
    }
    // Entry 0 of a surah other than the first is the invocation: its place is the first verse's.
    const VersePlace verse{surah, std::max(1, QuranText::ayaOfEntry(surah, entry))};
    const auto number = [&](Division d) { return divisions->divisionOf(d, verse); };
    placeLabel_->setText(QStringLiteral("Juz %1, page %2 \u2014 %3")
                             .arg(number(Division::Juz))
                             .arg(number(Division::Page))
                             .arg(QString::fromStdString(facts->arabicName)));
    placeLabel_->setToolTip(QStringLiteral("%1 (%2), %3, %4 verses: verse %5 is in juz %6, hizb quarter %7, "
                                           "manzil %8, ruku %9, page %10 (Tanzil's metadata)")
                                .arg(QString::fromStdString(facts->name),
                                     QString::fromStdString(facts->englishName),
                                     QString::fromStdString(facts->type))
                                .arg(facts->verses)
                                .arg(verse.aya)
                                .arg(number(Division::Juz))
                                .arg(number(Division::HizbQuarter))
                                .arg(number(Division::Manzil))
                                .arg(number(Division::Ruku))
                                .arg(number(Division::Page)));
}

bool Form1::goToDivision(Division division, int number)
{
    const QuranMetadata *divisions = metadata();
    if (!divisions) {
        dialogs_.tell(
            this, QStringLiteral("The Quran's metadata %1 is not in %2, so the program cannot go to a %3.")
                      .arg(QLatin1String(kMetadataFile), QString::fromStdString(state_.programFolder),
                           QString::fromUtf8(divisionName(division))));
        return false;
    }
    const auto range = divisions->rangeOf(division, number);
    if (!range) {
        dialogs_.tell(this, QStringLiteral("There is no %1 %2: they are numbered 1 to %3.")
                                .arg(QString::fromUtf8(divisionName(division)))
                                .arg(number)
                                .arg(divisions->count(division)));
        return false;
    }
    // As a reader selects it: the surah, then the division's first verse in the list, then the range
    // to its last verse there (or the surah's last, when it runs on into the next surah).
    const auto [first, last] = *range;
    const auto entryOf = [](VersePlace v) { return v.surah == 1 ? v.aya - 1 : v.aya; };
    combo1_->setCurrentIndex(first.surah - 1);
    const int from = entryOf(first);
    const int to = last.surah == first.surah ? entryOf(last) : list1_->count() - 1;
    list1_->setCurrentRow(from);
    combo3_->setCurrentIndex(std::min(to, combo3_->count() - 1));
    command7_->click();
    return true;
}

} // namespace velmora
