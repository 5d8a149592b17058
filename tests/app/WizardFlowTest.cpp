// What the wizard decides without widgets: the page sequences and the typed lists.

#include "app/WizardFlow.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Walk(const WizardFlow& flow)
{
    std::vector<int> pages = {PageIntro};
    while (pages.back() != LastWizardPage(flow.advanced))
        pages.push_back(NextWizardPage(pages.back(), flow));
    // Back again visits the same pages in reverse.
    std::vector<int> back = {pages.back()};
    while (back.back() != PageIntro)
        back.push_back(PreviousWizardPage(back.back(), flow));
    EXPECT_EQ(std::vector<int>(back.rbegin(), back.rend()), pages);
    return pages;
}

} // namespace

TEST(WizardFlowTest, PageSequencesForEachKindOfJob)
{
    using V = std::vector<int>;
    EXPECT_EQ(Walk({BackupFull, false, false}), (V{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Walk({BackupIncremental, false, true}), (V{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Walk({BackupDifferential, true, true}), (V{0, 1, 2, 3, 5, 6}));
    EXPECT_EQ(Walk({BackupSynchronise, false, false}), (V{0, 1, 2, 3, 5}));
    EXPECT_EQ(Walk({BackupMove, false, false}), (V{0, 1, 2, 3, 5}));
    EXPECT_EQ(Walk({BackupDelete, false, true}), (V{0, 1, 2, 5, 6}));
    EXPECT_EQ(NextWizardPage(PageWhen, {BackupFull, false, false}), PageWhen);
    EXPECT_EQ(PreviousWizardPage(PageIntro, {BackupFull, false, false}), PageIntro);
}

TEST(WizardFlowTest, TypedLists)
{
    EXPECT_EQ(JoinMaskLines({"*.doc", "", "  ", "*.xls"}), "*.doc;*.xls;");
    EXPECT_EQ(CleanSourceLines({"", "/a/", " ", "/b/", ""}, false), (std::vector<std::string>{"/a/", "/b/"}));
    EXPECT_EQ(CleanSourceLines({"/a/", "/b/", "/c/"}, true), std::vector<std::string>{"/a/"});
}
