// velmora-import: writes the program's data files from published texts.
//   velmora-import --to FOLDER [options] TARGET=INPUT ...

#include "import/import.h"
#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "import/hadith.h"
#include "import/texts.h"
#include "platform/options.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recite/memorise.h"
#include "text/translations.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace velmora;

enum class InputKind
{
    Translation,
    Hadiths
};

struct Target
{
    const char *name;
    InputKind kind;
};

constexpr std::array<Target, 8> kTargets = {{
    {"PIKTHL.TXT", InputKind::Translation},
    {"YSFALI.TXT", InputKind::Translation},
    {"SHAKIR.TXT", InputKind::Translation},
    {"TRNSLIT.TXT", InputKind::Translation},
    {"BUKHARI.TXT", InputKind::Hadiths},
    {"MUSLIM.TXT", InputKind::Hadiths},
    {"ABUDAWUD.TXT", InputKind::Hadiths},
    {"MALIK.TXT", InputKind::Hadiths},
}};

// Where the importer writes by default, as its help names it.
#ifdef _WIN32
constexpr const char *kUserDataFolderText = "%APPDATA%\\Velmora, which the program reads before the\n"
                                            "files installed with it";
#else
constexpr const char *kUserDataFolderText = "$XDG_DATA_HOME/velmora (~/.local/share/velmora), which the\n"
                                            "program reads before the system's";
#endif

void usage(std::ostream &out)
{
    out << "usage: velmora-import [--to FOLDER] [--text-field NAME] [--narrator-field NAME]\n"
           "                      [--quiet] [--recordings DIR [--reciter NAME]] [TARGET=INPUT ...]\n"
           "       velmora-import [--to FOLDER] TANZIL-FILE ...\n"
           "\n"
           "Writes the program's data files into FOLDER (Windows-1252, CR LF): by default the\n"
           "user's own data folder, "
        << kUserDataFolderText
        << "; a FOLDER named must exist. Nothing is written\n"
           "unless every input is in order; each file is written under a temporary name first.\n"
           "\n"
           "Translations: TARGET is PIKTHL, YSFALI, SHAKIR or TRNSLIT; INPUT holds one verse per\n"
           "line as sura|aya|text in UTF-8 (lines starting with # are comments), all 6236 verses.\n"
           "\n"
           "Hadith collections: TARGET is BUKHARI, MUSLIM, ABUDAWUD or MALIK; INPUT is a JSON array\n"
           "of hadith objects (or an object whose \"hadiths\" member is that array), in UTF-8.\n"
           "  --text-field NAME      the member holding a hadith's text (default \"text\"); \"a.b\"\n"
           "                         reaches member b of member a, e.g. english.text\n"
           "  --narrator-field NAME  a member written before the text, e.g. english.narrator\n"
           "\n"
           "Recordings: --recordings DIR takes a reciter's per-verse MP3 files named SSSAAA.mp3\n"
           "(surah and verse, three digits each) and writes them as the program's SSS-VVV.mp3, the\n"
           "recording of 1:1 as entry 000 of the surahs that open with the invocation, and makes the\n"
           "pauses a.mp3 (1 second) and b.mp3 (3 seconds) with lame. Missing verses are reported.\n"
           "  --reciter NAME         keeps them as that reciter's, in FOLDER/reciters/NAME, beside\n"
           "                         the other reciters' (chosen in the main window); without it\n"
           "                         they replace the recordings of FOLDER\n"
           "\n"
           "Translations in any language, as Tanzil publishes them (https://tanzil.net/trans/,\n"
           "\"Text (with aya numbers)\"): name the files, e.g. velmora-import ur.jalandhry.txt;\n"
           "each is checked (UTF-8, every verse once) and kept as it is, in FOLDER/translations.\n"
           "\n"
           "  --quiet                no progress bar\n"
           "  --version              the version\n"
           "\n"
           "Characters outside Windows-1252 are written as their nearest letters (a for the a with\n"
           "macron, say) or as \"?\", and counted in the report.\n"
           "Example: velmora-import --to build/src PIKTHL=en.pickthall.txt BUKHARI=bukhari.json\n";
}

const Target *targetNamed(std::string name)
{
    if (!ansi::equalsNoCase(name.size() > 4 ? std::string_view(name).substr(name.size() - 4) : "", ".TXT"))
        name += ".TXT";
    for (const auto &t : kTargets)
        if (ansi::equalsNoCase(name, t.name))
            return &t;
    return nullptr;
}

