#include "app/WizardFlow.h"

#include "base/Text.h"
#include "scheduler/ScheduleText.h"

#include <algorithm>
#include <filesystem>

namespace {

bool SkipsCompression(const WizardFlow& flow)
{
    return flow.backupType == BackupSynchronise || flow.backupType == BackupMove || flow.ftp;
}

} // namespace

int LastWizardPage(bool advanced)
{
    return advanced ? PageOption : PageWhen;
}

int NextWizardPage(int current, const WizardFlow& flow)
{
    int next = current + 1;
    if (SkipsCompression(flow) && current == PageDest)
        next = PageWhen;
    else if (flow.backupType == BackupDelete && current == PageSource)
        next = PageWhen;
    return std::min(next, LastWizardPage(flow.advanced));
}

int PreviousWizardPage(int current, const WizardFlow& flow)
{
    if (SkipsCompression(flow) && current == PageWhen)
        return PageDest;
    if (flow.backupType == BackupDelete && current == PageWhen)
        return PageSource;
    return std::max(current - 1, static_cast<int>(PageIntro));
}

std::string JoinMaskLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        if (!Trim(line).empty())
            joined += line + ";";
    return joined;
}

std::vector<std::string> CleanSourceLines(const std::vector<std::string>& lines, bool synchronise)
{
    std::vector<std::string> sources;
    for (const std::string& line : lines)
        if (std::string source = Trim(line); !source.empty())
            sources.push_back(std::move(source));
    if (synchronise && sources.size() > 1)
        sources.resize(1);
    return sources;
}
