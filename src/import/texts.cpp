#include "import/texts.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/tanzil.h"
#include "import/hadith.h"
#include "platform/process.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace velmora::import {

namespace {

namespace fs = std::filesystem;

// Tanzil's English translations that the program keeps in its own layout, for the boxes of the
// main window.
struct EnglishFile
{
    std::string_view id;
    std::string_view file;
};
constexpr std::array<EnglishFile, 4> kEnglishFiles = {{
    {"en.pickthall", "PIKTHL.TXT"},
    {"en.yusufali", "YSFALI.TXT"},
    {"en.shakir", "SHAKIR.TXT"},
    {"en.transliteration", "TRNSLIT.TXT"},
}};

// The hadith collections, told by a word of their file's name or title.
struct Collection
{
    std::string_view word; // lower case
    std::string_view file;
};
constexpr std::array<Collection, 5> kCollections = {{
    {"bukhari", "BUKHARI.TXT"},
    {"muslim", "MUSLIM.TXT"},
    {"dawud", "ABUDAWUD.TXT"},
    {"dawood", "ABUDAWUD.TXT"},
    {"malik", "MALIK.TXT"},
}};

// The corpus's files, one line a word of the Quran for the first two.
constexpr std::size_t kCorpusWords = 77429;
constexpr std::array<std::string_view, 3> kCorpusFiles = {
    "quranic-corpus-morphology.txt", "quranic-corpus-word-by-word.txt", "quranic-corpus-lemmas.txt"};

// The Quran texts the program reads, by the edition Tanzil's copyright block names.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kQuranEditions = {{
    {"Tanzil Quran Text (Uthmani,", "quran-uthmani.txt"},
    {"Tanzil Quran Text (Simple Clean,", "quran-simple-clean.txt"},
}};

std::string lowerName(const fs::path &path)
{
    return ansi::lower(utf8NameOf(path));
}

