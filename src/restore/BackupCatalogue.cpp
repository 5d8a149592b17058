#include "restore/BackupCatalogue.h"

#include <algorithm>
#include <tuple>

void BackupCatalogue::Add(const std::string& sub, StoredVersion version)
{
    m_entries[sub].push_back(std::move(version));
}

void BackupCatalogue::Note(const std::string& sub, const StoredVersion& noted)
{
    auto& versions = m_entries[sub];
    const auto current =
        std::find_if(versions.begin(), versions.end(), [](const StoredVersion& v) { return v.generation == 0; });
    if (current == versions.end()) {
        versions.push_back(noted);
        return;
    }
    // The copy holds the content; the note what the medium could not keep of it.
    current->modeKnown = true;
    current->mode = noted.mode;
    current->owner = noted.owner;
    current->mtimeNs = noted.mtimeNs;
    current->attributes = noted.attributes;
    current->noted = true;
    if (current->kind != EntryKind::Folder)
        current->kind = noted.kind;
    current->linkTarget = noted.linkTarget;
}

std::vector<BackupCatalogue::Chosen> BackupCatalogue::StateAt(std::optional<std::int64_t> moment, bool wholeSets) const
{
    auto inTime = [&moment](const StoredVersion& v) { return !moment || v.storedNs <= *moment; };
    // With whole sets only the newest archive up to the moment counts.
    std::string set;
    std::int64_t setTime = INT64_MIN;
    if (wholeSets)
        for (const auto& [sub, versions] : m_entries)
            for (const StoredVersion& v : versions)
                if (v.place == StoredPlace::Archive && inTime(v) && v.storedNs > setTime) {
                    setTime = v.storedNs;
                    set = v.location;
                }
    std::vector<Chosen> chosen;
    for (const auto& [sub, versions] : m_entries) {
        const StoredVersion* best = nullptr;
        for (const StoredVersion& v : versions) {
            if (!inTime(v) || (wholeSets && v.place == StoredPlace::Archive && v.location != set))
                continue;
            // Without a moment the current copy wins over every older version; else the latest
            // stored, and of two stored at once the one of the lower generation.
            const auto key = [&moment](const StoredVersion& x) {
                return std::make_tuple(!moment && x.generation == 0, x.storedNs, -x.generation);
            };
            if (best == nullptr || key(v) > key(*best))
                best = &v;
        }
        if (best != nullptr)
            chosen.push_back({sub, best});
    }
    return chosen;
}
