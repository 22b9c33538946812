// A stand-in for Winamp at its usual place: a window of Winamp's class that takes the player's
// commands and answers its state query as Winamp does. It notes in a log beside itself how it was
// started and every command it took; its title names the playlist's first recording as Winamp
// names a tagged one ("1. Velmora - 001-002.mp3 - Winamp").
#include <windows.h>

#include <fstream>
#include <string>

namespace {

constexpr int kStopped = 0;
constexpr int kPlaying = 1;
constexpr int kPaused = 3;

int state = kPlaying; // Winamp plays a playlist given on its command line
std::string logPath;

void note(const std::string &line)
{
    std::ofstream(logPath, std::ios::app) << line << '\n';
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case 40045:
            state = kPlaying;
            note("play");
            return 0;
        case 40046: // pause toggles
            state = state == kPlaying ? kPaused : state == kPaused ? kPlaying : state;
            note("pause");
            return 0;
        case 40047:
            state = kStopped;
            note("stop");
            return 0;
        default:
            break;
        }
        break;
    case WM_USER:
        if (lParam == 104)
            return state;
        break;
    case WM_CLOSE:
        note("close");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The file name of the playlist's first line.
std::string firstRecording(const std::string &playlist)
{
    std::ifstream in(playlist);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line.substr(line.find_last_of("\\/") + 1);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    logPath = std::string(self) + ".log";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int asked = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    note("started " + std::string(commandLine) + " show " + std::to_string(asked));

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Winamp v1.x";
    RegisterClassA(&windowClass);
    const std::string title = "1. Velmora - " + firstRecording(commandLine) + " - Winamp";
    const HWND window = CreateWindowExA(0, "Winamp v1.x", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 275, 116,
                                        nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
