// Starting other programs without waiting for them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/playerchannel.h"

namespace velmora::platform {

// Starts program with its arguments, detached from this process; false when it cannot be started.
// Where pid is given it receives the started process's id (0 on Windows).
bool startDetached(const std::vector<std::string> &argv, WindowStyle style, long *pid = nullptr);

// Runs program with its arguments, no shell between, with input on its standard input, and waits
// for it: what it wrote on its standard output, or nullopt when it could not be started or did not
// end with status 0. Its standard error is this process's.
std::optional<std::string> runFilter(const std::vector<std::string> &argv, std::string_view input);

#ifndef _WIN32
// Whether the process runs: one that has ended but is not yet reaped does not.
bool processRunning(long pid);
// The name of the process's program ("mpv"), as the system keeps it; "" when it has ended.
std::string processName(long pid);
// Whether the process is ancestor or one of its descendants, a few generations down.
bool processDescendsFrom(long pid, long ancestor);
// Asks the process to end (waking it when it is stopped) and waits for it, at most the given time,
// then ends it outright and waits for it to be gone, at most kKilledWaitMs.
inline constexpr int kKilledWaitMs = 200;
void endProcess(long pid, int waitMs);
#endif

#ifdef _WIN32
// Starts a process from a whole Windows command line with the given window style, without waiting;
// false when it cannot be started.
bool startCommandLine(const std::string &commandLine, WindowStyle style);
#endif

// Splits "program  argument" at its first run of two spaces into program and argument.
std::vector<std::string> splitPlayerCommandLine(const std::string &commandLine);

// The text editor for a file: on Windows "notepad"; elsewhere $VISUAL, else the first of the
// common desktop editors that is installed, else xdg-open.
std::vector<std::string> editorCommandFor(const std::string &path);

// The player program when the preferences name none: Winamp where it is installed by default on
// Windows ("c:\\winamp\\winamp"); elsewhere Audacious, from PATH.
std::string defaultPlayerProgram();
// The player that replays a saved scheme: Winamp at its usual place on Windows, as always;
// elsewhere the player that Recite starts (the preferences' one, else the default).
std::string schemePlayerProgram(const std::string &recitePlayer);

} // namespace velmora::platform
