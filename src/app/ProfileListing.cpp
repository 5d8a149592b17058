#include "app/ProfileListing.h"

#include "profiles/ProfileRowTexts.h"

std::string ListProfiles(const ProfileList& list)
{
    std::string out;
    for (int row = 0; row < list.count(); ++row) {
        const ProfileRowTexts texts = RefreshedRowTexts(list.at(row), false);
        out += texts.name + '\t' + texts.lastRun + '\t' + texts.nextRun + '\t' + texts.mode + '\n';
    }
    return out;
}
