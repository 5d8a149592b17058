#include "engine/RunState.h"

#include "engine/ReportLines.h"

void RunState::fileError(const std::string& text, const FileResult& result)
{
    if (job.logError)
        addLine(FileErrorLine(text, result.code, result.systemText));
    ++stats.errorCount;
}
