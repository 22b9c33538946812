// Outside programs as a shell starts them: whether one is installed, and what one prints.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace velmora::test {

inline bool installed(const std::string &program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

struct ToolRun
{
    std::string out; // what the command wrote to standard output
    int status = -1; // its exit status, -1 when it did not exit of itself
};

// Runs the command through the shell and reads its standard output to the end.
inline ToolRun runCommand(const std::string &command)
{
    ToolRun result;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace velmora::test
