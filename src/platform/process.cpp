#include "process.h"

#include "paths.h"

#include "core/pathname.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace velmora::platform {

std::vector<std::string> splitPlayerCommandLine(const std::string &commandLine)
{
    const auto cut = commandLine.find("  ");
    if (cut == std::string::npos)
        return {commandLine};
    std::vector<std::string> argv{commandLine.substr(0, cut)};
    const std::string argument = commandLine.substr(cut + 2);
    if (!argument.empty())
        argv.push_back(argument);
    return argv;
}

#ifdef _WIN32

bool startCommandLine(const std::string &commandLine, WindowStyle style)
{
    if (commandLine.empty())
        return false;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = style == WindowStyle::MinimizedNoActivate ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::wstring line = widenedFromUtf8(commandLine); // CreateProcessW may write into its command line
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool startDetached(const std::vector<std::string> &argv, WindowStyle style, long *pid)
{
    if (pid)
        *pid = 0;
    if (argv.empty() || argv.front().empty())
        return false;
    std::string commandLine;
    for (const auto &arg : argv) {
        if (!commandLine.empty())
            commandLine += ' ';
        // A path with blanks (a user folder, say) stays one argument inside double quotes.
        const bool quote = arg.find_first_of(" \t") != std::string::npos;
        commandLine += quote ? '"' + arg + '"' : arg;
    }
    return startCommandLine(commandLine, style);
}

std::vector<std::string> editorCommandFor(const std::string &path)
{
    return {"notepad", path};
}

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring quotedArgument(const std::wstring &arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

} // namespace

std::optional<std::string> runFilter(const std::vector<std::string> &argv, std::string_view input)
{
    if (argv.empty())
        return std::nullopt;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0))
        return std::nullopt;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) {
        CloseHandle(inRead);
        CloseHandle(inWrite);
        return std::nullopt;
    }
    // Only the child's ends are inherited.
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = outWrite;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine;
    for (const auto &arg : argv)
        commandLine += (commandLine.empty() ? L"" : L" ") + quotedArgument(widenedFromUtf8(arg));
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &si, &pi);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    if (!started) {
        CloseHandle(inWrite);
        CloseHandle(outRead);
        return std::nullopt;
    }
    // Written from a thread of its own while the output is read, so that neither pipe fills up.
    std::thread writer([inWrite, input] {
        std::string_view rest = input;
        DWORD n = 0;
        while (!rest.empty() &&
               WriteFile(inWrite, rest.data(),
                         static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 20)), &n, nullptr) &&
               n > 0)
            rest.remove_prefix(n);
        CloseHandle(inWrite);
    });
    std::string output;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(outRead, buffer, sizeof buffer, &n, nullptr) && n > 0)
        output.append(buffer, n);
    CloseHandle(outRead);
    writer.join();
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (status != 0)
        return std::nullopt;
    return output;
}

std::string defaultPlayerProgram()
{
    return "c:\\winamp\\winamp";
}

std::string schemePlayerProgram(const std::string &)
{
    return defaultPlayerProgram();
}

#else

