#include "win32player.h"

#include "platform/process.h"

#include <vector>
#include <windows.h>

namespace velmora::platform {
namespace {

constexpr char kPlayerWindowClass[] = "Winamp v1.x";
constexpr LPARAM kPlayStateQuery = 104;
constexpr UINT kProgramCodePage = 1252; // the code page of the data files and of every text the program keeps

HWND toWindow(PlayerHandle handle)
{
    return reinterpret_cast<HWND>(handle);
}

std::string convertCodePage(const std::string &text, UINT from, UINT to)
{
    if (text.empty() || from == to)
        return text;
    const int wideLength =
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0)
        return text;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return text;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}

} // namespace

std::string ansiToProgramText(const std::string &ansi)
{
    return convertCodePage(ansi, GetACP(), kProgramCodePage);
}

PlayerHandle Win32PlayerChannel::FindPlayer()
{
    return reinterpret_cast<PlayerHandle>(FindWindowA(kPlayerWindowClass, nullptr));
}

bool Win32PlayerChannel::IsPlayerWindow(PlayerHandle handle)
{
    return handle != 0 && IsWindow(toWindow(handle)) != 0;
}

int Win32PlayerChannel::QueryPlayState(PlayerHandle handle)
{
    return static_cast<int>(SendMessageA(toWindow(handle), WM_USER, 0, kPlayStateQuery));
}

std::string Win32PlayerChannel::GetWindowTitle(PlayerHandle handle)
{
    if (!IsPlayerWindow(handle))
        return {};
    const int n = GetWindowTextLengthA(toWindow(handle));
    if (n <= 0)
        return {};
    std::vector<char> buf(static_cast<std::size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(toWindow(handle), buf.data(), n + 1);
    return ansiToProgramText(std::string(buf.data(), static_cast<std::size_t>(got > 0 ? got : 0)));
}

void Win32PlayerChannel::ClosePlayer(PlayerHandle handle)
{
    PostMessageA(toWindow(handle), WM_CLOSE, 0, 0);
}

bool Win32PlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    return startCommandLine(commandLine, style);
}

void Win32PlayerChannel::sendCommand(PlayerHandle handle, int code)
{
    SendMessageA(toWindow(handle), WM_COMMAND, static_cast<WPARAM>(code), 0);
}

} // namespace velmora::platform
