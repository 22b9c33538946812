// velmora-import: writes the program's data files from published texts.
//   velmora-import --to FOLDER [options] TARGET=INPUT ...

#include "text/import.h"
#include "core/ansi.h"
#include "platform/paths.h"
#include "search/hadithimport.h"

#include <array>
#include <cstdio>
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

void usage(std::ostream &out)
{
    out << "usage: velmora-import --to FOLDER [--text-field NAME] [--narrator-field NAME] [--quiet]\n"
           "                      TARGET=INPUT [TARGET=INPUT ...]\n"
           "\n"
           "Writes the program's data files into FOLDER (Windows-1252, CR LF). Nothing is written\n"
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
           "  --quiet                no progress bar\n"
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

std::string withThousands(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

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

// An input named on the command line, read to its end: a file, or a pipe such as <(unzip -p ...).
std::optional<std::string> readInput(const std::string &name)
{
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec))
        return std::nullopt;
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(text).str();
}

struct Job
{
    const Target *target;
    std::string input;
};

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string folder;
    import::HadithFields fields;
    bool quiet = false;
    std::vector<Job> jobs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        } else if (a == "--to" && hasValue) {
            folder = args[++i];
        } else if (a == "--text-field" && hasValue) {
            fields.text = args[++i];
        } else if (a == "--narrator-field" && hasValue) {
            fields.narrator = args[++i];
        } else if (a == "--quiet") {
            quiet = true;
        } else if (const auto eq = a.find('='); eq != std::string::npos && !a.starts_with("-")) {
            const Target *target = targetNamed(a.substr(0, eq));
            if (!target) {
                std::cerr << "velmora-import: unknown data file '" << a.substr(0, eq) << "'\n";
                return 2;
            }
            for (const auto &job : jobs)
                if (job.target == target) {
                    std::cerr << "velmora-import: " << target->name
                              << " is named twice; nothing was written\n";
                    return 2;
                }
            jobs.push_back({target, a.substr(eq + 1)});
        } else {
            std::cerr << "velmora-import: do not know what to do with '" << a << "'\n\n";
            usage(std::cerr);
            return 2;
        }
    }
    if (folder.empty() || jobs.empty()) {
        usage(std::cerr);
        return 2;
    }

    std::vector<import::OutputFile> files;
    std::vector<std::string> report;
    {
        ProgressBar bar(!quiet);
        for (const auto &job : jobs) {
            const auto input = readInput(job.input);
            if (!input) {
                bar.finish();
                std::cerr << "velmora-import: cannot read " << job.input << "; nothing was written\n";
                return 1;
            }
            bar.start(job.target->name);
            const auto progress = [&bar](std::size_t done, std::size_t total) { bar.update(done, total); };
            const import::ImportResult result = job.target->kind == InputKind::Translation
                                                    ? import::importTranslation(*input, progress)
                                                    : import::importHadiths(*input, fields, progress);
            if (!result.error.empty()) {
                bar.finish();
                std::cerr << "velmora-import: " << job.input << ": " << result.error
                          << "\nNothing was written.\n";
                return 1;
            }
            files.push_back({job.target->name, result.contents});
            report.push_back(reportLine(job.target->name, job.target->kind, result.stats));
        }
    }
    if (const std::string problem = import::writeDataFiles(folder, files); !problem.empty()) {
        std::cerr << "velmora-import: " << problem << "\n";
        return 1;
    }
    std::cout << "Wrote into " << folder << ":\n";
    for (const auto &line : report)
        std::cout << line << '\n';
    return 0;
}
