#include "translations.h"

#include "core/ansi.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace velmora {
namespace {

// The block stands in the last few kilobytes; only those pages of the file are read.
constexpr std::size_t kDescriptionTail = 8192;

TanzilDescription describedIn(const std::filesystem::path &file)
{
    const auto mapped = MappedFile::open(file, MappedFile::Use::Part);
    if (!mapped)
        return {};
    const std::string_view text = mapped->text();
    return readTanzilDescription(text.substr(text.size() - std::min(text.size(), kDescriptionTail)));
}

} // namespace

std::optional<InstalledTranslation> findTranslation(const std::string &folder, std::string_view id)
{
    const std::string wanted = ansi::lower(id);
    if (!isTanzilId(wanted))
        return std::nullopt;
    for (const std::string &dataFolder : platform::dataFolders(folder)) {
        const std::string translations = utf8Of(pathFromUtf8(dataFolder) / kTranslationsFolder);
        const std::string entry = platform::NameIndex(translations).entryFor(wanted + ".txt");
        if (entry.empty())
            continue;
        InstalledTranslation t{describedIn(pathFromUtf8(translations) / pathFromUtf8(entry)),
                               pathFromUtf8(translations) / pathFromUtf8(entry)};
        t.description.id = wanted;
        return t;
    }
    return std::nullopt;
}

std::vector<InstalledTranslation> installedTranslations(const std::string &folder)
{
    std::vector<InstalledTranslation> found;
    std::set<std::string> ids;
    for (const std::string &dataFolder : platform::dataFolders(folder)) {
        const std::string translations = utf8Of(pathFromUtf8(dataFolder) / kTranslationsFolder);
        for (const std::string &name : platform::listFilesWithExtension(translations, ".txt")) {
            const std::string id = ansi::lower(name.substr(0, name.size() - 4));
            if (!isTanzilId(id) || !ids.insert(id).second)
                continue;
            InstalledTranslation t;
            t.file = pathFromUtf8(translations) / pathFromUtf8(name);
            t.description = describedIn(t.file);
            t.description.id = id;
            found.push_back(std::move(t));
        }
    }
    std::sort(found.begin(), found.end(), [](const InstalledTranslation &a, const InstalledTranslation &b) {
        return std::tie(a.description.language, a.description.name, a.description.id) <
               std::tie(b.description.language, b.description.name, b.description.id);
    });
    return found;
}

std::vector<std::string> readChosenTranslations(const std::filesystem::path &file)
{
    std::vector<std::string> ids;
    const auto text = readRegularFile(file);
    std::string_view rest = text ? std::string_view(*text) : std::string_view();
    while (!rest.empty()) {
        const std::string id = ansi::lower(takeLine(rest));
        if (isTanzilId(id) && std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    return ids;
}

bool writeChosenTranslations(const std::filesystem::path &file, const std::vector<std::string> &ids)
{
    std::string text;
    for (const auto &id : ids)
        text += id + "\n";
    return writeFileReplacing(file, text);
}

const InstalledTranslation *translationWithId(const std::vector<InstalledTranslation> &installed,
                                              std::string_view id)
{
    const auto it = std::find_if(installed.begin(), installed.end(), [&](const InstalledTranslation &t) {
        return ansi::equalsNoCase(t.description.id, id);
    });
    return it == installed.end() ? nullptr : &*it;
}

} // namespace velmora
