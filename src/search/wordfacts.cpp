#include "wordfacts.h"

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {
namespace {

// More words than any verse has (2:282, the longest, has 144 between blanks): a place beyond it in
// a kept index is damage.
constexpr std::uint32_t kMostWordsInAVerse = 1000;

using Names = std::pair<std::string_view, std::string_view>;

// The corpus's parts of speech.
constexpr Names kPartsOfSpeech[] = {
    {"N", "noun"},
    {"PN", "proper noun"},
    {"ADJ", "adjective"},
    {"IMPN", "imperative verbal noun"},
    {"PRON", "personal pronoun"},
    {"DEM", "demonstrative pronoun"},
    {"REL", "relative pronoun"},
    {"T", "time adverb"},
    {"LOC", "location adverb"},
    {"V", "verb"},
    {"P", "preposition"},
    {"CONJ", "coordinating conjunction"},
    {"SUB", "subordinating conjunction"},
    {"ACC", "accusative particle"},
    {"AMD", "amendment particle"},
    {"ANS", "answer particle"},
    {"AVR", "aversion particle"},
    {"CAUS", "particle of cause"},
    {"CERT", "particle of certainty"},
    {"CIRC", "circumstantial particle"},
    {"COM", "comitative particle"},
    {"COND", "conditional particle"},
    {"EQ", "equalization particle"},
    {"EXH", "exhortation particle"},
    {"EXL", "explanation particle"},
    {"EXP", "exceptive particle"},
    {"FUT", "future particle"},
    {"INC", "inceptive particle"},
    {"INT", "particle of interpretation"},
    {"INTG", "interrogative particle"},
    {"NEG", "negative particle"},
    {"PREV", "preventive particle"},
    {"PRO", "prohibition particle"},
    {"REM", "resumption particle"},
    {"RES", "restriction particle"},
    {"RET", "retraction particle"},
    {"RSLT", "result particle"},
    {"SUP", "supplemental particle"},
    {"SUR", "surprise particle"},
    {"VOC", "vocative particle"},
    {"INL", "Quranic initials"},
    {"EMPH", "emphatic particle"},
    {"IMPV", "imperative particle"},
    {"PRP", "purpose particle"},
};

// The prefixes, as the corpus writes them before a stem.
constexpr Names kPrefixes[] = {
    {"Al+", "the article al"},
    {"w:CONJ+", "conjunction wa"},
    {"f:CONJ+", "conjunction fa"},
    {"f:REM+", "resumption particle fa"},
    {"w:REM+", "resumption particle wa"},
    {"bi+", "preposition bi"},
    {"l:P+", "preposition li"},
    {"ka+", "preposition ka"},
    {"ta+", "preposition ta, of an oath"},
    {"w:P+", "preposition wa, of an oath"},
    {"sa+", "future particle sa"},
    {"ya+", "vocative particle ya"},
    {"ha+", "attention particle ha"},
    {"A:INTG+", "interrogative alif"},
    {"A:EQ+", "equalization alif"},
    {"l:EMPH+", "emphatic lam"},
    {"l:PRP+", "lam of purpose"},
    {"l:IMPV+", "lam of command"},
    {"w:CIRC+", "circumstantial wa"},
    {"w:COM+", "comitative wa"},
    {"w:SUP+", "supplemental wa"},
    {"f:SUP+", "supplemental fa"},
    {"f:RSLT+", "result fa"},
    {"f:CAUS+", "fa of cause"},
};

// The features of a stem.
constexpr Names kFeatures[] = {
    {"PERF", "perfect"},
    {"IMPF", "imperfect"},
    {"IMPV", "imperative"},
    {"PASS", "passive"},
    {"VN", "verbal noun"},
    {"NOM", "nominative"},
    {"ACC", "accusative"},
    {"GEN", "genitive"},
    {"INDEF", "indefinite"},
    {"MOOD:JUS", "jussive mood"},
    {"MOOD:SUBJ", "subjunctive mood"},
};

constexpr std::array<std::string_view, 12> kForms = {"(I)",   "(II)",   "(III)", "(IV)", "(V)",  "(VI)",
                                                     "(VII)", "(VIII)", "(IX)",  "(X)",  "(XI)", "(XII)"};

std::string_view nameIn(const auto &table, std::string_view tag)
{
    for (const auto &[code, name] : table)
        if (code == tag)
            return name;
    return {};
}

// Person, gender and number as the corpus writes them together (3MP, MS, F, 2D): "third person
// masculine plural"; "" for any other tag.
std::string personOf(std::string_view tag)
{
    std::string out;
    std::size_t at = 0;
    if (at < tag.size() && tag[at] >= '1' && tag[at] <= '3') {
        constexpr std::string_view kPersons[] = {"first person", "second person", "third person"};
        out = kPersons[tag[at] - '1'];
        ++at;
    }
    if (at < tag.size() && (tag[at] == 'M' || tag[at] == 'F')) {
        out += out.empty() ? "" : " ";
        out += tag[at] == 'M' ? "masculine" : "feminine";
        ++at;
    }
    if (at < tag.size() && (tag[at] == 'S' || tag[at] == 'D' || tag[at] == 'P')) {
        out += out.empty() ? "" : " ";
        out += tag[at] == 'S' ? "singular" : tag[at] == 'D' ? "dual" : "plural";
        ++at;
    }
    return at == tag.size() && at > 0 ? out : std::string();
}

std::string ofStem(const std::vector<std::string_view> &tags)
{
    std::string out;
    const auto add = [&](std::string_view words) {
        if (words.empty())
            return;
        out += out.empty() ? "" : ", ";
        out += words;
    };
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const std::string_view tag = tags[i];
        if (tag.starts_with("POS:"))
            add(nameIn(kPartsOfSpeech, tag.substr(4)));
        else if (tag == "ACT" || (tag == "PASS" && i + 1 < tags.size() && tags[i + 1] == "PCPL"))
            add(tag == "ACT" ? "active participle" : "passive participle"), ++i;
        else if (const auto form = std::find(kForms.begin(), kForms.end(), tag); form != kForms.end())
            add("form " + std::string(tag.substr(1, tag.size() - 2)));
        else if (const std::string person = personOf(tag); !person.empty())
            add(person);
        else
            add(nameIn(kFeatures, tag));
    }
    return out;
}

} // namespace

