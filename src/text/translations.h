// The translations the reader has installed: Tanzil's "sura|aya|text" files, kept as published, one
// "ID.txt" a translation (ur.jalandhry.txt) in the folder "translations" of a data folder.
#pragma once

#include "core/tanzil.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct InstalledTranslation
{
    TanzilDescription description; // its ID always set, from the file's name where the block has none
    std::filesystem::path file;
};

// Every installed translation of the data folders of folder (platform::dataFolders), by language,
// then name, then ID; a translation in an earlier folder stands for one of the same ID in a later.
std::vector<InstalledTranslation> installedTranslations(const std::string &folder);

// The installed translation of that ID, as installedTranslations would find it, without a look at
// any other; nullopt for none.
std::optional<InstalledTranslation> findTranslation(const std::string &folder, std::string_view id);

// The translations the reader chose to read, in their order: a plain file of the program's own
// folder, an ID a line, which the reader may open and edit.
inline constexpr const char *kChosenTranslationsFile = "Translations.txt";
std::vector<std::string> readChosenTranslations(const std::filesystem::path &file);
bool writeChosenTranslations(const std::filesystem::path &file, const std::vector<std::string> &ids);

// The installed translation of that ID (letter case aside); nullptr for none.
const InstalledTranslation *translationWithId(const std::vector<InstalledTranslation> &installed,
                                              std::string_view id);

} // namespace velmora
