// Timings on the real data: verse extraction, interleaving, search, and the main window's first text.
// Each search benchmark reports grep -ci on the same file beside it, as "grep_ms".

#include "core/catalogue.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "search/engine.h"
#include "shell/form1.h"
#include "shell/form3.h"
#include "shell/wordpanel.h"
#include "substituteplayer.h"
#include "text/extract.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

std::string dataFolder()
{
    return std::filesystem::canonical(VELMORA_DATA_DIR).string() + "/";
}

std::string scratchFolder()
{
    static const std::string dir = [] {
        const auto d = std::filesystem::temp_directory_path() / "velmora-bench";
        std::filesystem::create_directories(d);
        return d.string() + "/";
    }();
    return dir;
}

double grepMilliseconds(const std::string &file, const std::string &word)
{
    const std::string cmd = "grep -ci '" + word + "' '" + dataFolder() + file + "' > /dev/null";
    constexpr int runs = 10;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        if (std::system(cmd.c_str()) < 0)
            return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / runs;
}

void SurahTwoOneTranslation(benchmark::State &state)
{
    const std::string data = dataFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::ExtractVerseRange(data, "PIKTHL.txt", 2, 0, 286));
}
BENCHMARK(SurahTwoOneTranslation)->Unit(benchmark::kMillisecond);

void SurahTwoAllFour(benchmark::State &state)
{
    const std::string data = dataFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::InterleaveTranslations4(
            data, scratchFolder(), "TRNSLIT.TXT", "PIKTHL.txt", "YSFALI.txt", "SHAKIR.txt", 2, 0, 286));
}
BENCHMARK(SurahTwoAllFour)->Unit(benchmark::kMillisecond);

void Search(benchmark::State &state, int source, const char *file, const char *query, const char *grepWord)
{
    const std::string data = dataFolder();
    velmora::SearchWords words;
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::RunQuery(data, source, query, words));
    state.counters["grep_ms"] = grepMilliseconds(file, grepWord);
}
BENCHMARK_CAPTURE(Search, DayBukhari, 5, "BUKHARI.TXT", "day", "day")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, DayPickthall, 0, "PIKTHL.TXT", "day", "day")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, DayJudgmentPickthall, 0, "PIKTHL.TXT", "day judgment", "day")
    ->Unit(benchmark::kMillisecond);

void WindowToFirstText(benchmark::State &state)
{
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    for (auto _ : state) {
        velmora::Form1 form(dataFolder(), scratchFolder(), player, dialogs);
        form.load();
        form.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form.findChild<QTextEdit *>(QStringLiteral("Text3"))->toPlainText());
    }
}
BENCHMARK(WindowToFirstText)->Unit(benchmark::kMillisecond)->Iterations(10);

// From "Go !" to the final count for "day" in Bukhari, in the search window.
void WindowSearchDayBukhari(benchmark::State &state)
{
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    velmora::Form1 form(dataFolder(), scratchFolder(), player, dialogs);
    form.load();
    form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    velmora::Form3 *search = form.searchWindow();
    search->show();
    search->findChild<QComboBox *>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("day"));
    search->findChild<QRadioButton *>(QStringLiteral("Option1_5"))->setChecked(true);
    auto *go = search->findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : state) {
        go->click();
        QApplication::processEvents();
    }
    state.counters["hits"] = search->findChild<QListWidget *>(QStringLiteral("List1"))->count();
}
BENCHMARK(WindowSearchDayBukhari)->Unit(benchmark::kMillisecond)->Iterations(10);

// A translation chosen in the search window and searched for the first time: its text read and
// folded, then the query run and listed (Russian, "аллах", 1,899 hits).
void WindowFirstSearchOfATranslation(benchmark::State &state)
{
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    int hits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        velmora::Form1 form(dataFolder(), scratchFolder(), player, dialogs);
        form.load();
        form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        velmora::Form3 *search = form.searchWindow();
        search->show();
        search->findChild<QComboBox *>(QStringLiteral("Combo1"))
            ->setEditText(QStringLiteral("\u0430\u043B\u043B\u0430\u0445"));
        auto *list = search->findChild<QComboBox *>(QStringLiteral("TranslationList"));
        const int row = list->findText(QStringLiteral("Russian"), Qt::MatchStartsWith);
        state.ResumeTiming();
        list->setCurrentIndex(row);
        QApplication::processEvents();
        hits = search->findChild<QListWidget *>(QStringLiteral("List1"))->count();
    }
    state.counters["hits"] = hits;
}
BENCHMARK(WindowFirstSearchOfATranslation)->Unit(benchmark::kMillisecond)->Iterations(5);

