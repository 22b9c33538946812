#include "win32player.h"

#include <vector>
#include <windows.h>

namespace velmora::platform {
namespace {

HWND toWindow(PlayerHandle handle)
{
    return reinterpret_cast<HWND>(handle);
}

} // namespace

PlayerHandle Win32PlayerChannel::FindPlayer()
{
    return reinterpret_cast<PlayerHandle>(FindWindowA("Winamp v1.x", nullptr));
}

bool Win32PlayerChannel::IsPlayerWindow(PlayerHandle handle)
{
    return handle != 0 && IsWindow(toWindow(handle)) != 0;
}

int Win32PlayerChannel::QueryPlayState(PlayerHandle handle)
{
    return static_cast<int>(SendMessageA(toWindow(handle), WM_USER, 0, 104));
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
    return std::string(buf.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void Win32PlayerChannel::ClosePlayer(PlayerHandle handle)
{
    PostMessageA(toWindow(handle), WM_CLOSE, 0, 0);
}

bool Win32PlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = style == WindowStyle::MinimizedNoActivate ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

void Win32PlayerChannel::sendCommand(PlayerHandle handle, int code)
{
    SendMessageA(toWindow(handle), WM_COMMAND, static_cast<WPARAM>(code), 0);
}

} // namespace velmora::platform
