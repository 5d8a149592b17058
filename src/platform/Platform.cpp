#include "platform/Platform.h"

bool AutostartEntry(Platform& platform)
{
    return platform.AutostartRegistered();
}

bool AutostartEntry(Platform& platform, bool on)
{
    platform.SetAutostart(on);
    return platform.AutostartRegistered();
}
