#include "records.h"

#include "core/textfield.h"
#include "search/markword.h"

namespace velmora {

std::string cutForView(std::string_view record)
{
    if (record.size() <= kShownLimit)
        return std::string(record);
    return std::string(record.substr(0, kShownLimit)) + "\r\n\r\n[The record goes on for " +
           std::to_string(record.size() - kShownLimit) + " more characters, too many to show here.]";
}

RecordAt recordAt(const std::filesystem::path &file, int number)
{
    RecordAt found;
    if (auto reader = FieldReader::open(file)) {
        while (found.read < number && !reader->atEnd()) {
            found.text = std::string(reader->next());
            ++found.read;
        }
    }
    return found;
}

std::optional<std::string> steppedVerseKey(std::string_view shownText, int step)
{
    const std::string ref = recordReference(shownText);
    if (ref.size() < 3)
        return std::nullopt;
    const long long verse = intInText(TextAfterLast(ref, '.')) + step;
    return ref.substr(0, 3) + "." + std::to_string(verse);
}

std::optional<std::string> recordHolding(const std::filesystem::path &file, std::string_view key)
{
    auto reader = FieldReader::open(file);
    while (reader && !reader->atEnd()) {
        const std::string_view record = reader->next();
        // The key is digits and a dot, which letter case leaves alone.
        if (record.find(key) != std::string_view::npos)
            return std::string(record);
    }
    return std::nullopt;
}

} // namespace velmora
