#include "platform/Platform.h"

bool AutostartEntry(Platform& platform)
{
    return platform.AutostartRegistered();
}

bool AutostartEntry(Platform& platform, bool on, const std::function<void(const std::string&)>& failed)
{
    const Status set = platform.SetAutostart(on);
    if (!set.ok() && failed)
        failed(set.message);
    return platform.AutostartRegistered();
}
