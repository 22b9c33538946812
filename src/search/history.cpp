#include "history.h"

#include "core/safefile.h"
#include "core/textfield.h"

namespace velmora {

const std::vector<std::string> &defaultHistory()
{
    static const std::vector<std::string> entries = {"Day", "Day Judgment", "'Day of Judgment'"};
    return entries;
}

const std::vector<std::string> &resetHistory()
{
    static const std::vector<std::string> entries = {"Day", "Day Judgment", "'Day of Judgement'"};
    return entries;
}

std::vector<std::string> readHistory(const std::filesystem::path &path)
{
    std::vector<std::string> entries;
    // The program's own file: read only as the regular file it writes, never through a link.
    auto reader = FieldReader::open(path, Links::Refuse);
    if (!reader)
        return entries;
    while (!reader->atEnd()) {
        const std::string_view field = reader->next();
        if (!field.empty())
            entries.emplace_back(field);
    }
    return entries;
}

bool writeHistory(const std::filesystem::path &path, const std::vector<std::string> &entries)
{
    LineWriter w;
    for (const auto &entry : entries)
        w.text(entry);
    return writeFileReplacing(path, w.contents());
}

std::vector<std::string> readWideHistory(const std::filesystem::path &path)
{
    std::vector<std::string> entries;
    const auto text = readRegularFile(path, Links::Refuse);
    if (!text)
        return entries;
    std::string_view rest = *text;
    while (!rest.empty())
        if (const std::string_view line = takeLine(rest); !line.empty())
            entries.emplace_back(line);
    return entries;
}

bool writeWideHistory(const std::filesystem::path &path, const std::vector<std::string> &entries)
{
    if (entries.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return !ec;
    }
    std::string text;
    for (const auto &entry : entries)
        text.append(entry).append("\r\n");
    return writeFileReplacing(path, text);
}

} // namespace velmora
