#include "components/EDirTree.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

namespace fs = std::filesystem;

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class DirTreeWidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"a/a1", "a/a2", "b", ".versteckt"})
            fs::create_directories(temp / folder);
        fs::create_directory_symlink(temp / "a", temp / "verweis");
    }
    std::string p(const std::string& relative) { return temp.path().string() + "/" + relative; }
    QTreeWidgetItem* rootItem(EDirTree& tree) { return tree.topLevelItem(0)->child(0)->child(0); }
    QStringList captions(QTreeWidgetItem* item)
    {
        QStringList result;
        for (int i = 0; i < item->childCount(); ++i)
            result << item->child(i)->text(0);
        return result;
    }
    // Opens an item and waits for its listing.
    void open(EDirTree& tree, QTreeWidgetItem* item)
    {
        QSignalSpy loaded(&tree, &EDirTree::folderLoaded);
        item->setExpanded(true);
        ASSERT_TRUE(waitFor([&] { return loaded.count() > 0; }));
    }

    TempDir temp;
};

TEST_F(DirTreeWidgetTest, FoldersLoadWhenOpenedHiddenLastAndLinksNotDescended)
{
    EDirTree tree({{"Test", temp.path().string(), MediumKind::Fixed}});
    tree.show();
    QTreeWidgetItem* root = rootItem(tree);
    QSignalSpy loaded(&tree, &EDirTree::folderLoaded);
    root->setExpanded(true);
    EXPECT_EQ(captions(root), QStringList{"wird geladen…"});
    ASSERT_TRUE(waitFor([&] { return loaded.count() == 1; }));
    EXPECT_EQ(captions(root), (QStringList{"a", "b", "verweis", ".versteckt"}));
    QTreeWidgetItem* link = root->child(2);
    EXPECT_EQ(link->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    link->setExpanded(true);
    EXPECT_EQ(link->childCount(), 0);
    EXPECT_EQ(root->child(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
}

TEST_F(DirTreeWidgetTest, TheSpaceBarChecksAndTheParentShowsPartial)
{
    EDirTree tree({{"Test", temp.path().string(), MediumKind::Fixed}});
    tree.show();
    open(tree, rootItem(tree));
    QTreeWidgetItem* a = rootItem(tree)->child(0);
    tree.setCurrentItem(a);
    tree.setFocus();
    QTest::keyClick(tree.viewport(), Qt::Key_Space);
    EXPECT_EQ(a->checkState(0), Qt::Checked);
    EXPECT_EQ(rootItem(tree)->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{p("a/")});
    // A folder opened below a checked one comes checked.
    open(tree, a);
    EXPECT_EQ(a->child(0)->checkState(0), Qt::Checked);
    QTest::keyClick(tree.viewport(), Qt::Key_Space);
    EXPECT_EQ(a->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(tree.SelectedDirs().empty());
}

TEST_F(DirTreeWidgetTest, AssignedFoldersAreCheckedAndTheMissingOnesHandedBack)
{
    EDirTree tree({{"Test", temp.path().string(), MediumKind::Fixed}});
    const auto notFound = tree.setSelectedDirs({p("a/a2/"), p("b"), p("ausgesteckt/")});
    EXPECT_EQ(notFound, std::vector<std::string>{p("ausgesteckt/")});
    EXPECT_EQ(tree.SelectedDirs(), (std::vector<std::string>{p("a/a2/"), p("b/")}));
    // The levels on the way are loaded, not opened.
    QTreeWidgetItem* a = rootItem(tree)->child(0);
    EXPECT_EQ(a->text(0), "a");
    EXPECT_FALSE(a->isExpanded());
    EXPECT_EQ(a->checkState(0), Qt::PartiallyChecked);
    // Assigning again checks exactly the new list.
    EXPECT_TRUE(tree.setSelectedDirs({p("a/a1/")}).empty());
    EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{p("a/a1/")});
}

TEST_F(DirTreeWidgetTest, TheTreeAnswersWhileASlowFolderLoads)
{
    std::atomic<bool> release = false;
    const std::string slow = p("a/");
    EDirTree tree({{"Test", temp.path().string(), MediumKind::Fixed}}, [&](const std::string& path) {
        while (path == slow && !release)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return EDirTree::ListFolders(path);
    });
    tree.show();
    open(tree, rootItem(tree));
    QTreeWidgetItem* a = rootItem(tree)->child(0);
    QTreeWidgetItem* b = rootItem(tree)->child(1);
    a->setExpanded(true);
    // While "a" does not answer, "b" opens and the window handles its events.
    open(tree, b);
    EXPECT_EQ(captions(a), QStringList{"wird geladen…"});
    tree.setCurrentItem(b);
    QTest::keyClick(tree.viewport(), Qt::Key_Space);
    EXPECT_EQ(b->checkState(0), Qt::Checked);
    release = true;
    ASSERT_TRUE(waitFor([&] { return captions(a) == QStringList({"a1", "a2"}); }));
}

TEST(DirTreeRootsTest, TheMachineStartsWithItsFileSystemAndHome)
{
    const std::vector<TreeRoot> roots = EDirTree::MachineRoots();
    ASSERT_GE(roots.size(), 1u);
    EXPECT_EQ(roots.front().path, "/");
    EXPECT_EQ(roots.front().caption, "Dateisystem");
    EDirTree tree(roots);
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->child(0)->text(0), "Dateisystem");
}

TEST(DirTreeRootsTest, EveryNodeHasItsPictureInBothSets)
{
    EDirTree tree({{"Stick", "/media/anna/STICK/", MediumKind::Removable},
                   {"NAS", "/mnt/nas/", MediumKind::Network},
                   {"DVD", "/media/anna/DVD/", MediumKind::Optical}});
    const auto names = [&] {
        QStringList result;
        for (CheckTree::NodeId id = 0; id < 6; ++id)
            result << tree.pictureOf(id);
        return result;
    };
    // Desktop, Arbeitsplatz, Netzwerkumgebung, then the roots in the order given.
    EXPECT_EQ(names(),
              (QStringList{"desktop", "computer", "network", "drive-removable", "drive-network", "drive-optical"}));
    for (const TreeStyle style : {TreeStyle::styleXP, TreeStyle::style95}) {
        tree.setPictureStyle(style);
        for (CheckTree::NodeId id = 0; id < 6; ++id)
            EXPECT_FALSE(tree.itemOf(id)->icon(0).pixmap(16, 16).isNull()) << id;
    }
    // The network root stands below "Netzwerkumgebung".
    EXPECT_EQ(tree.itemOf(4)->parent(), tree.itemOf(2));
}

} // namespace
