#include "profiles/ProfileList.h"

#include <gtest/gtest.h>

namespace {

ProfileList listOf(std::initializer_list<const char*> names)
{
    ProfileList list;
    for (const char* name : names) {
        TProfile p;
        p.Name = name;
        list.AddToProfile(p);
    }
    return list;
}

std::string order(const ProfileList& list)
{
    std::string names;
    for (int row = 0; row < list.count(); ++row)
        names += list.at(row).Name;
    return names;
}

TEST(ProfileListTest, IdentityFollowsTheProfileAcrossMoves)
{
    ProfileList list = listOf({"A", "B", "C", "D"});
    const ProfileId a = list.idAt(0);
    const ProfileId c = list.idAt(2);

    list.moveBefore(0, 2); // the first row dropped onto the third ends up second
    EXPECT_EQ(order(list), "BACD");
    list.moveBefore(3, 0);
    EXPECT_EQ(order(list), "DBAC");
    list.moveBefore(1, 4);
    EXPECT_EQ(order(list), "DACB");

    EXPECT_EQ(list.find(a)->Name, "A");
    EXPECT_EQ(*list.rowOf(c), 2);
    list.removeRow(*list.rowOf(a));
    EXPECT_FALSE(list.rowOf(a));
    EXPECT_EQ(list.find(a), nullptr);
    EXPECT_EQ(list.find(c)->Name, "C");
}

TEST(ProfileListTest, IdentitiesAreNotReused)
{
    ProfileList list = listOf({"A"});
    const ProfileId first = list.idAt(0);
    list.removeRow(0);
    list.AddToProfile(TProfile{});
    EXPECT_NE(list.idAt(0), first);
}

} // namespace
