#include "corpus.h"

#include "core/ansi.h"
#include "core/catalogue.h"
#include "core/pathname.h"
#include "core/textfield.h"
#include "core/utf8.h"
#include "platform/paths.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <map>

namespace velmora {
namespace {

// Buckwalter's letters and marks with the code points they stand for.
constexpr std::pair<char, char16_t> kBuckwalter[] = {
    {'\'', 0x0621}, {'|', 0x0622}, {'>', 0x0623}, {'&', 0x0624}, {'<', 0x0625}, {'}', 0x0626}, {'A', 0x0627},
    {'b', 0x0628},  {'p', 0x0629}, {'t', 0x062A}, {'v', 0x062B}, {'j', 0x062C}, {'H', 0x062D}, {'x', 0x062E},
    {'d', 0x062F},  {'*', 0x0630}, {'r', 0x0631}, {'z', 0x0632}, {'s', 0x0633}, {'$', 0x0634}, {'S', 0x0635},
    {'D', 0x0636},  {'T', 0x0637}, {'Z', 0x0638}, {'E', 0x0639}, {'g', 0x063A}, {'_', 0x0640}, {'f', 0x0641},
    {'q', 0x0642},  {'k', 0x0643}, {'l', 0x0644}, {'m', 0x0645}, {'n', 0x0646}, {'h', 0x0647}, {'w', 0x0648},
    {'Y', 0x0649},  {'y', 0x064A}, {'F', 0x064B}, {'N', 0x064C}, {'K', 0x064D}, {'a', 0x064E}, {'u', 0x064F},
    {'i', 0x0650},  {'~', 0x0651}, {'o', 0x0652}, {'^', 0x0653}, {'#', 0x0654}, {'`', 0x0670}, {'{', 0x0671},
};

constexpr char16_t codeOf(char c)
{
    for (const auto &[letter, cp] : kBuckwalter)
        if (letter == c)
            return cp;
    return 0;
}

// The letter of a root for a folded Arabic code point: alef and hamza as A, the rest as Buckwalter
// writes them; 0 for what is no letter of a root.
char rootLetterOf(char32_t cp)
{
    if (cp == 0x0627 || cp == 0x0621)
        return 'A';
    for (const auto &[letter, code] : kBuckwalter)
        if (code == cp && code >= 0x0628 && code <= 0x064A && code != 0x0629 && code != 0x0640 &&
            code != 0x0649)
            return letter;
    return 0;
}

// The root letters of UTF-8 Arabic, folded: الكتاب as AlktAb.
std::string rootLettersOfArabic(std::string_view utf8)
{
    const std::string folded = foldArabic(utf8);
    std::string out;
    for (std::size_t i = 0; i < folded.size();) {
        char32_t cp = 0;
        if (!ansi::decodeUtf8(folded, i, cp))
            continue;
        if (const char letter = rootLetterOf(cp))
            out.push_back(letter);
    }
    return out;
}

bool isWeak(char letter)
{
    return letter == 'A' || letter == 'w' || letter == 'y';
}

// The letters of a root or lemma that a written word must show: the weak ones (alef, hamza, waw,
// yeh), which the spelling may change or drop, left out, and a doubled letter taken once.
std::string strongLetters(std::string_view letters)
{
    std::string out;
    for (const char c : letters)
        if (!isWeak(c) && (out.empty() || out.back() != c))
            out.push_back(c);
    return out;
}

// One line of the morphology file: its root (the first one) and its lemmas, in Buckwalter, and the
// letters its written form must show: each segment's root's, or its lemma's where it has no root.
struct CorpusWord
{
    std::string_view root;
    std::vector<std::string_view> lemmas;
    std::string strong;
};

std::string lemmaLetters(std::string_view lemma);

CorpusWord corpusWordOf(std::string_view line, bool withLetters = false)
{
    CorpusWord word;
    std::string_view segmentLemma;
    std::string_view segmentRoot;
    const auto endSegment = [&] {
        if (withLetters && !segmentRoot.empty())
            word.strong += strongLetters(rootKey(segmentRoot));
        else if (withLetters && !segmentLemma.empty())
            word.strong += strongLetters(lemmaLetters(segmentLemma));
        segmentLemma = segmentRoot = {};
    };
    while (!line.empty()) {
        const std::size_t end = std::min(line.find(' '), line.size());
        const std::string_view field = line.substr(0, end);
        line.remove_prefix(std::min(end + 1, line.size()));
        if (field.starts_with("POS:"))
            endSegment();
        if (field.starts_with("ROOT:")) {
            segmentRoot = field.substr(5);
            if (word.root.empty())
                word.root = segmentRoot;
        } else if (field.starts_with("LEM:")) {
            segmentLemma = field.substr(4);
            word.lemmas.push_back(segmentLemma);
        }
    }
    endSegment();
    return word;
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty())
        lines.push_back(takeLine(text));
    return lines;
}

// The words of a reading verse between blanks, the pause marks (which fold to nothing) left out.
std::vector<std::pair<std::size_t, std::size_t>> readingWordsOf(std::string_view verse)
{
    std::vector<std::pair<std::size_t, std::size_t>> words;
    for (std::size_t at = 0; at < verse.size();) {
        const std::size_t end = std::min(verse.find(' ', at), verse.size());
        if (end > at && !foldArabic(verse.substr(at, end - at)).empty())
            words.emplace_back(at, end);
        at = end + 1;
    }
    return words;
}

// How badly a corpus word's letters fit a written word's, 0 (all shown in order) to 1 (none).
float misfit(std::string_view strong, std::string_view written)
{
    if (strong.empty())
        return 0.3F; // a particle or pronoun with no letters to compare: neither fit nor misfit
    std::size_t found = 0;
    std::size_t at = 0;
    for (const char c : strong) {
        const std::size_t here = written.find(c, at);
        if (here == std::string_view::npos)
            continue;
        ++found;
        at = here + 1;
    }
    return 1.0F - static_cast<float>(found) / static_cast<float>(strong.size());
}

std::string lemmaLetters(std::string_view lemma)
{
    return rootLettersOfArabic(fromBuckwalter(lemma));
}

} // namespace

