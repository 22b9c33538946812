// velmora-search: the program's search engine from a terminal, with grep's manners.
//   velmora-search [OPTION]... SOURCE QUERY...
// Prints every hit, one per line as the result list holds it; the final count text goes to the
// terminal, or to stderr when the output is piped, so that a pipe carries hits alone.

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/utf8.h"
#include "platform/paths.h"
#include "search/arabic.h"
#include "search/engine.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <langinfo.h>
#endif

namespace {

using namespace velmora;

constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kTrouble = 2;

// grep's colours for a match: bold red, and the end of the colour.
constexpr std::string_view kMatchStart = "\x1b[01;31m\x1b[K";
constexpr std::string_view kMatchEnd = "\x1b[m\x1b[K";

void usage(std::FILE *to)
{
    std::fputs("Usage: velmora-search [OPTION]... SOURCE QUERY...\n"
               "Search one of the program's texts for a set of words (every hit holds all of them,\n"
               "letter case ignored) or for 'a phrase', and print every hit.\n"
               "\n"
               "SOURCE is a source number 0-9 or a name in any letter case:",
               to);
    for (const auto &s : searchSources())
        std::fprintf(to, " %s", s.name);
    std::fputs(" arabic\n(or the file name, e.g. PIKTHL, or the caption, e.g. \"M. Pickthall\").\n"
               "The Arabic text (source 9, arabic) is searched without its marks and with the\n"
               "letter forms writers vary between made one; its hits read SSS:V and the verse.\n"
               "\n"
               "  -c, --count           print only the number of hits\n"
               "  -n, --line-number     put each hit's record number in its file before it\n"
               "      --color[=WHEN]    mark the search words: WHEN is auto (on a terminal, the\n"
               "                        default), always or never\n"
               "      --raw             read the query and write the hits as Windows-1252 bytes,\n"
               "                        whatever the terminal's encoding\n"
               "      --data DIR        the folder of the data files (default: the program's own)\n"
               "  -h, --help            this help\n"
               "  -V, --version         the version\n"
               "\n"
               "Exit status: 0 when something was found, 1 when nothing was, 2 on trouble.\n",
               to);
}

int usageError(const std::string &why)
{
    std::fprintf(stderr, "velmora-search: %s\n", why.c_str());
    std::fputs("Try 'velmora-search --help' for more information.\n", stderr);
    return kTrouble;
}

struct Options
{
    std::string folder = platform::programFolder();
    bool count = false;
    bool numbers = false;
    std::string color = "auto";
    bool raw = false;
    std::vector<std::string> operands;
};

// Reads the arguments; an exit status when the program is done with them already.
std::optional<int> parseArguments(int argc, char **argv, Options &options)
{
    bool onlyOperands = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (onlyOperands || a.empty() || a[0] != '-' || a == "-") {
            options.operands.emplace_back(a);
        } else if (a == "--") {
            onlyOperands = true;
        } else if (a == "-h" || a == "--help") {
            usage(stdout);
            return kFound;
        } else if (a == "-V" || a == "--version") {
            std::printf("velmora-search %s\n", VELMORA_VERSION);
            return kFound;
        } else if (a == "-c" || a == "--count") {
            options.count = true;
        } else if (a == "-n" || a == "--line-number") {
            options.numbers = true;
        } else if (a == "-cn" || a == "-nc") {
            options.count = options.numbers = true;
        } else if (a == "--raw") {
            options.raw = true;
        } else if (a == "--color" || a == "--colour") {
            options.color = "auto";
        } else if (a.starts_with("--color=") || a.starts_with("--colour=")) {
            options.color = std::string(a.substr(a.find('=') + 1));
            if (options.color != "auto" && options.color != "always" && options.color != "never")
                return usageError("invalid argument '" + options.color + "' for '--color'");
        } else if (a == "--data" || a.starts_with("--data=")) {
            if (a == "--data" && i + 1 >= argc)
                return usageError("option '--data' requires a folder");
            options.folder = a == "--data" ? argv[++i] : std::string(a.substr(7));
            if (!options.folder.empty() && options.folder.back() != '/' && options.folder.back() != '\\')
                options.folder.push_back(platform::separator());
        } else {
            return usageError("unknown option '" + std::string(a) + "'");
        }
    }
    if (options.operands.size() < 2)
        return usageError(options.operands.empty() ? "a source and a query are needed" : "a query is needed");
    return std::nullopt;
}