// A bar on the terminal, redrawn when its percentage changes; nothing when the output is no terminal.
class ProgressBar
{
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled && platform::isTerminal(2)) {}
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    void start(std::string label)
    {
        label_ = std::move(label);
        shown_ = -1;
        update(0, 1);
    }
    void update(std::size_t done, std::size_t total)
    {
        if (!enabled_ || total == 0)
            return;
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == shown_)
            return;
        shown_ = percent;
        constexpr int width = 30;
        const int filled = percent * width / 100;
        std::fprintf(stderr, "\r  %-13s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                     std::string(width - filled, ' ').c_str(), percent);
        std::fflush(stderr);
        drawn_ = true;
    }
    void finish()
    {
        if (drawn_)
            std::fprintf(stderr, "\r%60s\r", "");
        drawn_ = false;
    }

private:
    bool enabled_;
    bool drawn_ = false;
    int shown_ = -1;
    std::string label_;
};

std::string reportLine(const std::string &name, InputKind kind, const import::ImportStats &s)
{
    std::string line = "  " + name + ": " + withThousands(s.items) +
                       (kind == InputKind::Translation ? " verses" : " hadiths") + " in " +
                       withThousands(s.records) + " records; " + withThousands(s.transliterated) +
                       " characters transliterated, " + withThousands(s.replaced) + " replaced by \"?\"";
    if (s.invalidBytes)
        line += ", " + withThousands(s.invalidBytes) + " bytes that were not UTF-8 replaced by \"?\"";
    if (s.skipped)
        line += "; " + withThousands(s.skipped) + " hadiths without text left out";
    return line;
}

// Earlier versions made the pauses through files in the temporary folder, which an import that was
// stopped half way left behind: they are cleared once they are an hour old.
void clearOldPauseFiles()
{
    std::error_code ec;
    const auto folder = std::filesystem::temp_directory_path(ec);
    const auto now = std::filesystem::file_time_type::clock::now();
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (utf8NameOf(it->path()).starts_with("velmora-pause-") &&
            it->symlink_status(fileEc).type() == std::filesystem::file_type::regular &&
            now - it->last_write_time(fileEc) > std::chrono::hours(1) && !fileEc)
            std::filesystem::remove(it->path(), fileEc);
    }
}

struct Job
{
    const Target *target;
    std::string input;
};

// What the command line asks for.
struct Arguments
{
    std::string folder;
    import::HadithFields fields;
    bool quiet = false;
    std::string recordings;
    std::string reciter; // "" for the recordings of the folder itself
    std::vector<Job> jobs;
    std::vector<std::string> translations; // Tanzil's own files, kept as they are
    bool help = false;
    bool version = false;
    std::string error; // why the command line is refused; "" when it is not
};

// The options and what each does to Arguments.
std::vector<platform::OptionRule> optionRules(Arguments &out)
{
    using platform::OptionRule;
    const auto into = [](std::string &field) {
        return [&field](const char *value) {
            field = value;
            return std::string();
        };
    };
    return {
        platform::flagRule("help", 'h', out.help),
        platform::flagRule("version", 'V', out.version),
        platform::flagRule("quiet", 0, out.quiet),
        {"to", 0, OptionRule::Value::Required, "a folder", into(out.folder)},
        {"text-field", 0, OptionRule::Value::Required, "a member's name", into(out.fields.text)},
        {"narrator-field", 0, OptionRule::Value::Required, "a member's name", into(out.fields.narrator)},
        {"recordings", 0, OptionRule::Value::Required, "a folder", into(out.recordings)},
        {"reciter", 0, OptionRule::Value::Required, "a name",
         [&out](const char *value) {
             out.reciter = value;
             return isReciterName(out.reciter)
                        ? std::string()
                        : "'" + out.reciter +
                              "' cannot name a reciter's folder: use at most 64 bytes, without \\ / : * ? \" "
                              "< > |, and no dot or blank at either end";
         }},
    };
}

// An operand: TARGET=INPUT, or a Tanzil translation file kept as it is.
void takeOperand(const std::string &operand, Arguments &out)
{
    const auto eq = operand.find('=');
    if (eq == std::string::npos) {
        out.translations.push_back(operand);
        return;
    }
    const Target *target = targetNamed(operand.substr(0, eq));
    if (!target) {
        out.error = "unknown data file '" + operand.substr(0, eq) + "'";
        return;
    }
    for (const auto &job : out.jobs)
        if (job.target == target)
            out.error = std::string(target->name) + " is named twice; nothing was written";
    out.jobs.push_back({target, operand.substr(eq + 1)});
}

