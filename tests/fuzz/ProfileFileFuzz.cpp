// The profile-file reader on arbitrary bytes: it must never crash; every profile it reads must
// read back, from what the writer makes of it, as the file can hold it; and every line that is
// valid UTF-8 is read as it is, whatever the other lines are.

#include "base/Text.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    // One line in Windows-1252 never turns the others into something else.
    if (content.substr(0, 3) != "\xEF\xBB\xBF") {
        const std::vector<std::string> raw = SplitLines(content);
        const std::vector<std::string> decoded = DecodeStoredLines(content);
        if (raw.size() != decoded.size())
            std::abort();
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (IsValidUtf8(raw[i]) && decoded[i] != raw[i])
                std::abort();
    }
    const ProfileDefaults defaults;
    const auto recalculate = NextRunRecalculationAt(37626.5);
    std::vector<TProfile> profiles = ParseProfileText(content, defaults, recalculate);

    std::mt19937 random(1);
    ProfileList writable;
    std::vector<TProfile> expected;
    for (TProfile& p : profiles) {
        std::vector<std::string> warnings;
        TProfile storable = StorableProfile(p, warnings);
        // Logon data is stored only with the logon (of a share or of the FTP server) and a user.
        if (!(storable.NetLogon || storable.FTP) || storable.NetUser.empty()) {
            storable.NetUser.clear();
            storable.NetPasswd.clear();
        }
        if (Trim(storable.Name).empty())
            continue;
        expected.push_back(storable);
        writable.AddToProfile(p);
    }
    std::string written;
    ProfileFile::FormatProfiles(writable, random, written);
    if (ParseProfileText(written, defaults, recalculate) != expected)
        std::abort();
    return 0;
}
