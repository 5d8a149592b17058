#include "components/CheckTree.h"

#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// The subfolders of a real folder, as the tree's owner lists them (links to folders are not
// followed by a run, so they are not offered either).
std::optional<std::vector<std::string>> listFolders(const std::string& path)
{
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error) && !it->is_symlink(error))
            names.push_back(it->path().filename().string());
    if (error)
        return std::nullopt;
    return names;
}

class CheckTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"a/a1", "a/a2/x", "b", ".versteckt"})
            fs::create_directories(temp / folder);
    }
    // Desktop > Arbeitsplatz > the temporary folder as a root, loaded one level.
    CheckTree tree(bool cascade = true)
    {
        CheckTree t(listFolders, cascade);
        computer = t.AddNode(t.desktop(), "Arbeitsplatz", NodeKind::Computer);
        root = t.AddNode(computer, "Test", NodeKind::Root, temp.path().string());
        t.Load(root);
        return t;
    }
    CheckTree::NodeId child(const CheckTree& t, CheckTree::NodeId parent, const std::string& caption)
    {
        for (const CheckTree::NodeId id : t.node(parent).children)
            if (t.node(id).caption == caption)
                return id;
        ADD_FAILURE() << caption;
        return -1;
    }
    std::string p(const std::string& relative) { return temp.path().string() + "/" + relative; }

    TempDir temp;
    CheckTree::NodeId computer = -1;
    CheckTree::NodeId root = -1;
};

TEST_F(CheckTreeTest, CheckingCascadesDownAndUpAndReadsAsTheTopmostCheckedFolders)
{
    CheckTree t = tree();
    const auto a = child(t, root, "a");
    t.Load(a);
    const auto a1 = child(t, a, "a1");
    const auto a2 = child(t, a, "a2");
    t.Toggle(a);
    EXPECT_EQ(t.node(a1).state, CheckState::Checked);
    EXPECT_EQ(t.node(root).state, CheckState::Partial);
    EXPECT_EQ(t.node(t.desktop()).state, CheckState::Partial);
    EXPECT_EQ(t.SelectedDirs(), std::vector<std::string>{p("a/")});

    // A folder loaded below a checked one comes checked.
    t.Load(a2);
    EXPECT_EQ(t.node(child(t, a2, "x")).state, CheckState::Checked);

    t.Toggle(a1);
    EXPECT_EQ(t.node(a).state, CheckState::Partial);
    EXPECT_EQ(t.SelectedDirs(), std::vector<std::string>{p("a/a2/")});
    // Unchecking the last checked child clears the parent, up to the top.
    t.Toggle(a2);
    EXPECT_EQ(t.node(a).state, CheckState::Unchecked);
    EXPECT_EQ(t.node(root).state, CheckState::Unchecked);
    EXPECT_TRUE(t.SelectedDirs().empty());

    // A checked folder whose subfolder is unchecked and checked again stands for itself again.
    t.Toggle(a);
    t.Toggle(a1);
    t.Toggle(a1);
    EXPECT_EQ(t.node(a).state, CheckState::Checked);
    EXPECT_EQ(t.SelectedDirs(), std::vector<std::string>{p("a/")});
}

TEST_F(CheckTreeTest, WithoutCascadeEveryCheckedFolderStandsForItself)
{
    CheckTree t = tree(false);
    const auto a = child(t, root, "a");
    t.Load(a);
    t.Toggle(a);
    t.Toggle(child(t, a, "a2"));
    EXPECT_EQ(t.node(child(t, a, "a1")).state, CheckState::Unchecked);
    EXPECT_EQ(t.node(root).state, CheckState::Unchecked);
    EXPECT_EQ(t.SelectedDirs(), (std::vector<std::string>{p("a/"), p("a/a2/")}));
}

TEST_F(CheckTreeTest, HiddenFoldersComeLastAndTheGroupingNodesAreNeverReported)
{
    CheckTree t = tree();
    std::vector<std::string> captions;
    for (const auto id : t.node(root).children)
        captions.push_back(t.node(id).caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"a", "b", ".versteckt"}));
    EXPECT_TRUE(t.isHidden(child(t, root, ".versteckt")));
    t.Toggle(computer);
    EXPECT_EQ(t.SelectedDirs(), std::vector<std::string>{p("")});
}

TEST_F(CheckTreeTest, AssignedPathsRoundTripAndUnknownOnesAreHandedBack)
{
    struct Case
    {
        std::vector<std::string> assigned;
        std::vector<std::string> read;
        std::vector<std::string> notFound;
    };
    const std::vector<Case> cases = {
        {{p("a/a2/x/"), p("b")}, {p("a/a2/x/"), p("b/")}, {}},
        {{p("")}, {p("")}, {}},
        // All subfolders checked leave their parent partial: its own files were not chosen.
        {{p("a/a1/"), p("a/a2/")}, {p("a/a1/"), p("a/a2/")}, {}},
        {{p("weg/"), p("a/../b/"), p("a//a1/"), "relativ/", ""},
         {},
         {p("weg/"), p("a/../b/"), p("a//a1/"), "relativ/", ""}},
        {{p("A/")}, {}, {p("A/")}}, // names are compared exactly
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.assigned));
        CheckTree t = tree();
        EXPECT_EQ(t.AssignSelectedDirs(c.assigned), c.notFound);
        EXPECT_EQ(t.SelectedDirs(), c.read);
    }
    // A folder that vanished since it was listed is still found in the tree: reading it back keeps
    // it, and the run reports it missing.
    CheckTree t = tree();
    fs::remove_all(temp / "b");
    EXPECT_TRUE(t.AssignSelectedDirs({p("b/")}).empty());
}

TEST_F(CheckTreeTest, AnUnreadableFolderHasNoChildren)
{
    CheckTree t(listFolders);
    const auto gone = t.AddNode(t.desktop(), "Weg", NodeKind::Root, p("gibt-es-nicht"));
    EXPECT_FALSE(t.Load(gone));
    EXPECT_TRUE(t.node(gone).children.empty());
    EXPECT_TRUE(t.node(gone).loaded);
}

} // namespace