Arguments parseArguments(const std::vector<std::string> &args)
{
    Arguments out;
    const platform::ReadArguments read = platform::readOptions(args, optionRules(out));
    out.error = read.error;
    for (std::size_t i = 0; i < read.operands.size() && out.error.empty(); ++i)
        takeOperand(read.operands[i], out);
    if (out.error.empty() && !out.reciter.empty() && (out.recordings.empty() || !out.jobs.empty()))
        out.error = "--reciter names the reciter of --recordings DIR, which is imported on its own";
    if (out.error.empty() && !out.help && !out.version && out.jobs.empty() && out.recordings.empty() &&
        out.translations.empty())
        out.error = "name at least one input";
    if (out.error.empty() && !out.translations.empty() && (!out.jobs.empty() || !out.recordings.empty()))
        out.error = "Tanzil's translation files are imported on their own, apart from TARGET=INPUT and "
                    "--recordings";
    // Without --to, the user's own data folder, which the program reads before the system's.
    if (out.error.empty() && out.folder.empty() && !out.help && !out.version) {
        out.folder = platform::userDataFolder();
        std::error_code ec;
        if (out.folder.empty())
            out.error = "there is no data folder of the user's (no home folder): name one with --to";
        else
            std::filesystem::create_directories(pathFromUtf8(out.folder), ec);
    }
    return out;
}

// The files of every input, checked and converted; nullopt, once the reason is told, when one is
// refused.
std::optional<std::vector<import::OutputFile>> convertInputs(const Arguments &a,
                                                             std::vector<std::string> &report)
{
    std::vector<import::OutputFile> files;
    ProgressBar bar(!a.quiet);
    for (const auto &job : a.jobs) {
        const import::SourceText input = import::readSource(pathFromUtf8(job.input));
        if (!input.error.empty()) {
            bar.finish();
            std::cerr << "velmora-import: cannot take " << job.input << ": " << input.error
                      << "; nothing was written\n";
            return std::nullopt;
        }
        bar.start(job.target->name);
        const auto progress = [&bar](std::size_t done, std::size_t total) { bar.update(done, total); };
        const import::ImportResult result = job.target->kind == InputKind::Translation
                                                ? import::importTranslation(input.text, progress)
                                                : import::importHadiths(input.text, a.fields, progress);
        if (!result.error.empty()) {
            bar.finish();
            std::cerr << "velmora-import: " << job.input << ": " << result.error
                      << "\nNothing was written.\n";
            return std::nullopt;
        }
        files.push_back({job.target->name, result.contents});
        report.push_back(reportLine(job.target->name, job.target->kind, result.stats));
    }
    return files;
}

// The recordings and the pauses to write; false, once the reason is told, when they are refused.
bool planRecordingFiles(const std::string &recordings, const std::string &folder,
                        std::vector<import::OutputFile> &files, std::vector<std::string> &report)
{
    const import::Recordings plan = import::planRecordings(pathFromUtf8(recordings));
    if (!plan.error.empty()) {
        std::cerr << "velmora-import: " << recordings << ": " << plan.error << "\nNothing was written.\n";
        return false;
    }
    const std::string nearMisses = plan.nearMisses.empty() ? ""
                                                           : "  not taken, though named like recordings: " +
                                                                 listedEntries(plan.nearMisses);
    if (plan.files.empty()) {
        std::cerr << "velmora-import: " << recordings << " holds no recordings named SSSAAA.mp3\n"
                  << nearMisses << (nearMisses.empty() ? "" : "\n");
        return false;
    }
    clearOldPauseFiles();
    const auto pauses = import::pauseFiles(import::silenceMp3);
    if (!pauses) {
        std::cerr << "velmora-import: the pauses a.mp3 and b.mp3 are made with lame (Debian package "
                     "lame), which could not be run; nothing was written\n";
        return false;
    }
    files.insert(files.end(), pauses->begin(), pauses->end());
    files.insert(files.end(), plan.files.begin(), plan.files.end());
    const auto removals = import::removalsOfOtherRecordings(pathFromUtf8(folder), files);
    files.insert(files.end(), removals.begin(), removals.end());
    report.push_back("  recordings: " + withThousands(plan.files.size()) + " verse entries, and the pauses " +
                     "a.mp3 and b.mp3");
    if (!removals.empty())
        report.push_back("  " + withThousands(removals.size()) +
                         " recordings of the earlier set taken away, for verses this set has none for");
    if (!plan.missing.empty())
        report.push_back("  no recording for " + withThousands(plan.missing.size()) +
                         " verse entries: " + listedEntries(plan.missing));
    if (!nearMisses.empty())
        report.push_back(nearMisses);
    return true;
}

