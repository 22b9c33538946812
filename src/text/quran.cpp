#include "quran.h"

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "core/utf8.h"

#include <algorithm>
#include <charconv>

namespace velmora {
namespace {

std::optional<int> numberField(std::string_view field)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || ec != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QuranText> QuranText::open(const std::filesystem::path &path, std::string *problem)
{
    const auto refused = [problem](std::string words) {
        if (problem)
            *problem = std::move(words);
        return std::nullopt;
    };
    // A file too large to be a text is refused by its size, never read whole.
    auto text = readRegularFile(path);
    if (!text) {
        const FileTrouble trouble = fileTroubleOf(path);
        return refused(troubleWords(trouble == FileTrouble::None ? FileTrouble::Unreadable : trouble));
    }
    // What keeps a data file from being text (NUL bytes among its first ones, no record at all).
    if (std::string words = dataFileProblem(*text, DataKind::Records); !words.empty())
        return refused(std::move(words));
    auto quran = fromText(std::move(*text));
    if (!quran)
        return refused("holds no verses as sura|aya|text lines");
    return quran;
}

std::optional<QuranText> QuranText::fromText(std::string text)
{
    QuranText quran;
    quran.text_ = std::make_unique<const std::string>(std::move(text));
    quran.bySurah_.resize(kSurahCount + 1);
    std::string_view rest = *quran.text_;
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    while (!rest.empty()) {
        const std::string_view line = takeLine(rest);
        if (line.empty() || line.front() == '#')
            continue;
        const auto bar1 = line.find('|');
        const auto bar2 = bar1 == std::string_view::npos ? bar1 : line.find('|', bar1 + 1);
        if (bar2 == std::string_view::npos)
            continue;
        const auto surah = numberField(line.substr(0, bar1));
        const auto aya = numberField(line.substr(bar1 + 1, bar2 - bar1 - 1));
        if (!surah || !aya || *surah < 1 || *surah > kSurahCount || *aya < 1 || *aya > 300)
            continue;
        auto &slots = quran.bySurah_[static_cast<std::size_t>(*surah)];
        if (slots.size() <= static_cast<std::size_t>(*aya))
            slots.resize(static_cast<std::size_t>(*aya) + 1);
        if (slots[static_cast<std::size_t>(*aya)] != 0)
            continue; // the first of two lines for one verse counts
        quran.verses_.push_back({*surah, *aya, line.substr(bar2 + 1)});
        slots[static_cast<std::size_t>(*aya)] = quran.verses_.size();
    }
    if (quran.verses_.empty())
        return std::nullopt;
    return quran;
}

std::string_view QuranText::verse(int surah, int aya) const
{
    const auto at = placeOf(surah, aya);
    return at ? verses_[*at].text : std::string_view();
}

std::optional<std::size_t> QuranText::placeOf(int surah, int aya) const
{
    if (surah < 1 || surah > kSurahCount || aya < 1)
        return std::nullopt;
    const auto &slots = bySurah_[static_cast<std::size_t>(surah)];
    const std::size_t at =
        static_cast<std::size_t>(aya) < slots.size() ? slots[static_cast<std::size_t>(aya)] : 0;
    return at == 0 ? std::nullopt : std::optional(at - 1);
}

int QuranText::ayaOfEntry(int surah, int entry)
{
    if (surah == 1)
        return entry + 1;
    return entry;
}

std::string_view QuranText::entryText(int surah, int entry) const
{
    if (surah != 1 && entry == 0)
        return surah == 9 ? std::string_view() : verse(1, 1); // the invocation
    return verse(surah, ayaOfEntry(surah, entry));
}

std::string ayaMark(int aya)
{
    std::string mark = " ";
    ansi::appendUtf8(mark, 0x06DD); // the end-of-ayah sign, which encloses the digits after it
    for (const char digit : std::to_string(aya))
        ansi::appendUtf8(mark, static_cast<char32_t>(0x0660 + (digit - '0')));
    return mark;
}

std::vector<std::string_view> versesAt(std::string_view text, const std::vector<std::pair<int, int>> &places)
{
    std::vector<std::string_view> found;
    found.reserve(places.size());
    std::size_t at = 0;
    for (const auto &[surah, aya] : places) {
        const std::string prefix = std::to_string(surah) + "|" + std::to_string(aya) + "|";
        std::string_view verse;
        for (std::size_t line = at; line < text.size();) {
            const std::size_t end = std::min(text.find('\n', line), text.size());
            const std::size_t start = line == 0 && text.starts_with("\xEF\xBB\xBF") ? 3 : line;
            if (text.compare(start, prefix.size(), prefix) == 0) {
                verse = text.substr(start + prefix.size(), end - start - prefix.size());
                if (verse.ends_with('\r'))
                    verse.remove_suffix(1);
                at = end + 1;
                break;
            }
            line = end + 1;
        }
        found.push_back(verse);
    }
    return found;
}

std::vector<DisplayVerse> arabicDisplay(const QuranText *quran, const std::string &folder,
                                        const std::vector<std::string> &fileNames, int surah, int fromVerse,
                                        int toVerse, const ReadHooks &hooks,
                                        const std::vector<const QuranText *> &more)
{
    std::vector<std::vector<std::string>> translations;
    translations.reserve(fileNames.size());
    for (const auto &file : fileNames)
        translations.push_back(ExtractVerses(folder, file, surah, fromVerse, toVerse, hooks));
    std::vector<DisplayVerse> out;
    for (int entry = std::max(fromVerse, 0); entry <= toVerse; ++entry) {
        const std::size_t i = static_cast<std::size_t>(entry - std::max(fromVerse, 0));
        DisplayVerse v;
        v.entry = entry;
        if (quran)
            if (const std::string_view text = quran->entryText(surah, entry); !text.empty()) {
                v.arabic = std::string(text);
                // The invocation before a surah's first verse carries no number of its own.
                if (surah == 1 || entry > 0)
                    v.arabic += ayaMark(QuranText::ayaOfEntry(surah, entry));
            }
        const auto item = [&](std::size_t k) {
            return i < translations[k].size() ? std::string_view(translations[k][i]) : std::string_view();
        };
        const std::size_t n = translations.size();
        if (n == 1) {
            v.translations = std::string(item(0)) + "\r\n\r\n";
        } else if (n > 1) {
            const std::string_view separator = item(n - 1).empty() ? "" : "---\r\n";
            v.translations.append(item(0)).append("\r\n");
            for (std::size_t k = 1; k < n; ++k)
                v.translations.append(separator).append(item(k)).append("\r\n");
            for (std::size_t k = 0; k < n; ++k)
                v.translations.append("\r\n"); // one blank line for each file, as an empty pass
        }
        for (const QuranText *translation : more) {
            const std::string_view text =
                translation ? translation->entryText(surah, entry) : std::string_view();
            // Numbered as the English files number their entries: surah 1 by its verses.
            const int number = surah == 1 ? QuranText::ayaOfEntry(surah, entry) : entry;
            v.more.push_back(text.empty() ? std::string()
                                          : std::to_string(number) + ") " + std::string(text));
        }
        out.push_back(std::move(v));
    }
    return out;
}

} // namespace velmora