std::string grammarOf(std::string_view line)
{
    std::vector<std::string> parts;
    std::vector<std::string_view> stem;
    const auto endStem = [&] {
        if (!stem.empty())
            parts.push_back(ofStem(stem));
        stem.clear();
    };
    while (!line.empty()) {
        const std::size_t end = std::min(line.find(' '), line.size());
        const std::string_view tag = line.substr(0, end);
        line.remove_prefix(std::min(end + 1, line.size()));
        if (tag.starts_with("LEM:") || tag.starts_with("ROOT:") || tag.starts_with("SP:") || tag.empty())
            continue;
        if (tag.ends_with("+")) {
            endStem();
            if (const std::string_view name = nameIn(kPrefixes, tag); !name.empty())
                parts.emplace_back(name);
        } else if (tag.starts_with("PRON:") && !stem.empty()) {
            endStem();
            parts.push_back("attached pronoun, " + personOf(tag.substr(5)));
        } else if (tag == "+n:EMPH" || tag == "+VOC") {
            endStem();
            parts.emplace_back(tag == "+VOC" ? "vocative suffix" : "emphatic nun");
        } else {
            if (tag.starts_with("POS:"))
                endStem();
            stem.push_back(tag);
        }
    }
    endStem();
    std::string out;
    for (const std::string &part : parts)
        out += (out.empty() ? "" : " + ") + part;
    return out;
}

std::string rootInArabic(std::string_view root)
{
    std::string out;
    for (const char c : root) {
        if (!out.empty())
            out.push_back(' ');
        out += c == 'A' ? std::string("\u0623") : fromBuckwalter(std::string_view(&c, 1));
    }
    return out;
}