// Tanzil's files into the folder "translations" of the data folder, all or none.
int writeTranslations(const Arguments &a)
{
    const import::TanzilImports done =
        import::importTanzilTranslations(pathFromUtf8(a.folder), a.translations);
    if (!done.input.empty()) {
        std::cerr << "velmora-import: cannot take " << done.input << ": " << done.error
                  << "; nothing was written\n";
        return 1;
    }
    if (!done.error.empty()) {
        std::cerr << "velmora-import: " << done.error << "\n";
        return 1;
    }
    std::cout << "Wrote into " << a.folder << ":\n";
    for (const auto &t : done.taken) {
        const TanzilDescription &d = t.description;
        std::cout << "  " << kTranslationsFolder << "/" << t.fileName << ": "
                  << (d.language.empty() ? std::string("a translation") : d.language)
                  << (d.name.empty() ? "" : ", " + d.name)
                  << (d.translator.empty() ? "" : " (" + d.translator + ")") << ", kept as published\n";
    }
    return 0;
}

int run(const Arguments &a)
{
    // An import that an earlier run left half done is undone first, whatever becomes of this one.
    std::error_code ec;
    if (!a.folder.empty() && std::filesystem::is_directory(pathFromUtf8(a.folder), ec))
        if (const std::string problem = import::recoverInterruptedImport(pathFromUtf8(a.folder));
            !problem.empty()) {
            std::cerr << "velmora-import: " << problem << "\n";
            return 1;
        }
    if (a.help) {
        usage(std::cout);
        return 0;
    }
    if (a.version) {
        std::cout << "velmora-import " << VELMORA_VERSION << "\n";
        return 0;
    }
    if (!a.error.empty()) {
        std::cerr << "velmora-import: " << a.error << "\n\n";
        usage(std::cerr);
        return 2;
    }
    // A folder named by hand must be there: a mistyped one is not made.
    if (!std::filesystem::is_directory(pathFromUtf8(a.folder), ec)) {
        std::cerr << "velmora-import: the folder " << a.folder << " does not exist; nothing was written\n";
        return 1;
    }
    std::vector<std::string> report;
    if (!a.translations.empty())
        return writeTranslations(a);
    // A reciter's recordings, with their pauses, in a folder of their own.
    const std::string folder =
        a.reciter.empty() ? a.folder
                          : utf8Of(pathFromUtf8(a.folder) / kRecitersFolder / pathFromUtf8(a.reciter));
    auto files = convertInputs(a, report);
    if (!files || (!a.recordings.empty() && !planRecordingFiles(a.recordings, folder, *files, report)))
        return 1;
    if (!a.reciter.empty())
        std::filesystem::create_directories(pathFromUtf8(folder), ec);
    if (const std::string problem = import::writeDataFiles(pathFromUtf8(folder), *files); !problem.empty()) {
        std::cerr << "velmora-import: " << problem << "\n";
        return 1;
    }
    std::cout << "Wrote into " << folder << ":\n";
    for (const auto &line : report)
        std::cout << line << '\n';
    const platform::NameIndex written(folder);
    for (const auto &file : *files)
        for (const auto &twin : import::twinsOf(written, file.name))
            std::cout << "  note: " << twin << " differs from " << file.name
                      << " only in letter case; the program does not read it\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Names of folders in any script, as the system holds them, and messages that name them.
    const platform::Utf8Output output;
    try {
        return run(parseArguments(platform::argumentsInUtf8(argc, argv)));
    } catch (const std::bad_alloc &) {
        std::cerr << "velmora-import: out of memory; nothing was written\n";
        return 1;
    } catch (const std::exception &e) {
        // A folder that fails under the import (an input/output error, say) ends it, told.
        std::cerr << "velmora-import: " << e.what() << "; the import was stopped\n";
        return 2;
    }
}