std::string fromBuckwalter(std::string_view buckwalter)
{
    std::string out;
    for (const char c : buckwalter)
        if (const char16_t cp = codeOf(c))
            ansi::appendUtf8(out, cp);
    return out;
}

std::string rootKey(std::string_view typed)
{
    if (holdsArabic(typed))
        return rootLettersOfArabic(typed);
    std::string out;
    for (const char c : typed) {
        const char16_t cp = codeOf(c);
        if (cp == 0x0621 || (cp >= 0x0622 && cp <= 0x0627) || cp == 0x0671)
            out.push_back('A');
        else if (cp == 0x0649)
            out.push_back('y');
        else if (cp >= 0x0628 && cp <= 0x064A && cp != 0x0629 && cp != 0x0640)
            out.push_back(c);
    }
    return out;
}

std::string lemmaKey(std::string_view typed)
{
    std::string key = foldArabic(holdsArabic(typed) ? std::string(typed) : fromBuckwalter(typed));
    std::erase(key, ' ');
    return key;
}

std::vector<WordPlace> alignCorpus(std::string_view morphology, const QuranText &reading)
{
    // The reading words, one list over all verses, each with the letters it shows.
    struct Written
    {
        WordPlace place;
        std::string letters;
    };
    std::vector<Written> written;
    for (std::size_t v = 0; v < reading.verses().size(); ++v) {
        const std::string_view verse = reading.verses()[v].text;
        std::uint32_t w = 0;
        for (const auto &[begin, end] : readingWordsOf(verse))
            written.push_back({{static_cast<std::uint32_t>(v), w++},
                               rootLettersOfArabic(verse.substr(begin, end - begin))});
    }
    // The letters each corpus word must show.
    std::vector<std::string> strong;
    for (const std::string_view line : linesOf(morphology))
        strong.push_back(corpusWordOf(line, true).strong);
    const std::size_t n = written.size();
    const std::size_t m = strong.size();
    std::vector<WordPlace> places(m);
    if (n == 0 || m == 0)
        return places;

    // The cheapest way through both lists, a written word taking one corpus word, two written words
    // of one verse one corpus word, or one written word two; the lists keep within kBand of each other.
    constexpr int kBand = 8;
    constexpr float kJoin = 0.8F;
    constexpr int kWidth = 2 * kBand + 1;
    constexpr float kFar = std::numeric_limits<float>::infinity();
    enum Step : std::uint8_t
    {
        kNoStep,
        kOne,
        kTwoWritten,
        kTwoCorpus
    };
    std::vector<float> cost((n + 1) * kWidth, kFar);
    std::vector<std::uint8_t> step((n + 1) * kWidth, kNoStep);
    const auto slot = [&](std::size_t i, std::size_t j) -> std::ptrdiff_t {
        const std::ptrdiff_t d = static_cast<std::ptrdiff_t>(j) - static_cast<std::ptrdiff_t>(i) + kBand;
        return d < 0 || d >= kWidth ? -1 : static_cast<std::ptrdiff_t>(i) * kWidth + d;
    };
    const auto relax = [&](std::size_t i, std::size_t j, float c, Step s) {
        const std::ptrdiff_t at = slot(i, j);
        if (at >= 0 && j <= m && c < cost[static_cast<std::size_t>(at)]) {
            cost[static_cast<std::size_t>(at)] = c;
            step[static_cast<std::size_t>(at)] = s;
        }
    };
    cost[static_cast<std::size_t>(slot(0, 0))] = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (int d = 0; d < kWidth; ++d) {
            const std::ptrdiff_t js = static_cast<std::ptrdiff_t>(i) + d - kBand;
            const float here = cost[i * kWidth + static_cast<std::size_t>(d)];
            if (js < 0 || static_cast<std::size_t>(js) >= m || here == kFar)
                continue;
            const auto j = static_cast<std::size_t>(js);
            relax(i + 1, j + 1, here + misfit(strong[j], written[i].letters), kOne);
            if (i + 1 < n && written[i + 1].place.verse == written[i].place.verse)
                relax(i + 2, j + 1,
                      here + kJoin + misfit(strong[j], written[i].letters + written[i + 1].letters),
                      kTwoWritten);
            if (j + 1 < m)
                relax(
                    i + 1, j + 2,
                    here + kJoin +
                        (misfit(strong[j], written[i].letters) + misfit(strong[j + 1], written[i].letters)) /
                            2,
                    kTwoCorpus);
        }
    // Back from the end: each corpus word at the first written word it was tied to.
    std::size_t i = n;
    std::size_t j = m;
    while (i > 0 && j > 0) {
        const std::ptrdiff_t at = slot(i, j);
        if (at < 0 || step[static_cast<std::size_t>(at)] == kNoStep)
            break; // the lists drift further apart than the band: tie the rest in order
        switch (step[static_cast<std::size_t>(at)]) {
        case kOne:
            places[--j] = written[--i].place;
            break;
        case kTwoWritten:
            i -= 2;
            places[--j] = written[i].place;
            break;
        default:
            places[--j] = written[--i].place;
            places[--j] = written[i].place;
            break;
        }
    }
    while (j > 0)
        places[--j] = written[i > 0 ? --i : 0].place;
    return places;
}

