#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

/// The check box of a node.
enum class CheckState
{
    None = -1, // no box
    Unchecked = 1,
    Partial = 2, // some, not all, children checked
    Checked = 3,
};

/// What a node of the folder tree stands for.
enum class NodeKind
{
    Folder,   // a folder below a root: its caption is its name
    Desktop,  // the top node
    Computer, // "Arbeitsplatz": the file systems of this machine
    Network,  // "Netzwerkumgebung": the mounted network file systems
    Root,     // a file system or folder a user starts from ("/", the home folder, a medium)
};

/// The folders of a tree with three-state check boxes, without any widget: checking cascades to
/// the loaded children and up to the ancestors, folders are loaded level by level, and the checked
/// folders read as the paths a profile stores ("/home/anna/Fotos/") and back. Paths are compared
/// exactly, as Linux file names are.
class CheckTree final
{
public:
    using NodeId = int;
    /// The names of the subfolders of a folder; nothing when it cannot be read.
    using FolderLister = std::function<std::optional<std::vector<std::string>>(const std::string& path)>;

    struct Node
    {
        std::string caption;
        std::string rootPath; // for roots: the folder they stand for, ending with "/"
        NodeKind kind = NodeKind::Folder;
        CheckState state = CheckState::Unchecked;
        NodeId parent = -1;
        std::vector<NodeId> children;
        bool loaded = false; // its subfolders were listed
        // Checked itself (or through a checked ancestor), not only because all its children are:
        // only then does it stand for its own files too.
        bool chosen = false;
    };

    explicit CheckTree(FolderLister lister, bool cascade = true);

    /// The "Desktop" node, made with the tree.
    NodeId desktop() const { return 0; }
    NodeId AddNode(NodeId parent, std::string caption, NodeKind kind, std::string rootPath = {});
    const Node& node(NodeId id) const { return m_nodes[static_cast<std::size_t>(id)]; }

    /// Sets a node's state; with cascade the ancestors follow, and a checked or unchecked node
    /// passes its state down its loaded subtree. A parent shows checked only when it was checked
    /// itself: checking all its subfolders one by one leaves it partial, so that its own files
    /// are never added to what the user chose.
    void SetCheckState(NodeId id, CheckState state);
    /// Every box of the tree unchecked, without cascading.
    void UncheckAll();
    /// Whether a change passes down to the children and up to the ancestors (the states already
    /// shown stay as they are).
    void setCascade(bool cascade) { m_cascade = cascade; }
    bool cascade() const { return m_cascade; }
    /// A click or the space bar: checked becomes unchecked, unchecked or partial becomes checked.
    void Toggle(NodeId id);

    /// Lists the node's subfolders once (a folder or a root); false when it could not be read.
    bool Load(NodeId id);
    /// Adds a listing that was made elsewhere (in the background); visible folders come first and
    /// hidden ones (".name") after them, each group by name. Below a checked node the new
    /// folders are checked too when the tree cascades.
    void AddListing(NodeId id, std::vector<std::string> names);
    bool isHidden(NodeId id) const;

    /// The folder a node stands for, ending with "/"; empty for the nodes that are no folder.
    std::string NodePath(NodeId id) const;
    /// The checked folders, a node before its children; with cascade a checked folder stands for
    /// its subtree and its subfolders are not listed again.
    std::vector<std::string> SelectedDirs() const;
    /// Checks the folders named, loading (not showing) the levels on the way. The paths that name
    /// no folder of the tree are returned: the caller keeps them (a medium may be unplugged).
    std::vector<std::string> AssignSelectedDirs(const std::vector<std::string>& paths);

private:
    void updateAncestors(NodeId id);
    void pushToChildren(NodeId id);
    std::optional<NodeId> findFolder(const std::string& path);

    FolderLister m_lister;
    bool m_cascade;
    std::vector<Node> m_nodes;
};