std::optional<std::string> runFilter(const std::vector<std::string> &argv, std::string_view input)
{
    if (argv.empty())
        return std::nullopt;
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        return std::nullopt;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The copies on 0 and 1 are kept across the start; every other end closes there.
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char *> args;
    args.reserve(argv.size() + 1);
    for (const auto &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (failed) {
        close(in[1]);
        close(out[0]);
        return std::nullopt;
    }
    // Written from a thread of its own while the output is read, so that neither pipe fills up. A
    // program that ends before it has read everything makes the write fail, not end this process.
    std::thread writer([fd = in[1], input] {
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        std::string_view rest = input;
        while (!rest.empty()) {
            const auto n = write(fd, rest.data(), rest.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        close(fd);
        // A SIGPIPE the write raised stays with this thread, blocked, and ends with it.
        const timespec none{};
        while (sigtimedwait(&pipeSignal, nullptr, &none) == SIGPIPE) {
        }
    });
    std::string output;
    char buffer[65536];
    for (;;) {
        const auto n = read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    writer.join();
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

bool startDetached(const std::vector<std::string> &argv, WindowStyle, long *pid)
{
    if (argv.empty() || argv.front().empty())
        return false;
    // The grandchild's errno when it could not start the program, else nothing; its pid comes
    // from the child through a pipe of its own.
    int errPipe[2];
    int pidPipe[2];
    if (pipe2(errPipe, O_CLOEXEC) != 0)
        return false;
    if (pipe2(pidPipe, O_CLOEXEC) != 0) {
        close(errPipe[0]);
        close(errPipe[1]);
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        for (const int fd : {errPipe[0], errPipe[1], pidPipe[0], pidPipe[1]})
            close(fd);
        return false;
    }
    if (child == 0) {
        // The first child starts a session and forks the program, so that nothing is left to reap.
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) {
            [[maybe_unused]] const auto sent = write(pidPipe[1], &grandchild, sizeof grandchild);
            _exit(grandchild < 0 ? 127 : 0);
        }
        std::vector<char *> args;
        args.reserve(argv.size() + 1);
        for (const auto &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        const int err = errno;
        [[maybe_unused]] const auto written = write(errPipe[1], &err, sizeof err);
        _exit(127);
    }
    close(errPipe[1]);
    close(pidPipe[1]);
    int status = 0;
    waitpid(child, &status, 0);
    pid_t started = 0;
    if (read(pidPipe[0], &started, sizeof started) != sizeof started)
        started = 0;
    close(pidPipe[0]);
    int err = 0;
    const auto got = read(errPipe[0], &err, sizeof err);
    close(errPipe[0]);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && got <= 0;
    if (pid)
        *pid = ok ? started : 0;
    return ok;
}

namespace {

// The state letter and parent of a process, from /proc; false when there is no such process.
bool processStat(long pid, char &state, long &parent)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line))
        return false;
    const auto close = line.rfind(')'); // the name in parentheses may hold anything
    if (close == std::string::npos)
        return false;
    std::istringstream rest(line.substr(close + 1));
    return static_cast<bool>(rest >> state >> parent);
}

} // namespace

std::string processName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (pid <= 0 || !std::getline(comm, name))
        return {};
    return name;
}

bool processRunning(long pid)
{
    char state = 0;
    long parent = 0;
    return processStat(pid, state, parent) && state != 'Z' && state != 'X';
}

bool processDescendsFrom(long pid, long ancestor)
{
    for (int generation = 0; generation < 4 && pid > 1; ++generation) {
        if (pid == ancestor)
            return true;
        char state = 0;
        if (!processStat(pid, state, pid))
            return false;
    }
    return pid == ancestor && pid > 1;
}

void endProcess(long pid, int waitMs)
{
    if (!processRunning(pid))
        return;
    // A stopped process acts on SIGTERM only once it runs on: it is woken to end.
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    ::kill(static_cast<pid_t>(pid), SIGCONT);
    const auto waitFor = [pid](int ms) {
        for (int waited = 0; waited < ms && processRunning(pid); waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    waitFor(waitMs);
    if (processRunning(pid)) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        waitFor(kKilledWaitMs);
    }
}

namespace {

// The program's path in a folder of PATH; "" when it is in none.
std::string findOnPath(const std::string &program)
{
    const char *path = std::getenv("PATH");
    if (!path)
        return {};
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const auto candidate = pathFromUtf8(dir.empty() ? "." : dir) / pathFromUtf8(program);
        if (access(candidate.c_str(), X_OK) == 0)
            return utf8Of(candidate);
    }
    return {};
}

} // namespace

std::vector<std::string> editorCommandFor(const std::string &path)
{
    if (const char *visual = std::getenv("VISUAL"); visual && *visual)
        return {visual, path};
    for (const char *editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed", "pluma",
                               "featherpad", "leafpad"}) {
        if (!findOnPath(editor).empty())
            return {editor, path};
    }
    return {"xdg-open", path};
}

std::string defaultPlayerProgram()
{
    const std::string audacious = findOnPath("audacious");
    return audacious.empty() ? std::string("audacious") : audacious;
}

std::string schemePlayerProgram(const std::string &recitePlayer)
{
    return recitePlayer.empty() ? defaultPlayerProgram() : recitePlayer;
}

#endif

} // namespace velmora::platform