namespace {

std::string placesText(const std::vector<WordPlace> &places)
{
    std::string out;
    for (const WordPlace &p : places) {
        if (!out.empty())
            out.push_back(' ');
        out.append(std::to_string(p.verse)).push_back('.');
        out.append(std::to_string(p.word));
    }
    return out;
}

std::string wordIndexKey(const std::filesystem::path &morphology, const std::filesystem::path &reading)
{
    std::string key = "velmora-word-index 2";
    for (const auto &file : {morphology, reading}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        const auto changed = std::filesystem::last_write_time(file, ec);
        if (ec)
            return {};
        key.append(" ").append(utf8Of(file)).append(" ").append(std::to_string(size)).append(" ");
        key.append(std::to_string(changed.time_since_epoch().count()));
    }
    return key + "\n";
}

} // namespace

WordIndex WordIndex::make(std::string_view morphology, const QuranText &reading)
{
    const std::vector<WordPlace> places = alignCorpus(morphology, reading);
    std::map<std::string, std::vector<WordPlace>> roots;
    std::map<std::string, std::vector<WordPlace>> lemmas;
    std::size_t k = 0;
    for (const std::string_view line : linesOf(morphology)) {
        const CorpusWord word = corpusWordOf(line);
        const WordPlace place = places[k++];
        const auto add = [&](std::vector<WordPlace> &list) {
            if (list.empty() || !(list.back() == place))
                list.push_back(place);
        };
        if (!word.root.empty())
            add(roots[rootKey(word.root)]);
        for (const std::string_view lemma : word.lemmas)
            add(lemmas[lemmaKey(lemma)]);
    }
    WordIndex index;
    index.text_ = "\nv\t";
    for (const auto &verse : reading.verses()) {
        index.verses_.emplace_back(verse.surah, verse.aya);
        index.text_.append(std::to_string(verse.surah))
            .append(":")
            .append(std::to_string(verse.aya))
            .push_back(' ');
    }
    index.text_.push_back('\n');
    for (const auto &[tag, table] : {std::pair('r', &roots), std::pair('l', &lemmas)})
        for (const auto &[key, list] : *table)
            index.text_.append(1, tag)
                .append(" ")
                .append(key)
                .append("\t")
                .append(placesText(list))
                .push_back('\n');
    index.text_.append("k words\t").append(placesText(places)).push_back('\n');
    index.lines_ = index.text_;
    return index;
}

