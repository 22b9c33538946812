#include "process.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = style == WindowStyle::MinimizedNoActivate ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine; // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
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

std::string defaultPlayerProgram()
{
    return "c:\\winamp\\winamp";
}

std::string schemePlayerProgram(const std::string &)
{
    return defaultPlayerProgram();
}

#else

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
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    for (int waited = 0; waited < waitMs && processRunning(pid); waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (processRunning(pid))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
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
        const auto candidate = std::filesystem::path(dir.empty() ? "." : dir) / program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
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