// A folder with data files of a hundred megabytes: Bukhari over and over, and a translation whose
// blocks are all of a surah no one asks for but the last, which is Pickthall's surah 114.
const std::string &bigDataFolder()
{
    static const std::string folder = [] {
        const auto dir = std::filesystem::path(scratchFolder()) / "big";
        std::filesystem::create_directories(dir);
        constexpr std::size_t kSize = 100u << 20;
        const std::string bukhari = velmora::readRegularFile(dataFolder() + "BUKHARI.TXT").value_or("");
        const std::string pickthall = velmora::readRegularFile(dataFolder() + "PIKTHL.TXT").value_or("");
        std::string big;
        while (big.size() < kSize && !bukhari.empty())
            big += bukhari;
        velmora::writeFileReplacing(dir / "BUKHARI.TXT", big);
        std::string filler = pickthall;
        for (std::size_t at = filler.find("Surah "); at != std::string::npos;
             at = filler.find("Surah ", at + 1))
            filler.replace(at, 6, "Surah 999");
        big.clear();
        while (big.size() + pickthall.size() < kSize && !filler.empty())
            big += filler;
        big += pickthall;
        velmora::writeFileReplacing(dir / "PIKTHL.TXT", big);
        return dir.string() + "/";
    }();
    return folder;
}

void BigFileSearchDay(benchmark::State &state)
{
    const std::string data = bigDataFolder();
    velmora::SearchWords words;
    std::size_t hits = 0;
    for (auto _ : state)
        hits = velmora::RunQuery(data, 5, "day", words).entries.size();
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BigFileSearchDay)->Unit(benchmark::kMillisecond);

void BigFileLastSurah(benchmark::State &state)
{
    const std::string data = bigDataFolder();
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::ExtractVerseRange(data, "PIKTHL.txt", 114, 0, 6));
}
BENCHMARK(BigFileLastSurah)->Unit(benchmark::kMillisecond);

