// The Windows side of the platform layer, run under Wine or on Windows: a stand-in player window of
// the player's class in this process, the temporary folder and the short path. Finding the player
// and sending it the transport commands are checked end to end, from the window (winamp_test).
#include "core/ansi.h"
#include "core/pathname.h"
#include "core/safefile.h"
#include "environment.h"
#include "platform/paths.h"
#include "platform/player/win32player.h"
#include "platform/process.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>
#include <windows.h>

using namespace velmora;

namespace {

// What the stand-in player answers and what it was sent.
struct StandInPlayer
{
    LRESULT state = 0;
    std::vector<WPARAM> commands;
    int closeRequests = 0;
};
StandInPlayer g_player;

LRESULT CALLBACK standInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_USER:
        if (lParam == 104)
            return g_player.state;
        return 0;
    case WM_COMMAND:
        g_player.commands.push_back(wParam);
        return 0;
    case WM_CLOSE:
        ++g_player.closeRequests;
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void registerStandInClass()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = standInProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Winamp v1.x";
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
}

// Lets the posted messages of this thread reach their windows.
void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class Win32Channel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerStandInClass();
        g_player = {};
    }
    void TearDown() override
    {
        if (window_ && IsWindow(window_))
            DestroyWindow(window_);
        pumpMessages();
    }
    HWND openPlayer(const char *title)
    {
        window_ = CreateWindowExA(0, "Winamp v1.x", title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        return window_;
    }

    platform::Win32PlayerChannel channel_;
    HWND window_ = nullptr;
};

} // namespace

TEST_F(Win32Channel, NoPlayerMeansNothingIsSentAndNothingFound)
{
    channel_.SendPlayerCommand(kCmdPlay);
    EXPECT_TRUE(g_player.commands.empty());
    EXPECT_EQ(channel_.FindPlayer(), 0u);
    EXPECT_EQ(channel_.GetWindowTitle(0), "");
    EXPECT_FALSE(channel_.IsPlayerWindow(0));
}

TEST_F(Win32Channel, StateTitleAndACloseThatIsPostedNotSent)
{
    const HWND window = openPlayer("12. Al-Fatiha - 001-002 - Winamp");
    ASSERT_NE(window, nullptr);
    const PlayerHandle h = channel_.FindPlayer();
    for (const LRESULT state : {0, 1, 3, 7}) {
        g_player.state = state;
        EXPECT_EQ(channel_.QueryPlayState(h), state);
    }
    EXPECT_EQ(channel_.GetWindowTitle(h), "12. Al-Fatiha - 001-002 - Winamp");
    SetWindowTextA(window, "");
    EXPECT_EQ(channel_.GetWindowTitle(h), "");

    channel_.ClosePlayer(h);
    EXPECT_EQ(g_player.closeRequests, 0) << "posted, not sent";
    EXPECT_TRUE(channel_.IsPlayerWindow(h));
    pumpMessages();
    EXPECT_EQ(g_player.closeRequests, 1);
    EXPECT_FALSE(channel_.IsPlayerWindow(h));
    EXPECT_EQ(channel_.FindPlayer(), 0u);
    EXPECT_EQ(channel_.GetWindowTitle(h), "") << "a handle that is no longer a window";
}

