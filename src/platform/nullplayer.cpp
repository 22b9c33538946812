#include "nullplayer.h"

#include "process.h"

namespace velmora::platform {

bool NullPlayerChannel::LaunchPlayer(const std::string &commandLine, WindowStyle style)
{
    return startDetached(splitPlayerCommandLine(commandLine), style);
}

} // namespace velmora::platform
