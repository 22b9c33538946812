// velmora-search: the program's search engine from a terminal, with grep's manners.
//   velmora-search [OPTION]... SOURCE QUERY...
// Prints every hit, one per line as the result list holds it; the final count text goes to the
// terminal, or to stderr when the output is piped, so that a pipe carries hits alone.

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "core/utf8.h"
#include "platform/options.h"
#include "platform/paths.h"
#include "search/arabic.h"
#include "search/corpus.h"
#include "search/engine.h"
#include "search/textfold.h"
#include "search/wordfacts.h"
#include "text/metadata.h"
#include "text/notes.h"
#include "text/translations.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
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

// grep's colours for a match: bold red unless GREP_COLORS names another (its mt= or ms=), and
// the end of the colour.
std::string matchStart()
{
    std::string colour = "01;31";
    if (const char *setting = std::getenv("GREP_COLORS")) {
        std::string_view rest = setting;
        while (!rest.empty()) {
            const std::string_view item = rest.substr(0, rest.find(':'));
            rest.remove_prefix(std::min(rest.size(), item.size() + 1));
            if ((item.starts_with("mt=") || item.starts_with("ms=")) &&
                item.find_first_not_of("0123456789;", 3) == std::string_view::npos)
                colour = std::string(item.substr(3));
        }
    }
    return "\x1b[" + colour + "m\x1b[K";
}
const std::string kMatchStart = matchStart();
constexpr std::string_view kMatchEnd = "\x1b[m\x1b[K";