std::size_t lineCount(std::string_view text)
{
    const auto breaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return breaks + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// One input checked: its files added to the plan, or the plan's error set.
void planHadiths(const fs::path &path, const std::string &text, TextPlan &plan)
{
    std::string title = lowerName(path) + " " + ansi::lower(text.substr(0, 4096));
    const auto collection = std::find_if(kCollections.begin(), kCollections.end(), [&](const Collection &c) {
        return title.find(c.word) != std::string::npos;
    });
    if (collection == kCollections.end()) {
        plan.error =
            "no collection the program reads (Bukhari, Muslim, Abu Dawud, Malik) is named in its "
            "file name or title: name the file bukhari.json, muslim.json, abudawud.json or malik.json";
        return;
    }
    // sunnah.com's collections as JSON hold each hadith's English under "english".
    HadithFields fields;
    if (text.find("\"english\"") != std::string::npos) {
        fields.text = "english.text";
        fields.narrator = "english.narrator";
    }
    const ImportResult result = importHadiths(text, fields);
    if (!result.error.empty()) {
        plan.error = result.error;
        return;
    }
    plan.dataFiles.push_back({std::string(collection->file), result.contents});
    plan.taken.push_back(utf8NameOf(path) + ": " + withThousands(result.stats.items) + " hadiths, as " +
                         std::string(collection->file));
}

void planCorpusFile(const fs::path &path, std::string_view name, std::string text, TextPlan &plan)
{
    if (!isUtf8(text) || text.find('\0') != std::string::npos) {
        plan.error = "not a text file of the Quranic Arabic Corpus";
        return;
    }
    if (name != kCorpusFiles[2] && lineCount(text) != kCorpusWords) {
        plan.error = "it has " + withThousands(lineCount(text)) +
                     " lines, and the corpus's file has one for " + "each of the " +
                     withThousands(kCorpusWords) + " words of the Quran";
        return;
    }
    plan.dataFiles.push_back({std::string(name), std::move(text)});
    plan.taken.push_back(utf8NameOf(path) + ": the Quranic Arabic Corpus, kept as published");
}

void planQuranText(const fs::path &path, std::string text, TextPlan &plan)
{
    const auto edition = std::find_if(kQuranEditions.begin(), kQuranEditions.end(),
                                      [&](const auto &e) { return text.find(e.first) != std::string::npos; });
    if (edition == kQuranEditions.end()) {
        plan.error = "the program reads Tanzil's Uthmani and Simple Clean texts, and this is another";
        return;
    }
    if (plan.error = checkQuranText(text); !plan.error.empty())
        return;
    plan.dataFiles.push_back({std::string(edition->second), std::move(text)});
    const std::string name = utf8NameOf(path);
    plan.taken.push_back(name + ": the Quran in Arabic, kept as published" +
                         (name == edition->second ? std::string() : " as " + std::string(edition->second)));
}

void planTranslation(const fs::path &path, std::string text, TextPlan &plan)
{
    const TanzilImport checked = checkTanzilTranslation(text, utf8Of(path));
    if (!checked.error.empty()) {
        plan.error = checked.error;
        return;
    }
    const TanzilDescription &d = checked.description;
    const auto english = std::find_if(kEnglishFiles.begin(), kEnglishFiles.end(),
                                      [&](const EnglishFile &e) { return e.id == d.id; });
    if (english != kEnglishFiles.end()) {
        const ImportResult result = importTranslation(text);
        if (!result.error.empty()) {
            plan.error = result.error;
            return;
        }
        plan.dataFiles.push_back({std::string(english->file), result.contents});
        plan.taken.push_back(utf8NameOf(path) + ": " + (d.name.empty() ? d.id : d.name) + ", as " +
                             std::string(english->file));
        return;
    }
    plan.translationFiles.push_back({checked.fileName, std::move(text)});
    plan.taken.push_back(utf8NameOf(path) + ": " +
                         (d.language.empty() ? std::string("a translation") : d.language) +
                         (d.name.empty() ? "" : ", " + d.name) + ", kept as published");
}

void planFile(const fs::path &path, TextPlan &plan)
{
    SourceText input = readSource(path);
    if (!input.error.empty()) {
        plan.error = input.error;
        return;
    }
    const std::string name = lowerName(path);
    const std::size_t first = input.text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    const bool json = name.ends_with(".json") ||
                      (first != std::string::npos && (input.text[first] == '[' || input.text[first] == '{'));
    const auto corpus = std::find(kCorpusFiles.begin(), kCorpusFiles.end(), name);
    if (json)
        planHadiths(path, input.text, plan);
    else if (corpus != kCorpusFiles.end())
        planCorpusFile(path, *corpus, std::move(input.text), plan);
    else if (input.text.find("Tanzil Quran Text (") != std::string::npos)
        planQuranText(path, std::move(input.text), plan);
    else
        planTranslation(path, std::move(input.text), plan);
}

void planRecordingFolder(const TextInputs &inputs, const PauseMaker &makePause, TextPlan &plan)
{
    const Recordings recordings = planRecordings(inputs.recordings);
    plan.input = utf8Of(inputs.recordings);
    plan.error = recordings.error;
    if (plan.error.empty() && recordings.files.empty())
        plan.error = "it holds no recordings named SSSAAA.mp3 (surah and verse, three digits each)";
    if (!plan.error.empty())
        return;
    auto pauses = pauseFiles(makePause);
    if (!pauses) {
        plan.error = "the pauses between verses are made with lame (Debian package lame), which "
                     "could not be run";
        return;
    }
    plan.recordingFiles = std::move(*pauses);
    plan.recordingFiles.insert(plan.recordingFiles.end(), recordings.files.begin(), recordings.files.end());
    plan.taken.push_back(utf8Of(inputs.recordings) + ": " + withThousands(recordings.files.size()) +
                         " recordings" + (inputs.reciter.empty() ? "" : " of " + inputs.reciter) +
                         (recordings.missing.empty()
                              ? std::string()
                              : ", none for " + withThousands(recordings.missing.size()) + " verse entries"));
    plan.input.clear();
}

} // namespace

