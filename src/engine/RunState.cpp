#include "engine/RunState.h"

#include "engine/ReportLines.h"

void RunState::fileError(const std::string& text, const Status& result)
{
    if (job.logError)
        addLine(FileErrorLine(text, result.code, result.message));
    ++stats.errorCount;
}

void RunState::errorLine(const std::string& text)
{
    addLine(std::string(ErrorPrefix) + text);
    ++stats.errorCount;
}