// A hadith collection of one record of 200 megabytes, found by "day": from the click on the hit to
// its complete text in the search window, the search words marked.
void ShowOneHugeRecord(benchmark::State &state)
{
    const auto dir = std::filesystem::path(scratchFolder()) / "huge";
    std::filesystem::create_directories(dir);
    std::string record;
    while (record.size() < (200u << 20))
        record += "and on that day the people said a word of praise ";
    velmora::writeFileReplacing(dir / "MALIK.TXT", record + "\r\n");
    record = {};
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    velmora::Form1 form(dir.string() + "/", scratchFolder(), player, dialogs);
    form.load();
    form.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    velmora::Form3 *search = form.searchWindow();
    search->show();
    search->findChild<QComboBox *>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("day"));
    search->findChild<QRadioButton *>(QStringLiteral("Option1_8"))->setChecked(true);
    search->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    auto *list = search->findChild<QListWidget *>(QStringLiteral("List1"));
    for (auto _ : state) {
        list->setCurrentRow(-1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QApplication::processEvents();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(ShowOneHugeRecord)->Unit(benchmark::kMillisecond)->Iterations(2);

// Opening the search window over a history of state.range(0) queries.
void OpenSearchWindowWithLargeHistory(benchmark::State &state)
{
    const auto folder = std::filesystem::temp_directory_path() / "velmora-bench-history";
    std::filesystem::create_directories(folder);
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_int_distribution<int> length(3, 20);
        std::string text;
        for (long i = 0; i < state.range(0); ++i) {
            for (int n = length(random); n > 0; --n)
                text.push_back(static_cast<char>(i % 7 == 0 ? letter(random) - 32 : letter(random)));
            text += "\r\n";
        }
        velmora::writeFileReplacing(folder / "Srch.dat", text);
    }
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    velmora::Form1 form(dataFolder(), folder.string() + "/", player, dialogs);
    form.load();
    auto *open = form.findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : state) {
        open->click();
        QApplication::processEvents();
        state.PauseTiming();
        state.counters["entries"] =
            form.searchWindow()->findChild<QComboBox *>(QStringLiteral("Combo1"))->count();
        delete form.searchWindow();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(OpenSearchWindowWithLargeHistory)
    ->Arg(200000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The program's resident memory, in megabytes.
double residentMegabytes()
{
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * 4096.0 / (1 << 20);
}

// The main window with the Arabic text (or the word-by-word display) ticked, on a surah.
struct ArabicWindow
{
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    velmora::Form1 form{dataFolder(), scratchFolder(), player, dialogs};
    explicit ArabicWindow(const char *box, int surahRow)
    {
        form.load();
        form.show();
        form.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(surahRow);
        form.findChild<QCheckBox *>(QLatin1String(box))->setChecked(true);
        QApplication::processEvents();
    }
    QTextEdit *display() const { return form.findChild<QTextEdit *>(QStringLiteral("Text3")); }
};

// All of surah 2 word by word: every word with its gloss (the corpus read before), from the tick
// of the box to the shown text.
void WordByWordSurahTwo(benchmark::State &state)
{
    ArabicWindow window("Check2_4", 1);
    QTest::mouseClick(window.form.findChild<QLabel *>(QStringLiteral("Label1_11")), Qt::LeftButton);
    auto *box = window.form.findChild<QCheckBox *>(QStringLiteral("Check2_5"));
    for (auto _ : state) {
        box->setChecked(true);
        QApplication::processEvents();
        state.PauseTiming();
        box->setChecked(false);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    box->setChecked(true);
    state.counters["characters"] = static_cast<double>(window.display()->document()->characterCount());
}
BENCHMARK(WordByWordSurahTwo)->Unit(benchmark::kMillisecond)->Iterations(3);

// A click on an Arabic word to its panel, the corpus read at the first click (not timed), and the
// memory the corpus took.
void WordPanelClick(benchmark::State &state)
{
    ArabicWindow window("Check2_4", 0);
    QTextEdit *text = window.display();
    QTextCursor word(text->document());
    word.setPosition(8);
    const QPoint at = text->cursorRect(word).center();
    const double before = residentMegabytes();
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, at);
    state.counters["first_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.counters["corpus_mb"] = residentMegabytes() - before;
    for (auto _ : state) {
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    state.counters["panel"] = window.form.wordPanel() && window.form.wordPanel()->isVisible() ? 1 : 0;
}
BENCHMARK(WordPanelClick)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

namespace {

// A folder of recordings for every verse entry of the Quran, each a few bytes, and the pauses.
const std::string &recordingsFolder()
{
    static const std::string folder = [] {
        const std::string dir = scratchFolder() + "recordings/";
        std::filesystem::create_directories(dir);
        for (int s = 1; s <= velmora::kSurahCount; ++s)
            for (int e = 0; e < velmora::entryCountOfRow(s - 1); ++e)
                velmora::writeFileReplacing(dir + velmora::verseReference(s, e) + ".mp3", "ID3");
        velmora::writeFileReplacing(dir + "a.mp3", "ID3");
        return dir;
    }();
    return folder;
}

} // namespace

// The whole Quran's entries recited with rising repeats (1, 2, then 3 times) and a pause after each
// verse: 38,088 recitations, composed and written as Recite writes them.
void WholeQuranRisingRepeatsPlaylist(benchmark::State &state)
{
    velmora::PlaylistRequest request;
    request.programFolder = recordingsFolder();
    for (int s = 1; s <= velmora::kSurahCount; ++s)
        for (int e = 0; e < velmora::entryCountOfRow(s - 1); ++e)
            request.entries.push_back(velmora::verseReference(s, e));
    request.to = static_cast<int>(request.entries.size()) - 1;
    request.everyVerseCount = "3";
    request.selectionCount = "1";
    request.risingRepeats = true;
    request.pauseIndex = 1;
    std::size_t lines = 0;
    for (auto _ : state) {
        const velmora::Playlist playlist = velmora::composePlaylist(request);
        velmora::LineWriter w;
        for (const auto &line : playlist.lines)
            w.text(line);
        velmora::writeFileReplacing(scratchFolder() + "Default.m3u", w.contents());
        lines = playlist.lines.size();
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(WholeQuranRisingRepeatsPlaylist)->Unit(benchmark::kMillisecond);

// Recite pressed in the window for Al-Baqara with rising repeats up to 10: 15,730 recitations,
// composed and written with the busy banner shown, to the player's start.
void WindowRisingRepeatsSurahTwo(benchmark::State &state)
{
    velmora::test::SubstitutePlayer player;
    velmora::qtkit::Dialogs dialogs;
    const std::string temp = scratchFolder() + "rising/";
    std::filesystem::create_directories(temp);
    velmora::writeFileReplacing(temp + "Prefs.dat", temp + "player\r\n");
    velmora::writeFileReplacing(temp + "player", "x");
    velmora::writeFileReplacing(temp + velmora::kReciteSettingsFileName, "rising=1\r\n");
    velmora::Form1 form(recordingsFolder(), temp, player, dialogs, velmora::Edition::Audio);
    form.load();
    form.show();
    form.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(1);
    QTest::mouseClick(form.findChild<QLabel *>(QStringLiteral("Label1_11")), Qt::LeftButton);
    form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("10"));
    auto *recite = form.findChild<QPushButton *>(QStringLiteral("Command4"));
    for (auto _ : state) {
        QTest::mouseClick(recite, Qt::LeftButton);
        QApplication::processEvents();
    }
    state.counters["launches"] = static_cast<double>(player.launches.size());
}
BENCHMARK(WindowRisingRepeatsSurahTwo)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
