// The profile-file reader on arbitrary bytes: it must never crash, and every profile it reads
// that the writer accepts must read back equal from what the writer makes of it.

#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const ProfileDefaults defaults;
    const auto recalculate = NextRunRecalculationAt(37626.5);
    std::vector<TProfile> profiles = ParseProfileText(content, defaults, recalculate);

    std::mt19937 random(1);
    ProfileList writable;
    std::vector<TProfile> expected;
    for (TProfile& p : profiles) {
        if (FormatProfileSection(p, random).refusal)
            continue;
        // Logon data is stored only with the logon on and a user name.
        if (!p.NetLogon || p.NetUser.empty()) {
            p.NetUser.clear();
            p.NetPasswd.clear();
        }
        expected.push_back(p);
        writable.AddToProfile(p);
    }
    std::string written;
    if (ProfileFile::FormatProfiles(writable, random, written))
        std::abort();
    if (ParseProfileText(written, defaults, recalculate) != expected)
        std::abort();
    return 0;
}