std::optional<WordIndex> WordIndex::load(const std::filesystem::path &indexFile,
                                         const std::filesystem::path &morphology,
                                         const std::filesystem::path &reading)
{
    const std::string key = wordIndexKey(morphology, reading);
    auto file =
        key.empty() ? std::nullopt : MappedFile::open(indexFile, MappedFile::Use::Whole, Links::Refuse);
    if (!file || !file->text().ends_with(key) || !file->text().starts_with("\n"))
        return std::nullopt;
    WordIndex index;
    index.file_.emplace(std::move(*file));
    index.lines_ = index.file_->text().substr(0, index.file_->text().size() - key.size());
    std::string_view places = index.lines_.substr(1);
    if (!places.starts_with("v\t"))
        return std::nullopt;
    places = places.substr(2, places.find('\n') - 2);
    for (const char *p = places.data(), *end = p + places.size(); p < end;) {
        int surah = 0;
        int aya = 0;
        const auto [colon, ec1] = std::from_chars(p, end, surah);
        if (ec1 != std::errc() || colon == end || *colon != ':')
            return std::nullopt;
        const auto [after, ec2] = std::from_chars(colon + 1, end, aya);
        if (ec2 != std::errc())
            return std::nullopt;
        index.verses_.emplace_back(surah, aya);
        p = after + 1;
    }
    return index;
}

bool WordIndex::save(const std::filesystem::path &indexFile, const std::filesystem::path &morphology,
                     const std::filesystem::path &reading) const
{
    const std::string key = wordIndexKey(morphology, reading);
    return !key.empty() && writeFileReplacing(indexFile, std::string(lines_) + key);
}

std::vector<WordPlace> WordIndex::placesOf(Kind kind, std::string_view key) const
{
    if (key.empty())
        return {};
    return placesOnLine(std::string(kind == Kind::Root ? "r " : "l ") + std::string(key));
}

std::vector<WordPlace> WordIndex::corpusPlaces() const
{
    return placesOnLine("k words");
}

std::vector<WordPlace> WordIndex::placesOnLine(std::string_view name) const
{
    std::vector<WordPlace> places;
    std::string wanted = "\n";
    wanted.append(name).append("\t");
    const std::size_t at = lines_.find(wanted);
    if (at == std::string_view::npos)
        return places;
    std::string_view list = lines_.substr(at + wanted.size());
    list = list.substr(0, list.find('\n'));
    // "V.W" numbers between blanks; a damaged entry ends the list where it stops making sense.
    const char *p = list.data();
    const char *const end = p + list.size();
    while (p < end) {
        WordPlace place;
        auto [afterVerse, ec1] = std::from_chars(p, end, place.verse);
        if (ec1 != std::errc() || afterVerse == end || *afterVerse != '.')
            break;
        auto [afterWord, ec2] = std::from_chars(afterVerse + 1, end, place.word);
        if (ec2 != std::errc())
            break;
        places.push_back(place);
        p = afterWord + 1;
    }
    return places;
}