void usage(std::FILE *to)
{
    std::fputs("Usage: velmora-search [OPTION]... SOURCE QUERY...\n"
               "Search one of the program's texts for a set of words (every hit holds all of\n"
               "them, letter case ignored) or for 'a phrase', and print every hit.\n"
               "\n"
               "SOURCE is a source number 0-9 or a name in any letter case:\n ",
               to);
    for (std::size_t i = 0; i < searchSources().size(); ++i)
        std::fprintf(to, "%s %s", i == 5 ? "\n " : "", searchSources()[i].name);
    std::fputs(" arabic\n(or the file name, e.g. PIKTHL, or the caption, e.g. \"M. Pickthall\").\n"
               "The Arabic text (source 9, arabic) is searched without its marks and with the\n"
               "letter forms writers vary between made one; its hits read SSS:V and the verse.\n"
               "An installed translation (velmora-import takes Tanzil's files) is a source by its\n"
               "Tanzil ID, e.g. ur.jalandhry: its text is folded as its script asks (letter case,\n"
               "accents, the Arabic letter forms), and its hits read SSS.V) and the verse.\n"
               "Your notes (Notes.md in the program's own folder) are the source notes, read\n"
               "likewise, a note's lines on one.\n"
               "\n"
               "  -c, --count           print only the number of hits\n"
               "  -n, --line-number     put each hit's record number in its file before it\n"
               "  -w, --word-regexp     every word (or the phrase) must stand as a whole word\n"
               "  -m, --max-count=NUM   stop after NUM hits\n"
               "  -q, --quiet           print nothing: the exit status tells\n"
               "      --color[=WHEN]    mark the search words: WHEN is auto (on a terminal,\n"
               "                        the default, unless NO_COLOR is set or TERM is\n"
               "                        dumb), always or never; GREP_COLORS' mt= sets the\n"
               "                        colour\n"
               "      --raw             read the query and write the hits as Windows-1252\n"
               "                        bytes, whatever the terminal's encoding\n"
               "      --data DIR        the folder of the data files (default: the program's)\n"
               "      --list            list the sources, the installed translations among them\n"
               "      --root ROOT       the verses holding a word of ROOT, in Arabic letters or\n"
               "                        Buckwalter (كتب or ktb), its words marked; no SOURCE\n"
               "      --word S:V[:W]    what the corpus says of word W of verse V of surah S\n"
               "                        (counted from 1, pause marks aside), or of every word\n"
               "                        of the verse: gloss, root, lemma, grammar\n"
               "      --where S:V       the juz, hizb quarter, manzil, ruku and page of verse V\n"
               "                        of surah S, and its sajda, from Tanzil's metadata\n"
               "      --juz N, --hizb N, --manzil N, --ruku N, --page N\n"
               "                        the verses of juz N (1-30), hizb quarter N (1-240),\n"
               "                        manzil N (1-7), ruku N (1-556) or page N (1-604),\n"
               "                        as S:V-S:V\n"
               "      --lemma LEMMA     the verses holding LEMMA (كتاب or kitaAb), likewise;\n"
               "                        roots and lemmas are the Quranic Arabic Corpus's,\n"
               "                        https://corpus.quran.com (root:ktb in the arabic\n"
               "                        source asks the same)\n"
               "  -h, --help            this help\n"
               "  -V, --version         the version\n"
               "\n"
               "A character that Windows-1252 cannot hold occurs in no English text: a query\n"
               "holding one finds nothing.\n"
               "Exit status: 0 when something was found, 1 when nothing was, 2 on trouble\n"
               "(a write error among it).\n",
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
    bool wholeWords = false;
    bool quiet = false;
    long maxCount = -1; // -1: no limit
    std::string color = "auto";
    bool raw = false;
    bool terminalShowsColour = true; // false for a Windows console without escape processing
    bool list = false;
    std::optional<WordIndex::Kind> byWord; // --root or --lemma: the operands are the root or lemma
    bool wordFacts = false;                // --word: the operand is a word's or verse's place
    bool where = false;                    // --where: the operand is a verse's place
    std::optional<Division> division;      // --juz, --hizb, --manzil, --ruku, --page: its number
    std::vector<std::string> operands;
    bool help = false;
    bool version = false;
};

// The options and what each does to Options.
std::vector<platform::OptionRule> optionRules(Options &options)
{
    using platform::flagRule;
    using platform::OptionRule;
    std::vector<OptionRule> rules{
        flagRule("help", 'h', options.help),
        flagRule("version", 'V', options.version),
        flagRule("count", 'c', options.count),
        flagRule("line-number", 'n', options.numbers),
        flagRule("word-regexp", 'w', options.wholeWords),
        flagRule("quiet", 'q', options.quiet),
        flagRule("silent", 0, options.quiet),
        flagRule("word", 0, options.wordFacts),
        flagRule("where", 0, options.where),
        flagRule("list", 0, options.list),
        flagRule("raw", 0, options.raw),
        {"max-count", 'm', OptionRule::Value::Required, "a number",
         [&options](const char *value) {
             char *end = nullptr;
             options.maxCount = std::strtol(value, &end, 10);
             return *value == '\0' || *end != '\0' || options.maxCount < 0
                        ? "invalid max count '" + std::string(value) + "'"
                        : std::string();
         }},
        {"data", 0, OptionRule::Value::Required, "a folder",
         [&options](const char *value) {
             options.folder = value;
             if (!options.folder.empty() && options.folder.back() != '/' && options.folder.back() != '\\')
                 options.folder.push_back(platform::separator());
             return std::string();
         }},
    };
    for (const char *colour : {"color", "colour"})
        rules.push_back({colour, 0, OptionRule::Value::Optional, "", [&options](const char *value) {
                             options.color = value ? value : "auto";
                             return options.color == "auto" || options.color == "always" ||
                                            options.color == "never"
                                        ? std::string()
                                        : "invalid argument '" + options.color + "' for '--color'";
                         }});
    for (const char *division : {"juz", "hizb", "manzil", "ruku", "page"})
        rules.push_back({division, 0, OptionRule::Value::None, "", [&options, division](const char *) {
                             options.division = divisionTyped(std::string(division) + " 1")->first;
                             return std::string();
                         }});
    for (const auto &[name, kind] :
         {std::pair{"root", WordIndex::Kind::Root}, {"lemma", WordIndex::Kind::Lemma}})
        rules.push_back({name, 0, OptionRule::Value::None, "", [&options, kind = kind](const char *) {
                             options.byWord = kind;
                             return std::string();
                         }});
    return rules;
}

// Reads the arguments; an exit status when the program is done with them already.
std::optional<int> parseArguments(const std::vector<std::string> &args, Options &options)
{
    platform::ReadArguments read = platform::readOptions(args, optionRules(options));
    if (!read.error.empty())
        return usageError(read.error);
    if (options.help) {
        usage(stdout);
        return kFound;
    }
    if (options.version) {
        std::printf("velmora-search %s\n", VELMORA_VERSION);
        return kFound;
    }
    options.operands = std::move(read.operands);
    if (options.list)
        return std::nullopt;
    if (options.byWord)
        return options.operands.empty() ? usageError("a root or lemma is needed") : std::optional<int>();
    if (options.wordFacts)
        return options.operands.size() == 1
                   ? std::optional<int>()
                   : usageError("--word takes one place: SURAH:VERSE or SURAH:VERSE:WORD");
    if (options.where || options.division)
        return options.operands.size() == 1
                   ? std::optional<int>()
                   : usageError(options.where ? "--where takes one place: SURAH:VERSE"
                                              : "a division's number is needed");
    if (options.operands.size() < 2)
        return usageError(options.operands.empty() ? "a source and a query are needed" : "a query is needed");
    return std::nullopt;
}

bool terminalIsUtf8()
{
#ifdef _WIN32
    return true; // the arguments are read as UTF-8, and the console is set to it
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

// Whether a byte of Windows-1252 text belongs to a word: a letter, a digit or "_".
bool isWordByte(char c)
{
    return (c >= '0' && c <= '9') || c == '_' || ansi::toUpper(c) != ansi::toLower(c);
}

// Whether the hit holds every word (or the phrase) as a whole word, letter case aside.
bool holdsWholeWords(std::string_view hit, const std::vector<ansi::NoCaseFinder> &words)
{
    return std::all_of(words.begin(), words.end(), [&](const ansi::NoCaseFinder &word) {
        if (word.size() == 0)
            return true;
        for (std::size_t p = word.findFrom(hit, 0); p < hit.size(); p = word.findFrom(hit, p + 1)) {
            const std::size_t end = p + word.size();
            if ((p == 0 || !isWordByte(hit[p - 1])) && (end >= hit.size() || !isWordByte(hit[end])))
                return true;
        }
        return false;
    });
}

// Colour on a terminal unless the environment asks for none (NO_COLOR, or a dumb terminal).
bool wantsColour(const std::string &when, bool toTerminal)
{
    if (when == "always")
        return true;
    if (when != "auto" || !toTerminal)
        return false;
    const char *noColour = std::getenv("NO_COLOR");
    const char *term = std::getenv("TERM");
    return !(noColour && *noColour) && !(term && std::string_view(term) == "dumb");
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

// The exit status once the output is out: a write that failed (a full disk, a closed pipe) is
// trouble, as for grep.
int finished(int status)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("velmora-search: write error\n", stderr);
        return kTrouble;
    }
    return status;
}

// The end of a search that writes no hits: -q says nothing, -c the count alone. nullopt when the
// hits and the count line follow.
std::optional<int> endWithoutHits(const Options &options, std::size_t found)
{
    const int status = found == 0 ? kNothingFound : kFound;
    if (options.quiet)
        return status;
    if (!options.count)
        return std::nullopt;
    std::printf("%zu\n", found);
    return finished(status);
}

// The end of a search after its hits: the count line (on the terminal, or on standard error when
// the output goes to a pipe), counting the hits written, the narrowing of -w and -m included.
int endWithCountLine(std::string countText, std::size_t found, bool toTerminal)
{
    const int status = found == 0 ? kNothingFound : kFound;
    if (std::fflush(stdout) != 0)
        return finished(status);
    if (const auto blank = countText.find(' '); blank != std::string::npos)
        countText = std::to_string(found) + countText.substr(blank);
    std::fprintf(toTerminal ? stdout : stderr, "%s\n", countText.c_str());
    return finished(status);
}

// Whether a character ends a word: a blank, a punctuation mark (ASCII, general, Arabic, CJK) or a
// bracket. Letters, digits and marks of every script stand within words.
bool endsWord(char32_t cp)
{
    return cp == ' ' || (cp < 0x80 && !std::isalnum(static_cast<int>(cp))) ||
           (cp >= 0x2000 && cp <= 0x206F) || cp == 0x060C || cp == 0x061B || cp == 0x061F || cp == 0x06D4 ||
           (cp >= 0x3000 && cp <= 0x303F) || (cp >= 0xFF01 && cp <= 0xFF0F) || cp == 0xFF1A || cp == 0xFF1B ||
           cp == 0xFF1F || cp == 0x00AB || cp == 0x00BB;
}

// Whether a folded verse holds every search word (or the phrase), folded alike, as whole words.
bool holdsWholeFoldedWords(std::string_view verse, const SearchWords &words, FoldFunction fold)
{
    const auto edgeBefore = [&](std::size_t p) {
        if (p == 0)
            return true;
        std::size_t start = p - 1;
        while (start > 0 && (static_cast<unsigned char>(verse[start]) & 0xC0) == 0x80)
            --start;
        char32_t cp = 0;
        return !ansi::decodeUtf8(verse, start, cp) || endsWord(cp);
    };
    const auto edgeAt = [&](std::size_t p) {
        char32_t cp = 0;
        return p >= verse.size() || !ansi::decodeUtf8(verse, p, cp) || endsWord(cp);
    };
    for (int k = 0; k < words.count; ++k) {
        std::string needle;
        fold(needle, words.words[static_cast<std::size_t>(k)]);
        bool whole = needle.empty();
        for (std::size_t p = verse.find(needle); !whole && p != std::string_view::npos;
             p = verse.find(needle, p + 1))
            whole = edgeBefore(p) && edgeAt(p + needle.size());
        if (!whole)
            return false;
    }
    return true;
}

// A query of a folded text (the Arabic, a translation) with -w and -m applied: the hits to write,
// or nullopt once the problem is told.
std::optional<ArabicOutcome> foldedHits(const Options &options, const ArabicIndex &index,
                                        const std::string &query, SearchWords &words,
                                        const ReadingSpellings *reading = nullptr)
{
    ArabicOutcome outcome = runArabicQuery(index, query, words, reading);
    if (!outcome.problem.empty()) {
        std::fprintf(stderr, "velmora-search: %s\n", outcome.problem.c_str());
        return std::nullopt;
    }
    if (options.wholeWords)
        std::erase_if(outcome.verses, [&](std::size_t v) {
            return !holdsWholeFoldedWords(index.folded(v), words, index.fold()) &&
                   !(reading && reading->holdsWholeWords(v, words));
        });
    if (options.maxCount >= 0 && outcome.verses.size() > static_cast<std::size_t>(options.maxCount))
        outcome.verses.resize(static_cast<std::size_t>(options.maxCount));
    return outcome;
}

// The folded Arabic text to search: kept between runs in the program's own folder, so that a search
// from the terminal need not fold the whole text again; made anew when the text has changed.
std::optional<ArabicIndex> arabicIndexFor(const std::filesystem::path &source, std::optional<QuranText> &text,
                                          std::string &problem)
{
    const std::string own = platform::tempFolder();
    const std::filesystem::path kept =
        own.empty() ? std::filesystem::path() : pathFromUtf8(own + kArabicIndexFileName);
    if (!kept.empty())
        if (auto index = ArabicIndex::load(kept, source))
            return index;
    text = QuranText::open(source, &problem);
    if (!text)
        return std::nullopt;
    std::optional<ArabicIndex> index(std::in_place, *text);
    if (!kept.empty())
        index->save(kept, source);
    return index;
}

// The reading text's spellings beside the searched text, its two indexes kept as the searched
// text's is; nullopt without a reading text.
std::optional<ReadingSpellings> readingSpellingsFor(const std::filesystem::path &source,
                                                    const ArabicIndex &searched)
{
    const std::string own = platform::tempFolder();
    const auto kept = [&](const char *name) {
        return own.empty() ? std::filesystem::path() : pathFromUtf8(own + name);
    };
    if (!own.empty()) {
        auto spelt =
            ArabicIndex::load(kept(kSpeltIndexFileName), source, appendFoldedReading, kSpeltFoldName);
        auto skeleton =
            ArabicIndex::load(kept(kReadingIndexFileName), source, appendSkeleton, kSkeletonFoldName);
        if (spelt && skeleton && spelt->size() == skeleton->size())
            return std::optional<ReadingSpellings>(std::in_place, std::move(*spelt), std::move(*skeleton),
                                                   searched);
    }
    const auto reading = QuranText::open(source);
    if (!reading)
        return std::nullopt;
    std::optional<ReadingSpellings> spellings(std::in_place, *reading, searched);
    if (!own.empty()) {
        spellings->spelt().save(kept(kSpeltIndexFileName), source, kSpeltFoldName);
        spellings->skeleton().save(kept(kReadingIndexFileName), source, kSkeletonFoldName);
    }
    return spellings;
}

// The Arabic text: the query and the hits in UTF-8, whatever the terminal's encoding.
int searchArabic(const Options &options, const std::string &query)
{
    const std::filesystem::path source = platform::resolveDataFile(options.folder, kQuranSearchFile);
    std::optional<QuranText> searched;
    std::string problem;
    const std::optional<ArabicIndex> index = arabicIndexFor(source, searched, problem);
    if (!index) {
        if (problem == troubleWords(FileTrouble::Missing))
            std::fprintf(stderr, "velmora-search: the Arabic text %s was not found in %s\n", kQuranSearchFile,
                         options.folder.c_str());
        else
            std::fprintf(stderr, "velmora-search: the Arabic text %s %s\n", utf8Of(source).c_str(),
                         problem.c_str());
        return kTrouble;
    }
    // The verses are found in the reading text's spellings too, and the hits shown in it where there
    // is one, as the search window shows them.
    const std::filesystem::path readingSource = platform::resolveDataFile(options.folder, kQuranReadingFile);
    const auto spellings = readingSpellingsFor(readingSource, *index);
    SearchWords words;
    const std::optional<ArabicOutcome> outcome =
        foldedHits(options, *index, query, words, spellings ? &*spellings : nullptr);
    if (!outcome)
        return kTrouble;
    const std::size_t found = outcome->verses.size();
    if (const auto done = endWithoutHits(options, found))
        return *done;
    // The hits' verses, read where the indexes say they stand: the reading text's to show, the
    // searched text's to mark the words by and to stand in for a verse the reading text lacks.
    const auto readingFile = spellings ? MappedFile::open(readingSource) : std::nullopt;
    const auto searchedFile = MappedFile::open(source);
    const auto textOf = [&](std::size_t v) {
        const auto r = spellings ? spellings->readingVerseOf(v) : std::nullopt;
        return r && readingFile ? spellings->spelt().sourceText(readingFile->text(), *r) : std::string_view();
    };
    const auto searchedTextOf = [&](std::size_t v) {
        return searchedFile ? index->sourceText(searchedFile->text(), v) : std::string_view();
    };
    const bool toTerminal = platform::isTerminal(1);
    const bool color = wantsColour(options.color, toTerminal && options.terminalShowsColour);
    std::string line;
    for (std::size_t i = 0; i < found; ++i) {
        const std::size_t v = outcome->verses[i];
        const ArabicIndex::Place place = index->places()[v];
        const std::string_view reading = textOf(v);
        const std::string_view searchedText =
            reading.empty() || color ? searchedTextOf(v) : std::string_view();
        const std::string_view shown = reading.empty() ? searchedText : reading;
        line.clear();
        if (options.numbers)
            line.append(std::to_string(v + 1)).push_back(':');
        line.append(ThreeDigits(place.surah)).append(":").append(std::to_string(place.aya)).push_back(' ');
        line.append(color ? markedRanges(shown, arabicMarks(shown, searchedText, words))
                          : std::string(shown));
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return endWithCountLine(outcome->countText, found, toTerminal);
}

// The reading text's words by root and lemma: kept between runs in the program's own folder, made
// from the corpus's morphology when the kept one is missing or older than the files.
std::optional<WordIndex> wordIndexFor(const Options &options, const std::filesystem::path &morphology,
                                      const std::filesystem::path &reading, std::optional<QuranText> &text)
{
    const std::string own = platform::tempFolder();
    const std::filesystem::path kept =
        own.empty() ? std::filesystem::path() : pathFromUtf8(own + kWordIndexFileName);
    if (!kept.empty())
        if (auto index = WordIndex::load(kept, morphology, reading))
            return index;
    std::string problem;
    text = QuranText::open(reading, &problem);
    auto index = text ? wordIndexKeptIn(kept, morphology, reading, *text, &problem) : std::nullopt;
    if (!index)
        std::fprintf(stderr, "velmora-search: %s in %s %s\n", text ? kMorphologyFile : kQuranReadingFile,
                     options.folder.c_str(), problem.c_str());
    return index;
}

// A search by root or lemma: the verses of the reading text holding its words, those words marked.
int searchByWord(const Options &options, WordIndex::Kind kind, const std::string &typed)
{
    const auto morphology = platform::resolveDataFile(options.folder, kMorphologyFile);
    const auto readingSource = platform::resolveDataFile(options.folder, kQuranReadingFile);
    std::optional<QuranText> text;
    const std::optional<WordIndex> index = wordIndexFor(options, morphology, readingSource, text);
    if (!index)
        return kTrouble;
    WordOutcome outcome = runWordQuery(*index, kind, typed);
    if (!outcome.problem.empty()) {
        std::fprintf(stderr, "velmora-search: %s\n", outcome.problem.c_str());
        return kTrouble;
    }
    if (options.maxCount >= 0 && outcome.verses.size() > static_cast<std::size_t>(options.maxCount))
        outcome.verses.resize(static_cast<std::size_t>(options.maxCount));
    const std::size_t found = outcome.verses.size();
    if (const auto done = endWithoutHits(options, found))
        return *done;
    // The hits' verses, found in one pass over the reading text.
    std::vector<std::pair<int, int>> places;
    for (std::size_t i = 0; i < found; ++i)
        places.push_back(outcome.verses[i] < index->verses().size() ? index->verses()[outcome.verses[i]]
                                                                    : std::pair(0, 0));
    const auto reading = MappedFile::open(readingSource);
    if (!reading)
        return kTrouble;
    const std::vector<std::string_view> texts = versesAt(reading->text(), places);
    const bool toTerminal = platform::isTerminal(1);
    const bool color = wantsColour(options.color, toTerminal && options.terminalShowsColour);
    std::string line;
    for (std::size_t i = 0; i < found; ++i) {
        line.clear();
        if (options.numbers)
            line.append(std::to_string(outcome.verses[i] + 1)).push_back(':');
        line.append(ThreeDigits(places[i].first))
            .append(":")
            .append(std::to_string(places[i].second))
            .push_back(' ');
        line.append(color ? markedRanges(texts[i], readingWordRanges(texts[i], outcome.words[i]))
                          : std::string(texts[i]));
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return endWithCountLine(outcome.countText, found, toTerminal);
}

// The place of a word or a verse as typed, "2:3:2" or "2:3": surah, verse and word (0 for all).
std::optional<std::array<int, 3>> wordPlaceOf(std::string_view typed)
{
    std::array<int, 3> place{0, 0, 0};
    std::size_t n = 0;
    for (const char *p = typed.data(), *end = p + typed.size(); p < end && n < 3; ++n) {
        const auto [after, ec] = std::from_chars(p, end, place[n]);
        if (ec != std::errc() || place[n] < 1 || (after != end && *after != ':'))
            return std::nullopt;
        p = after == end ? end : after + 1;
        if (after != end && after + 1 == end)
            return std::nullopt;
    }
    return n >= 2 ? std::optional(place) : std::nullopt;
}

void printFacts(const WordFacts &facts, const std::array<int, 3> &place, std::size_t word)
{
    const auto counted = [](std::size_t words, std::size_t verses) {
        return withThousands(words) + (words == 1 ? " word" : " words") + " in " + withThousands(verses) +
               (verses == 1 ? " verse" : " verses");
    };
    std::printf("%d:%d:%zu %s\n", place[0], place[1], word + 1, facts.word.c_str());
    std::printf("gloss: %s\n", facts.gloss.c_str());
    if (!facts.root.empty())
        std::printf("root: %s (%s), %s\n", facts.rootArabic.c_str(), facts.root.c_str(),
                    counted(facts.rootWords, facts.rootVerses).c_str());
    if (!facts.lemma.empty())
        std::printf("lemma: %s (%s), %s\n", facts.lemmaArabic.c_str(), facts.lemma.c_str(),
                    counted(facts.lemmaWords, facts.lemmaVerses).c_str());
    if (!facts.meaning.empty())
        std::printf("meaning: %s\n", facts.meaning.c_str());
    std::printf("grammar: %s\n", facts.grammar.c_str());
}

// What the corpus says of a word, or of every word of a verse, a fact a line.
int showWordFacts(const Options &options, const std::string &typed)
{
    const auto place = wordPlaceOf(typed);
    if (!place)
        return usageError("'" + typed + "' is no place: SURAH:VERSE or SURAH:VERSE:WORD, e.g. 2:3:2");
    const auto morphology = platform::resolveDataFile(options.folder, kMorphologyFile);
    const auto readingSource = platform::resolveDataFile(options.folder, kQuranReadingFile);
    std::optional<QuranText> reading;
    const std::optional<WordIndex> index = wordIndexFor(options, morphology, readingSource, reading);
    if (index && !reading)
        reading = QuranText::open(readingSource);
    if (!index || !reading)
        return kTrouble;
    std::string problem;
    const auto corpus = CorpusWords::open(morphology.parent_path(), *reading, *index, &problem);
    if (!corpus) {
        std::fprintf(stderr, "velmora-search: the corpus's %s in %s\n", problem.c_str(),
                     options.folder.c_str());
        return kTrouble;
    }
    const auto &verses = reading->verses();
    const auto verse = std::find_if(verses.begin(), verses.end(), [&](const QuranText::Verse &v) {
        return v.surah == (*place)[0] && v.aya == (*place)[1];
    });
    const auto v = static_cast<std::size_t>(verse - verses.begin());
    const std::size_t words = verse == verses.end() ? 0 : corpus->wordCount(v);
    if ((*place)[2] > 0 && static_cast<std::size_t>((*place)[2]) > words) {
        std::fprintf(stderr, "velmora-search: %s names no word of the Quran\n", typed.c_str());
        return kNothingFound;
    }
    if (words == 0) {
        std::fprintf(stderr, "velmora-search: %s names no verse of the Quran\n", typed.c_str());
        return kNothingFound;
    }
    for (std::size_t w = 0; w < words; ++w) {
        if ((*place)[2] > 0 && w + 1 != static_cast<std::size_t>((*place)[2]))
            continue;
        if ((*place)[2] == 0 && w > 0)
            std::printf("\n");
        if (const auto facts = corpus->factsOf(v, w))
            printFacts(*facts, *place, w);
    }
    return finished(kFound);
}

// Tanzil's metadata in the data folder; nullopt once the problem is told.
std::optional<QuranMetadata> metadataFor(const Options &options)
{
    std::string problem;
    auto metadata = QuranMetadata::open(platform::resolveDataFile(options.folder, kMetadataFile), &problem);
    if (!metadata)
        std::fprintf(stderr, "velmora-search: the Quran's metadata %s in %s %s\n", kMetadataFile,
                     options.folder.c_str(), problem.c_str());
    return metadata;
}

// Where a verse stands in the mushaf's divisions, a line each, and its sajda.
int showWhere(const Options &options, const std::string &typed)
{
    const auto place = wordPlaceOf(typed);
    if (!place || (*place)[2] != 0)
        return usageError("'" + typed + "' is no verse: SURAH:VERSE, e.g. 2:255");
    const auto metadata = metadataFor(options);
    if (!metadata)
        return kTrouble;
    const VersePlace verse{(*place)[0], (*place)[1]};
    const SurahFacts *surah = metadata->surah(verse.surah);
    if (!surah || verse.aya > surah->verses) {
        std::fprintf(stderr, "velmora-search: %s names no verse of the Quran\n", typed.c_str());
        return kNothingFound;
    }
    std::printf("%d:%d %s (%s)\n", verse.surah, verse.aya, surah->name.c_str(), surah->arabicName.c_str());
    for (const Division d :
         {Division::Juz, Division::HizbQuarter, Division::Manzil, Division::Ruku, Division::Page})
        std::printf("%s: %d\n", std::string(divisionName(d)).c_str(), metadata->divisionOf(d, verse));
    const Sajda *sajda = metadata->sajdaAt(verse);
    std::printf("sajda: %s\n", sajda ? sajda->type.c_str() : "none");
    return finished(kFound);
}

// The verses of one division, as S:V-S:V.
int showDivision(const Options &options, Division division, const std::string &typed)
{
    const auto metadata = metadataFor(options);
    if (!metadata)
        return kTrouble;
    int n = 0;
    const auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), n);
    const auto range = ec == std::errc() && end == typed.data() + typed.size()
                           ? metadata->rangeOf(division, n)
                           : std::nullopt;
    if (!range) {
        std::fprintf(stderr, "velmora-search: there is no %s %s: they are numbered 1 to %zu\n",
                     std::string(divisionName(division)).c_str(), typed.c_str(), metadata->count(division));
        return kNothingFound;
    }
    std::printf("%d:%d-%d:%d\n", range->first.surah, range->first.aya, range->second.surah,
                range->second.aya);
    return finished(kFound);
}

// The sources, one a line: the ten of the program, then each installed translation's ID, language
// and name.
int listSources(const Options &options)
{
    for (const auto &source : searchSources())
        std::printf("%-16s %s\n", source.name, source.caption);
    std::printf("%-16s %s\n", "arabic", "The Quran's Arabic text");
    std::printf("%-16s %s\n", "notes", "Your notes on verses");
    for (const auto &t : installedTranslations(options.folder))
        std::printf("%-16s %s%s%s\n", t.description.id.c_str(), t.description.language.c_str(),
                    t.description.name.empty() ? "" : ", ", t.description.name.c_str());
    return finished(kFound);
}

// A translation's folded text, kept between runs in the program's own folder as the Arabic one is.
std::optional<ArabicIndex> translationIndexFor(const InstalledTranslation &translation, FoldFunction fold,
                                               std::optional<QuranText> &text, std::string &problem)
{
    const std::string own = platform::tempFolder();
    const std::filesystem::path kept =
        own.empty() ? std::filesystem::path() : pathFromUtf8(own + translation.description.id + ".index");
    if (!kept.empty())
        if (auto index = ArabicIndex::load(kept, translation.file, fold, foldName(fold)))
            return index;
    text = QuranText::open(translation.file, &problem);
    if (!text)
        return std::nullopt;
    std::optional<ArabicIndex> index(std::in_place, *text, fold);
    if (!kept.empty())
        index->save(kept, translation.file, foldName(fold));
    return index;
}

// The hits of a folded text, each "SSS.V) " and its text from texts, the search words marked.
int printFoldedHits(const Options &options, const ArabicIndex &index, const SearchWords &words,
                    const ArabicOutcome &outcome, const std::vector<std::string_view> &texts);

// An installed translation: the query and the hits in UTF-8, whatever the terminal's encoding.
int searchTranslation(const Options &options, const InstalledTranslation &translation,
                      const std::string &query)
{
    const FoldFunction fold = foldFor(translation.description.language);
    std::optional<QuranText> text;
    std::string problem;
    const std::optional<ArabicIndex> index = translationIndexFor(translation, fold, text, problem);
    if (!index) {
        std::fprintf(stderr, "velmora-search: the translation %s %s\n", utf8Of(translation.file).c_str(),
                     problem.c_str());
        return kTrouble;
    }
    SearchWords words;
    const std::optional<ArabicOutcome> outcome = foldedHits(options, *index, query, words);
    if (!outcome)
        return kTrouble;
    const std::size_t found = outcome->verses.size();
    if (const auto done = endWithoutHits(options, found))
        return *done;
    // The hits' verses as the file has them, found in one pass over it.
    const auto source = MappedFile::open(translation.file);
    if (!source) {
        std::fprintf(stderr, "velmora-search: the translation %s cannot be read\n",
                     utf8Of(translation.file).c_str());
        return kTrouble;
    }
    std::vector<std::pair<int, int>> places;
    for (std::size_t i = 0; i < found; ++i)
        places.emplace_back(index->places()[outcome->verses[i]].surah,
                            index->places()[outcome->verses[i]].aya);
    return printFoldedHits(options, *index, words, *outcome, versesAt(source->text(), places));
}

// The reader's notes (Notes.md in the program's own folder), each a verse's text, in any script.
int searchNotes(const Options &options, const std::string &query)
{
    // Read only: what the program cannot read of the file is the program's to keep aside.
    const std::string own = platform::tempFolder();
    const std::filesystem::path file = pathFromUtf8(own + kNotesFileName);
    std::error_code error;
    const bool there = std::filesystem::exists(file, error);
    const auto mapped = there ? MappedFile::open(file) : std::nullopt;
    if (own.empty() || (there && !mapped)) {
        std::fprintf(stderr, "velmora-search: the notes %s cannot be read\n", utf8Of(file).c_str());
        return kTrouble;
    }
    const std::optional<QuranText> text =
        QuranText::fromText(notesAsVerseLines(mapped ? parseNotes(mapped->text()).byVerse : Notes().byVerse));
    if (!text)
        return endWithoutHits(options, 0).value_or(kNothingFound);
    const ArabicIndex index(*text, appendMixedFolded);
    SearchWords words;
    const std::optional<ArabicOutcome> outcome = foldedHits(options, index, query, words);
    if (!outcome)
        return kTrouble;
    if (const auto done = endWithoutHits(options, outcome->verses.size()))
        return *done;
    std::vector<std::string_view> texts;
    for (const std::size_t v : outcome->verses)
        texts.push_back(text->verses()[v].text);
    return printFoldedHits(options, index, words, *outcome, texts);
}

int printFoldedHits(const Options &options, const ArabicIndex &index, const SearchWords &words,
                    const ArabicOutcome &outcome, const std::vector<std::string_view> &texts)
{
    const std::size_t found = outcome.verses.size();
    const FoldFunction fold = index.fold();
    const bool toTerminal = platform::isTerminal(1);
    const bool color = wantsColour(options.color, toTerminal && options.terminalShowsColour);
    std::string line;
    for (std::size_t i = 0; i < found; ++i) {
        const std::size_t v = outcome.verses[i];
        const ArabicIndex::Place place = index.places()[v];
        const std::string_view verseText = texts[i];
        line.clear();
        if (options.numbers)
            line.append(std::to_string(v + 1)).push_back(':');
        line.append(ThreeDigits(place.surah)).append(".").append(std::to_string(place.aya)).append(") ");
        line.append(color ? markedRanges(verseText, foldedMatches(fold, verseText, words))
                          : std::string(verseText));
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return endWithCountLine(outcome.countText, found, toTerminal);
}

} // namespace

int main(int argc, char **argv)
{
    // Read and written in UTF-8 (on Windows the console is told so while the search runs).
    const platform::Utf8Output output;
    Options options;
    if (const auto done = parseArguments(platform::argumentsInUtf8(argc, argv), options))
        return *done;
    options.terminalShowsColour = output.showsColour();

    if (options.list)
        return listSources(options);
    if (options.wordFacts)
        return showWordFacts(options, options.operands[0]);
    if (options.where)
        return showWhere(options, options.operands[0]);
    if (options.division)
        return showDivision(options, *options.division, options.operands[0]);
    const std::size_t first = options.byWord ? 0 : 1;
    std::string query = options.operands[first];
    for (std::size_t i = first + 1; i < options.operands.size(); ++i)
        query += ' ' + options.operands[i];
    if (options.byWord)
        return searchByWord(options, *options.byWord, query);
    if (ansi::equalsNoCase(options.operands[0], "arabic") || options.operands[0] == "9") {
        if (const auto asked = wordQueryOf(query))
            return searchByWord(options, asked->first, std::string(asked->second));
        return searchArabic(options, query);
    }
    if (ansi::equalsNoCase(options.operands[0], "notes"))
        return searchNotes(options, query);
    const int source = sourceIndexFor(options.operands[0]);
    if (source < 0) {
        if (const auto translation = findTranslation(options.folder, options.operands[0]))
            return searchTranslation(options, *translation, query);
        return usageError("unknown source '" + options.operands[0] + "' (velmora-search --list names them)");
    }
    if (!options.raw && holdsArabic(query)) {
        std::fprintf(stderr,
                     "velmora-search: %s holds no Arabic letters, so nothing there matches the query; the "
                     "Arabic text is the source 'arabic'\n",
                     searchSources()[static_cast<std::size_t>(source)].fileName);
        return kNothingFound;
    }

    // The texts are Windows-1252: the query comes in, and the hits go out, in the terminal's encoding.
    // A letter and its mark typed apart are one letter; a character the code page has no form for
    // (an omega, an emoji) stands in no text, and the query finds nothing.
    const bool utf8 = !options.raw && terminalIsUtf8();
    bool unwritable = false;
    if (utf8) {
        const ansi::Utf8Conversion converted = ansi::fromUtf8(query);
        query = converted.text;
        unwritable = converted.replaced > 0 || converted.invalid > 0;
    }
    if (options.maxCount == 0)
        return kNothingFound;

    // The hits are written as they come, straight from the file, through one large buffer.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const bool toTerminal = platform::isTerminal(1);
    const bool color = !options.count && !options.quiet &&
                       wantsColour(options.color, toTerminal && options.terminalShowsColour);
    std::vector<ansi::NoCaseFinder> toMark;
    std::size_t found = 0;
    std::string line;
    SearchWords words;
    const auto hitWanted = [&](std::string_view hit) {
        if (unwritable || (options.maxCount >= 0 && found >= static_cast<std::size_t>(options.maxCount)))
            return false;
        if (!options.wholeWords)
            return true;
        if (toMark.empty())
            toMark = wordsToMark(query, words);
        return holdsWholeWords(hit, toMark);
    };
    const SearchOutcome outcome =
        VisitQuery(options.folder, source, query, words, [&](std::string_view hit, int record) {
            if (!hitWanted(hit))
                return;
            ++found;
            if (options.count || options.quiet)
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
    if (const auto done = endWithoutHits(options, found))
        return *done;
    const std::string countText = outcome.countText.value_or("");
    return endWithCountLine(utf8 ? ansi::toUtf8(countText) : countText, found, toTerminal);
}