bool terminalIsUtf8()
{
#ifdef _WIN32
    return false;
#else
    std::setlocale(LC_CTYPE, "");
    const char *codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
#endif
}

// Every occurrence of the search words in a hit, in bold red; overlapping ones become one.
std::string marked(std::string_view hit, const std::vector<ansi::NoCaseFinder> &words)
{
    std::vector<bool> inMatch(hit.size(), false);
    for (const auto &word : words)
        for (std::size_t p = word.findFrom(hit, 0); p < hit.size() && word.size() > 0;
             p = word.findFrom(hit, p + 1))
            std::fill(inMatch.begin() + static_cast<std::ptrdiff_t>(p),
                      inMatch.begin() + static_cast<std::ptrdiff_t>(p + word.size()), true);
    std::string out;
    out.reserve(hit.size() + 32);
    for (std::size_t i = 0; i < hit.size(); ++i) {
        if (inMatch[i] && (i == 0 || !inMatch[i - 1]))
            out += kMatchStart;
        out += hit[i];
        if (inMatch[i] && (i + 1 == hit.size() || !inMatch[i + 1]))
            out += kMatchEnd;
    }
    return out;
}

// The words a hit is marked for: the phrase, or each word of the query.
std::vector<ansi::NoCaseFinder> wordsToMark(std::string_view query, const SearchWords &words)
{
    std::vector<ansi::NoCaseFinder> finders;
    if (const auto phrase = phraseOf(query)) {
        finders.emplace_back(*phrase);
        return finders;
    }
    for (int k = 0; k < words.count; ++k)
        finders.emplace_back(words.words[static_cast<std::size_t>(k)]);
    return finders;
}

// The bytes of a hit between the marks, in bold red.
std::string markedRanges(std::string_view hit, const std::vector<std::pair<std::size_t, std::size_t>> &ranges)
{
    std::string out;
    std::size_t at = 0;
    for (const auto &[begin, end] : ranges) {
        out.append(hit.substr(at, begin - at)).append(kMatchStart);
        out.append(hit.substr(begin, end - begin)).append(kMatchEnd);
        at = end;
    }
    return out.append(hit.substr(at));
}

// The folded Arabic text to search: kept between runs in the program's own folder, so that a search
// from the terminal need not fold the whole text again; made anew when the text has changed.
std::optional<ArabicIndex> arabicIndexFor(const std::filesystem::path &source, std::optional<QuranText> &text)
{
    const std::string own = platform::tempFolder();
    const std::filesystem::path kept =
        own.empty() ? std::filesystem::path() : std::filesystem::path(own + kArabicIndexFileName);
    if (!kept.empty())
        if (auto index = ArabicIndex::load(kept, source))
            return index;
    text = QuranText::open(source);
    if (!text)
        return std::nullopt;
    std::optional<ArabicIndex> index(std::in_place, *text);
    if (!kept.empty())
        index->save(kept, source);
    return index;
}

