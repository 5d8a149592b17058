// The splitter on arbitrary bytes as the whole archive: no crash, no endless loop; a damaged
// archive is refused, and whatever is written keeps to the volume size.

#include "engine/ZipVolumes.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::filesystem::path& workFolder()
{
    static const std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / ("tresorio-fuzz-volumes-" + std::to_string(::getpid()));
        std::filesystem::create_directories(f / "medium");
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto whole = workFolder() / "whole.zip";
    std::ofstream(whole, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    SpanMedium medium;
    medium.freeSpace = [] { return std::optional<std::int64_t>(1LL << 30); };
    const SpanOutcome outcome =
        WriteVolumes(whole.string(), (workFolder() / "medium/x.zip").string(), MinimumVolumeSize, medium, {});
    if (outcome.code == 0)
        for (const auto& volume : std::filesystem::directory_iterator(workFolder() / "medium"))
            if (volume.file_size() > static_cast<std::uintmax_t>(MinimumVolumeSize))
                std::abort();
    return 0;
}