TextPlan planTexts(const TextInputs &inputs, const PauseMaker &makePause)
{
    TextPlan plan;
    for (const fs::path &path : inputs.files) {
        planFile(path, plan);
        if (!plan.error.empty()) {
            plan.input = utf8Of(path);
            return plan;
        }
    }
    if (!inputs.recordings.empty())
        planRecordingFolder(inputs, makePause, plan);
    return plan;
}

std::string writeTexts(const fs::path &dataFolder, const fs::path &recordings, const TextPlan &plan)
{
    const std::array<std::pair<fs::path, const std::vector<OutputFile> *>, 3> steps = {{
        {dataFolder, &plan.dataFiles},
        {recordings, &plan.recordingFiles},
        {dataFolder / kTranslationsFolder, &plan.translationFiles},
    }};
    std::vector<std::string> written;
    for (const auto &[folder, files] : steps) {
        if (files->empty())
            continue;
        std::error_code ec;
        fs::create_directories(folder, ec);
        std::string problem = recoverInterruptedImport(folder);
        if (problem.empty()) {
            std::vector<OutputFile> all = *files;
            if (files == &plan.recordingFiles) {
                const auto removals = removalsOfOtherRecordings(folder, all);
                all.insert(all.end(), removals.begin(), removals.end());
            }
            problem = writeDataFiles(folder, all);
        }
        if (!problem.empty())
            return problem + (written.empty() ? "; nothing was written"
                                              : "; already written: " + listedEntries(written));
        for (const auto &file : *files)
            written.push_back(file.name);
    }
    return {};
}

std::optional<std::vector<OutputFile>> pauseFiles(const PauseMaker &makePause)
{
    std::vector<OutputFile> files;
    for (const auto &[name, seconds] : {std::pair<const char *, int>{"a.mp3", 1}, {"b.mp3", 3}}) {
        auto pause = makePause(seconds);
        if (!pause)
            return std::nullopt;
        files.push_back({name, std::move(*pause)});
    }
    return files;
}

std::optional<std::string> silenceMp3(int seconds)
{
    auto encoded = platform::runFilter({"lame", "--quiet", "-b", "32", "-", "-"}, silentWav(seconds));
    if (encoded && !looksLikeMp3(*encoded))
        encoded.reset();
    return encoded;
}

const std::vector<PublishedText> &publishedTexts()
{
    static const std::vector<PublishedText> texts = {
        {{"quran-uthmani.txt", "quran-simple-clean.txt"},
         "The Quran in Arabic",
         "the Tanzil Project, https://tanzil.net/download/: the Uthmani and the Simple Clean text, each "
         "as \"Text (with aya numbers)\""},
        {{"PIKTHL.TXT", "YSFALI.TXT", "SHAKIR.TXT", "TRNSLIT.TXT"},
         "The English translations of Pickthall, Yusuf Ali and Shakir, and the transliteration",
         "the Tanzil Project, https://tanzil.net/trans/: en.pickthall, en.yusufali, en.shakir and "
         "en.transliteration, each as \"Text (with aya numbers)\"; every other language is there too"},
        {{"quranic-corpus-morphology.txt", "quranic-corpus-word-by-word.txt", "quranic-corpus-lemmas.txt"},
         "Word by word: each word's English, grammar and root",
         "the Quranic Arabic Corpus, https://corpus.quran.com: its morphology, word-by-word and lemma "
         "files, under these names"},
        {{"BUKHARI.TXT", "MUSLIM.TXT", "ABUDAWUD.TXT", "MALIK.TXT"},
         "The hadith collections of Bukhari, Muslim, Abu Dawud and Malik, for the search window",
         "sunnah.com's English texts as JSON, one file a collection (bukhari.json, muslim.json, "
         "abudawud.json, malik.json)"},
    };
    return texts;
}

} // namespace velmora::import