std::optional<CorpusWords> CorpusWords::open(const std::filesystem::path &folder, const QuranText &reading,
                                             const WordIndex &index, std::string *problem)
{
    CorpusWords words(reading, index);
    const auto read = [&](const char *name, std::string &into) {
        auto text = readRegularFile(folder / name);
        if (!text && problem)
            *problem = std::string(name) + " " + troubleWords(fileTroubleOf(folder / name));
        if (text)
            into = std::move(*text);
        return text.has_value();
    };
    std::string lemmas;
    if (!read(kMorphologyFile, words.morphology_) || !read(kGlossFile, words.glosses_) ||
        !read(kLemmaFile, lemmas))
        return std::nullopt;
    for (std::string_view rest = words.morphology_; !rest.empty();)
        words.morphologyLines_.push_back(takeLine(rest));
    for (std::string_view rest = words.glosses_; !rest.empty();)
        words.glossLines_.push_back(takeLine(rest));
    for (std::string_view rest = lemmas; !rest.empty();) {
        const std::string_view line = takeLine(rest);
        const std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos)
            words.meanings_.emplace(line.substr(0, tab),
                                    line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    // Each reading word's corpus word: the first tied to it, else (a word the corpus joins to the
    // one before) the one before's.
    words.corpusWords_.resize(reading.verses().size());
    const std::vector<WordPlace> places = index.corpusPlaces();
    for (std::size_t k = places.size(); k-- > 0;) {
        const WordPlace p = places[k];
        if (p.verse >= words.corpusWords_.size() || p.word >= kMostWordsInAVerse)
            continue;
        auto &verse = words.corpusWords_[p.verse];
        if (verse.size() <= p.word)
            verse.resize(p.word + 1, UINT32_MAX);
        verse[p.word] = static_cast<std::uint32_t>(k);
    }
    for (std::size_t v = 0; v < words.corpusWords_.size(); ++v) {
        auto &verse = words.corpusWords_[v];
        verse.resize(readingWords(reading.verses()[v].text).size(), UINT32_MAX);
        for (std::size_t w = 1; w < verse.size(); ++w)
            if (verse[w] == UINT32_MAX)
                verse[w] = verse[w - 1];
    }
    return words;
}

std::size_t CorpusWords::wordCount(std::size_t verse) const
{
    return verse < corpusWords_.size() ? corpusWords_[verse].size() : 0;
}

std::optional<std::uint32_t> CorpusWords::corpusWordAt(std::size_t verse, std::size_t word) const
{
    if (word >= wordCount(verse) || corpusWords_[verse][word] >= morphologyLines_.size())
        return std::nullopt;
    return corpusWords_[verse][word];
}

std::vector<std::string_view> CorpusWords::glossesOf(std::size_t verse) const
{
    std::vector<std::string_view> glosses;
    for (std::size_t w = 0; w < wordCount(verse); ++w) {
        const auto k = corpusWordAt(verse, w);
        glosses.push_back(k && *k < glossLines_.size() ? glossLines_[*k] : std::string_view());
    }
    return glosses;
}

std::optional<WordFacts> CorpusWords::factsOf(std::size_t verse, std::size_t word) const
{
    const auto k = corpusWordAt(verse, word);
    if (!k)
        return std::nullopt;
    WordFacts facts;
    const std::string_view text = reading_->verses()[verse].text;
    const auto ranges = readingWords(text);
    facts.word = std::string(text.substr(ranges[word].first, ranges[word].second - ranges[word].first));
    facts.gloss = *k < glossLines_.size() ? std::string(glossLines_[*k]) : std::string();
    const std::string_view line = morphologyLines_[*k];
    facts.grammar = grammarOf(line);
    const auto field = [&](std::string_view name) {
        const std::size_t at = line.find(name);
        if (at == std::string_view::npos)
            return std::string_view();
        const std::string_view rest = line.substr(at + name.size());
        return rest.substr(0, rest.find(' '));
    };
    facts.root = std::string(field("ROOT:"));
    facts.lemma = std::string(field("LEM:"));
    facts.rootArabic = rootInArabic(facts.root);
    facts.lemmaArabic = fromBuckwalter(facts.lemma);
    if (const auto meaning = meanings_.find(facts.lemma); meaning != meanings_.end())
        facts.meaning = meaning->second;
    const auto count = [&](WordIndex::Kind kind, const std::string &key, std::size_t &words,
                           std::size_t &verses) {
        const std::vector<WordPlace> places =
            key.empty() ? std::vector<WordPlace>() : index_->placesOf(kind, key);
        words = places.size();
        verses = 0;
        for (std::size_t i = 0; i < places.size(); ++i)
            verses += i == 0 || places[i].verse != places[i - 1].verse ? 1 : 0;
    };
    count(WordIndex::Kind::Root, facts.root.empty() ? std::string() : rootKey(facts.root), facts.rootWords,
          facts.rootVerses);
    count(WordIndex::Kind::Lemma, facts.lemma.empty() ? std::string() : lemmaKey(facts.lemma),
          facts.lemmaWords, facts.lemmaVerses);
    return facts;
}

} // namespace velmora