// The Arabic text: the query and the hits in UTF-8, whatever the terminal's encoding.
int searchArabic(const Options &options, const std::string &query)
{
    const std::filesystem::path source = platform::resolveNoCase(options.folder, kQuranSearchFile);
    std::optional<QuranText> searched;
    const std::optional<ArabicIndex> index = arabicIndexFor(source, searched);
    if (!index) {
        std::fprintf(stderr, "velmora-search: the Arabic text %s was not found in %s\n", kQuranSearchFile,
                     options.folder.c_str());
        return kTrouble;
    }
    SearchWords words;
    const ArabicOutcome outcome = runArabicQuery(*index, query, words);
    if (!outcome.problem.empty()) {
        std::fprintf(stderr, "velmora-search: %s\n", outcome.problem.c_str());
        return kTrouble;
    }
    if (options.count) {
        std::printf("%zu\n", outcome.verses.size());
        return outcome.verses.empty() ? kNothingFound : kFound;
    }
    // The hits are shown in the reading text where there is one, as the search window shows them.
    if (!searched)
        searched = QuranText::open(source);
    const auto reading = QuranText::open(platform::resolveNoCase(options.folder, kQuranReadingFile));
    const bool toTerminal = platform::isTerminal(1);
    const bool color = options.color == "always" || (options.color == "auto" && toTerminal);
    std::string line;
    for (const std::size_t v : outcome.verses) {
        const ArabicIndex::Place place = index->places()[v];
        const std::string_view searchedText =
            searched ? searched->verse(place.surah, place.aya) : std::string_view();
        std::string_view shown = reading ? reading->verse(place.surah, place.aya) : std::string_view();
        if (shown.empty())
            shown = searchedText;
        line.clear();
        if (options.numbers)
            line.append(std::to_string(v + 1)).push_back(':');
        line.append(ThreeDigits(place.surah)).append(":").append(std::to_string(place.aya)).push_back(' ');
        line.append(color ? markedRanges(shown, arabicMarks(shown, searchedText, words))
                          : std::string(shown));
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);
    std::fprintf(toTerminal ? stdout : stderr, "%s\n", outcome.countText.c_str());
    return outcome.verses.empty() ? kNothingFound : kFound;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const auto done = parseArguments(argc, argv, options))
        return *done;

    std::string query = options.operands[1];
    for (std::size_t i = 2; i < options.operands.size(); ++i)
        query += ' ' + options.operands[i];
    if (ansi::equalsNoCase(options.operands[0], "arabic") || options.operands[0] == "9")
        return searchArabic(options, query);
    const int source = sourceIndexFor(options.operands[0]);
    if (source < 0)
        return usageError("unknown source '" + options.operands[0] + "'");
    if (!options.raw && holdsArabic(query)) {
        std::fprintf(stderr,
                     "velmora-search: %s holds no Arabic letters, so nothing there matches the query; the "
                     "Arabic text is the source 'arabic'\n",
                     searchSources()[static_cast<std::size_t>(source)].fileName);
        return kNothingFound;
    }

    // The texts are Windows-1252: the query comes in, and the hits go out, in the terminal's encoding.
    const bool utf8 = !options.raw && terminalIsUtf8();
    if (utf8)
        query = ansi::fromUtf8(query).text;

    // The hits are written as they come, straight from the file, through one large buffer.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const bool toTerminal = platform::isTerminal(1);
    const bool color =
        !options.count && (options.color == "always" || (options.color == "auto" && toTerminal));
    std::vector<ansi::NoCaseFinder> toMark;
    std::size_t found = 0;
    std::string line;
    SearchWords words;
    const SearchOutcome outcome =
        VisitQuery(options.folder, source, query, words, [&](std::string_view hit, int record) {
            ++found;
            if (options.count)
                return;
            if (color && toMark.empty())
                toMark = wordsToMark(query, words);
            line.clear();
            if (options.numbers)
                line.append(std::to_string(record)).push_back(':');
            const std::string shown = color ? marked(hit, toMark) : std::string();
            const std::string_view text = color ? std::string_view(shown) : hit;
            if (utf8)
                ansi::appendAsUtf8(line, text);
            else
                line.append(text);
            line.push_back('\n');
            std::fwrite(line.data(), 1, line.size(), stdout);
        });
    if (!outcome.problem.empty()) {
        std::fflush(stdout);
        const std::string problem = utf8 ? ansi::toUtf8(outcome.problem) : outcome.problem;
        std::fprintf(stderr, "velmora-search: %s\n", problem.c_str());
        return kTrouble;
    }
    if (options.count) {
        std::printf("%zu\n", found);
        return found == 0 ? kNothingFound : kFound;
    }
    std::fflush(stdout);

    const std::string countText = outcome.countText.value_or("");
    std::fprintf(toTerminal ? stdout : stderr, "%s\n", (utf8 ? ansi::toUtf8(countText) : countText).c_str());
    return found == 0 ? kNothingFound : kFound;
}