std::optional<WordIndex> wordIndexKeptIn(const std::filesystem::path &kept,
                                         const std::filesystem::path &morphology,
                                         const std::filesystem::path &readingFile, const QuranText &reading,
                                         std::string *problem)
{
    if (!kept.empty())
        if (auto index = WordIndex::load(kept, morphology, readingFile))
            return index;
    const auto corpus = readRegularFile(morphology);
    if (!corpus) {
        if (problem)
            *problem = troubleWords(fileTroubleOf(morphology));
        return std::nullopt;
    }
    WordIndex index = WordIndex::make(*corpus, reading);
    if (!kept.empty())
        index.save(kept, morphology, readingFile);
    return index;
}

std::optional<WordIndex> programWordIndex(const std::string &programFolder, const std::string &ownFolder,
                                          const QuranText &reading, std::string *problem,
                                          std::filesystem::path *morphology)
{
    const auto corpus = platform::resolveDataFile(programFolder, kMorphologyFile);
    if (morphology)
        *morphology = corpus;
    const std::filesystem::path kept =
        ownFolder.empty() ? std::filesystem::path() : pathFromUtf8(ownFolder + kWordIndexFileName);
    return wordIndexKeptIn(kept, corpus, platform::resolveDataFile(programFolder, kQuranReadingFile), reading,
                           problem);
}

WordOutcome runWordQuery(const WordIndex &index, WordIndex::Kind kind, std::string_view typed)
{
    WordOutcome out;
    const std::size_t first = typed.find_first_not_of(' ');
    typed = first == std::string_view::npos ? std::string_view()
                                            : typed.substr(first, typed.find_last_not_of(' ') + 1 - first);
    const std::string key = kind == WordIndex::Kind::Root ? rootKey(typed) : lemmaKey(typed);
    const char *const what = kind == WordIndex::Kind::Root ? "root" : "lemma";
    if (key.empty()) {
        out.countText = "0 items found";
        out.problem =
            std::string("Please type the ") + what + " in Arabic letters or in Buckwalter's transliteration.";
        return out;
    }
    for (const WordPlace &place : index.placesOf(kind, key)) {
        if (out.verses.empty() || out.verses.back() != place.verse) {
            out.verses.push_back(place.verse);
            out.words.emplace_back();
        }
        out.words.back().push_back(place.word);
        ++out.wordCount;
    }
    out.countText = std::to_string(out.verses.size()) + " items found, " + withThousands(out.wordCount) +
                    (out.wordCount == 1 ? " word" : " words");
    return out;
}

std::optional<std::pair<WordIndex::Kind, std::string_view>> wordQueryOf(std::string_view query)
{
    const std::size_t first = query.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    query.remove_prefix(first);
    for (const auto &[prefix, kind] : {std::pair(std::string_view("root:"), WordIndex::Kind::Root),
                                       std::pair(std::string_view("lemma:"), WordIndex::Kind::Lemma)})
        if (query.size() >= prefix.size() && ansi::equalsNoCase(query.substr(0, prefix.size()), prefix))
            return std::pair(kind, query.substr(prefix.size()));
    return std::nullopt;
}

std::vector<std::pair<std::size_t, std::size_t>> readingWords(std::string_view verse)
{
    return readingWordsOf(verse);
}

std::vector<std::pair<std::size_t, std::size_t>> readingWordRanges(std::string_view verse,
                                                                   const std::vector<std::uint32_t> &words)
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    const auto all = readingWordsOf(verse);
    for (const std::uint32_t w : words)
        if (w < all.size())
            ranges.push_back(all[w]);
    return ranges;
}

} // namespace velmora
