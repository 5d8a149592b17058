#pragma once

#include "components/CheckTree.h"
#include "platform/MountTable.h"

#include <QHash>
#include <QSet>
#include <QTreeWidget>

/// A place the folder tree starts from: "/" ("Dateisystem"), the home folder, a mounted medium
/// below "Arbeitsplatz", or a mounted network file system below "Netzwerkumgebung".
struct TreeRoot
{
    QString caption;
    std::string path;
    MediumKind kind = MediumKind::Fixed; // network roots stand below "Netzwerkumgebung"
};

/// The two sets of node pictures: flat with hard outlines, or soft with gradients. The windows
/// choose by their menu layout.
enum class TreeStyle
{
    style95,
    styleXP,
};

/// One subfolder as a listing finds it.
struct FolderEntry
{
    std::string name;
    bool link = false;    // a link to a folder: shown, never descended into (a run does not follow it)
    bool readable = true; // an unreadable folder shows no expander
};

/// The folders of this machine with three-state check boxes. Each level is listed in the
/// background when it is first opened ("wird geladen…" meanwhile), so a folder with many thousands
/// of subfolders or a network mount that does not answer never holds the window; a listing that
/// takes too long says so and arrives when it arrives. Hidden folders come last, greyed.
class EDirTree final : public QTreeWidget
{
    Q_OBJECT

public:
    using Lister = std::function<std::optional<std::vector<FolderEntry>>(const std::string& path)>;

    /// The roots to show and how folders are listed (tests slow it down; by default the file
    /// system is read).
    explicit EDirTree(const std::vector<TreeRoot>& roots, Lister lister = {}, QWidget* parent = nullptr);
    ~EDirTree() override;
    Q_DISABLE_COPY_MOVE(EDirTree)

    /// The checked folders, each ending with "/".
    std::vector<std::string> SelectedDirs() const { return m_tree.SelectedDirs(); }
    /// Checks exactly these folders (loading the levels on the way); returns those not found.
    std::vector<std::string> setSelectedDirs(const std::vector<std::string>& paths);
    /// Opens the levels down to every checked folder and scrolls to the first, so that what is
    /// chosen can be seen.
    void revealChecked();
    /// Whether checking a folder checks its subfolders and shows in its parents.
    void setCascade(bool cascade) { m_tree.setCascade(cascade); }
    bool cascade() const { return m_tree.cascade(); }
    /// The places of this machine: "Dateisystem", the home folder, media and network mounts.
    static std::vector<TreeRoot> MachineRoots();
    /// The listing of a folder, from the file system.
    static std::optional<std::vector<FolderEntry>> ListFolders(const std::string& path);
    /// How long a listing may take before the tree says the folder does not answer.
    static constexpr int ListingPatienceMs = 5000;

    void setPictureStyle(TreeStyle style);
    TreeStyle pictureStyle() const { return m_style; }
    /// The name of the picture a node shows ("folder", "drive-removable", …), without the set.
    QString pictureOf(CheckTree::NodeId id) const;

    QTreeWidgetItem* itemOf(CheckTree::NodeId id) const { return m_items.value(id); }
    CheckTree::NodeId nodeOf(const QTreeWidgetItem* item) const;
    const CheckTree& tree() const { return m_tree; }

signals:
    /// A folder's listing arrived and its children are shown.
    void folderLoaded(const QString& path);

protected:
    void changeEvent(QEvent* event) override;

private:
    QTreeWidgetItem* addItem(QTreeWidgetItem* parent, CheckTree::NodeId id);
    void expanded(QTreeWidgetItem* item);
    void listed(CheckTree::NodeId id, const std::optional<std::vector<FolderEntry>>& entries);
    /// Notes what a listing found of each folder and gives its names.
    std::vector<std::string> remember(const std::string& path, const std::optional<std::vector<FolderEntry>>& entries);
    bool isLink(CheckTree::NodeId id) const;
    bool isUnreadable(CheckTree::NodeId id) const;
    /// Shows the node's loaded children again; announce: tell folderLoaded once all are shown.
    void showChildren(CheckTree::NodeId id, bool announce = false);
    void showMore(CheckTree::NodeId id, std::size_t from, int showing, bool announce);
    /// Drops the items of the node's subtree from the map before they are deleted.
    void forgetItems(CheckTree::NodeId id);
    static constexpr std::size_t ShowBatch = 1000;
    void changed(QTreeWidgetItem* item, int column);
    void syncStates();
    void retranslate();

    CheckTree m_tree;
    Lister m_lister;
    QHash<CheckTree::NodeId, QTreeWidgetItem*> m_items;
    // What the listings found out about a folder, by its path: a link, or unreadable.
    QHash<QString, FolderEntry> m_found;
    QSet<CheckTree::NodeId> m_pending;
    QHash<CheckTree::NodeId, int> m_showings; // counts each showing, so an old batch stops
    QHash<CheckTree::NodeId, MediumKind> m_rootKinds;
    TreeStyle m_style = TreeStyle::style95;
    CheckTree::NodeId m_computer = -1;
    CheckTree::NodeId m_network = -1;
    bool m_syncing = false;
};