namespace {

std::string thisProgram()
{
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return utf8Of(std::filesystem::path(std::wstring(buf, n)));
}

// The file the stand-in player writes beside the playlist.
std::filesystem::path launchReport(std::filesystem::path playlist)
{
    return playlist += ".launched";
}

std::string readWhenWritten(const std::filesystem::path &file)
{
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        if (!ss.str().empty() && ss.str().back() == '\n')
            return ss.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

} // namespace

// The started program is this test program, which (see main) writes the argument it got and the
// window style it was asked to show into the file that follows the playlist's name.
TEST(Win32Launch, StartsThePlayerWithThePlaylistAndTheWindowStyle)
{
    test::TempDir dir;
    const auto playlist = dir.write("My Scheme.m3u", "001-001.mp3\r\n");
    const std::string player = platform::ShortPathOf(thisProgram());
    ASSERT_FALSE(player.empty());
    const std::string shortList = platform::ShortPathOf(utf8Of(playlist));
    ASSERT_FALSE(shortList.empty());
    EXPECT_EQ(shortList.find(' '), std::string::npos) << shortList;

    platform::Win32PlayerChannel channel;
    ASSERT_TRUE(channel.LaunchPlayer(player + "  " + shortList, WindowStyle::MinimizedNoActivate));
    EXPECT_EQ(readWhenWritten(launchReport(playlist)),
              shortList + " " + std::to_string(SW_SHOWMINNOACTIVE) + "\n");

    std::filesystem::remove(launchReport(playlist));
    ASSERT_TRUE(channel.LaunchPlayer(player + "  " + shortList, WindowStyle::NormalActivate));
    EXPECT_EQ(readWhenWritten(launchReport(playlist)),
              shortList + " " + std::to_string(SW_SHOWNORMAL) + "\n");
}

TEST(Win32Launch, AProgramThatIsNotThereIsNotStarted)
{
    platform::Win32PlayerChannel channel;
    EXPECT_FALSE(channel.LaunchPlayer("c:\\no-such-folder\\winamp  c:\\x.m3u", WindowStyle::NormalActivate));
    EXPECT_FALSE(channel.LaunchPlayer("", WindowStyle::NormalActivate));
}

TEST(Win32Paths, ShortPathOfAPathWithBlanks)
{
    test::TempDir dir;
    const auto file = dir.write("A Folder With A Long Name/Recitation scheme.m3u", "x");
    const std::string shortForm = platform::ShortPathOf(utf8Of(file));
    ASSERT_FALSE(shortForm.empty());
    EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;
    EXPECT_TRUE(std::filesystem::equivalent(shortForm, file));
}

// For users whose names the ANSI code page holds, and for those whose names it does not.
TEST(Win32Paths, TheUsersOwnFoldersStandBeforeTheProgramsAndOutsideTheTemporaryOne)
{
    const std::pair<std::string, std::wstring> users[] = {
        {"Tester", L"Tester"},
        {"Jos\u00E9", L"Jos\u00E9"},
        {"\u0645\u062D\u0645\u062F", L"\u0645\u062D\u0645\u062F"}};
    for (const auto &[user, wideUser] : users) {
        SCOPED_TRACE(user);
        test::TempDir dir;
        test::Environment env;
        const std::string home = dir.folder() + user;
        env.set("LOCALAPPDATA", home + "\\Local");
        env.set("APPDATA", home + "\\Roaming");
        // The program's own files: in a folder of the user's that Windows does not clean, made on
        // first use, and what is saved there is read back.
        const std::string own = platform::tempFolder();
        EXPECT_EQ(own, home + "\\Local\\Velmora\\");
        ASSERT_TRUE(writeFileReplacing(pathFromUtf8(own + "Prefs.dat"), "saved"));
        EXPECT_EQ(readRegularFile(dir.path() / wideUser / L"Local\\Velmora\\Prefs.dat"), "saved");
        EXPECT_NE(platform::olderTempFolder(), own);
        // An imported text stands before the one installed with the program.
        const std::string program = platform::programFolder();
        const std::string imported = home + "\\Roaming\\Velmora\\";
        EXPECT_EQ(platform::userDataFolder(), imported);
        EXPECT_EQ(platform::dataFolders(program), (std::vector<std::string>{imported, program}));
        EXPECT_EQ(platform::dataFoldersText(program), imported + " or " + program);
        const std::string name = "LOOKUP-" + utf8NameOf(dir.path()) + ".TXT";
        std::filesystem::create_directories(pathFromUtf8(imported));
        ASSERT_TRUE(writeFileReplacing(pathFromUtf8(program + name), "installed"));
        EXPECT_EQ(platform::resolveDataFile(program, name), pathFromUtf8(program + name));
        ASSERT_TRUE(writeFileReplacing(pathFromUtf8(imported + name), "imported"));
        EXPECT_EQ(platform::resolveDataFile(program, name), pathFromUtf8(imported + name));
        EXPECT_EQ(readRegularFile(dir.path() / wideUser / L"Roaming\\Velmora" / pathFromUtf8(name)),
                  "imported");
        std::filesystem::remove(pathFromUtf8(program + name));
        // What an older version left in a temporary folder so named is taken over.
        const std::string older = home + "\\Temp\\";
        std::filesystem::create_directories(pathFromUtf8(older));
        ASSERT_TRUE(writeFileReplacing(pathFromUtf8(older + "My scheme.rsc"), "1"));
        std::filesystem::remove(pathFromUtf8(own + "Prefs.dat"));
        EXPECT_EQ(platform::takeOverFiles(older, own, [](std::string_view) { return true; }),
                  std::vector<std::string>{"My scheme.rsc"});
        EXPECT_EQ(platform::ShortPathOf(own + "My scheme.rsc").empty(), false);
        env.set("LOCALAPPDATA", std::nullopt);
        EXPECT_EQ(platform::tempFolder(), "");
    }
}

TEST(Win32Text, TheSearchToolTakesAndGivesWhatNoCodePageHolds)
{
    // The data in a folder named in a script the code page lacks.
    test::TempDir dir;
    const std::string data = dir.folder() + "\u0645\u062D\u0645\u062F";
    dir.write("\u0645\u062D\u0645\u062F/quran-simple-clean.txt",
              "1|1|\u0628\u0633\u0645 \u0627\u0644\u0644\u0647 \u0627\u0644\u0631\u062D\u0645\u0646\n");
    dir.write("\u0645\u062D\u0645\u062F/PIKTHL.TXT", "Surah 1. x\r\n001.1) a na\xEFve reader\r\n");
    const auto run = [&](const std::string &source, const std::string &query) {
        return platform::runFilter({VELMORA_SEARCH_TOOL, "--data", data, source, query}, "")
            .value_or("(failed)");
    };
    // An Arabic word and an accented English one, as cmd hands them over: in UTF-16, out in UTF-8
    // lines with Windows line ends.
    EXPECT_EQ(run("arabic", "\u0627\u0644\u0631\u062D\u0645\u0646"),
              "001:1 \u0628\u0633\u0645 \u0627\u0644\u0644\u0647 \u0627\u0644\u0631\u062D\u0645\u0646\r\n");
    EXPECT_EQ(run("pickthall", "na\u00EFve"), "001.1) a na\u00EFve reader\r\n");
}

TEST(Win32Text, TitlesReachTheProgramInWindows1252)
{
    // Western systems: the ANSI code page is Windows-1252 and the bytes pass unchanged.
    if (GetACP() == 1252) {
        EXPECT_EQ(platform::ansiToProgramText("Sur\xE9 \x93quoted\x94"), "Sur\xE9 \x93quoted\x94");
    }
    EXPECT_EQ(platform::ansiToProgramText("1. 002-255 - Winamp"), "1. 002-255 - Winamp");
    EXPECT_EQ(platform::ansiToProgramText(""), "");
}

int main(int argc, char **argv)
{
    // Started as the stand-in player program: "program  playlist".
    // Short names come in capitals.
    if (argc == 2 && ansi::equalsNoCase(std::filesystem::path(argv[1]).extension().string(), ".m3u")) {
        STARTUPINFOA si{};
        GetStartupInfoA(&si);
        // The playlist's short name leads to the long one, beside which the report is written.
        wchar_t longName[MAX_PATH + 1] = {};
        GetLongPathNameW(pathFromUtf8(argv[1]).c_str(), longName, MAX_PATH);
        std::ofstream(launchReport(longName), std::ios::binary)
            << argv[1] << ' ' << ((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1) << '\n';
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
